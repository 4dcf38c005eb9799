// The editor control: settings, the cell grid, scrolling, the caret, and the reaction to changes
// of its document. Painting is in editorpaint.cpp.
#include "widgets/editor.h"
#include "widgets/editorglyphs.h"

#include "modes/documenttokenizer.h"
#include "modes/fountain.h"
#include "platform/clipboard.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace orvane {
namespace {

int Digits(int Value) {
    int digits = 1;
    while (Value >= 10) {
        Value /= 10;
        ++digits;
    }
    return digits;
}

}  // namespace

TEditor::TEditor(QWidget* Parent) : QAbstractScrollArea(Parent), FDelimiters(GetDefaultDelimiters()) {
    for (TNotifyPersistent* settings : std::initializer_list<TNotifyPersistent*>{
             &FView, &FCaret, &FMarks, &FMargin, &FImagebar, &FLeftbar, &FRuler, &FFont})
        settings->OnChange = [this](TObject* Sender) { SettingsChanged(Sender); };
    FFont.SetColor(clBlack);

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    setFrameShape(QFrame::StyledPanel);
    resize(185, 89);

    auto document = std::make_shared<TEditorScreenStrings>();
    document->SetTokenizer(NewDocumentTokenizer());
    Attach(std::move(document));
    SetScrollBars(ssBoth);
    InitDrawInfo();
    UpdateScrollBars();
}

TEditor::~TEditor() {
    FDestroying = true;
    SetFountain(nullptr);
    for (TNotifyPersistent* settings : std::initializer_list<TNotifyPersistent*>{
             &FView, &FCaret, &FMarks, &FMargin, &FImagebar, &FLeftbar, &FRuler, &FFont})
        settings->OnChange = nullptr;
    if (FDocument) FDocument->DetachEditor(this);
}

// ---- the document

void TEditor::Attach(std::shared_ptr<TEditorScreenStrings> Document) {
    if (FDocument) FDocument->DetachEditor(this);
    FDocument = std::move(Document);
    FDocument->AttachEditor(this);
}

void TEditor::AttachTo(TEditor& Other) {
    if (&Other == this || Other.FDocument == FDocument) return;
    Attach(Other.FDocument);
    FRow = FCol = FTopRow = FTopCol = 0;
    FSelectionState = ssNoSelection;
    RefreshView();
}

// ---- settings

void TEditor::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    viewport()->update();
}

void TEditor::SetHitStyle(TEditorHitStyle Value) {
    if (FHitStyle == Value) return;
    FHitStyle = Value;
    viewport()->update();
}

void TEditor::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    const bool vertical = Value == ssVertical || Value == ssBoth;
    const bool horizontal = Value == ssHorizontal || Value == ssBoth;
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TEditor::SetFountain(TFountain* Value) {
    if (FFountain == Value) return;
    if (FFountain) {
        FFountain->NotifyEventList().Remove(MakeMethod(this, &TEditor::FountainChanged));
        FFountain->RemoveFreeNotification(MakeMethod(this, &TEditor::FountainFreed));
    }
    FFountain = Value;
    if (FFountain) {
        FFountain->NotifyEventList().Add(MakeMethod(this, &TEditor::FountainChanged));
        FFountain->FreeNotification(MakeMethod(this, &TEditor::FountainFreed));
    }
    if (!FDestroying) SettingsChanged(FFountain ? static_cast<TObject*>(FFountain) : &FView);
}

void TEditor::FountainChanged(TObject* Sender) { SettingsChanged(Sender); }

void TEditor::FountainFreed(TObject*) {
    // The mode is going away: draw with the default mode from now on.
    FFountain = nullptr;
    if (!FDestroying) SettingsChanged(&FView);
}

TFountain* TEditor::ActiveFountain() const {
    return FFountain ? FFountain : &const_cast<TEditorViewInfo&>(FView).Fountain();
}

void TEditor::SettingsChanged(TObject* Sender) {
    if (Sender == &FMarks) FMargin.SetUnderlineSpace(FMarks.Underline().Visible());
    if (Sender == &FView || Sender == ActiveFountain() || dynamic_cast<TFountain*>(Sender))
        FDocument->TokenizeAllRows();
    if (Sender == &FCaret && FDocument->MainEditor() == this && FCaret.TabSpaceCount() != FLastTabWidth) {
        // Rows are cut by tab widths: with word wrap on the document lays them out again.
        FLastTabWidth = FCaret.TabSpaceCount();
        FDocument->TabWidthChanged();
    }
    InitDrawInfo();
    UpdateScrollBars();
    Invalidate(viewport()->rect());
}

