// The editor's logic: settings, the cell grid, scrolling, the caret shape, the reaction to changes
// of its document, and the messages. Caret moves and the selection are in caret.cpp, editing in
// edit.cpp, keyboard and mouse in input.cpp, marks and edit-control messages in messages.cpp.
#include "editor/controller.h"

#include "modes/documenttokenizer.h"
#include "modes/fountain.h"

#include <algorithm>
#include <cmath>
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

namespace {

// Where no window shows the editor: no size, no focus, nothing drawn, an empty clipboard.
class TNullSurface final : public IEditorSurface {
public:
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    void Invalidate(const TRect&) override {}
    void InvalidateAll() override {}
    void RepaintNow() override {}
    void Scroll(const TRect&, int, int) override {}
    void SetRedraw(bool) override {}
    bool Visible() const override { return false; }
    bool HasFocus() const override { return false; }
    void TakeFocus() override {}
    void ShowScrollBars(bool, bool) override {}
    void SetScrollBars(int, int, int, int, int, int) override {}
    void SetCursorShape(TCursor) override {}
    void MeasureFont(const TFont&, int& CharWidth, int& FontHeight) override {
        CharWidth = 8;
        FontHeight = 16;
    }
    void SetClipboard(std::string_view, bool, const TCharMap*) override {}
    bool ClipboardHasText() const override { return false; }
    bool ClipboardHasBox() const override { return false; }
    std::string ClipboardText(TCharMap*) override { return {}; }
    void ShowError(const std::string&) override {}
    void News(TEditorNews, bool) override {}
};

TNullSurface& NullSurface() {
    static TNullSurface surface;
    return surface;
}

}  // namespace

TEditorController::TEditorController(IEditorSurface* Surface)
    : FDelimiters(GetDefaultDelimiters()),
      FSurface(Surface ? Surface : &NullSurface()),
      FOwnCharMap(std::make_shared<TCharMap>()),
      FCharMap(FOwnCharMap.get()) {
    for (TNotifyPersistent* settings : std::initializer_list<TNotifyPersistent*>{
             &FView, &FCaret, &FMarks, &FMargin, &FImagebar, &FLeftbar, &FRuler, &FFont})
        settings->OnChange = [this](TObject* Sender) { SettingsChanged(Sender); };
    FFont.SetColor(clBlack);
    // The editor's own document is coloured by the editor's syntax mode.
    auto document = std::make_shared<TEditorScreenStrings>();
    document->SetTokenizer(NewDocumentTokenizer());
    Attach(std::move(document));
    InitDrawInfo();
}

TEditorController::~TEditorController() { Detach(); }

void TEditorController::Detach() {
    if (FDestroying) return;
    FDestroying = true;
    FSurface = &NullSurface();
    SetFountain(nullptr);
    for (TNotifyPersistent* settings : std::initializer_list<TNotifyPersistent*>{
             &FView, &FCaret, &FMarks, &FMargin, &FImagebar, &FLeftbar, &FRuler, &FFont})
        settings->OnChange = nullptr;
    if (FDocument) FDocument->DetachEditor(this);
}

void TEditorController::SetSurface(IEditorSurface* Surface) { FSurface = Surface ? Surface : &NullSurface(); }

// ---- the document

void TEditorController::Attach(std::shared_ptr<TEditorScreenStrings> Document) {
    if (FDocument) FDocument->DetachEditor(this);
    FDocument = std::move(Document);
    FDocument->AttachEditor(this);
}

void TEditorController::AttachTo(TEditorController& Other) {
    if (&Other == this || Other.FDocument == FDocument) return;
    Attach(Other.FDocument);
    FOwnCharMap = Other.FOwnCharMap;
    FCharMap = Other.FCharMap;
    FRow = FCol = FTopRow = FTopCol = 0;
    FSelectionState = ssNoSelection;
    RefreshView();
}

// ---- settings

