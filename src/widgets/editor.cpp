// The editor control: the surface the editor's logic draws on, the Qt events of the frame
// (focus, size, scroll bars, the caret's blinking), and the colours of the palette. Keyboard,
// mouse and input method are in editorinput.cpp, painting in editorpaint.cpp.
#include "widgets/editor.h"
#include "widgets/editorglyphs.h"

#include "platform/clipboard.h"
#include "platform/errordisplay.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPalette>
#include <QScrollBar>

#include <cmath>

namespace orvane {

TKeyModifiers ToKeyModifiers(Qt::KeyboardModifiers Modifiers) {
    TKeyModifiers out = kmNone;
    if (Modifiers & Qt::ShiftModifier) out |= kmShift;
    if (Modifiers & Qt::ControlModifier) out |= kmCtrl;
    if (Modifiers & Qt::AltModifier) out |= kmAlt;
    return out;
}

TMouseButtons ToMouseButtons(Qt::MouseButtons Buttons) {
    TMouseButtons out = mbNone;
    if (Buttons & Qt::LeftButton) out |= mbLeft;
    if (Buttons & Qt::RightButton) out |= mbRight;
    if (Buttons & Qt::MiddleButton) out |= mbMiddle;
    return out;
}

// The viewport as the controller's surface.
class TEditor::TSurface final : public IEditorSurface {
public:
    explicit TSurface(TEditor& Editor) : FEditor(Editor) {}

    int Width() const override { return FEditor.viewport()->width(); }
    int Height() const override { return FEditor.viewport()->height(); }
    void Invalidate(const TRect& Area) override {
        const QRect area = ToQRect(Area);
        if (FEditor.OnInvalidate) FEditor.OnInvalidate(area, 0);
        FEditor.viewport()->update(area);
    }
    void InvalidateAll() override { FEditor.viewport()->update(); }
    void RepaintNow() override { FEditor.viewport()->repaint(); }
    void Scroll(const TRect& Area, int Dx, int Dy) override {
        const QRect area = ToQRect(Area);
        if (FEditor.OnInvalidate) FEditor.OnInvalidate(area, Dx ? Dx : Dy);
        FEditor.viewport()->scroll(Dx, Dy, area);
    }
    void SetRedraw(bool On) override {
        FEditor.viewport()->setUpdatesEnabled(On);
        if (On) FEditor.viewport()->update();
    }
    bool Visible() const override { return FEditor.isVisible(); }
    bool HasFocus() const override { return FEditor.hasFocus(); }
    void TakeFocus() override { FEditor.setFocus(Qt::MouseFocusReason); }
    void ShowScrollBars(bool Vertical, bool Horizontal) override {
        FEditor.setVerticalScrollBarPolicy(Vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        FEditor.setHorizontalScrollBarPolicy(Horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    }
    void SetScrollBars(int RowMax, int RowPage, int TopRow, int ColMax, int ColPage, int TopCol) override {
        FEditor.FSyncingScrollBars = true;
        QScrollBar* v = FEditor.verticalScrollBar();
        v->setRange(0, RowMax);
        v->setPageStep(RowPage);
        v->setSingleStep(1);
        v->setValue(TopRow);
        QScrollBar* h = FEditor.horizontalScrollBar();
        h->setRange(0, ColMax);
        h->setPageStep(ColPage);
        h->setSingleStep(1);
        h->setValue(TopCol);
        FEditor.FSyncingScrollBars = false;
    }
    void SetCursorShape(TCursor Cursor) override { FEditor.viewport()->setCursor(QtCursorOf(Cursor)); }
    void MeasureFont(const TFont& Font, int& CharWidth, int& FontHeight) override {
        FEditor.FQFont = ResolveEditorFont(QString::fromStdString(Font.Name()), Font.Size(), Font.Style() & fsBold,
                                           Font.Style() & fsItalic);
        FEditor.FQFont.setUnderline(false);  // underlines are drawn dotted by the painter
        const QFontMetricsF metrics(FEditor.FQFont);
        FontHeight = int(std::ceil(metrics.height() + metrics.leading()));
        CharWidth = int(std::lround(metrics.horizontalAdvance(QLatin1Char('M'))));
        FEditor.ResetGlyphCache();
    }
    void SetClipboard(std::string_view Sjis, bool Box, const TCharMap* Map) override {
        SetClipboardText(Sjis, Box, Map);
    }
    bool ClipboardHasText() const override { return orvane::ClipboardHasText(); }
    bool ClipboardHasBox() const override { return orvane::ClipboardHasBox(); }
    std::string ClipboardText(TCharMap* Map) override { return orvane::ClipboardText(Map); }
    void ShowError(const std::string& Message) override { ShowErrorMessage(&FEditor, Message); }
    void News(TEditorNews What, bool Selected) override {
        TEditor& e = FEditor;
        switch (What) {
            case TEditorNews::Change: if (e.OnChange) e.OnChange(e); break;
            case TEditorNews::CaretMoved: if (e.OnCaretMoved) e.OnCaretMoved(e); break;
            case TEditorNews::TopRowChange: if (e.OnTopRowChange) e.OnTopRowChange(e); break;
            case TEditorNews::TopColChange: if (e.OnTopColChange) e.OnTopColChange(e); break;
            case TEditorNews::SelectionChange: if (e.OnSelectionChange) e.OnSelectionChange(e, Selected); break;
            case TEditorNews::SelectionModeChange: if (e.OnSelectionModeChange) e.OnSelectionModeChange(e); break;
        }
    }

private:
    TEditor& FEditor;
};

TEditor::TEditor(QWidget* Parent)
    : QAbstractScrollArea(Parent), FQtSurface(std::make_unique<TSurface>(*this)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    setFrameShape(QFrame::StyledPanel);
    resize(185, 89);
    SetSurface(FQtSurface.get());
    SetScrollBars(ScrollBars());
    InitDrawInfo();
    UpdateScrollBars();
}

TEditor::~TEditor() {
    // The controller lets go of the surface, its mode and its document before the widget goes.
    Detach();
}

// ---- Qt events of the frame

void TEditor::scrollContentsBy(int, int) {
    if (FSyncingScrollBars) return;
    ScrollBarsMoved(verticalScrollBar()->value(), horizontalScrollBar()->value());
}

void TEditor::timerEvent(QTimerEvent* Event) {
    if (Event->timerId() != FCaretTimer.timerId()) {
        QAbstractScrollArea::timerEvent(Event);
        return;
    }
    FCaretBlinkOn = !FCaretBlinkOn;
    viewport()->update(ToQRect(CaretRect()));
}

void TEditor::focusInEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusInEvent(Event);
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0) FCaretTimer.start(flash / 2, this);
    FCaretBlinkOn = true;
    viewport()->update(ToQRect(CaretRect()));
}

void TEditor::focusOutEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusOutEvent(Event);
    FCaretTimer.stop();
    viewport()->update(ToQRect(CaretRect()));
}

void TEditor::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    Resized();
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

}  // namespace orvane