void TEditor::AssignProp(TEditorProp& Prop) {
    // One property that cannot be taken does not stop the others.
    CopySettingsProperty("Color", [&] { SetColor(Prop.Color()); });
    CopySettingsProperty("Caret", [&] { SetCaret(Prop.Caret()); });
    CopySettingsProperty("Font", [&] { SetFont(Prop.Font()); });
    CopySettingsProperty("HitStyle", [&] { SetHitStyle(Prop.HitStyle()); });
    CopySettingsProperty("Imagebar", [&] { SetImagebar(Prop.Imagebar()); });
    CopySettingsProperty("Leftbar", [&] { SetLeftbar(Prop.Leftbar()); });
    CopySettingsProperty("Margin", [&] { SetMargin(Prop.Margin()); });
    CopySettingsProperty("Marks", [&] { SetMarks(Prop.Marks()); });
    CopySettingsProperty("ReserveWordList", [&] { FView.Fountain().SetReserveWordList(Prop.ReserveWordList()); });
    CopySettingsProperty("Ruler", [&] { SetRuler(Prop.Ruler()); });
    CopySettingsProperty("ScrollBars", [&] { SetScrollBars(Prop.ScrollBars()); });
    CopySettingsProperty("Speed", [&] { SetSpeed(Prop.Speed()); });
    CopySettingsProperty("View", [&] { SetView(Prop.View()); });
    // With word wrap on the options come first, so the text is wrapped once, with them.
    if (Prop.WordWrap()) {
        CopySettingsProperty("WrapOption", [&] { SetWrapOption(Prop.WrapOption()); });
        CopySettingsProperty("WordWrap", [&] { SetWordWrap(true); });
    } else {
        CopySettingsProperty("WordWrap", [&] { SetWordWrap(false); });
        CopySettingsProperty("WrapOption", [&] { SetWrapOption(Prop.WrapOption()); });
    }
}

void TEditor::CopyToProp(TEditorProp& Prop) {
    CopySettingsProperty("Color", [&] { Prop.SetColor(FColor); });
    CopySettingsProperty("Caret", [&] { Prop.SetCaret(FCaret); });
    CopySettingsProperty("Font", [&] { Prop.SetFont(FFont); });
    CopySettingsProperty("HitStyle", [&] { Prop.SetHitStyle(FHitStyle); });
    CopySettingsProperty("Imagebar", [&] { Prop.SetImagebar(FImagebar); });
    CopySettingsProperty("Leftbar", [&] { Prop.SetLeftbar(FLeftbar); });
    CopySettingsProperty("Margin", [&] { Prop.SetMargin(FMargin); });
    CopySettingsProperty("Marks", [&] { Prop.SetMarks(FMarks); });
    CopySettingsProperty("ReserveWordList", [&] { Prop.SetReserveWordList(FView.Fountain().ReserveWordList()); });
    CopySettingsProperty("Ruler", [&] { Prop.SetRuler(FRuler); });
    CopySettingsProperty("ScrollBars", [&] { Prop.SetScrollBars(FScrollBars); });
    CopySettingsProperty("Speed", [&] { Prop.SetSpeed(FSpeed); });
    CopySettingsProperty("View", [&] { Prop.SetView(FView); });
    CopySettingsProperty("WordWrap", [&] { Prop.SetWordWrap(WordWrap()); });
    CopySettingsProperty("WrapOption", [&] { Prop.SetWrapOption(WrapOption()); });
}

// ---- the cell grid

int TEditor::LeftbarWidth() const noexcept {
    if (!FLeftbar.Visible()) return 0;
    return FLeftbar.LeftMargin() + FLeftbarDigits * FCharWidth + FLeftbar.RightMargin() + 2;
}

