// The editor control: a scroll area that shows a document. The editor's logic (caret, selection,
// editing, messages) is TEditorController's; this class translates Qt's events into it, paints
// what it describes, and is the surface it draws on.
#pragma once

#include "editor/controller.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QCursor>
#include <QFont>
#include <QRect>

#include <functional>
#include <memory>
#include <vector>
#include <string_view>

namespace orvane {

class TEditor;

// Called once per painted text row after its tokens and before its end mark.
using TDrawLineEvent = std::function<void(TEditor& Sender, std::string_view LineStr, int X, int Y, int Index,
                                          QRect& ARect, bool Selected)>;
using TEditorEvent = std::function<void(TEditor& Sender)>;

inline QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Width, R.Height); }
inline TRect ToTRect(const QRect& R) { return {R.x(), R.y(), R.width(), R.height()}; }
inline TPoint ToTPoint(const QPoint& P) { return {P.x(), P.y()}; }
TKeyModifiers ToKeyModifiers(Qt::KeyboardModifiers Modifiers);
TMouseButtons ToMouseButtons(Qt::MouseButtons Buttons);
// The Qt cursor of a cursor id (the registered ones drawn by the program).
QCursor QtCursorOf(TCursor Id);

class TEditor : public QAbstractScrollArea, public TEditorController {
    Q_OBJECT

public:
    explicit TEditor(QWidget* Parent = nullptr);
    ~TEditor() override;

    // ---- the controller's calls, with Qt's types
    using TEditorController::KeyDown;
    using TEditorController::KeyTab;
    using TEditorController::MouseDown;
    using TEditorController::MouseMove;
    using TEditorController::MouseUp;
    using TEditorController::PointToRowCol;
    using TEditorController::SelectTokenAtPos;
    using TEditorController::SelectWordAtPos;
    using TEditorController::SetMessageKeyState;
    using TEditorController::TokenAtPos;
    void KeyTab(Qt::KeyboardModifiers Modifiers) { KeyTab(ToKeyModifiers(Modifiers)); }
    void KeyDown(unsigned Key, Qt::KeyboardModifiers Modifiers, bool Repeat) {
        KeyDown(Key, ToKeyModifiers(Modifiers), Repeat);
    }
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, QPoint Position) {
        MouseDown(ToMouseButtons(Button), ToKeyModifiers(Modifiers), ToTPoint(Position));
    }
    void MouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers, QPoint Position) {
        MouseMove(ToMouseButtons(Buttons), ToKeyModifiers(Modifiers), ToTPoint(Position));
    }
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, QPoint Position) {
        MouseUp(ToMouseButtons(Button), ToKeyModifiers(Modifiers), ToTPoint(Position));
    }
    bool PointToRowCol(QPoint Position, int& Row, int& Index) const {
        return PointToRowCol(ToTPoint(Position), Row, Index);
    }
    bool TokenAtPos(QPoint Position, std::string& Token, TTokenKind& Kind) {
        return TokenAtPos(ToTPoint(Position), Token, Kind);
    }
    void SelectTokenAtPos(QPoint Position) { SelectTokenAtPos(ToTPoint(Position)); }
    // The X11 primary selection: the selected text is offered (after a selection by the mouse or
    // the keys); a middle click pastes it.
    void OfferPrimarySelection();
    void SelectWordAtPos(QPoint Position) { SelectWordAtPos(ToTPoint(Position)); }
    void SetMessageKeyState(Qt::KeyboardModifiers Modifiers) { SetMessageKeyState(ToKeyModifiers(Modifiers)); }
    // The result of the input method, as UTF-16 text.
    void InputMethodResult(const QString& Text);

    // ---- the input method's composition: drawn over the text at the caret, in the cell grid;
    // the document is untouched until the commit (editorime.cpp)
    bool Composing() const noexcept { return !FPreedit.Text.isEmpty(); }
    const QString& PreeditText() const noexcept { return FPreedit.Text; }
    // The cell of each character of the composition, in viewport pixels (wrapping at the wrap
    // column as the text would), and the rectangle of its cursor.
    std::vector<QRect> PreeditCells() const;
    QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override;
    QRect PreeditCursorRect() const;

    // ---- painting
    void PaintRect(QPainter& Painter, const QRect& Rect);
    // Test hook: every area the control invalidates or scrolls, in viewport pixels.
    std::function<void(const QRect& Area, int ScrolledBy)> OnInvalidate;
    // The QColor of a setting's colour (system colours through the palette).
    QColor ToQColor(TColor Color) const;

    // ---- events
    TDrawLineEvent OnDrawLine;
    TEditorEvent OnChange;
    TEditorEvent OnCaretMoved;
    TEditorEvent OnTopRowChange;
    TEditorEvent OnTopColChange;
    std::function<void(TEditor& Sender, bool Selected)> OnSelectionChange;
    TEditorEvent OnSelectionModeChange;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void timerEvent(QTimerEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void inputMethodEvent(QInputMethodEvent* Event) override;

    // ---- painting hooks for editors derived from this one
    // Called for each drawn part of a text row (after its text): fires OnDrawLine. OriginX is
    // the x of the row's column 0; the painter is clipped to PartRect.
    virtual void DoDrawLine(QPainter& P, const TRowPlan& Plan, int OriginX, int Y, const QRect& PartRect,
                            bool Selected);
    // Draws the caret-row underline at Y (Marks.Underline visible), across the whole width.
    virtual void DrawUnderline(QPainter& P, int Y);
    // Draws bytes of text on the cell grid from x, one cell a byte, in one look.
    void DrawCells(QPainter& P, int X, int Y, std::string_view Text, const QColor& Fg, const QColor* Bg,
                   TFontStyles Style);

private:
    class TSurface;
    friend class TSurface;

    void HandleKeyPress(QKeyEvent* Event);
    void HandleInputMethod(QInputMethodEvent* Event);
    // The caret's logical line as Unicode, and the UTF-16 index of each character boundary.
    QString SurroundingText(int* CursorIndex, int* AnchorIndex) const;
    // Replaces the characters [From, From + Length) of the caret's line (UTF-16 indexes) by Text.
    void ReplaceInLine(int From, int Length, const QString& Text);
    void PaintPreedit(QPainter& P);
    void PastePrimarySelection(QPoint Position);

    // Painting (editorpaint.cpp).
    void ResetGlyphCache();
    void PaintCorner(QPainter& P);
    void PaintRuler(QPainter& P);
    void PaintImagebar(QPainter& P, int FirstRow, int LastRow);
    void PaintLeftbar(QPainter& P, int FirstRow, int LastRow);
    void PaintTextRow(QPainter& P, const TRowPlan& Plan, int Y, const QRect& Clip);
    void PaintEndMark(QPainter& P, const TRowPlan& Plan, int X, int Y);

    std::unique_ptr<TSurface> FQtSurface;
    // The font and the glyphs drawn on the cell grid: a glyph index per code page 932 code and
    // style, looked up once (the top bit marks a glyph of the fallback font).
    QFont FQFont;
    struct TGlyphCache;
    std::unique_ptr<TGlyphCache> FGlyphs;
    QBasicTimer FCaretTimer;
    struct TPreedit {
        QString Text;
        int Cursor = 0;
        bool CursorVisible = true;
        struct TSpan {
            int Start = 0, Length = 0;
            bool Target = false;  // the segment being converted: drawn highlighted
        };
        std::vector<TSpan> Spans;
    } FPreedit;
    bool FSyncingScrollBars = false;
};

}  // namespace orvane
