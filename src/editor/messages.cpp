// The messages of the editor: Perform, and the edit-control messages.
#include "editor/controller.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace orvane {

namespace {

// The row and byte index that a character offset falls on, walking the rows as SelStart does
// (a line break counts 2, the end of the text 1, a wrap 0). Past the text: row count, byte 0.
struct TRowByte {
    int Row = 0;
    int Byte = 0;
};

TRowByte RowByteOfOffset(const TEditorScreenStrings& Doc, int Offset) {
    const int count = Doc.GetCount();
    int rest = std::max(Offset, 0);
    for (int r = 0; r < count; ++r) {
        const int text = int(Doc.RowView(r).size());
        const TRowEndKind end = Doc.RowEndKind(r);
        const int length = text + (end == reLineBreak ? 2 : end == reEndOfText ? 1 : 0);
        if (rest < length || end == reEndOfText) return {r, std::min(rest, text)};
        rest -= length;
    }
    return {count, 0};
}

int ClampedTextLen(const TEditorScreenStrings& Doc) {
    return int(std::min<std::size_t>(Doc.GetTextLen(), INT_MAX));
}

}  // namespace

// ---- edit-control messages
//
// A line of these messages is a screen row and a position is a character offset (line breaks
// count 2). Answers packed with MakeLong keep the low 16 bits of each half, as edit controls do;
// the out-pointers of EM_GETSEL carry the full values.

TMessageLong TEditorController::EditControlMessage(unsigned Msg, TMessageParam WParam, TMessageLong LParam, bool& Handled) {
    Handled = true;
    const int wordArg = int(std::intptr_t(WParam));
    const bool hasSelection = FSelectionState == ssSelected || FSelectionState == ssHit;
    switch (Msg) {
        case EM_GETSEL: {
            const int start = SelStart();
            const int end = start + SelLength();
            if (int* out = reinterpret_cast<int*>(WParam)) *out = start;
            if (int* out = reinterpret_cast<int*>(LParam)) *out = end;
            return MakeLong(unsigned(start), unsigned(end));
        }
        case EM_SETSEL: {
            const int a = wordArg, b = int(LParam);
            if (a == 0 && b == -1) {
                SelectAll();
            } else if (a == -1) {
                DropSelection();
            } else {
                // A negative end means the end of the text, as callers of edit controls expect.
                const int length = ClampedTextLen(*FDocument);
                const int from = std::clamp(a, 0, length);
                const int to = b < 0 ? length : std::min(b, length);
                SetSelStart(std::min(from, to));
                SetSelLength(std::max(from, to) - std::min(from, to));
            }
            return 0;
        }
        case EM_LINEFROMCHAR:
            if (wordArg == -1) return hasSelection ? FSelStartRow : FRow;
            return RowByteOfOffset(*FDocument, wordArg).Row;
        case EM_LINEINDEX: {
            int row = wordArg;
            if (row == -1) {
                row = FRow;
                if (row >= RowCount()) return ClampedTextLen(*FDocument);  // the row after the last
            }
            if (row < 0 || row >= RowCount()) return -1;
            return OffsetOf(0, row, 0);
        }
        case EM_LINELENGTH:
            if (wordArg == -1) {
                // The bytes of the first and last selected rows that lie outside the selection.
                if (hasSelection)
                    return FSelStartByte + std::max(0, RowLength(FSelEndRow) - FSelEndByte - 1);
                return RowLength(FRow);
            }
            return RowLength(RowByteOfOffset(*FDocument, wordArg).Row);
        case EM_GETLINE: {
            char* buffer = reinterpret_cast<char*>(LParam);
            if (!buffer || wordArg < 0 || wordArg >= RowCount()) return 0;
            std::uint16_t size = 0;
            std::memcpy(&size, buffer, sizeof size);
            const std::string_view row = FDocument->RowView(wordArg);
            const std::size_t n = std::min<std::size_t>(size, row.size());
            if (n > 0) std::memcpy(buffer, row.data(), n);
            return TMessageLong(n);
        }
        case EM_GETLINECOUNT:
            return RowCount();
        case EM_GETFIRSTVISIBLELINE:
            return FTopRow;
        case EM_GETMODIFY:
            return FModified ? 1 : 0;
        case EM_SETMODIFY:
            if (!FReadOnly) SetModified(WParam != 0);
            return 0;
        case EM_SETREADONLY:
            if (FDragState != dsNone) return 0;
            SetReadOnly(WParam != 0);
            return 1;
        case EM_SCROLLCARET:
            if (FRow < FTopRow || FRow > FTopRow + FVisibleRowCount - 1) SetTopRow(FRow - FVisibleRowCount / 3);
            if (FCol < FTopCol || FCol > FTopCol + FVisibleColCount - 1) SetTopCol(FCol - FVisibleColCount / 3);
            return 0;
        case EM_POSFROMCHAR: {
            const TRowByte at = RowByteOfOffset(*FDocument, wordArg);
            const int x = TextLeft() + (ColOfByte(at.Row, at.Byte) - FTopCol) * FCharWidth;
            const int y = TextTop() + (at.Row - FTopRow) * FRowHeight;
            return MakeLong(unsigned(x), unsigned(y));
        }
        case EM_CHARFROMPOS: {
            const int x = std::int16_t(LoWord(LParam)), y = std::int16_t(HiWord(LParam));
            if (!TRect{0, 0, FSurface->Width(), FSurface->Height()}.Contains(x, y)) return -1;
            int row = 0, col = 0;
            PixelToRowCol(x, y, true, row, col);
            // A point above or below the text answers for the first or the last row.
            row = std::clamp(row, 0, FDocument->LastAllowedRow());
            const std::string classes = RowClasses(row);
            if (col > 0 && col < int(classes.size()) && classes[std::size_t(col)] == ccTrail) --col;
            return MakeLong(unsigned(OffsetOf(0, row, col)), unsigned(row));
        }
        case EM_CANUNDO:
            return CanUndo() && !FReadOnly ? 1 : 0;
        case EM_UNDO:
            if (FReadOnly || !CanUndo()) return 0;
            Undo();
            return 1;
        case EM_EMPTYUNDOBUFFER:
            if (!FReadOnly) FDocument->UndoEngine().Clear();
            return 0;
        case EM_REPLACESEL: {
            if (FReadOnly) return 0;
            const char* text = reinterpret_cast<const char*>(LParam);
            SetSelText(text ? std::string_view(text) : std::string_view());
            return 0;
        }
        default:
            Handled = false;
            return 0;
    }
}

