// Editing: typing, Enter, Tab, Backspace, Delete, replacing the selection, box paste, the
// clipboard, moving a dragged selection and block indentation.
// Every operation builds the new text of the rows it touches and changes the document once (one
// undo step), inside a caret lock, then places the caret by character offset.
#include "editor/controller.h"

#include "base/dbcs.h"
#include "document/bytestrings.h"
#include "files/unicode.h"

#include <algorithm>

namespace orvane {
namespace {


std::string Joined(const TEditorStringList& Rows) {
    std::string text;
    for (int r = 0; r < Rows.GetCount(); ++r) {
        text += Rows.RowView(r);
        if (Rows.RowEndKind(r) == reLineBreak) text += "\r\n";
    }
    return text;
}

std::string Spaces(int N) { return std::string(std::size_t(std::max(N, 0)), ' '); }

}  // namespace

int TEditorController::EditBase(int Row) const {
    return std::max(FDocument->FirstRowOfLine(std::min(Row, RowCount())), Row - 1);
}

int TEditorController::IndentWidth(std::string_view Text) const {
    const TColumnLayout layout = FDocument->Layout();
    int col = 0;
    for (std::size_t i = 0; i < Text.size();) {
        if (Text[i] == ' ') {
            ++col;
            ++i;
        } else if (Text[i] == '\t') {
            col += layout.TabWidthAt(col);
            ++i;
        } else if (IsFullWidthSpaceAt(Text, i)) {
            col += 2;
            i += 2;
        } else {
            break;
        }
    }
    return col;
}

void TEditorController::RowsWithoutSelection(TEditorStringList& Rows) const {
    Rows.Clear();
    const int count = RowCount();
    auto rowText = [&](int r) { return r < count ? FDocument->RowView(r) : std::string_view(); };
    if (FSelectionMode == smBox) {
        for (int r = FSelStartRow; r <= std::min(FSelEndRow, count - 1); ++r) {
            int begin = 0, end = 0;
            BoxBytes(r, FDispStartCol, FDispEndCol, begin, end);
            const std::string_view text = rowText(r);
            std::string cut(text.substr(0, std::size_t(begin)));
            cut += text.substr(std::size_t(end));
            Rows.AppendRow(cut, FDocument->RowEndKind(r), 0, nullptr);
            Rows.SetRowData(Rows.GetCount() - 1, begin);
        }
        return;
    }
    const std::string_view first = rowText(FSelStartRow), last = rowText(FSelEndRow);
    const int start = std::min(FSelStartByte, int(first.size()));
    std::string cut(first.substr(0, std::size_t(start)));
    if (FSelEndByte + 1 < int(last.size())) cut += last.substr(std::size_t(FSelEndByte + 1));
    const TRowEndKind end = FSelEndRow < count ? FDocument->RowEndKind(FSelEndRow) : reEndOfText;
    Rows.AppendRow(cut, end, 0, nullptr);
    Rows.SetRowData(0, start);
}

// ---- typing

void TEditorController::InsertText(std::string_view S) {
    if (FReadOnly || S.empty()) return;
    TEditorCaretLock lock(*this);
    if (Selected()) {
        SetSelText(S);
        return;
    }
    if (FSelectionState == ssHit) DropSelection();
    const int row = FRow;
    const int base = EditBase(row);
    const int byte = CaretByte();
    const int pad = std::max(0, FCol - RowWidth(row));
    // Lone CRs and LFs of S are stored as CR LF: the caret goes after what is stored.
    const int offset = OffsetOfByte(base, row, byte) + pad + TextOffsetLength(S);
    if (row >= RowCount()) {
        FDocument->ReplaceRows(RowCount(), 0, Spaces(pad) + std::string(S));
        MoveCaretByOffset(base, offset);
        return;
    }
    if (!FOverwriteMode || pad > 0) {
        const std::string_view text = FDocument->RowView(row);
        std::string line(text.substr(0, std::size_t(byte)));
        line += Spaces(pad);
        line += S;
        line += text.substr(std::size_t(byte));
        if (FDocument->RowEndKind(row) == reLineBreak) line += "\r\n";
        FDocument->ReplaceRows(row, 1, line);
        MoveCaretByOffset(base, offset);
        return;
    }
    // Overwrite: S covers as many display columns of the rest of the line as it has bytes; a
    // two-byte character half covered leaves a space, a tab partly covered stays.
    const int lastRow = FDocument->LastRowOfLine(row);
    std::string rest;
    std::vector<std::size_t> rowStarts;  // where each following row of the line begins in rest
    for (int r = row; r <= lastRow; ++r) {
        if (r > row) rowStarts.push_back(rest.size());
        rest += FDocument->RowView(r);
    }
    const TColumnLayout layout = FDocument->Layout();
    int col = FCol, skip = int(S.size());
    std::size_t at = std::size_t(byte);
    std::string tail;
    while (skip > 0 && at < rest.size()) {
        const std::size_t len = CharLenAt(rest, at);
        // A tab's width counts from the start of its own row.
        if (std::find(rowStarts.begin(), rowStarts.end(), at) != rowStarts.end()) col = 0;
        const int width = rest[at] == '\t' ? layout.TabWidthAt(col) : int(len);
        if (rest[at] == '\t' && width > skip) break;  // the tab stays
        if (width > skip) {
            tail = " ";  // the uncovered half of a two-byte character
            at += len;
            skip = 0;
            break;
        }
        skip -= width;
        col += width;
        at += len;
    }
    std::string line(rest.substr(0, std::size_t(byte)));
    line += S;
    line += tail;
    line += rest.substr(std::min(at, rest.size()));
    if (FDocument->RowEndKind(lastRow) == reLineBreak) line += "\r\n";
    FDocument->ReplaceRows(row, lastRow - row + 1, line);
    MoveCaretByOffset(base, offset);
}

void TEditorController::SetSelText(std::string_view S) {
    TEditorCaretLock lock(*this);
    if (S.empty()) {
        if (Selected())
            DeleteSelection();
        else
            DropSelection();
        return;
    }
    if (Selected()) {
        TEditorStringList rows;
        RowsWithoutSelection(rows);
        // S goes into the first row at its cut; other rows of a box only lose their parts.
        std::string first(rows.RowView(0));
        first.insert(std::size_t(rows.RowData(0)), S);
        rows.Put(0, first);
        const int base = EditBase(FSelStartRow);
        const int offset = OffsetOfByte(base, FSelStartRow, rows.RowData(0)) + TextOffsetLength(S);
        const int from = FSelStartRow, count = std::min(FSelEndRow, RowCount() - 1) - FSelStartRow + 1;
        const std::string text = Joined(rows);
        DropSelection();
        if (count > 0)
            FDocument->ReplaceRows(from, count, text);
        else
            FDocument->ReplaceRows(RowCount(), 0, text);
        MoveCaretByOffset(base, offset);
        return;
    }
    DropSelection();
    const bool overwrite = FOverwriteMode;
    FOverwriteMode = false;  // inserting never overwrites
    const bool readOnly = FReadOnly;
    FReadOnly = false;       // an application's call is not blocked
    InsertText(S);
    FReadOnly = readOnly;
    FOverwriteMode = overwrite;
}

void TEditorController::DeleteSelection() {
    if (!Selected()) return;
    TEditorCaretLock lock(*this);
    TEditorStringList rows;
    RowsWithoutSelection(rows);
    const int base = EditBase(FSelStartRow);
    const int offset = FSelectionMode == smBox ? OffsetOf(base, FDispStartRow, FDispStartCol)
                                               : OffsetOfByte(base, FSelStartRow, FSelStartByte);
    const int from = FSelStartRow, count = std::min(FSelEndRow, RowCount() - 1) - FSelStartRow + 1;
    const std::string text = Joined(rows);
    DropSelection();
    if (count > 0) FDocument->ReplaceRows(from, count, text);
    MoveCaretByOffset(base, offset);
}

void TEditorController::DeleteRow(int Row) {
    if (Row < 0 || Row >= RowCount()) return;
    TEditorCaretLock lock(*this);
    DropSelection();
    FDocument->ReplaceRows(Row, 1, "");
    const int count = RowCount();
    if (Row < count)
        SetRowCol(Row, 0);
    else if (count > 0 && FDocument->RowEndKind(count - 1) == reEndOfText)
        SetRowCol(count - 1, RowWidth(count - 1));
    else
        SetRowCol(count, 0);
}

// ---- keys

// Brackets one typed character, Backspace or Delete: the undo engine merges its edit into the
// step of the one before when it continues that run (same kind, the caret where that one left
// it, no selection, nothing done in between).
class TTypingRun {
public:
    using TKind = TEditorController::TTypingKind;
    TTypingRun(TEditorController& Editor, TKind Kind)
        : FEditor(Editor), FEngine(Editor.FDocument->UndoEngine()), FKind(Kind), FBefore(FEngine.StateId()) {
        const TEditorController::TTyping& last = Editor.FTyping;
        FSelection = Editor.FSelectionState != ssNoSelection;
        FEngine.MergeNext = !FSelection && Kind != TKind::None && last.Kind == Kind && last.Row == Editor.FRow && last.Col == Editor.FCol &&
                            last.State == FBefore && FEngine.RedoList.empty();
    }
    ~TTypingRun() {
        FEngine.MergeNext = false;
        if (FEngine.StateId() == FBefore) return;
        FEditor.FTyping = {FSelection ? TKind::None : FKind, FEditor.FRow, FEditor.FCol, FEngine.StateId()};
    }
    TTypingRun(const TTypingRun&) = delete;
    TTypingRun& operator=(const TTypingRun&) = delete;

private:
    TEditorController& FEditor;
    TEditorUndoObj& FEngine;
    TKind FKind;
    std::uint64_t FBefore;
    bool FSelection = false;
};

void TEditorController::KeyChar(unsigned char Byte) {
    if (Byte == '\r' || Byte == '\t' || Byte == '\b') FPendingLead = -1;  // a lead byte waits only for a trail byte
    if (Byte == '\r') {
        if (FWantReturns) KeyEnter(FMessageModifiers & kmShift);
        return;
    }
    if (Byte == '\t') {
        KeyTab(FMessageModifiers);
        return;
    }
    if (Byte == '\b') {
        KeyBackspace();
        return;
    }
    if (FImeSkip > 0) {
        // An input-method result comes again as characters: they were inserted already.
        FImeSkip -= (FPendingLead < 0 && IsLeadByte(Byte)) ? 0 : (FPendingLead >= 0 ? 2 : 1);
        FPendingLead = FPendingLead < 0 && IsLeadByte(Byte) ? Byte : -1;
        if (FImeSkip < 0) FImeSkip = 0;
        return;
    }
    if (FPendingLead >= 0) {
        const char pair[2] = {char(FPendingLead), char(Byte)};
        FPendingLead = -1;
        if (IsTrailByte(Byte)) {
            TTypingRun run(*this, TTypingKind::Chars);
            InsertText(std::string_view(pair, 2));
            return;
        }
        // Not a trail byte: the lead byte alone is dropped and this character counts.
    }
    if (IsLeadByte(Byte)) {
        FPendingLead = Byte;
        return;
    }
    if ((Byte >= 0x20 && Byte <= 0x7E) || (Byte >= 0xA0 && Byte <= 0xDF) || Byte >= 0xFD) {
        TTypingRun run(*this, TTypingKind::Chars);
        InsertText(std::string_view(reinterpret_cast<const char*>(&Byte), 1));
    }
}

void TEditorController::InputUtf8(std::string_view Text) {
    if (FReadOnly || Text.empty()) return;
    // Typed text joins the run of typing before it; a line break in it ends the run.
    const bool breaks = Text.find_first_of("\r\n") != std::string_view::npos;
    TTypingRun run(*this, breaks ? TTypingKind::None : TTypingKind::Chars);
    InsertText(Utf8ToSjis(Text, FCharMap, nullptr));
}

void TEditorController::KeyEnter(bool Shift) {
    if (FReadOnly) return;
    TEditorCaretLock lock(*this);
    if (Selected()) {
        if (Shift) return;
        DeleteSelection();
    }
    if (FSelectionState == ssHit) DropSelection();
    const int count = RowCount();
    if (FRow >= count) {
        FDocument->ReplaceRows(RowCount(), 0, "\r\n");
        SetRowCol(RowCount(), 0);
        return;
    }
    if (FOverwriteMode) {
        SetRowCol(FRow + 1, 0);
        return;
    }
    // The indentation of the new row.
    int indent = 0;
    const int first = FDocument->FirstRowOfLine(FRow);
    if (FCaret.AutoIndent()) {
        const int width = IndentWidth(FDocument->RowView(first));
        if (width < 1) {
            if (FCaret.PrevSpaceIndent() && FRow == first && FDocument->RowView(FRow).empty()) {
                for (int r = first - 1; r >= 0; --r) {
                    const int lineStart = FDocument->FirstRowOfLine(r);
                    if (!FDocument->RowView(lineStart).empty()) {
                        indent = IndentWidth(FDocument->RowView(lineStart));
                        break;
                    }
                    r = lineStart;
                }
            }
        } else {
            indent = FRow == first && FCol < width ? FCol : width;
        }
    }
    const int tab = FDocument->Layout().TabSpaceCount;
    const std::string indentText = FCaret.TabIndent() ? std::string(std::size_t(indent / tab), '\t') + Spaces(indent % tab)
                                                      : Spaces(indent);
    if (Shift) {
        const int base = EditBase(first);
        const int offset = OffsetOf(base, first, 0) + int(indentText.size());
        FDocument->ReplaceRows(first, 0, indentText + "\r\n");
        MoveCaretByOffset(base, offset);
        return;
    }
    const int base = EditBase(FRow);
    const int byte = CaretByte();
    const int offset = OffsetOfByte(base, FRow, byte) + 2 + int(indentText.size());
    const std::string_view text = FDocument->RowView(FRow);
    std::string line(text.substr(0, std::size_t(byte)));
    line += "\r\n";
    line += indentText;
    line += text.substr(std::size_t(byte));
    if (FDocument->RowEndKind(FRow) == reLineBreak) line += "\r\n";
    FDocument->ReplaceRows(FRow, 1, line);
    MoveCaretByOffset(base, offset);
}

void TEditorController::KeyTab(TKeyModifiers Modifiers) {
    if ((Modifiers & (kmShift | kmCtrl)) || FReadOnly || !FWantTabs) return;
    const int width = FDocument->Layout().TabWidthAt(FCol);
    if (FOverwriteMode)
        SetCol(FCol + width);
    else if (FCaret.SoftTab())
        InsertText(Spaces(width));
    else
        InsertText("\t");
}

void TEditorController::KeyBackspace() {
    if (FReadOnly) return;
    TTypingRun run(*this, TTypingKind::Backspace);
    TEditorCaretLock lock(*this);
    if (Selected()) {
        DeleteSelection();
        return;
    }
    const int count = RowCount();
    if (count == 0) {
        SetCol(FCol - 1);
        return;
    }
    if (FSelectionState == ssHit) DropSelection();
    const int row = FRow;
    if (FCol == 0) {
        if (row == 0) return;
        // Join with the row before: a wrapped row loses its last character, a line its break.
        const int prev = row - 1;
        const int base = EditBase(prev);
        std::string text(FDocument->RowView(prev));
        int offset = 0;
        if (FDocument->RowEndKind(prev) == reWrapped) {
            const std::size_t lastChar = CharStartOf(text, text.size() - 1);
            text.erase(lastChar);
            offset = OffsetOf(base, prev, 0) + int(lastChar);
        } else {
            offset = OffsetOf(base, prev, 0) + int(text.size());
        }
        const bool hasRow = row < count;
        if (hasRow) text += FDocument->RowTextWithBreak(row);
        FDocument->ReplaceRows(prev, hasRow ? 2 : 1, text);
        MoveCaretByOffset(base, offset);
        return;
    }
    if (row >= count) {
        SetCol(FCol - 1);
        return;
    }
    const std::string_view text = FDocument->RowView(row);
    const int indent = IndentWidth(text);
    const bool blank = TrimLeftBlanks(text).empty();
    if (FCaret.BackSpaceUnIndent() && (FCol == indent || blank)) {
        // Back to the indentation of the nearest row above that is indented less; empty rows
        // are passed, and rows of the caret's own line only count when they are indented.
        const int first = FDocument->FirstRowOfLine(row);
        int target = 0;
        for (int r = row - 1; r >= 0; --r) {
            const std::string_view above = FDocument->RowView(r);
            if (above.empty()) continue;
            const int width = IndentWidth(above);
            if (r >= first && width == 0) continue;
            if (width < FCol) {
                target = width;
                break;
            }
        }
        const TColumnLayout layout = FDocument->Layout();
        const int byte = ByteOfCol(row, FCol);
        std::string prefix;
        int col = 0;
        for (std::size_t i = 0; i < std::size_t(byte);) {
            const std::size_t len = CharLenAt(text, i);
            const int width = text[i] == '\t' ? layout.TabWidthAt(col) : int(len);
            if (col + width <= target)
                prefix.append(text.substr(i, len));
            else if (col < target)
                prefix += Spaces(target - col);  // the part before the target of a straddling blank
            col += width;
            i += len;
        }
        std::string line = prefix;
        line += text.substr(std::size_t(byte));
        if (line != text) {
            if (FDocument->RowEndKind(row) == reLineBreak) line += "\r\n";
            const int base = EditBase(row);
            const int offset = OffsetOf(base, row, 0) + int(prefix.size());
            FDocument->ReplaceRows(row, 1, line);
            MoveCaretByOffset(base, offset);
        }
        // The blanks before the target may be fewer than its columns (an empty or blank row, a
        // caret past the row's end): the caret goes to the target all the same.
        if (FRow == row && FCol != target) SetCol(target);
        return;
    }
    if (FCol > RowWidth(row)) {
        SetCol(FCol - 1);
        return;
    }
    // The character before the caret goes, a two-byte character or a tab whole.
    const int caretByte = CaretByte();
    if (caretByte == 0) return;
    const int from = int(CharStartOf(text, std::size_t(caretByte - 1)));
    const std::size_t len = CharLenAt(text, std::size_t(from));
    std::string line(text.substr(0, std::size_t(from)));
    line += text.substr(std::size_t(from) + len);
    if (FDocument->RowEndKind(row) == reLineBreak) line += "\r\n";
    const int base = EditBase(row);
    const int offset = OffsetOf(base, row, 0) + from;
    FDocument->ReplaceRows(row, 1, line);
    MoveCaretByOffset(base, offset);
}

void TEditorController::KeyDelete() {
    if (FReadOnly) return;
    TTypingRun run(*this, TTypingKind::Delete);
    TEditorCaretLock lock(*this);
    if (Selected()) {
        DeleteSelection();
        return;
    }
    if (FSelectionState == ssHit) DropSelection();
    const int row = FRow, count = RowCount();
    if (row >= count) return;
    const std::string_view text = FDocument->RowView(row);
    const int width = RowWidth(row);
    const int base = EditBase(row);
    int col = FCol;
    std::string line;
    int rows = 1;
    int from = int(text.size());
    if (col < width) {
        // The character the caret stands on, from the row's real text (the caret may stand in a
        // tab, or past the last shown column where only its byte tells where it is).
        col = CharStartCol(row, col);
        from = col == FCol ? CaretByte() : ByteOfCol(row, col);
        if (std::size_t(from) >= text.size()) return;
        const std::size_t len = CharLenAt(text, std::size_t(from));
        line = std::string(text.substr(0, std::size_t(from)));
        line += text.substr(std::size_t(from) + len);
        if (FDocument->RowEndKind(row) == reLineBreak) line += "\r\n";
    } else {
        const TRowEndKind end = FDocument->RowEndKind(row);
        if (end == reEndOfText) return;
        line = std::string(text);
        line += Spaces(col - width);
        if (row + 1 < count) {
            // The next row joins this one (for a wrapped row: its first character goes).
            std::string next = FDocument->RowTextWithBreak(row + 1);
            if (end == reWrapped && !next.empty()) next.erase(0, CharLenAt(next, 0));
            line += next;
            rows = 2;
        }
    }
    const int offset = OffsetOf(base, row, 0) + from + (col > width ? col - width : 0);
    FDocument->ReplaceRows(row, rows, line);
    MoveCaretByOffset(base, offset);
}

// ---- box paste

void TEditorController::InsertBoxText(std::string_view S) {
    if (FReadOnly) return;
    TEditorCaretLock lock(*this);
    if (S.empty()) {
        if (Selected()) DeleteSelection();
        return;
    }
    std::vector<std::string> lines;
    ForEachLine(S, [&](std::string_view line) { lines.emplace_back(line); });
    if (lines.empty()) return;
    const int n = int(lines.size());
    const int count = RowCount();
    TEditorStringList cut;
    int first = FRow, last = 0, boxCol = FCol, nextRow = FRow;
    if (Selected()) {
        RowsWithoutSelection(cut);
        first = FSelStartRow;
        last = std::min(count - 1, std::max(first + n - 1, FSelEndRow));
        boxCol = FDispStartCol;
        nextRow = FSelEndRow + 1;
    } else {
        last = std::min(count - 1, first + n - 1);
    }
    const TColumnLayout layout = FDocument->Layout();
    TEditorStringList rows;
    int caretOffset = 0, offset = 0;
    auto add = [&](const std::string& text, TRowEndKind end, int pasteEnd) {
        if (pasteEnd >= 0) caretOffset = offset + pasteEnd;
        rows.AppendRow(text, end == reEndOfText ? reLineBreak : end, 0, nullptr);
        offset += int(text.size()) + (end != reWrapped ? 2 : 0);
    };
    int docRow = nextRow;
    for (int i = 0; i < std::max(n, cut.GetCount()); ++i) {
        const std::string& piece = i < n ? lines[std::size_t(i)] : std::string();
        const int pasteEnd = i == n - 1 ? 0 : -1;
        if (i < cut.GetCount()) {
            std::string text(cut.RowView(i));
            const std::size_t at = std::size_t(cut.RowData(i));
            text.insert(at, piece);
            add(text, cut.RowEndKind(i), pasteEnd < 0 ? -1 : int(at + piece.size()));
            continue;
        }
        if (docRow <= last && docRow < count) {
            // Into the next row at the box's column; shorter rows are padded first.
            const std::string_view rowText = FDocument->RowView(docRow);
            std::string text(rowText);
            const int width = DisplayWidth(rowText, layout);
            std::size_t at = text.size();
            if (width < boxCol) {
                text += Spaces(boxCol - width);
                at = text.size();
            } else {
                int b = 0, e = 0;
                BoxBytes(docRow, boxCol, boxCol, b, e);
                at = std::size_t(b);
            }
            text.insert(at, piece);
            add(text, FDocument->RowEndKind(docRow), pasteEnd < 0 ? -1 : int(at + piece.size()));
            ++docRow;
            continue;
        }
        // Past the last row: a new row of spaces up to the box's column.
        std::string text = Spaces(boxCol) + piece;
        add(text, reLineBreak, pasteEnd < 0 ? -1 : int(text.size()));
        ++docRow;
    }
    // Rows of the replaced range after the pasted lines come along unchanged.
    for (; docRow <= last && docRow < count; ++docRow) add(std::string(FDocument->RowView(docRow)), FDocument->RowEndKind(docRow), -1);
    const std::string text = Joined(rows);
    DropSelection();
    const int replaced = last - first + 1;
    if (first >= count)
        FDocument->ReplaceRows(count, 0, text);
    else
        FDocument->ReplaceRows(first, std::max(replaced, 0), text);
    MoveCaretByOffset(first, caretOffset);
}

// ---- clipboard

void TEditorController::CopyToClipboard() {
    if (Selected()) FSurface->SetClipboard(SelText(), FSelectionMode == smBox, FCharMap);
}

void TEditorController::CutToClipboard() {
    if (!Selected() || FReadOnly) return;
    CopyToClipboard();
    DeleteSelection();
}

void TEditorController::PasteFromClipboard() {
    if (FReadOnly || !FSurface->ClipboardHasText()) return;
    const std::string text = FSurface->ClipboardText(FCharMap);
    if (FSurface->ClipboardHasBox())
        InsertBoxText(text);
    else
        SetSelText(text);
}

// ---- dragging a selection

void TEditorController::DropDraggedSelection(bool Copy) {
    const int dropRow = FRow, dropCol = FCol;
    const bool inside = dropRow >= FDispStartRow && dropRow <= FDispEndRow &&
                        !(dropRow == FDispStartRow && dropCol < FDispStartCol) &&
                        !(dropRow == FDispEndRow && dropCol >= FDispEndCol);
    if (!Selected() || inside || FReadOnly) {
        DropSelection();
        return;
    }
    TEditorCaretLock lock(*this);
    const std::string moved = SelText();
    if (Copy) {
        DropSelection();
        SetRowCol(dropRow, dropCol);
        SetSelText(moved);
        return;
    }
    // One change over the rows from the upper of the selection and the drop point to the lower.
    const int count = RowCount();
    const int from = std::min(FSelStartRow, dropRow);
    const int to = std::min(std::max(FSelEndRow, dropRow), count - 1);
    const int base = EditBase(from);
    TRowEndKind end;
    int rows = 0;
    std::string block;
    FDocument->GetRowsText(from, to - from + 1, end, rows, block);
    const int selStart = OffsetOfByte(from, FSelStartRow, FSelStartByte);
    const int pad = std::max(0, dropCol - RowWidth(dropRow));
    int drop = OffsetOf(from, dropRow, dropCol);
    if (drop > int(block.size())) drop = int(block.size());
    std::string text = block;
    text.insert(std::size_t(drop), Spaces(pad) + moved);
    const int insertedAt = drop + pad;
    if (drop <= selStart)
        text.erase(std::size_t(selStart + pad + int(moved.size())), moved.size());
    else
        text.erase(std::size_t(selStart), moved.size());
    const int caret = (drop <= selStart ? insertedAt : insertedAt - int(moved.size())) + int(moved.size());
    DropSelection();
    FDocument->ReplaceRows(from, to - from + 1, text);
    MoveCaretByOffset(base, OffsetOf(base, from, 0) + caret);
}

// ---- block indentation

void TEditorController::IndentBlock() { ChangeBlockIndent(TBlockIndent::AddSpace); }
void TEditorController::UnindentBlock() { ChangeBlockIndent(TBlockIndent::RemoveSpace); }
void TEditorController::TabIndentBlock() { ChangeBlockIndent(TBlockIndent::AddTab); }
void TEditorController::TabUnindentBlock() { ChangeBlockIndent(TBlockIndent::RemoveTab); }

void TEditorController::ChangeBlockIndent(TBlockIndent Kind) {
    if (!Selected() || FReadOnly) return;
    TEditorCaretLock lock(*this);
    const int count = RowCount();
    const int first = FSelStartRow;
    int last = std::min(FSelEndRow, count - 1);
    if (FSelEndRow > FSelStartRow && FSelEndByte < 0) last = std::min(FSelEndRow - 1, count - 1);
    if (last < first) return;
    const TColumnLayout layout = FDocument->Layout();
    const bool wrap = WordWrap();
    const int wrapByte = WrapOption().WrapByte();
    const bool box = FSelectionMode == smBox;
    // Per row: the byte where its blanks start, how many bytes they took and take now.
    struct TChange {
        int At = 0, OldLength = 0, NewLength = 0;
    };
    std::vector<TChange> changes;
    std::string text;
    for (int r = first; r <= last; ++r) {
        const std::string_view row = FDocument->RowView(r);
        std::string newRow(row);
        TChange change;
        const bool wholeLine = !wrap || (FDocument->RowEndKind(r) != reWrapped && (r == 0 || FDocument->RowEndKind(r - 1) != reWrapped));
        if (wholeLine) {
            int at = 0;
            if (box) {
                int e = 0;
                BoxBytes(r, FDispStartCol, FDispStartCol, at, e);
            }
            // The blanks from the start point on.
            std::size_t blanksEnd = std::size_t(at);
            while (blanksEnd < row.size()) {
                if (row[blanksEnd] == ' ' || row[blanksEnd] == '\t')
                    ++blanksEnd;
                else if (IsFullWidthSpaceAt(row, blanksEnd))
                    blanksEnd += 2;
                else
                    break;
            }
            const std::string_view blanks = row.substr(std::size_t(at), blanksEnd - std::size_t(at));
            const int width = IndentWidth(blanks);
            std::string replacement(blanks);
            bool change_ = false;
            switch (Kind) {
                case TBlockIndent::AddSpace:
                    if (!wrap || DisplayWidth(row, layout) + 1 < wrapByte) {
                        replacement = Spaces(width + 1);
                        change_ = true;
                    }
                    break;
                case TBlockIndent::RemoveSpace:
                    if (!blanks.empty()) {
                        replacement = Spaces(width - 1);
                        change_ = true;
                    }
                    break;
                case TBlockIndent::AddTab:
                    if (!wrap || int(row.size()) + layout.TabSpaceCount < wrapByte) {
                        replacement = std::string("\t").append(blanks);
                        change_ = true;
                    }
                    break;
                case TBlockIndent::RemoveTab:
                    if (!blanks.empty() && blanks[0] == '\t') {
                        replacement = std::string(blanks.substr(1));
                        change_ = true;
                    }
                    break;
            }
            if (change_) {
                newRow = std::string(row.substr(0, std::size_t(at))) + replacement + std::string(row.substr(blanksEnd));
                change = {at, int(blanks.size()), int(replacement.size())};
            }
        }
        changes.push_back(change);
        text += newRow;
        if (FDocument->RowEndKind(r) == reLineBreak) text += "\r\n";
    }
    // The selection keeps covering the same text (a box stays where it is).
    auto moved = [&](int Row, int Byte) {
        if (Row < first || Row > last) return Byte;
        const TChange& c = changes[std::size_t(Row - first)];
        if (Byte < c.At) return Byte;
        if (Byte >= c.At + c.OldLength) return Byte + c.NewLength - c.OldLength;
        return std::min(Byte, c.At + c.NewLength);
    };
    const int anchorRow = FAnchorRow, anchorByte = moved(FAnchorRow, FAnchorByte);
    const int caretRow = FRow, caretByte = moved(FRow, ByteOfCol(FRow, FCol));
    const TEditorSelectionMode mode = FSelectionMode;
    const int boxFrom = FDispStartCol, boxTo = FDispEndCol, boxRowFrom = FDispStartRow, boxRowTo = FDispEndRow;
    FSelectionState = ssNoSelection;  // the rows change under the selection: set it again below
    FDocument->ReplaceRows(first, last - first + 1, text);
    if (mode == smBox) {
        SetSelectionDraw(ssSelected, smBox, boxRowFrom, boxFrom, boxRowTo, boxTo);
        FSelStartRow = boxRowFrom;
        FSelEndRow = boxRowTo;
        return;
    }
    SetRowCol(anchorRow, ColOfByte(anchorRow, anchorByte));
    StartSelection();
    SetRowCol(caretRow, ColOfByte(caretRow, caretByte));
    UpdateSelection();
    if (FSelStartRow == FSelEndRow && FSelEndByte < FSelStartByte) DropSelection();
}

// ---- undo

void TEditorController::Undo() {
    DropSelection();
    FDocument->Undo();
}

void TEditorController::Redo() {
    DropSelection();
    FDocument->Redo();
}

}  // namespace orvane
