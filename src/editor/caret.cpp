// The caret and the selection of the editor: column corrections over two-byte characters, tabs
// and wrapped rows, character offsets, and the selection model.
#include "editor/controller.h"

#include "base/dbcs.h"
#include "modes/fountain.h"
#include "modes/parser.h"

#include <algorithm>
#include <tuple>

namespace orvane {

// ---- rows as the caret sees them

std::string TEditorController::RowClasses(int Row) const {
    if (Row < 0 || Row >= RowCount()) return {};
    return CharClassString(FDocument->RowView(Row), FDocument->Layout());
}

int TEditorController::RowLength(int Row) const {
    return Row >= 0 && Row < RowCount() ? int(FDocument->RowView(Row).size()) : 0;
}

int TEditorController::RowWidth(int Row) const {
    return Row >= 0 && Row < RowCount() ? DisplayWidth(FDocument->RowView(Row), FDocument->Layout()) : 0;
}

int TEditorController::ByteOfCol(int Row, int Col) const {
    // Walks the row's real text, not what is drawn: a row may run past the last shown column.
    // Every column but the later ones of a tab counts one byte.
    if (Row < 0 || Row >= RowCount()) return 0;
    const std::string_view text = FDocument->RowView(Row);
    const TColumnLayout layout = FDocument->Layout();
    int byte = 0, col = 0;
    for (std::size_t i = 0; i < text.size() && col < Col;) {
        if (text[i] == '\t') {
            col += layout.TabWidthAt(col);
            ++byte;
            ++i;
        } else if (CharLenAt(text, i) == 2 && col + 1 == Col) {
            ++byte;  // the column of a trail byte
            ++col;
        } else {
            const int len = int(CharLenAt(text, i));
            byte += len;
            col += len;
            i += std::size_t(len);
        }
    }
    return byte;
}

int TEditorController::CharStartCol(int Row, int Col) const {
    if (Row < 0 || Row >= RowCount()) return Col;
    const std::string_view text = FDocument->RowView(Row);
    const TColumnLayout layout = FDocument->Layout();
    int col = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int width = text[i] == '\t' ? layout.TabWidthAt(col) : int(CharLenAt(text, i));
        if (Col < col + width) return col;
        col += width;
        i += CharLenAt(text, i);
    }
    return Col;
}

int TEditorController::CaretByte() const {
    if (FExact.Byte >= 0 && FExact.Row == FRow && FExact.Col == FCol && FExact.Byte <= RowLength(FRow))
        return FExact.Byte;
    return ByteOfCol(FRow, FCol);
}

void TEditorController::PlaceCaretAtByte(int Row, int Byte) {
    SetRowCol(Row, ColOfByte(Row, Byte));
    // Past the last shown column the caret's column cannot tell the byte: keep it.
    if (FRow == Row && Row < RowCount() && ByteOfCol(FRow, FCol) != Byte) {
        FExact = {FRow, FCol, std::clamp(Byte, 0, RowLength(Row))};
    }
}

int TEditorController::OffsetOfByte(int FromRow, int Row, int Byte) const {
    int offset = 0;
    for (int r = std::max(FromRow, 0); r < Row && r < RowCount(); ++r) offset += OffsetLength(r, false);
    return offset + Byte;
}

int TEditorController::ColOfByte(int Row, int Byte) const {
    if (Row < 0 || Row >= RowCount()) return 0;
    const std::string_view text = FDocument->RowView(Row);
    return DisplayWidth(text.substr(0, std::size_t(std::clamp(Byte, 0, int(text.size())))), FDocument->Layout());
}

int TEditorController::OffsetLength(int Row, bool Eot) const {
    const TRowEndKind end = FDocument->RowEndKind(Row);
    return RowLength(Row) + (end == reLineBreak ? 2 : end == reEndOfText && Eot ? 1 : 0);
}

// ---- caret