void TEditorController::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    FSurface->InvalidateAll();
}

void TEditorController::SetHitStyle(TEditorHitStyle Value) {
    if (FHitStyle == Value) return;
    FHitStyle = Value;
    FSurface->InvalidateAll();
}

void TEditorController::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    const bool vertical = Value == ssVertical || Value == ssBoth;
    const bool horizontal = Value == ssHorizontal || Value == ssBoth;
    FSurface->ShowScrollBars(vertical, horizontal);
}

void TEditorController::SetFountain(TFountain* Value) {
    if (FFountain == Value) return;
    if (FFountain) {
        FFountain->NotifyEventList().Remove(MakeMethod(this, &TEditorController::FountainChanged));
        FFountain->RemoveFreeNotification(MakeMethod(this, &TEditorController::FountainFreed));
    }
    FFountain = Value;
    if (FFountain) {
        FFountain->NotifyEventList().Add(MakeMethod(this, &TEditorController::FountainChanged));
        FFountain->FreeNotification(MakeMethod(this, &TEditorController::FountainFreed));
    }
    if (!FDestroying) SettingsChanged(FFountain ? static_cast<TObject*>(FFountain) : &FView);
}

void TEditorController::FountainChanged(TObject* Sender) { SettingsChanged(Sender); }

void TEditorController::FountainFreed(TObject*) {
    // The mode is going away: draw with the default mode from now on.
    FFountain = nullptr;
    if (!FDestroying) SettingsChanged(&FView);
}

TFountain* TEditorController::ActiveFountain() const {
    return FFountain ? FFountain : &const_cast<TEditorViewInfo&>(FView).Fountain();
}

void TEditorController::SettingsChanged(TObject* Sender) {
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
    Invalidate({0, 0, FSurface->Width(), FSurface->Height()});
}

