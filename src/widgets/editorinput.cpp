// Keyboard and mouse of the editor control: navigation keys, clicks, dragging a selection, row
// selection in the left margin, the wheel and the mouse cursor. Qt events and messages sent
// through Perform reach the same handlers.
#include "widgets/editor.h"

#include "base/cursors.h"
#include "platform/errordisplay.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace orvane {
namespace {

enum TCursorKind { ckDefault, ckLeftMargin, ckTopMargin, ckInSelection, ckDrag, ckDragCopy };

unsigned VirtualKeyOf(int Key) {
    switch (Key) {
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab: return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        default: return 0;
    }
}

bool IsNavigationKey(unsigned Key) { return Key >= VK_PRIOR && Key <= VK_DOWN; }

// A right-pointing arrow for the left margin, drawn here.
QCursor RightArrowCursor() {
    static const QCursor cursor = [] {
        QPixmap picture(16, 16);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF arrow[] = {{14, 1}, {14, 13}, {11, 10}, {8, 15}, {6, 14}, {9, 9}, {4, 9}};
        p.setBrush(Qt::black);
        p.setPen(QPen(Qt::white, 1));
        p.drawPolygon(arrow, 7);
        p.end();
        return QCursor(picture, 14, 1);
    }();
    return cursor;
}

QCursor QtCursorOf(TCursor Id) {
    if (Id == RightArrowCursorId()) return RightArrowCursor();
    if (Id == DragSelCopyCursorId()) return QCursor(Qt::DragCopyCursor);
    switch (Id) {
        case crIBeam: return QCursor(Qt::IBeamCursor);
        case crDrag:
        case crMultiDrag: return QCursor(Qt::DragMoveCursor);
        case crCross: return QCursor(Qt::CrossCursor);
        case crSizeWE: return QCursor(Qt::SizeHorCursor);
        case crSizeNS: return QCursor(Qt::SizeVerCursor);
        case crUpArrow: return QCursor(Qt::UpArrowCursor);
        case crHourGlass:
        case crSQLWait: return QCursor(Qt::WaitCursor);
        case crNo:
        case crNoDrop: return QCursor(Qt::ForbiddenCursor);
        case crHandPoint: return QCursor(Qt::PointingHandCursor);
        case crHelp: return QCursor(Qt::WhatsThisCursor);
        case crNone: return QCursor(Qt::BlankCursor);
        default: return QCursor(Qt::ArrowCursor);
    }
}

}  // namespace

// ---- keyboard

void TEditor::keyPressEvent(QKeyEvent* Event) {
    GuardedEvent(this, [&] { HandleKeyPress(Event); });
}

void TEditor::HandleKeyPress(QKeyEvent* Event) {
    const unsigned key = VirtualKeyOf(Event->key());
    const Qt::KeyboardModifiers mods = Event->modifiers();
    if (IsNavigationKey(key) || key == VK_ESCAPE || key == VK_CONTROL) {
        KeyDown(key, mods, Event->isAutoRepeat());
    } else if (FDragState != 0 || (FButtons & Qt::LeftButton)) {
        // nothing is typed while the mouse holds a selection
    } else if (key == VK_RETURN) {
        if (FWantReturns) KeyEnter(mods & Qt::ShiftModifier);
    } else if (key == VK_TAB) {
        KeyTab(mods);
    } else if (key == VK_BACK) {
        KeyBackspace();
    } else if (key == VK_DELETE) {
        KeyDelete();
    } else if (key == VK_INSERT && !(mods & (Qt::ShiftModifier | Qt::ControlModifier))) {
        SetOverwriteMode(!FOverwriteMode);
    } else if (Event->matches(QKeySequence::Copy)) {
        CopyToClipboard();
    } else if (Event->matches(QKeySequence::Cut)) {
        CutToClipboard();
    } else if (Event->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
    } else if (Event->matches(QKeySequence::Undo)) {
        if (!FReadOnly) Undo();
    } else if (Event->matches(QKeySequence::Redo)) {
        if (!FReadOnly) Redo();
    } else if (Event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (!Event->text().isEmpty() && Event->text().at(0).isPrint() && !(mods & Qt::ControlModifier)) {
        // A typed character arrives as Unicode text: one whole character in code page 932.
        InputMethodResult(Event->text());
    } else {
        QAbstractScrollArea::keyPressEvent(Event);
        return;
    }
    Event->accept();
}

void TEditor::keyReleaseEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Control && FDragState == 2) SetCursorKind(ckDrag);
    QAbstractScrollArea::keyReleaseEvent(Event);
}