void TEditorController::Remember(bool RowChanged, int Col) {
    if (RowChanged && !FRemembered) {
        FRemembered = true;
        FRememberedCol = Col;
    }
}

void TEditorController::AdjustCol(bool RowChanged, int Dir) {
    const std::string classes = RowClasses(FRow);
    const int width = int(classes.size());
    auto classAt = [&](int c) -> char { return c >= 0 && c < width ? classes[std::size_t(c)] : char(ccEnd); };
    if (!RowChanged) FRemembered = false;
    if (RowChanged && FRemembered) FCol = FRememberedCol;
    const bool mouseDown = FButtons != mbNone;
    if (!FCaret.FreeCaret() && FCol > width) {
        // KeepCaret remembers the wanted column over shorter rows (the row's end while dragging).
        if (FCaret.KeepCaret()) Remember(RowChanged, (FButtons & mbLeft) ? width : FCol);
        if (!(FCaret.FreeRow() && RowChanged && !mouseDown)) FCol = width;
    }
    if (classAt(FCol) == ccTrail) {
        Remember(RowChanged, FCol);
        FCol += Dir;
    }
    if (!FCaret.InTab() && classAt(FCol) == ccTab) {
        Remember(RowChanged, FCol);
        while (classAt(FCol) == ccTab) FCol += Dir;
    }
    if (WordWrap() && FCol >= width) {
        Remember(RowChanged, FCol);
        if (FRow < RowCount() && FDocument->RowEndKind(FRow) == reWrapped) {
            FCol = width - 1;  // never after the last column of a wrapped row
        } else if (FCol >= WrapOption().WrapByte()) {
            FCol = std::max(width, WrapOption().WrapByte() - 1);
        }
        if (classAt(FCol) == ccTrail) --FCol;
        if (!FCaret.InTab())
            while (classAt(FCol) == ccTab) --FCol;
    }
    if (FCol > kMaxDisplayCol && classAt(kMaxDisplayCol - 1) != ccLead) FCol = kMaxDisplayCol;
    FCol = std::clamp(FCol, 0, kMaxDisplayCol + 1);
    if (FDeferCaret == 0) UpdateCaret();
}

void TEditorController::SetRow(int Value) {
    FExact.Byte = -1;
    if (Value == FRow && FRow != RowCount()) return;
    const int count = RowCount();
    Value = std::clamp(Value, 0, count);
    if (Value == count && count > 0 && FDocument->RowEndKind(count - 1) == reEndOfText) --Value;
    const TRect oldCaret = CaretRect();
    const int oldCol = FCol, oldRow = FRow;
    FRow = Value;
    Invalidate(oldCaret);
    if (FMarks.Underline().Visible() && oldRow != FRow) {
        InvalidateRows(oldRow, oldRow);
        InvalidateRows(FRow, FRow);
    }
    AdjustCol(true, -1);
    if (FRuler.Visible() && oldCol != FCol) Invalidate(RulerArea());
}

void TEditorController::SetCol(int Value) {
    FExact.Byte = -1;
    Value = std::clamp(Value, 0, kMaxDisplayCol + 1);
    const TRect oldCaret = CaretRect();
    const int dir = Value > FCol ? 1 : -1;
    FCol = Value;
    Invalidate(oldCaret);
    AdjustCol(false, dir);
    if (FRuler.Visible()) Invalidate(RulerArea());
}

void TEditorController::SetRowCol(int Row, int Col) {
    FExact.Byte = -1;
    ++FDeferCaret;
    SetRow(Row);
    FCol = std::clamp(Col, 0, kMaxDisplayCol + 1);
    AdjustCol(false, -1);
    --FDeferCaret;
    if (FRuler.Visible()) Invalidate(RulerArea());
    if (FDeferCaret == 0) UpdateCaret();
}

void TEditorController::UpdateCaret() {
    if (FSurface->HasFocus()) ScrollCaret();
    FCaretBlinkOn = true;
    Invalidate(CaretRect());
    Notify(TEditorNews::CaretMoved);
}

