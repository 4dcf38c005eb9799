// Keyboard and mouse of the editor: navigation keys, clicks, dragging a selection, row selection
// in the left margin, the wheel and the mouse cursor. The control's events and messages sent
// through Perform reach the same handlers.
#include "editor/controller.h"

#include "base/cursors.h"

#include <algorithm>
#include <cstdlib>

namespace orvane {
namespace {

enum TCursorKind { ckDefault, ckLeftMargin, ckTopMargin, ckInSelection, ckDrag, ckDragCopy };

bool IsNavigationKey(unsigned Key) { return Key >= VK_PRIOR && Key <= VK_DOWN; }

}  // namespace

// ---- keyboard

void TEditorController::CtrlReleased() {
    if (FDragState == dsDragging) SetCursorKind(ckDrag);
}

void TEditorController::KeyDown(unsigned Key, TKeyModifiers Modifiers, bool Repeat) {
    FKeyRepeat = Repeat;
    if (IsNavigationKey(Key)) FTyping.Kind = TTypingKind::None;  // moving the caret ends a run of typing
    if (MouseHoldsSelection()) {
        // While the mouse holds a selection, only the keys of a drag count.
        if (FDragState != dsDragging) return;
        if (Key == VK_CONTROL) SetCursorKind(ckDragCopy);
        if (Key != VK_ESCAPE) return;
        FDragState = dsNone;
        FButtons = mbNone;
        SetCursorKind(ckDefault);
        DropSelection();
    }
    if (!IsNavigationKey(Key)) return;
    const bool shift = Modifiers & kmShift;
    const bool ctrl = Modifiers & kmCtrl;
    // Alt+Shift selects a box for as long as it is held with the keys.
    UseBoxWhile(shift && (Modifiers & kmAlt));
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

void TEditorController::PixelToRowCol(int X, int Y, bool Nearest, int& Row, int& Col) const {
    const int cw = std::max(FCharWidth, 1);
    if (X < TextLeft()) X -= cw - 1;
    Col = Nearest ? std::max(0, (X + cw / 2 - 1 - TextLeft()) / cw + FTopCol) : std::max(0, (X - TextLeft()) / cw + FTopCol);
    Row = (Y - TextTop()) / std::max(FRowHeight, 1) + FTopRow;
}

bool TEditorController::PointToRowCol(TPoint Position, int& Row, int& Index) const {
    Index = -1;
    if (RowCount() == 0 || FCharWidth == 0 || Position.X < TextLeft() || Position.Y < TextTop()) return false;
    int col = 0;
    PixelToRowCol(Position.X, Position.Y, false, Row, col);
    if (Row > RowCount()) return false;
    const std::string classes = RowClasses(Row);
    if (col >= int(classes.size())) return false;
    // A trail byte or a later column of a tab belongs to its character.
    while (col > 0 && (classes[std::size_t(col)] == ccTrail || classes[std::size_t(col)] == ccTab)) --col;
    Index = ByteOfCol(Row, col);
    return true;
}

void TEditorController::SetCursorKind(int Kind) {
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
    FSurface->SetCursorShape(id);
}

// True when (Row, Col) lies inside the selection as drawn.
static bool InsideSelection(int Row, int Col, int StartRow, int StartCol, int EndRow, int EndCol, bool Box) {
    if (Row < StartRow || Row > EndRow) return false;
    if (Box) return Col >= StartCol && Col < EndCol;
    if (Row == StartRow && Col < StartCol) return false;
    if (Row == EndRow && Col >= EndCol) return false;
    return true;
}

void TEditorController::MouseDown(TMouseButtons Button, TKeyModifiers Modifiers, TPoint Position) {
    if (!FSurface->HasFocus()) FSurface->TakeFocus();
    FTyping.Kind = TTypingKind::None;
    if (Button != mbLeft) return;
    if (FDragState != dsNone) return;
    FButtons |= mbLeft;
    int row = 0, col = 0;
    if (Modifiers & kmShift) {
        if (!Selected()) StartSelection();
        PixelToRowCol(Position.X, Position.Y, true, row, col);
        SetRowCol(row, col);
        UpdateSelection();
        return;
    }
    FPressPoint = Position;
    // Alt+drag selects a box.
    UseBoxWhile(Modifiers & kmAlt);
    PixelToRowCol(Position.X, Position.Y, false, row, col);
    const bool canDrag = !FReadOnly && Selected() && FSelectionMode == smStream && FCaret.SelMove();
    if (canDrag && Position.X >= TextLeft() &&
        InsideSelection(row, col, FDispStartRow, FDispStartCol, FDispEndRow, FDispEndCol, false)) {
        SetRowCol(row, col);
        if (FCaret.SelDragMode() == dmAutomatic) FDragState = dsPressed;
        return;
    }
    PixelToRowCol(Position.X, Position.Y, true, row, col);
    if (Position.X < TextLeft() && FCaret.RowSelect() && RowCount() > 0) {
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

void TEditorController::UseBoxWhile(bool Held) {
    if (Held && FSelectionMode != smBox) {
        SetSelectionMode(smBox);
        FBoxByModifier = FSelectionMode == smBox;
    } else if (!Held && FBoxByModifier) {
        // Back to the mode chosen before: the box came with the modifier only.
        SetSelectionMode(smStream);
    }
}

void TEditorController::MouseMove(TMouseButtons Buttons, TKeyModifiers Modifiers, TPoint Position) {
    const int threshold = FCharWidth / 2;
    const bool moved = std::abs(Position.X - FPressPoint.X) >= threshold || std::abs(Position.Y - FPressPoint.Y) >= threshold;
    int row = 0, col = 0;
    if (FDragState == dsPressed) {
        if (!moved) return;
        FDragState = dsDragging;
        SetCursorKind((Modifiers & kmCtrl) ? ckDragCopy : ckDrag);
    }
    if (FDragState == dsDragging) {
        // The caret shows where the selection would go.
        PixelToRowCol(Position.X, Position.Y, false, row, col);
        if (Position.Y < TextTop()) row = std::max(0, FTopRow - 1);
        SetRowCol(row, col);
        return;
    }
    if (!(Buttons & mbLeft) || !(FButtons & mbLeft)) {
        int kind = ckDefault;
        if (Position.X < TextLeft())
            kind = ckLeftMargin;
        else if (Position.Y < TextTop())
            kind = ckTopMargin;
        else if (!FReadOnly && Selected() && FSelectionMode == smStream && FCaret.SelMove()) {
            PixelToRowCol(Position.X, Position.Y, false, row, col);
            if (InsideSelection(row, col, FDispStartRow, FDispStartCol, FDispEndRow, FDispEndCol, false)) kind = ckInSelection;
        }
        SetCursorKind(kind);
        return;
    }
    PixelToRowCol(Position.X, Position.Y, true, row, col);
    if (Position.Y < TextTop()) row = std::max(0, FTopRow - 1);
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

void TEditorController::MouseUp(TMouseButtons Button, TKeyModifiers Modifiers, TPoint Position) {
    if (Button != mbLeft) return;
    FButtons &= ~mbLeft;
    if (FDragState == dsDragging) {
        MouseMove(mbLeft, Modifiers, Position);  // the drop point is where the button goes up
        FDragState = dsNone;
        DropDraggedSelection(Modifiers & kmCtrl);
        SetCursorKind(ckDefault);
        MouseMove(mbNone, Modifiers, Position);
    } else if (FDragState == dsPressed) {
        FDragState = dsNone;
        SetCursorKind(ckDefault);
        DropSelection();
    }
    FRowSelecting = false;
}

void TEditorController::Wheel(int AngleDelta) {
    if (MouseHoldsSelection()) return;
    // Three rows a notch of 120, through the scroll-bar path (so LockScroll holds). Part of a
    // notch left over from the other direction is dropped: a turn back scrolls at once.
    if ((AngleDelta > 0 && FWheelDelta < 0) || (AngleDelta < 0 && FWheelDelta > 0)) FWheelDelta = 0;
    FWheelDelta += AngleDelta;
    while (std::abs(FWheelDelta) >= 120) {
        const unsigned code = FWheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN;
        for (int i = 0; i < 3; ++i) Perform(WM_VSCROLL, code, 0);
        FWheelDelta += FWheelDelta > 0 ? -120 : 120;
    }
}

}  // namespace orvane