void TEditor::KeyDown(unsigned Key, Qt::KeyboardModifiers Modifiers, bool Repeat) {
    FKeyRepeat = Repeat;
    if (FDragState != 0 || (FButtons & Qt::LeftButton)) {
        // While the mouse holds a selection, only the keys of a drag count.
        if (FDragState != 2) return;
        if (Key == VK_CONTROL) SetCursorKind(ckDragCopy);
        if (Key != VK_ESCAPE) return;
        FDragState = 0;
        FButtons = Qt::NoButton;
        SetCursorKind(ckDefault);
        DropSelection();
    }
    if (!IsNavigationKey(Key)) return;
    const bool shift = Modifiers & Qt::ShiftModifier;
    const bool ctrl = Modifiers & Qt::ControlModifier;
    if (!Selected() && shift)
        StartSelection();
    else if ((Selected() && !shift) || FSelectionState == ssHit)
        DropSelection();

    const int count = RowCount();
    LockCaret();
    switch (Key) {
        case VK_PRIOR:
        case VK_NEXT: {
            const int range = Repeat ? FSpeed.PageVerticalRangeAc() : FSpeed.PageVerticalRange();
            const int n = std::max(1, ((FVisibleRowCount - 1) / 2) * range);
            ScrollByRows(Key == VK_PRIOR ? -n : n);
            break;
        }
        case VK_HOME:
            if (ctrl)
                SetRowCol(0, 0);
            else
                SetCol(0);
            break;
        case VK_END:
            if (ctrl) {
                SetRow(count);
                SetCol(RowWidth(FRow));
            } else {
                SetCol(RowWidth(FRow));
            }
            break;
        case VK_LEFT:
            if (ctrl) {
                int row = FRow, col = FCol;
                if (WordMove(row, col, -1)) SetRowCol(row, col);
            } else if (FCol > 0) {
                SetCol(FCol - 1);
            } else if (FRow > 0 && (FCaret.NextLine() || FDocument->RowEndKind(FRow - 1) == reWrapped)) {
                SetRowCol(FRow - 1, RowWidth(FRow - 1));
            }
            break;
        case VK_RIGHT:
            if (ctrl) {
                int row = FRow, col = FCol;
                if (WordMove(row, col, +1)) SetRowCol(row, col);
            } else {
                const int before = FCol;
                SetCol(FCol + 1);
                if (FCol == before && FRow < count && FDocument->RowEndKind(FRow) != reEndOfText &&
                    (FCaret.NextLine() || FDocument->RowEndKind(FRow) == reWrapped))
                    SetRowCol(FRow + 1, 0);
            }
            break;
        case VK_UP: {
            const int n = Repeat && FRow == FTopRow ? FSpeed.CaretVerticalAc() : 1;
            if (ctrl) {
                SetTopRow(FTopRow - n);
                if (FRow > FTopRow + FVisibleRowCount - 1) SetRow(FRow - n);
            } else if (FRow > 0) {
                SetRow(FRow - n);
            }
            break;
        }
        case VK_DOWN: {
            const int n = Repeat && FRow == FTopRow + FVisibleRowCount - 1 ? FSpeed.CaretVerticalAc() : 1;
            if (ctrl) {
                SetTopRow(FTopRow + n);
                if (FRow < FTopRow) SetRow(FRow + n);
            } else {
                const bool lastWithoutBreak = FRow >= count || (FRow == count - 1 && FDocument->RowEndKind(FRow) == reEndOfText);
                if (!lastWithoutBreak) SetRow(FRow + n);
            }
            break;
        }
        default: break;
    }
    if (shift) UpdateSelection();
    UnlockCaret();
    ScrollCaret();
}

// ---- mouse

void TEditor::PixelToRowCol(int X, int Y, bool Nearest, int& Row, int& Col) const {
    const int cw = std::max(FCharWidth, 1);
    if (X < TextLeft()) X -= cw - 1;
    Col = Nearest ? std::max(0, (X + cw / 2 - 1 - TextLeft()) / cw + FTopCol) : std::max(0, (X - TextLeft()) / cw + FTopCol);
    Row = (Y - TextTop()) / std::max(FRowHeight, 1) + FTopRow;
}