void TEditorController::ScrollCaret() {
    if (FRow < FTopRow) SetTopRow(FRow);
    if (FRow > FTopRow + FVisibleRowCount - 1) SetTopRow(FRow - FVisibleRowCount + 1);
    if (FCol < FTopCol) SetTopCol(std::max(0, std::min(FCol, FTopCol - FVisibleColCount / 4)));
    if (FCol > FTopCol + FVisibleColCount - 1)
        SetTopCol(std::min(std::max(FCol - FVisibleColCount + 1, FTopCol + FVisibleColCount / 4),
                           kMaxDisplayCol - FVisibleColCount / 2));
}

void TEditorController::ScrollByRows(int N) {
    if (FTopRow == 0 && N < 0) {
        SetRow(0);
        return;
    }
    if (FTopRow < RowCount() && FDocument->RowEndKind(FTopRow) == reEndOfText && N > 0) return;
    LockCaret();
    const int oldTop = FTopRow, oldRow = FRow;
    SetTopRow(std::clamp(FTopRow + N, 0, RowCount()));
    SetRow(oldRow + (FTopRow - oldTop));
    UnlockCaret();
}

bool TEditorController::WordMove(int& Row, int& Col, int Dir) {
    const int count = RowCount();
    if (Row >= count || count == 0) return false;
    const int startRow = Row, startCol = Col;
    std::unique_ptr<TFountainParser> parser = ActiveFountain()->NewParser();
    // Token starts of a row (tabs expanded, so byte index = column), symbols left out.
    auto starts = [&](int r) {
        std::vector<int> out;
        const std::string text = TabsToSpaces(FDocument->RowView(r), FDocument->Layout());
        TRowAttributeData state;
        state.OpenBracket = -2;
        parser->BeginRow(text, state);
        while (parser->NextToken() != tokEnd)
            if (parser->Token() != tokSymbol) out.push_back(parser->TokenPos());
        return out;
    };
    if (Dir > 0) {
        if (Col >= RowWidth(Row) && Row < count - 1) {
            ++Row;
            Col = -1;
        }
        const std::vector<int> tokens = starts(Row);
        auto next = std::find_if(tokens.begin(), tokens.end(), [&](int p) { return p > Col; });
        if (next != tokens.end()) {
            Col = *next;
        } else if (FDocument->RowEndKind(Row) == reWrapped && Row < count - 1) {
            ++Row;
            Col = 0;
        } else {
            Col = RowWidth(Row);
        }
    } else {
        if (Col == 0) {
            if (Row == 0) return false;
            --Row;
            Col = RowWidth(Row);
            if (FDocument->RowEndKind(Row) == reLineBreak) return true;
        }
        const std::vector<int> tokens = starts(Row);
        auto before = std::find_if(tokens.rbegin(), tokens.rend(), [&](int p) { return p < Col; });
        if (before != tokens.rend()) {
            Col = *before;
        } else if (Row > 0) {
            --Row;
            Col = RowWidth(Row);
        } else {
            Col = 0;
        }
    }
    return Row != startRow || Col != startCol;
}

// ---- character offsets

int TEditorController::OffsetOf(int FromRow, int Row, int Col) const {
    int offset = 0;
    for (int r = std::max(FromRow, 0); r < Row && r < RowCount(); ++r) offset += OffsetLength(r, false);
    return offset + ByteOfCol(Row, Col);
}

void TEditorController::MoveCaretByOffset(int FromRow, int Offset) {
    const int count = RowCount();
    int rest = std::max(Offset, 0);
    for (int r = std::max(FromRow, 0); r < count; ++r) {
        const int length = OffsetLength(r, false);
        if (rest < length || FDocument->RowEndKind(r) == reEndOfText) {
            PlaceCaretAtByte(r, std::min(rest, RowLength(r)));
            return;
        }
        rest -= length;
    }
    // Past the last row: the end of the text.
    const int last = FDocument->LastAllowedRow();
    SetRowCol(last, last < count ? RowWidth(last) : 0);
}