int TEditor::ComputeLeftbarDigits() const {
    if (!FLeftbar.Visible() || !FLeftbar.ShowNumber()) return FLeftbar.Column();
    const int count = FDocument->GetCount();
    int largest = FLeftbar.ShowNumberMode() == nmLine ? FDocument->LineEndCount() - 1 : count - 1;
    if (count == 0 || FDocument->RowEndKind(count - 1) == reLineBreak) ++largest;
    if (!FLeftbar.ZeroBase()) ++largest;
    return std::min(8, std::max(FLeftbar.Column(), Digits(std::max(largest, 0))));
}

void TEditor::SetFixedMetrics(int CharWidth, int FontHeight) {
    FFixedCharWidth = CharWidth;
    FFixedFontHeight = FontHeight;
    InitDrawInfo();
    UpdateScrollBars();
    viewport()->update();
}

void TEditor::InitDrawInfo() {
    FQFont = ResolveEditorFont(QString::fromStdString(FFont.Name()), FFont.Size(), FFont.Style() & fsBold,
                               FFont.Style() & fsItalic);
    FQFont.setUnderline(false);  // underlines are drawn dotted by the painter
    if (FFixedCharWidth > 0) {
        FCharWidth = FFixedCharWidth + FMargin.Character();
        FFontHeight = FFixedFontHeight;
    } else {
        const QFontMetricsF metrics(FQFont);
        FFontHeight = int(std::ceil(metrics.height() + metrics.leading()));
        FCharWidth = int(std::lround(metrics.horizontalAdvance(QLatin1Char('M')))) + FMargin.Character();
    }
    FCharWidth = std::max(FCharWidth, 1);
    FFontHeight = std::max(FFontHeight, 1);
    FRowHeight = FFontHeight + FMargin.Line() + (FMargin.UnderlineSpace() ? 1 : 0);
    FLeftbarDigits = ComputeLeftbarDigits();
    const QSize size = viewport()->size();
    FVisibleRowCount = std::max(1, (size.height() - TextTop() - 5) / FRowHeight);
    FVisibleColCount = std::max(1, (size.width() - TextLeft() - FCharWidth / 2) / FCharWidth);
    ResetGlyphCache();
}

// ---- scrolling

void TEditor::UpdateScrollBars() {
    FSyncingScrollBars = true;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, RowCount());
    v->setPageStep(FVisibleRowCount);
    v->setSingleStep(1);
    v->setValue(FTopRow);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, kMaxDisplayCol - FVisibleColCount / 2));
    h->setPageStep(FVisibleColCount);
    h->setSingleStep(1);
    h->setValue(FTopCol);
    FSyncingScrollBars = false;
    // The view may now start beyond the text.
    if (FTopRow > RowCount()) SetTopRow(RowCount());
}

void TEditor::SetTopRow(int Value) {
    Value = std::clamp(Value, 0, RowCount());
    if (Value == FTopRow) return;
    const int delta = Value - FTopRow;
    FTopRow = Value;
    const QRect below(0, TextTop(), viewport()->width(), viewport()->height() - TextTop());
    if (std::abs(delta) > FVisibleRowCount + 1)
        Invalidate(below);
    else
        ScrollArea(below, 0, -delta * FRowHeight);
    FSyncingScrollBars = true;
    verticalScrollBar()->setValue(FTopRow);
    FSyncingScrollBars = false;
    if (OnTopRowChange) OnTopRowChange(*this);
}

void TEditor::SetTopCol(int Value) {
    Value = std::clamp(Value, 0, std::max(0, kMaxDisplayCol - FVisibleColCount / 2));
    if (Value == FTopCol) return;
    const int delta = Value - FTopCol;
    FTopCol = Value;
    const QRect right(TextLeft(), TextTop(), viewport()->width() - TextLeft(), viewport()->height() - TextTop());
    if (std::abs(delta) > FVisibleColCount)
        Invalidate(right);
    else
        ScrollArea(right, -delta * FCharWidth, 0);
    if (FRuler.Visible()) Invalidate(QRect(TextLeft(), 0, viewport()->width() - TextLeft(), RulerHeight()));
    FSyncingScrollBars = true;
    horizontalScrollBar()->setValue(FTopCol);
    FSyncingScrollBars = false;
    if (OnTopColChange) OnTopColChange(*this);
}