bool TEditor::PointToRowCol(QPoint Position, int& Row, int& Index) const {
    Index = -1;
    if (RowCount() == 0 || FCharWidth == 0 || Position.x() < TextLeft() || Position.y() < TextTop()) return false;
    int col = 0;
    PixelToRowCol(Position.x(), Position.y(), false, Row, col);
    if (Row > RowCount()) return false;
    const std::string classes = RowClasses(Row);
    if (col >= int(classes.size())) return false;
    // A trail byte or a later column of a tab belongs to its character.
    while (col > 0 && (classes[std::size_t(col)] == ccTrail || classes[std::size_t(col)] == ccTab)) --col;
    Index = ByteOfCol(Row, col);
    return true;
}

void TEditor::SetCursorKind(int Kind) {
    if (!FCaret.AutoCursor() || Kind == FCursorKind) return;
    FCursorKind = Kind;
    TEditorCursors& cursors = FCaret.Cursors();
    TCursor id = cursors.DefaultCursor();
    switch (Kind) {
        case ckLeftMargin: id = cursors.LeftMarginCursor(); break;
        case ckTopMargin: id = cursors.TopMarginCursor(); break;
        case ckInSelection: id = cursors.InSelCursor(); break;
        case ckDrag: id = cursors.DragSelCursor(); break;
        case ckDragCopy: id = cursors.DragSelCopyCursor(); break;
        default: break;
    }
    viewport()->setCursor(QtCursorOf(id));
}

// True when (Row, Col) lies inside the selection as drawn.
static bool InsideSelection(int Row, int Col, int StartRow, int StartCol, int EndRow, int EndCol, bool Box) {
    if (Row < StartRow || Row > EndRow) return false;
    if (Box) return Col >= StartCol && Col < EndCol;
    if (Row == StartRow && Col < StartCol) return false;
    if (Row == EndRow && Col >= EndCol) return false;
    return true;
}

void TEditor::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, QPoint Position) {
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    if (Button != Qt::LeftButton) return;
    if (FDragState != 0) return;
    FButtons |= Qt::LeftButton;
    int row = 0, col = 0;
    if (Modifiers & Qt::ShiftModifier) {
        if (!Selected()) StartSelection();
        PixelToRowCol(Position.x(), Position.y(), true, row, col);
        SetRowCol(row, col);
        UpdateSelection();
        return;
    }
    FPressPoint = Position;
    PixelToRowCol(Position.x(), Position.y(), false, row, col);
    const bool canDrag = !FReadOnly && Selected() && FSelectionMode == smStream && FCaret.SelMove();
    if (canDrag && Position.x() >= TextLeft() &&
        InsideSelection(row, col, FDispStartRow, FDispStartCol, FDispEndRow, FDispEndCol, false)) {
        SetRowCol(row, col);
        if (FCaret.SelDragMode() == dmAutomatic) FDragState = 1;
        return;
    }
    PixelToRowCol(Position.x(), Position.y(), true, row, col);
    if (Position.x() < TextLeft() && FCaret.RowSelect() && RowCount() > 0) {
        // The row under the pointer, whole, with the caret at its start (the last row without a
        // line break from its end back to its start).
        const int count = RowCount();
        const int r = std::clamp(row, 0, count - 1);
        FRowSelecting = true;
        FRowSelectAnchor = r;
        LockCaret();
        DropSelection();
        FSelectionMode = smStream;
        if (r == count - 1 && FDocument->RowEndKind(r) == reEndOfText)
            SetRowCol(r, RowWidth(r));
        else
            SetRowCol(r + 1, 0);
        StartSelection();
        SetRowCol(r, 0);
        UpdateSelection();
        UnlockCaret();
        return;
    }
    LockCaret();
    SetRowCol(row, col);
    StartSelection();
    UnlockCaret();
}