// ---- selection

void TEditorController::SetSelectionMode(TEditorSelectionMode Value) {
    if (Value == FSelectionMode || FDragState != dsNone) return;
    FBoxByModifier = false;
    FSelectionMode = Value;
    if (Selected()) {
        UpdateSelection();
        FSurface->InvalidateAll();
    }
    Notify(TEditorNews::SelectionModeChange);
}

void TEditorController::StartSelection() {
    DropSelection();
    if (RowCount() == 0) return;
    FSelectionState = ssAnchored;
    FAnchorRow = FRow;
    FAnchorByte = CaretByte();
    FAnchorCol = FSelectionMode == smBox ? FCol : std::min(FCol, RowWidth(FRow));
    FSelStartRow = FSelEndRow = FDispStartRow = FDispEndRow = FRow;
    FSelStartByte = FSelEndByte = FAnchorByte;
    FDispStartCol = FDispEndCol = FAnchorCol;
}

void TEditorController::UpdateSelection() {
    if (FSelectionState == ssNoSelection) return;
    const int oldFrom = FDispStartRow, oldTo = FDispEndRow;
    if (FSelectionState == ssAnchored) FSelectionState = FHitFlag ? ssHit : ssSelected;
    const int caretByte = CaretByte();
    FSelStartRow = std::min(FAnchorRow, FRow);
    FSelEndRow = std::max(FAnchorRow, FRow);
    if (FAnchorRow == FRow) {
        FSelStartByte = std::min(FAnchorByte, caretByte);
        FSelEndByte = std::max(FAnchorByte, caretByte) - 1;
    } else {
        const bool anchorFirst = FAnchorRow < FRow;
        FSelStartByte = anchorFirst ? FAnchorByte : caretByte;
        FSelEndByte = (anchorFirst ? caretByte : FAnchorByte) - 1;
    }
    FDispStartRow = FSelStartRow;
    FDispEndRow = FSelEndRow;
    if (FSelectionMode == smBox) {
        FDispStartCol = std::min(FAnchorCol, FCol);
        FDispEndCol = std::max(FAnchorCol, FCol);
    } else {
        FDispStartCol = std::min(ColOfByte(FSelStartRow, FSelStartByte), RowWidth(FSelStartRow));
        FDispEndCol = std::min(ColOfByte(FSelEndRow, FSelEndByte + 1), RowWidth(FSelEndRow));
    }
    RepaintSelectionChange(oldFrom, oldTo);
    Notify(TEditorNews::SelectionChange, true);
}

void TEditorController::RepaintSelectionChange(int OldFrom, int OldTo) {
    const bool drawn = FSelectionState == ssSelected || (FSelectionState == ssHit && FHitStyle == hsDraw);
    if (!drawn) return;
    InvalidateRows(std::min(OldFrom, FDispStartRow), std::max(OldTo, FDispEndRow));
}

void TEditorController::DropSelection() {
    if (FSelectionState == ssNoSelection) return;
    const bool shown = FSelectionState == ssSelected || FSelectionState == ssHit;
    FSelectionState = ssNoSelection;
    FHitFlag = false;
    FHitLength = 0;
    FRemembered = false;
    if (shown) InvalidateRows(FDispStartRow, FDispEndRow);
    Invalidate(CaretRect());
    Notify(TEditorNews::SelectionChange, false);
}