void TEditor::scrollContentsBy(int, int) {
    if (FSyncingScrollBars) return;
    // The user moved a scroll bar: the same path as the scroll messages, LockScroll included.
    const int step = verticalScrollBar()->value() - FTopRow;
    SetTopRow(verticalScrollBar()->value());
    if (FCaret.LockScroll() && step) SetRowCol(FRow + step, FCol);
    SetTopCol(horizontalScrollBar()->value());
}

void TEditor::Invalidate(const QRect& Area) {
    if (Area.isEmpty()) return;
    if (OnInvalidate) OnInvalidate(Area, 0);
    viewport()->update(Area);
}

void TEditor::ScrollArea(const QRect& Area, int Dx, int Dy) {
    if (Area.isEmpty()) return;
    if (OnInvalidate) OnInvalidate(Area, Dx ? Dx : Dy);
    if (hasFocus()) ShowCaret(false);  // the caret's pixels must not move with the text
    viewport()->scroll(Dx, Dy, Area);
}

void TEditor::InvalidateRow(int Row) {
    if (Row < FTopRow || Row > FTopRow + FVisibleRowCount) return;
    const int top = TextTop() + (Row - FTopRow) * FRowHeight;
    Invalidate(QRect(TextLeft(), top, viewport()->width() - TextLeft(), FFontHeight));
}

void TEditor::InvalidateRows(int From, int To) {
    From = std::max(From, FTopRow);
    To = std::min(To, FTopRow + FVisibleRowCount);
    if (From > To) return;
    const int top = TextTop() + (From - FTopRow) * FRowHeight;
    const int bottom = TextTop() + (To - FTopRow) * FRowHeight + FFontHeight;
    Invalidate(QRect(0, top, viewport()->width(), bottom - top));
}

void TEditor::InvalidateLeftbar(int From, int To) {
    From = std::max(From, FTopRow);
    To = std::min(To, FTopRow + FVisibleRowCount);
    if (From > To || !FLeftbar.Visible()) return;
    const int top = TextTop() + (From - FTopRow) * FRowHeight;
    const int bottom = TextTop() + (To - FTopRow) * FRowHeight + FFontHeight;
    Invalidate(QRect(ImagebarWidth(), top, LeftbarWidth(), bottom - top));
}

// Repaints what the last change of the document touched: its rows, and the rows after them
// moved by a scroll of the window instead of a repaint.
void TEditor::RepaintChange() {
    const TEditorScreenStrings& doc = *FDocument;
    if (!doc.ChangeFlag()) return;
    const int r = doc.ChangeRow(), o = doc.ChangeOldCount(), n = doc.ChangeNewCount(), t = doc.ChangeTokenCount();
    const int d = n - o;
    const int width = viewport()->width(), height = viewport()->height();
    if (std::abs(d) > FVisibleRowCount) {
        Invalidate(QRect(0, TextTop(), width, height - TextTop()));
        return;
    }
    const int c = r + std::max(n, t);  // the first row after those whose text or state changed
    InvalidateRows(r, c >= RowCount() ? c : c - 1);
    if (d != 0) {
        // The rows from c on stood at c - d before the change: move their pixels by d rows. The
        // band starts at the higher of the two places so that it holds both.
        const int bandRow = std::max(std::min(c, c - d), FTopRow);
        const int top = TextTop() + (bandRow - FTopRow) * FRowHeight;
        if (top < height) {
            const int shift = std::clamp(d, -(FVisibleRowCount + 1), FVisibleRowCount + 1) * FRowHeight;
            ScrollArea(QRect(0, top, width, height - top), 0, shift);
        }
        if (c >= RowCount()) InvalidateRows(c, c);
    }
    if (FLeftbar.Visible() && FLeftbar.ShowNumber()) {
        const bool textEndsInView = RowCount() <= FTopRow + FVisibleRowCount;
        if (FLeftbar.ShowNumberMode() == nmLine || (o != n && textEndsInView))
            InvalidateLeftbar(c, r + FVisibleRowCount);
    }
}

// ---- caret

void TEditor::SetOverwriteMode(bool Value) {
    if (FOverwriteMode == Value) return;
    Invalidate(CaretRect());
    FOverwriteMode = Value;
    Invalidate(CaretRect());
}