// ---- every message: window text, painting and focus, scrolling, keys, the clipboard, the mouse,
// then the edit-control messages

TMessageLong TEditorController::Perform(unsigned Msg, TMessageParam WParam, TMessageLong LParam) {
    bool handled = false;
    const TMessageLong textAnswer = FLines.WindowTextMessage(Msg, WParam, LParam, handled);
    if (handled) return textAnswer;
    switch (Msg) {
        case WM_PAINT:
            FSurface->RepaintNow();
            return 0;
        case WM_SETREDRAW:
            FSurface->SetRedraw(WParam != 0);
            return 0;
        case WM_SETFOCUS:
            FSurface->TakeFocus();
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
            if (!MouseHoldsSelection()) KeyChar(static_cast<unsigned char>(WParam));
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
                FSurface->SetClipboard({}, false, nullptr);
            return 0;
        case WM_CUT:
            if (!FReadOnly && Selected())
                CutToClipboard();
            else
                FSurface->SetClipboard({}, false, nullptr);
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
            const TPoint point{short(LoWord(LParam)), short(HiWord(LParam))};
            TKeyModifiers modifiers = kmNone;
            if (WParam & MK_SHIFT) modifiers |= kmShift;
            if (WParam & MK_CONTROL) modifiers |= kmCtrl;
            if (Msg == WM_LBUTTONDOWN)
                MouseDown(mbLeft, modifiers, point);
            else if (Msg == WM_LBUTTONUP)
                MouseUp(mbLeft, modifiers, point);
            else
                MouseMove((WParam & MK_LBUTTON) ? mbLeft : mbNone, modifiers, point);
            return 0;
        }
        default: {
            const TMessageLong answer = EditControlMessage(Msg, WParam, LParam, handled);
            return handled ? answer : 0;
        }
    }
}

}  // namespace orvane