void TEditorController::RememberPlaces() {
    const TEditorScreenStrings& doc = *FDocument;
    FPlaces.Kept = true;
    FPlaces.CaretInView = FRow >= FTopRow && FRow < FTopRow + FVisibleRowCount;
    FPlaces.State = FSelectionState;
    FPlaces.Caret = doc.PlaceOf(FRow, FRow < RowCount() ? CaretByte() : 0);
    FPlaces.Top = doc.PlaceOf(FTopRow, 0);
    if (FSelectionState == ssNoSelection) return;
    FPlaces.Anchor = doc.PlaceOf(FAnchorRow, FAnchorByte);
    FPlaces.SelStart = doc.PlaceOf(FSelStartRow, FSelStartByte);
    FPlaces.SelEnd = doc.PlaceOf(FSelEndRow, FSelEndByte + 1);  // the byte after the selection
    FPlaces.AnchorCol = FAnchorCol;
    FPlaces.DispStartCol = FDispStartCol;
    FPlaces.DispEndCol = FDispEndCol;
}

void TEditorController::RestorePlaces() {
    if (!FPlaces.Kept) return;
    FPlaces.Kept = false;
    const TEditorScreenStrings& doc = *FDocument;
    TEditorCaretLock lock(*this);
    FExact.Byte = -1;
    FRemembered = false;
    const auto [row, byte] = doc.RowOfPlace(FPlaces.Caret);
    PlaceCaretAtByte(row, byte);
    SetTopRow(doc.RowOfPlace(FPlaces.Top).first);
    if (FPlaces.State != ssNoSelection && RowCount() > 0) {
        DropSelection();
        FSelectionState = FPlaces.State;
        FHitFlag = FPlaces.State == ssHit;
        std::tie(FAnchorRow, FAnchorByte) = doc.RowOfPlace(FPlaces.Anchor);
        std::tie(FSelStartRow, FSelStartByte) = doc.RowOfPlace(FPlaces.SelStart);
        std::tie(FSelEndRow, FSelEndByte) = doc.RowOfPlace(FPlaces.SelEnd);
        --FSelEndByte;
        FDispStartRow = FSelStartRow;
        FDispEndRow = FSelEndRow;
        if (FSelectionMode == smBox) {
            FAnchorCol = FPlaces.AnchorCol;
            FDispStartCol = FPlaces.DispStartCol;
            FDispEndCol = FPlaces.DispEndCol;
        } else {
            FAnchorCol = ColOfByte(FAnchorRow, FAnchorByte);
            FDispStartCol = std::min(ColOfByte(FSelStartRow, FSelStartByte), RowWidth(FSelStartRow));
            FDispEndCol = std::min(ColOfByte(FSelEndRow, FSelEndByte + 1), RowWidth(FSelEndRow));
        }
        InvalidateRows(FDispStartRow, FDispEndRow);
        Notify(TEditorNews::SelectionChange, FSelectionState != ssAnchored);
    }
    // The top line stays unless the caret, in view before, would leave it.
    if (FPlaces.CaretInView) ScrollCaret();
}

void TEditorController::SetSelectionDraw(TEditorSelectState State, TEditorSelectionMode Mode, int StartRow, int StartCol,
                               int EndRow, int EndCol) {
    const int oldFrom = FDispStartRow, oldTo = FDispEndRow;
    FSelectionState = State;
    FSelectionMode = Mode;
    FDispStartRow = StartRow;
    FDispStartCol = StartCol;
    FDispEndRow = EndRow;
    FDispEndCol = EndCol;
    InvalidateRows(std::min(oldFrom, StartRow), std::max(oldTo, EndRow));
}

TSelectionDraw TEditorController::SelectionDraw() const {
    TSelectionDraw draw;
    draw.Active = FSelectionState == ssSelected || (FSelectionState == ssHit && FHitStyle == hsDraw);
    draw.Hit = FSelectionState == ssHit;
    draw.Box = FSelectionMode == smBox;
    draw.StartRow = FDispStartRow;
    draw.StartCol = FDispStartCol;
    draw.EndRow = FDispEndRow;
    draw.EndCol = FDispEndCol;
    return draw;
}