QRect TEditor::CaretRect() const {
    const int x = TextLeft() + (FCol - FTopCol) * FCharWidth;
    const int y = TextTop() + (FRow - FTopRow) * FRowHeight;
    const int cell = std::max(1, FCharWidth - FMargin.Character());
    if (FOverwriteMode) {
        bool lead = false;
        if (FRow < RowCount()) {
            const std::string text = TabsToSpaces(FDocument->RowView(FRow), FDocument->Layout());
            lead = FCol < int(text.size()) && CharLenAt(text, std::size_t(FCol)) == 2 &&
                   CharStartOf(text, std::size_t(FCol)) == std::size_t(FCol);
        }
        return QRect(x, y, lead ? 2 * cell : cell, FFontHeight);
    }
    if (FSelectionState == ssHit && FHitStyle == hsCaret) {
        // A search hit shown by the caret: a block as wide as the hit (to the row's end when it
        // runs on).
        const int endCol = FDispEndRow == FDispStartRow ? FDispEndCol : RowWidth(FDispStartRow);
        const int x0 = TextLeft() + (FDispStartCol - FTopCol) * FCharWidth;
        return QRect(x0, TextTop() + (FDispStartRow - FTopRow) * FRowHeight,
                     std::max(2, FCharWidth * (endCol - FDispStartCol)), FFontHeight);
    }
    if (FCaret.Style() == csBrief) return QRect(x, y + FFontHeight - 2, cell, 2);
    return QRect(x, y, 2, FFontHeight);
}

void TEditor::ShowCaret(bool Visible) {
    if (FCaretBlinkOn == Visible) return;
    FCaretBlinkOn = Visible;
    Invalidate(CaretRect());
}

void TEditor::LockCaret() { ++FCaretLocks; }

void TEditor::UnlockCaret() {
    if (FCaretLocks > 0 && --FCaretLocks == 0) Invalidate(CaretRect());
}

void TEditor::timerEvent(QTimerEvent* Event) {
    if (Event->timerId() != FCaretTimer.timerId()) {
        QAbstractScrollArea::timerEvent(Event);
        return;
    }
    FCaretBlinkOn = !FCaretBlinkOn;
    viewport()->update(CaretRect());
}

void TEditor::focusInEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusInEvent(Event);
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0) FCaretTimer.start(flash / 2, this);
    FCaretBlinkOn = true;
    viewport()->update(CaretRect());
}

void TEditor::focusOutEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusOutEvent(Event);
    FCaretTimer.stop();
    viewport()->update(CaretRect());
}

// ---- the document's questions and news

int TEditor::TabSpaceCount() const {
    // Every editor of a document lays rows out with its main editor's tab width.
    const IDocumentView* main = FDocument ? FDocument->MainEditor() : nullptr;
    return main && main != this ? main->TabSpaceCount() : FCaret.TabSpaceCount();
}

int TEditor::ScreenHeight() const { return viewport()->height(); }

void TEditor::RefreshView() {
    InitDrawInfo();
    UpdateScrollBars();
    Invalidate(viewport()->rect());
}

void TEditor::DocumentChanged() {
    const int digits = ComputeLeftbarDigits();
    if (digits != FLeftbarDigits && FLeftbar.Visible()) {
        // The line-number bar grows or shrinks: everything moves sideways.
        InitDrawInfo();
        viewport()->update();
    } else {
        RepaintChange();
    }
    UpdateScrollBars();
    if (!FDocument->ChangeFlag()) return;
    // Another editor changed the text: a selection here may name rows that are gone.
    if (!hasFocus() && FSelectionState != ssNoSelection) DropSelection();
    FModified = true;
    if (OnChange) OnChange(*this);
}

void TEditor::EndLoad() {
    if (FLoading == 0 || --FLoading > 0) return;
    FDocument->EndLoad();
    FModified = false;
}

// ---- Qt events

void TEditor::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    InitDrawInfo();
    UpdateScrollBars();
}

void TEditor::changeEvent(QEvent* Event) {
    QAbstractScrollArea::changeEvent(Event);
    if (Event->type() == QEvent::FontChange || Event->type() == QEvent::PaletteChange) viewport()->update();
}

