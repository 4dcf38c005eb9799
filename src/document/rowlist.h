// The row lists: rows of text with packed per-row attributes (end kind, tokenizer state, marks).
#pragma once

#include "base/events.h"
#include "base/exceptions.h"
#include "base/strings.h"
#include "document/rowtext.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// How a row ends. Only the last row of a list may be reEndOfText.
enum TRowEndKind : std::uint8_t {
    reLineBreak = 0,  // a line break follows the row
    reWrapped = 1,    // word wrap cut the line here; it continues in the next row
    reEndOfText = 2,  // the last row of the text, no line break after it
    reNoRows = 3,     // not a row's kind: "no rows at all" where an end kind is reported
};

// Set of marks 0..15 on a row; bit n set = mark n present.
using TRowMarkSet = std::uint16_t;

// The tokenizer state at the start of a row, as the tokenizer and the painter exchange it.
struct TRowAttributeData {
    TRowEndKind RowEndKind = reLineBreak;
    TRowEndKind PrevRowEndKind = reLineBreak;
    std::int32_t OpenBracket = -1;  // -1 none, -2 row not yet tokenized
    std::int32_t ModeState = 0;
    std::int32_t CarryLength = 0;
    std::int32_t ModeCounter = 0;
    std::uint8_t CarryToken = 0;
    std::uint8_t LastTokenKind = 0;
    std::string CarryText;

    bool operator==(const TRowAttributeData&) const = default;
};

// The state used for the first row and wherever no earlier row has a valid state.
inline TRowAttributeData InitialRowAttributeData() { return {}; }

// A list of rows stored as one gap buffer of compact items: inserts and deletes near the last
// edit move only the items between the two places. Invariant: items [0, gap) and
// [gap + capacity - count, capacity) are the rows in order.
class TheStringList : public TStrings {
public:
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    TheStringList() = default;
    TheStringList(const TheStringList&) = delete;
    TheStringList& operator=(const TheStringList&) = delete;
    ~TheStringList() override;