int TEditorController::SelStart() const {
    if (FSelectionState == ssSelected || FSelectionState == ssHit) return OffsetOfByte(0, FSelStartRow, FSelStartByte);
    return OffsetOfByte(0, FRow, CaretByte());
}

void TEditorController::BoxBytes(int Row, int FromCol, int ToCol, int& Begin, int& End) const {
    const int length = RowLength(Row);
    Begin = End = length;
    if (Row < 0 || Row >= RowCount()) {
        Begin = End = 0;
        return;
    }
    const std::string_view text = FDocument->RowView(Row);
    const TColumnLayout layout = FDocument->Layout();
    int col = 0;
    bool begun = false;
    for (std::size_t i = 0; i < text.size();) {
        if (!begun && col >= FromCol) {
            Begin = int(i);
            begun = true;
        }
        if (col >= ToCol) {
            End = int(i);
            break;
        }
        const std::size_t len = CharLenAt(text, i);
        col += text[i] == '\t' ? layout.TabWidthAt(col) : int(len);
        i += len;
    }
    if (!begun) Begin = length;
    End = std::max(End, Begin);
}

int TEditorController::SelLength() const {
    if (!Selected()) return 0;
    if (FSelStartRow == FSelEndRow) {
        if (FSelectionMode == smBox) return int(SelText().size());
        return FSelEndByte - FSelStartByte + 1;
    }
    if (FSelectionMode == smBox) return int(SelText().size());
    int length = 0;
    for (int r = FSelStartRow; r <= FSelEndRow && r < RowCount(); ++r) {
        const int from = r == FSelStartRow ? FSelStartByte : 0;
        if (r == FSelEndRow) {
            length += FSelEndByte + 1;
            break;
        }
        length += OffsetLength(r, false) - from;
    }
    return std::max(length, 0);
}

std::string TEditorController::SelText() const {
    if (!Selected()) return {};
    std::string text;
    const int last = std::min(FSelEndRow, RowCount() - 1);
    if (FSelectionMode == smBox) {
        for (int r = FSelStartRow; r <= last; ++r) {
            const std::string_view row = FDocument->RowView(r);
            int begin = 0, end = 0;
            BoxBytes(r, FDispStartCol, FDispEndCol, begin, end);
            text += row.substr(std::size_t(begin), std::size_t(end - begin));
            if (FSelStartRow != FSelEndRow) text += "\r\n";
        }
        return text;
    }
    for (int r = FSelStartRow; r <= FSelEndRow && r < RowCount(); ++r) {
        const std::string_view row = FDocument->RowView(r);
        const int from = r == FSelStartRow ? std::min(FSelStartByte, int(row.size())) : 0;
        if (r == FSelEndRow) {
            const int to = std::clamp(FSelEndByte + 1, from, int(row.size()));
            text += row.substr(std::size_t(from), std::size_t(to - from));
            break;
        }
        text += row.substr(std::size_t(from));
        if (FDocument->RowEndKind(r) == reLineBreak) text += "\r\n";
    }
    return text;
}

void TEditorController::SetSelStart(int Value) {
    DropSelection();
    if (Value <= 0) {
        SetRowCol(0, 0);
        return;
    }
    const int count = RowCount();
    int rest = Value;
    for (int r = 0; r < count; ++r) {
        const int length = OffsetLength(r, true);
        if (length > rest || FDocument->RowEndKind(r) == reEndOfText) {
            PlaceCaretAtByte(r, std::min(rest, RowLength(r)));
            return;
        }
        rest -= length;
    }
    SetRowCol(count, 0);
}