void TEditorController::AssignProp(TEditorProp& Prop) {
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

void TEditorController::CopyToProp(TEditorProp& Prop) {
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

int TEditorController::LeftbarWidth() const noexcept {
    if (!FLeftbar.Visible()) return 0;
    return FLeftbar.LeftMargin() + FLeftbarDigits * FCharWidth + FLeftbar.RightMargin() + 2;
}

int TEditorController::ComputeLeftbarDigits() const {
    if (!FLeftbar.Visible() || !FLeftbar.ShowNumber()) return FLeftbar.Column();
    const int count = FDocument->GetCount();
    int largest = FLeftbar.ShowNumberMode() == nmLine ? FDocument->LineEndCount() - 1 : count - 1;
    if (count == 0 || FDocument->RowEndKind(count - 1) == reLineBreak) ++largest;
    if (!FLeftbar.ZeroBase()) ++largest;
    return std::min(8, std::max(FLeftbar.Column(), Digits(std::max(largest, 0))));
}

void TEditorController::SetFixedMetrics(int CharWidth, int FontHeight) {
    FFixedCharWidth = CharWidth;
    FFixedFontHeight = FontHeight;
    InitDrawInfo();
    UpdateScrollBars();
    Invalidate({0, 0, FSurface->Width(), FSurface->Height()});
}

void TEditorController::InitDrawInfo() {
    int charWidth = 0, fontHeight = 0;
    FSurface->MeasureFont(FFont, charWidth, fontHeight);
    if (FFixedCharWidth > 0) {
        FCharWidth = FFixedCharWidth + FMargin.Character();
        FFontHeight = FFixedFontHeight;
    } else {
        FCharWidth = charWidth + FMargin.Character();
        FFontHeight = fontHeight;
    }
    FCharWidth = std::max(FCharWidth, 1);
    FFontHeight = std::max(FFontHeight, 1);
    FRowHeight = FFontHeight + FMargin.Line() + (FMargin.UnderlineSpace() ? 1 : 0);
    FLeftbarDigits = ComputeLeftbarDigits();
    FVisibleRowCount = std::max(1, (FSurface->Height() - TextTop() - 5) / FRowHeight);
    FVisibleColCount = std::max(1, (FSurface->Width() - TextLeft() - FCharWidth / 2) / FCharWidth);
}

void TEditorController::Resized() {
    InitDrawInfo();
    UpdateScrollBars();
}

// ---- scrolling

void TEditorController::UpdateScrollBars() {
    FSurface->SetScrollBars(RowCount(), FVisibleRowCount, FTopRow, std::max(0, kMaxDisplayCol - FVisibleColCount / 2),
                            FVisibleColCount, FTopCol);
    // The view may now start beyond the text.
    if (FTopRow > RowCount()) SetTopRow(RowCount());
}

void TEditorController::SetTopRow(int Value) {
    Value = std::clamp(Value, 0, RowCount());
    if (Value == FTopRow) return;
    const int delta = Value - FTopRow;
    FTopRow = Value;
    const TRect below{0, TextTop(), FSurface->Width(), FSurface->Height() - TextTop()};
    if (std::abs(delta) > FVisibleRowCount + 1)
        Invalidate(below);
    else
        ScrollArea(below, 0, -delta * FRowHeight);
    UpdateScrollBars();
    Notify(TEditorNews::TopRowChange);
}

void TEditorController::SetTopCol(int Value) {
    Value = std::clamp(Value, 0, std::max(0, kMaxDisplayCol - FVisibleColCount / 2));
    if (Value == FTopCol) return;
    const int delta = Value - FTopCol;
    FTopCol = Value;
    const TRect right{TextLeft(), TextTop(), FSurface->Width() - TextLeft(), FSurface->Height() - TextTop()};
    if (std::abs(delta) > FVisibleColCount)
        Invalidate(right);
    else
        ScrollArea(right, -delta * FCharWidth, 0);
    if (FRuler.Visible()) Invalidate(RulerArea());
    UpdateScrollBars();
    Notify(TEditorNews::TopColChange);
}

void TEditorController::ScrollBarsMoved(int TopRow, int TopCol) {
    // The same path as the scroll messages, LockScroll included.
    const int step = TopRow - FTopRow;
    SetTopRow(TopRow);
    if (FCaret.LockScroll() && step) SetRowCol(FRow + step, FCol);
    SetTopCol(TopCol);
}

TRect TEditorController::RulerArea() const { return {TextLeft(), 0, FSurface->Width() - TextLeft(), RulerHeight()}; }

void TEditorController::Invalidate(const TRect& Area) {
    if (!Area.Empty()) FSurface->Invalidate(Area);
}

void TEditorController::ScrollArea(const TRect& Area, int Dx, int Dy) {
    if (Area.Empty()) return;
    if (FSurface->HasFocus()) SetCaretBlinkOn(false);  // the caret's pixels must not move with the text
    FSurface->Scroll(Area, Dx, Dy);
}

void TEditorController::InvalidateRow(int Row) {
    if (Row < FTopRow || Row > FTopRow + FVisibleRowCount) return;
    const int top = TextTop() + (Row - FTopRow) * FRowHeight;
    Invalidate({TextLeft(), top, FSurface->Width() - TextLeft(), FRowHeight});
}

void TEditorController::InvalidateRows(int From, int To) {
    From = std::max(From, FTopRow);
    To = std::min(To, FTopRow + FVisibleRowCount);
    if (From > To) return;
    const int top = TextTop() + (From - FTopRow) * FRowHeight;
    const int bottom = TextTop() + (To - FTopRow + 1) * FRowHeight;  // the caret-row underline included
    Invalidate({0, top, FSurface->Width(), bottom - top});
}

void TEditorController::InvalidateLeftbar(int From, int To) {
    From = std::max(From, FTopRow);
    To = std::min(To, FTopRow + FVisibleRowCount);
    if (From > To || !FLeftbar.Visible()) return;
    const int top = TextTop() + (From - FTopRow) * FRowHeight;
    const int bottom = TextTop() + (To - FTopRow + 1) * FRowHeight;  // the caret-row underline included
    Invalidate({ImagebarWidth(), top, LeftbarWidth(), bottom - top});
}

// Repaints what the last change of the document touched: its rows, and the rows after them
// moved by a scroll of the window instead of a repaint.
void TEditorController::RepaintChange() {
    const TEditorScreenStrings& doc = *FDocument;
    if (!doc.ChangeFlag()) return;
    const int r = doc.ChangeRow(), o = doc.ChangeOldCount(), n = doc.ChangeNewCount(), t = doc.ChangeTokenCount();
    const int d = n - o;
    const int width = FSurface->Width(), height = FSurface->Height();
    if (std::abs(d) > FVisibleRowCount) {
        Invalidate({0, TextTop(), width, height - TextTop()});
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
            ScrollArea({0, top, width, height - top}, 0, shift);
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

void TEditorController::SetOverwriteMode(bool Value) {
    if (FOverwriteMode == Value) return;
    Invalidate(CaretRect());
    FOverwriteMode = Value;
    Invalidate(CaretRect());
}

TRect TEditorController::CaretRect() const {
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
        return {x, y, lead ? 2 * cell : cell, FFontHeight};
    }
    if (FSelectionState == ssHit && FHitStyle == hsCaret) {
        // A search hit shown by the caret: a block as wide as the hit (to the row's end when it
        // runs on).
        const int endCol = FDispEndRow == FDispStartRow ? FDispEndCol : RowWidth(FDispStartRow);
        const int x0 = TextLeft() + (FDispStartCol - FTopCol) * FCharWidth;
        return {x0, TextTop() + (FDispStartRow - FTopRow) * FRowHeight, std::max(2, FCharWidth * (endCol - FDispStartCol)),
                FFontHeight};
    }
    if (FCaret.Style() == csBrief) return {x, y + FFontHeight - 2, cell, 2};
    return {x, y, 2, FFontHeight};
}

void TEditorController::SetCaretBlinkOn(bool Value) {
    if (FCaretBlinkOn == Value) return;
    FCaretBlinkOn = Value;
    Invalidate(CaretRect());
}

void TEditorController::LockCaret() { ++FCaretLocks; }

void TEditorController::UnlockCaret() {
    if (FCaretLocks > 0 && --FCaretLocks == 0) Invalidate(CaretRect());
}

// ---- the document's questions and news

int TEditorController::TabSpaceCount() const {
    // Every editor of a document lays rows out with its main editor's tab width.
    const IDocumentView* main = FDocument ? FDocument->MainEditor() : nullptr;
    return main && main != this ? main->TabSpaceCount() : FCaret.TabSpaceCount();
}

int TEditorController::ScreenHeight() const { return FSurface->Height(); }

void TEditorController::RefreshView() {
    InitDrawInfo();
    UpdateScrollBars();
    Invalidate({0, 0, FSurface->Width(), FSurface->Height()});
}

void TEditorController::DocumentChanged() {
    const int digits = ComputeLeftbarDigits();
    if (digits != FLeftbarDigits && FLeftbar.Visible()) {
        // The line-number bar grows or shrinks: everything moves sideways.
        InitDrawInfo();
        FSurface->InvalidateAll();
    } else {
        RepaintChange();
    }
    UpdateScrollBars();
    if (!FDocument->ChangeFlag()) return;
    // Another editor changed the text: a selection here may name rows that are gone.
    if (!FSurface->HasFocus() && FSelectionState != ssNoSelection) DropSelection();
    FModified = !FDocument->UndoEngine().AtSaved();
    Notify(TEditorNews::Change);
}

void TEditorController::EndLoad() {
    if (FLoading == 0 || --FLoading > 0) return;
    FDocument->EndLoad();
    SetModified(false);
}

}  // namespace orvane