    std::string Get(int Index) const override;
    int GetCount() const override { return FCount; }
    int GetCapacity() const override { return FCapacity; }
    void SetCapacity(int N) override;
    void Put(int Index, std::string_view S) override;
    int Add(std::string_view S) override;
    void Insert(int Index, std::string_view S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    std::string GetTextStr() const override;

    // The text of a row without copying; valid until the row changes.
    std::string_view RowView(int Index) const;

    // Adds Count zeroed rows at Index / removes Count rows at Index, as one block move each.
    // No events; callers bracket them.
    void InsertItems(int Index, int Count);
    void DeleteItems(int Index, int Count);

    // Appends a row with the given text and attribute words, its text packed into Arena when one
    // is given. No events.
    void AppendRow(std::string_view Text, std::uint32_t Attr, std::uint32_t Attr2, TRowTextArena* Arena);
    // The same with Text a slice of Buffer, which the row then shares.
    void AppendRow(std::string_view Text, std::uint32_t Attr, std::uint32_t Attr2, TRowTextBuffer& Buffer);
    // Appends a row sharing the text, carry text and attributes of row From of Source. No events.
    void AppendSharedRow(const TheStringList& Source, int From);
    // Exchanges the rows of two lists (not their events or update state).
    void SwapRows(TheStringList& Other) noexcept;
    // Gives back the unused capacity after a list was built in bulk.
    void ShrinkToFit() { SetCapacity(FCount); }

    virtual void Changed();
    virtual void Changing();

    int UpdateCount() const noexcept { return FUpdateCount; }
    // Rows whose end kind is not reWrapped, kept as rows change (the line count of a document).
    int LineEndCount() const noexcept { return FLineEnds; }
    // No row at or after this index holds a tokenizer state (all are "not yet tokenized"), so
    // marking the rest of a list stale need not look at them.
    int ComputedEnd() const noexcept { return std::min(FComputedEnd, FCount); }
    void LowerComputedEnd(int Row) noexcept { FComputedEnd = std::max(0, std::min(FComputedEnd, Row)); }
    // Bytes held by the item array (for memory figures).
    std::size_t ItemBytes() const noexcept { return std::size_t(FCapacity) * sizeof(TheStringItem); }

protected:
    void SetUpdateState(bool Updating) override;
    void CheckIndex(int Index) const {
        if (Index < 0 || Index >= FCount) ThrowListIndexError();
    }
    TheStringItem& Item(int Index) noexcept {
        return FList[Index < FGapStart ? Index : Index + (FCapacity - FCount)];
    }
    const TheStringItem& Item(int Index) const noexcept {
        return FList[Index < FGapStart ? Index : Index + (FCapacity - FCount)];
    }

private:
    void MoveGapTo(int Index);
    void Reserve(int Needed);
    void Reallocate(int NewCapacity);

    TheStringItem* FList = nullptr;
    int FCount = 0;
    int FCapacity = 0;
    int FGapStart = 0;
    int FUpdateCount = 0;
    int FLineEnds = 0;
    int FComputedEnd = 0;

protected:
    // Notes that row Row may now hold a tokenizer state (its OpenBracket bits are not zero).
    void NoteAttr(int Row, std::uint32_t Attr) noexcept {
        if ((Attr & 0xF0u) && FComputedEnd <= Row) FComputedEnd = Row + 1;
    }
    // Keeps LineEndCount when an item's end kind goes from Old to New.
    void EndKindChanged(std::uint32_t OldAttr, std::uint32_t NewAttr) noexcept {
        FLineEnds += int((NewAttr & 0x3) != 1) - int((OldAttr & 0x3) != 1);
    }
};

// Typed accessors for the packed attributes. The setters fire no events and do not mask their
// argument: callers keep end kinds in 0..2 and OpenBracket in -2..13.
class TRowAttributeStringList : public TheStringList {
public:
    TRowEndKind RowEndKind(int I) const { return TRowEndKind(Attr(I) & 0x3); }
    void SetRowEndKind(int I, TRowEndKind V) {
        const std::uint32_t old = Attr(I);
        SetAttrBits(I, 0, 0x3, V);
        EndKindChanged(old, V);
    }
    TRowEndKind PrevRowEndKind(int I) const { return TRowEndKind((Attr(I) >> 2) & 0x3); }
    void SetPrevRowEndKind(int I, TRowEndKind V) { SetAttrBits(I, 2, 0x3, V); }
    int OpenBracket(int I) const { return int((Attr(I) >> 4) & 0xF) - 2; }
    void SetOpenBracket(int I, int V) {
        SetAttrBits(I, 4, 0xF, std::uint32_t(V + 2));
        NoteAttr(I, Attr(I));
    }
    std::uint8_t ModeState(int I) const { return std::uint8_t(Attr(I) >> 8); }
    void SetModeState(int I, std::uint8_t V) { SetAttrBits(I, 8, 0xFF, V); }
    std::uint8_t CarryLength(int I) const { return std::uint8_t(Attr(I) >> 16); }
    void SetCarryLength(int I, std::uint8_t V) { SetAttrBits(I, 16, 0xFF, V); }
    std::uint8_t ModeCounter(int I) const { return std::uint8_t(Attr(I) >> 24); }
    void SetModeCounter(int I, std::uint8_t V) { SetAttrBits(I, 24, 0xFF, V); }
    std::uint8_t CarryToken(int I) const { return std::uint8_t(Attr2(I)); }
    void SetCarryToken(int I, std::uint8_t V) { SetAttr2Bits(I, 0, 0xFF, V); }
    std::uint8_t LastTokenKind(int I) const { return std::uint8_t(Attr2(I) >> 8); }
    void SetLastTokenKind(int I, std::uint8_t V) { SetAttr2Bits(I, 8, 0xFF, V); }
    TRowMarkSet RowMarkSet(int I) const { return TRowMarkSet(Attr2(I) >> 16); }
    void SetRowMarkSet(int I, TRowMarkSet V) { SetAttr2Bits(I, 16, 0xFFFF, V); }
    std::string CarryTexts(int I) const;
    void SetCarryTexts(int I, std::string_view V);
    std::int32_t RowData(int I) const;
    void SetRowData(int I, std::int32_t V);

    // Fills Data from the row's stored state (everything but the marks).
    void GetRowAttributeData(int Row, TRowAttributeData& Data) const;
    // Stores every tokenizer field of Data into the row; its end kind and marks stay.
    void SetRowAttributeData(int Row, const TRowAttributeData& Data);
    // Marks the row as not yet tokenized; its end kind and marks stay.
    void InvalidateRowAttributes(int Row);

    // The packed words, for block copies between lists.
    std::uint32_t Attr(int I) const {
        CheckIndex(I);
        return Item(I).Attr;
    }
    std::uint32_t Attr2(int I) const {
        CheckIndex(I);
        return Item(I).Attr2;
    }

private:
    void SetAttrBits(int I, int Shift, std::uint32_t Mask, std::uint32_t V) {
        CheckIndex(I);
        auto& a = Item(I).Attr;
        a = (a & ~(Mask << Shift)) | (V << Shift);
    }
    void SetAttr2Bits(int I, int Shift, std::uint32_t Mask, std::uint32_t V) {
        CheckIndex(I);
        auto& a = Item(I).Attr2;
        a = (a & ~(Mask << Shift)) | (V << Shift);
    }
};

// The concrete row list: temporary lists (wrapped text, selection copies) and the document's base.
class TEditorStringList : public TRowAttributeStringList {
public:
    // Copies row From of Source into row To of this list: text (shared), attributes, marks,
    // data slot and carry text.
    void CopyRow(int To, const TEditorStringList& Source, int From);
    // Replaces the contents by the lines of Text, each reLineBreak, texts packed into one arena.
    void AssignLines(std::string_view Text);
};

// Marks every row from Row on whose state is computed as not computed.
void InvalidateRowsFrom(TRowAttributeStringList& Rows, int Row);

}  // namespace orvane
