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

// One field of the two packed attribute words of a row (TheStringItem::Attr and Attr2).
struct TRowField {
    bool InAttr2;
    std::uint8_t Shift;
    std::uint8_t Bits;

    constexpr std::uint32_t Mask() const noexcept { return ((1u << Bits) - 1u) << Shift; }
    constexpr std::uint32_t Get(std::uint32_t Word) const noexcept { return (Word & Mask()) >> Shift; }
    constexpr std::uint32_t Put(std::uint32_t Word, std::uint32_t V) const noexcept {
        return (Word & ~Mask()) | ((V << Shift) & Mask());
    }
};

// The layout of the packed row words: the only place that knows which bits hold what.
namespace rowfield {
inline constexpr TRowField EndKind{false, 0, 2};      // TRowEndKind
inline constexpr TRowField PrevEndKind{false, 2, 2};  // TRowEndKind the tokenizer saw before the row
inline constexpr TRowField OpenBracket{false, 4, 4};  // OpenBracket + 2: 0 = not yet tokenized
inline constexpr TRowField ModeState{false, 8, 8};
inline constexpr TRowField CarryLength{false, 16, 8};
inline constexpr TRowField ModeCounter{false, 24, 8};
inline constexpr TRowField CarryToken{true, 0, 8};
inline constexpr TRowField LastTokenKind{true, 8, 8};
inline constexpr TRowField Marks{true, 16, 16};  // TRowMarkSet

// The tokenizer's bits of each word: all but the end kind and the marks.
inline constexpr std::uint32_t kStateBits =
    PrevEndKind.Mask() | OpenBracket.Mask() | ModeState.Mask() | CarryLength.Mask() | ModeCounter.Mask();
inline constexpr std::uint32_t kStateBits2 = CarryToken.Mask() | LastTokenKind.Mask();

// The fields of each word neither overlap nor leave bits unused.
static_assert((EndKind.Mask() ^ kStateBits) == 0xFFFFFFFFu &&
              EndKind.Bits + PrevEndKind.Bits + OpenBracket.Bits + ModeState.Bits + CarryLength.Bits +
                      ModeCounter.Bits == 32);
static_assert((kStateBits2 ^ Marks.Mask()) == 0xFFFFFFFFu && CarryToken.Bits + LastTokenKind.Bits + Marks.Bits == 32);
}  // namespace rowfield

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
    void Reallocate(int NewCapacity);

    TheStringItem* FList = nullptr;
    int FCount = 0;
    int FCapacity = 0;
    int FGapStart = 0;
    int FUpdateCount = 0;
    int FLineEnds = 0;
    int FComputedEnd = 0;

protected:
    // Makes room for Count more rows, so that inserting them cannot fail.
    void Reserve(int Needed);
    // Notes that row Row may now hold a tokenizer state (its OpenBracket field is not zero).
    void NoteAttr(int Row, std::uint32_t Attr) noexcept {
        if (rowfield::OpenBracket.Get(Attr) != 0 && FComputedEnd <= Row) FComputedEnd = Row + 1;
    }
    // Keeps LineEndCount when an item's end kind goes from Old to New.
    void EndKindChanged(std::uint32_t OldAttr, std::uint32_t NewAttr) noexcept {
        FLineEnds += int(rowfield::EndKind.Get(NewAttr) != reWrapped) - int(rowfield::EndKind.Get(OldAttr) != reWrapped);
    }
};

// Typed accessors for the packed attributes (see rowfield). The setters fire no events; values
// are cut to their field's width.
class TRowAttributeStringList : public TheStringList {
public:
    TRowEndKind RowEndKind(int I) const { return TRowEndKind(Field(I, rowfield::EndKind)); }
    void SetRowEndKind(int I, TRowEndKind V) {
        const std::uint32_t old = Attr(I);
        SetField(I, rowfield::EndKind, V);
        EndKindChanged(old, V);
    }
    TRowEndKind PrevRowEndKind(int I) const { return TRowEndKind(Field(I, rowfield::PrevEndKind)); }
    void SetPrevRowEndKind(int I, TRowEndKind V) { SetField(I, rowfield::PrevEndKind, V); }
    int OpenBracket(int I) const { return int(Field(I, rowfield::OpenBracket)) - 2; }
    void SetOpenBracket(int I, int V) {
        SetField(I, rowfield::OpenBracket, std::uint32_t(V + 2));
        NoteAttr(I, Attr(I));
    }
    std::uint8_t ModeState(int I) const { return std::uint8_t(Field(I, rowfield::ModeState)); }
    void SetModeState(int I, std::uint8_t V) { SetField(I, rowfield::ModeState, V); }
    std::uint8_t CarryLength(int I) const { return std::uint8_t(Field(I, rowfield::CarryLength)); }
    void SetCarryLength(int I, std::uint8_t V) { SetField(I, rowfield::CarryLength, V); }
    std::uint8_t ModeCounter(int I) const { return std::uint8_t(Field(I, rowfield::ModeCounter)); }
    void SetModeCounter(int I, std::uint8_t V) { SetField(I, rowfield::ModeCounter, V); }
    std::uint8_t CarryToken(int I) const { return std::uint8_t(Field(I, rowfield::CarryToken)); }
    void SetCarryToken(int I, std::uint8_t V) { SetField(I, rowfield::CarryToken, V); }
    std::uint8_t LastTokenKind(int I) const { return std::uint8_t(Field(I, rowfield::LastTokenKind)); }
    void SetLastTokenKind(int I, std::uint8_t V) { SetField(I, rowfield::LastTokenKind, V); }
    TRowMarkSet RowMarkSet(int I) const { return TRowMarkSet(Field(I, rowfield::Marks)); }
    void SetRowMarkSet(int I, TRowMarkSet V) { SetField(I, rowfield::Marks, V); }
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
    // Marks every row from Row on not yet tokenized in a way that cannot fail, for a tokenizer
    // that failed half-way: carry texts stay (they are not read while a row is not tokenized).
    void ForgetStatesFrom(int Row) noexcept;

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
    std::uint32_t Field(int I, TRowField F) const {
        CheckIndex(I);
        const TheStringItem& item = Item(I);
        return F.Get(F.InAttr2 ? item.Attr2 : item.Attr);
    }
    void SetField(int I, TRowField F, std::uint32_t V) {
        CheckIndex(I);
        std::uint32_t& word = F.InAttr2 ? Item(I).Attr2 : Item(I).Attr;
        word = F.Put(word, V);
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