QColor TEditor::ToQColor(TColor Color) const {
    if (Color & clSystemColor) {
        const QPalette& p = palette();
        switch (Color & 0xFF) {
            case 0x05: return p.color(QPalette::Base);         // window background
            case 0x08: return p.color(QPalette::Text);         // window text
            case 0x0D: return p.color(QPalette::Highlight);
            case 0x0E: return p.color(QPalette::HighlightedText);
            case 0x0F: return p.color(QPalette::Button);       // button face
            case 0x12: return p.color(QPalette::ButtonText);
            default: return p.color(QPalette::WindowText);
        }
    }
    return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

// ---- messages

TMessageLong TEditor::Perform(unsigned Msg, TMessageParam WParam, TMessageLong LParam) {
    bool handled = false;
    const TMessageLong textAnswer = FLines.WindowTextMessage(Msg, WParam, LParam, handled);
    if (handled) return textAnswer;
    switch (Msg) {
        case WM_PAINT:
            viewport()->repaint();
            return 0;
        case WM_SETREDRAW:
            viewport()->setUpdatesEnabled(WParam != 0);
            if (WParam) viewport()->update();
            return 0;
        case WM_SETFOCUS:
            setFocus();
            return 0;
        case WM_VSCROLL:
        case WM_HSCROLL: {
            const bool vertical = Msg == WM_VSCROLL;
            const int page = std::max(1, vertical ? FVisibleRowCount : FVisibleColCount);
            const int maximum = vertical ? RowCount() : std::max(0, kMaxDisplayCol - FVisibleColCount / 2);
            const int now = vertical ? FTopRow : FTopCol;
            int target = now;
            switch (LoWord(TMessageLong(WParam))) {
                case SB_LINEUP: target = now - 1; break;
                case SB_LINEDOWN: target = now + 1; break;
                case SB_PAGEUP: target = now - page; break;
                case SB_PAGEDOWN: target = now + page; break;
                case SB_TOP: target = 0; break;
                case SB_BOTTOM: target = maximum; break;
                case SB_THUMBPOSITION:
                case SB_THUMBTRACK: target = int(HiWord(TMessageLong(WParam))); break;
                default: return 0;
            }
            target = std::clamp(target, 0, maximum);
            if (vertical) {
                const int step = target - FTopRow;
                SetTopRow(target);
                if (FCaret.LockScroll() && step) SetRowCol(FRow + step, FCol);
            } else {
                SetTopCol(target);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (WParam == VK_DELETE)
                KeyDelete();
            else
                KeyDown(unsigned(WParam), FMessageModifiers, (std::uintptr_t(LParam) >> 30) & 1);
            return 0;
        case WM_CHAR:
            if (FDragState == 0 && !(FButtons & Qt::LeftButton)) KeyChar(static_cast<unsigned char>(WParam));
            return 0;
        case WM_IME_COMPOSITION:
            // A result string (Shift_JIS, zero-terminated) comes again as characters afterwards.
            if (LParam && !FReadOnly) {
                const std::string result(reinterpret_cast<const char*>(LParam));
                InsertText(result);
                FImeSkip = int(result.size());
            }
            return 0;
        case WM_COPY:
            if (Selected())
                CopyToClipboard();
            else
                SetClipboardText({}, false);
            return 0;
        case WM_CUT:
            if (!FReadOnly && Selected())
                CutToClipboard();
            else
                SetClipboardText({}, false);
            return 0;
        case WM_PASTE:
            if (!FReadOnly) PasteFromClipboard();
            return 0;
        case WM_CLEAR:
            if (!FReadOnly) DeleteSelection();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE: {
            const QPoint point(short(LoWord(LParam)), short(HiWord(LParam)));
            Qt::KeyboardModifiers modifiers;
            if (WParam & MK_SHIFT) modifiers |= Qt::ShiftModifier;
            if (WParam & MK_CONTROL) modifiers |= Qt::ControlModifier;
            if (Msg == WM_LBUTTONDOWN)
                MouseDown(Qt::LeftButton, modifiers, point);
            else if (Msg == WM_LBUTTONUP)
                MouseUp(Qt::LeftButton, modifiers, point);
            else
                MouseMove((WParam & MK_LBUTTON) ? Qt::LeftButton : Qt::NoButton, modifiers, point);
            return 0;
        }
        default: {
            const TMessageLong answer = EditControlMessage(Msg, WParam, LParam, handled);
            return handled ? answer : 0;
        }
    }
}

}  // namespace orvane