void TEditor::MouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers, QPoint Position) {
    const int threshold = FCharWidth / 2;
    const bool moved = std::abs(Position.x() - FPressPoint.x()) >= threshold || std::abs(Position.y() - FPressPoint.y()) >= threshold;
    int row = 0, col = 0;
    if (FDragState == 1) {
        if (!moved) return;
        FDragState = 2;
        SetCursorKind((Modifiers & Qt::ControlModifier) ? ckDragCopy : ckDrag);
    }
    if (FDragState == 2) {
        // The caret shows where the selection would go.
        PixelToRowCol(Position.x(), Position.y(), false, row, col);
        if (Position.y() < TextTop()) row = std::max(0, FTopRow - 1);
        SetRowCol(row, col);
        return;
    }
    if (!(Buttons & Qt::LeftButton) || !(FButtons & Qt::LeftButton)) {
        int kind = ckDefault;
        if (Position.x() < TextLeft())
            kind = ckLeftMargin;
        else if (Position.y() < TextTop())
            kind = ckTopMargin;
        else if (!FReadOnly && Selected() && FSelectionMode == smStream && FCaret.SelMove()) {
            PixelToRowCol(Position.x(), Position.y(), false, row, col);
            if (InsideSelection(row, col, FDispStartRow, FDispStartCol, FDispEndRow, FDispEndCol, false)) kind = ckInSelection;
        }
        SetCursorKind(kind);
        return;
    }
    PixelToRowCol(Position.x(), Position.y(), true, row, col);
    if (Position.y() < TextTop()) row = std::max(0, FTopRow - 1);
    if (FRowSelecting) {
        // Whole rows from the anchor row to the row under the pointer; the caret at the moving end.
        const int count = RowCount();
        const int p = std::clamp(row, 0, count - 1), a = FRowSelectAnchor;
        auto lastWithoutBreak = [&](int r) { return r == count - 1 && FDocument->RowEndKind(r) == reEndOfText; };
        int anchorRow = a, anchorCol = 0, caretRow = p, caretCol = 0;
        if (p >= a) {
            if (lastWithoutBreak(p))
                caretCol = RowWidth(p);
            else
                caretRow = p + 1;
        } else if (lastWithoutBreak(a)) {
            anchorCol = RowWidth(a);
        } else {
            anchorRow = a + 1;
        }
        LockCaret();
        DropSelection();
        FSelectionMode = smStream;
        SetRowCol(anchorRow, anchorCol);
        StartSelection();
        SetRowCol(caretRow, caretCol);
        UpdateSelection();
        UnlockCaret();
        return;
    }
    SetRowCol(row, col);
    if (Selected() || (FSelectionState == ssAnchored && moved)) UpdateSelection();
}

void TEditor::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, QPoint Position) {
    if (Button != Qt::LeftButton) return;
    FButtons &= ~Qt::LeftButton;
    if (FDragState == 2) {
        MouseMove(Qt::LeftButton, Modifiers, Position);  // the drop point is where the button goes up
        FDragState = 0;
        DropDraggedSelection(Modifiers & Qt::ControlModifier);
        SetCursorKind(ckDefault);
        MouseMove(Qt::NoButton, Modifiers, Position);
    } else if (FDragState == 1) {
        FDragState = 0;
        SetCursorKind(ckDefault);
        DropSelection();
    }
    FRowSelecting = false;
}

void TEditor::mousePressEvent(QMouseEvent* Event) {
    GuardedEvent(this, [&] { MouseDown(Event->button(), Event->modifiers(), Event->position().toPoint()); });
}

void TEditor::mouseMoveEvent(QMouseEvent* Event) {
    GuardedEvent(this, [&] { MouseMove(Event->buttons(), Event->modifiers(), Event->position().toPoint()); });
}

void TEditor::mouseReleaseEvent(QMouseEvent* Event) {
    GuardedEvent(this, [&] { MouseUp(Event->button(), Event->modifiers(), Event->position().toPoint()); });
}

void TEditor::mouseDoubleClickEvent(QMouseEvent* Event) {
    // A double click is a press for the control itself; the application adds word selection.
    GuardedEvent(this, [&] { MouseDown(Event->button(), Event->modifiers(), Event->position().toPoint()); });
}

void TEditor::wheelEvent(QWheelEvent* Event) {
    GuardedEvent(this, [&] { Wheel(Event); });
}

void TEditor::Wheel(QWheelEvent* Event) {
    if (FDragState != 0 || (FButtons & Qt::LeftButton)) return;
    // Three rows a notch of 120, through the scroll-bar path (so LockScroll holds).
    FWheelDelta += Event->angleDelta().y();
    while (std::abs(FWheelDelta) >= 120) {
        const unsigned code = FWheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN;
        for (int i = 0; i < 3; ++i) Perform(WM_VSCROLL, code, 0);
        FWheelDelta += FWheelDelta > 0 ? -120 : 120;
    }
    Event->accept();
}

}  // namespace orvane
