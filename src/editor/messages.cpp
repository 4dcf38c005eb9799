// The edit-control messages of the editor.
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

}  // namespace orvane