void TEditorController::SetSelLength(int Value) {
    if (RowCount() == 0) return;
    SetSelectionMode(smStream);
    if (Value <= 0) {
        if (FSelectionState == ssSelected || FSelectionState == ssHit) SetRowCol(FDispStartRow, FDispStartCol);
        DropSelection();
        return;
    }
    ++FDeferCaret;
    const bool hit = FHitFlag;
    if (FSelectionState == ssSelected || FSelectionState == ssHit) PlaceCaretAtByte(FSelStartRow, FSelStartByte);
    StartSelection();
    FHitFlag = hit;
    // Walk from the caret's byte over the rows; the caret goes where the length ends.
    const int count = RowCount();
    int rest = Value + CaretByte();
    int row = FRow;
    for (; row < count; ++row) {
        const int length = OffsetLength(row, true);
        if (length > rest || FDocument->RowEndKind(row) == reEndOfText) break;
        rest -= length;
    }
    if (row >= count)
        SetRowCol(count, 0);
    else
        PlaceCaretAtByte(row, std::min(rest, RowLength(row)));
    UpdateSelection();
    --FDeferCaret;
    UpdateCaret();
}

void TEditorController::SetHitLength(int Value) {
    switch (FHitStyle) {
        case hsSelect:
            SetSelLength(Value);
            break;
        case hsDraw:
            FHitFlag = true;
            SetSelLength(Value);
            FHitFlag = false;
            break;
        case hsCaret:
            if (Value > 0) {
                const int row = FRow, col = FCol;
                FHitFlag = true;
                SetSelLength(Value);
                FHitFlag = false;
                SetRowCol(row, col);
            }
            break;
    }
    FHitLength = Value;
}

void TEditorController::SelectAll() {
    LockCaret();
    SetSelStart(0);
    SetSelLength(int(std::min<std::size_t>(FDocument->GetTextLen(), 0x7FFFFFFF)));
    UnlockCaret();
}

// ---- tokens under the mouse

bool TEditorController::FindTokenAt(TPoint Position, bool Words, int& FirstRow, int& Start, int& Length, TTokenKind& Kind,
                          std::string& Token) {
    int row = 0, index = 0;
    if (!PointToRowCol(Position, row, index) || row >= RowCount()) return false;
    // The whole logical line is scanned, from the stored state of its first row.
    FirstRow = FDocument->FirstRowOfLine(row);
    const int lastRow = FDocument->LastRowOfLine(row);
    std::string line;
    int at = 0;
    for (int r = FirstRow; r <= lastRow; ++r) {
        if (r == row) at = int(line.size()) + index;
        line += FDocument->RowView(r);
    }
    TRowAttributeData state;
    if (!Words) FDocument->GetRowAttributeData(FirstRow, state);
    state = Words ? TRowAttributeData{} : state;
    state.OpenBracket = -2;
    std::unique_ptr<TFountainParser> parser = Words ? std::make_unique<TTokenParser>() : ActiveFountain()->NewParser();
    parser->BeginRow(line, state);
    while (parser->NextToken() != tokEnd) {
        const int start = parser->TokenPos(), length = parser->TokenLength();
        if (at >= start && at < start + length) {
            Start = start;
            Length = length;
            Kind = parser->Token();
            Token = parser->TokenString();
            return true;
        }
        if (start > at) break;
    }
    return false;
}

bool TEditorController::TokenAtPos(TPoint Position, std::string& Token, TTokenKind& Kind) {
    int first = 0, start = 0, length = 0;
    return FindTokenAt(Position, false, first, start, length, Kind, Token);
}

void TEditorController::SelectTokenAtPos(TPoint Position) {
    int first = 0, start = 0, length = 0;
    TTokenKind kind = 0;
    std::string token;
    if (!FindTokenAt(Position, false, first, start, length, kind, token)) return;
    DropSelection();
    MoveCaretByOffset(first, start);
    SetSelLength(length);
}

void TEditorController::SelectWordAtPos(TPoint Position) {
    int first = 0, start = 0, length = 0;
    TTokenKind kind = 0;
    std::string token;
    if (!FindTokenAt(Position, true, first, start, length, kind, token)) return;
    DropSelection();
    MoveCaretByOffset(first, start);
    SetSelLength(length);
}

}  // namespace orvane
