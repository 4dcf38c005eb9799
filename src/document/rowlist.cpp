// The row lists.
#include "document/rowlist.h"

#include "base/faults.h"
#include "document/bytestrings.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace orvane {

// ---- TheStringList

TheStringList::~TheStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    for (int i = 0; i < FCount; ++i) rowtext::Release(Item(i));
    std::free(FList);
}

std::string TheStringList::Get(int Index) const { return std::string(RowView(Index)); }

std::string_view TheStringList::RowView(int Index) const {
    CheckIndex(Index);
    return rowtext::Text(Item(Index));
}

void TheStringList::Reallocate(int NewCapacity) {
    FaultPoint();
    // The new array keeps the gap where it was, with the new free space added to it.
    auto* list = static_cast<TheStringItem*>(std::malloc(std::size_t(NewCapacity) * sizeof(TheStringItem)));
    if (!list && NewCapacity > 0) throw std::bad_alloc();
    const int tail = FCount - FGapStart;
    if (FGapStart > 0) std::memcpy(static_cast<void*>(list), FList, std::size_t(FGapStart) * sizeof(TheStringItem));
    if (tail > 0)
        std::memcpy(static_cast<void*>(list + NewCapacity - tail), FList + FCapacity - tail,
                    std::size_t(tail) * sizeof(TheStringItem));
    std::free(FList);
    FList = list;
    FCapacity = NewCapacity;
}

void TheStringList::SetCapacity(int N) {
    if (N < FCount) N = FCount;
    if (N != FCapacity) Reallocate(N);
}

void TheStringList::Reserve(int Needed) {
    if (Needed <= FCapacity) return;
    int capacity = FCapacity;
    while (capacity < Needed) {
        capacity += capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
    }
    Reallocate(capacity);
}

void TheStringList::MoveGapTo(int Index) {
    const int gap = FCapacity - FCount;
    if (Index < FGapStart) {
        std::memmove(static_cast<void*>(FList + Index + gap), FList + Index,
                     std::size_t(FGapStart - Index) * sizeof(TheStringItem));
    } else if (Index > FGapStart) {
        std::memmove(static_cast<void*>(FList + FGapStart), FList + FGapStart + gap,
                     std::size_t(Index - FGapStart) * sizeof(TheStringItem));
    }
    FGapStart = Index;
}

void TheStringList::InsertItems(int Index, int Count) {
    if (Count <= 0) return;
    Reserve(FCount + Count);
    MoveGapTo(Index);
    std::memset(static_cast<void*>(FList + Index), 0, std::size_t(Count) * sizeof(TheStringItem));
    FGapStart += Count;
    FCount += Count;
    FLineEnds += Count;  // new rows end with a line break
    if (Index < FComputedEnd) FComputedEnd += Count;
}

void TheStringList::DeleteItems(int Index, int Count) {
    if (Count <= 0) return;
    for (int i = Index; i < Index + Count; ++i) {
        EndKindChanged(Item(i).Attr, reWrapped);
        rowtext::Release(Item(i));
    }
    MoveGapTo(Index + Count);
    FGapStart = Index;
    FCount -= Count;
    if (Index < FComputedEnd) FComputedEnd = std::max(Index, FComputedEnd - Count);
}

void TheStringList::AppendRow(std::string_view Text, std::uint32_t Attr, std::uint32_t Attr2,
                              TRowTextArena* Arena) {
    InsertItems(FCount, 1);
    TheStringItem& item = Item(FCount - 1);
    if (Arena)
        Arena->SetText(item, Text);
    else
        rowtext::SetText(item, Text);
    EndKindChanged(item.Attr, Attr);
    item.Attr = Attr;
    item.Attr2 = Attr2;
    NoteAttr(FCount - 1, Attr);
}

void TheStringList::AppendRow(std::string_view Text, std::uint32_t Attr, std::uint32_t Attr2,
                              TRowTextBuffer& Buffer) {
    InsertItems(FCount, 1);
    TheStringItem& item = Item(FCount - 1);
    Buffer.SetText(item, Text);
    EndKindChanged(item.Attr, Attr);
    item.Attr = Attr;
    item.Attr2 = Attr2;
    NoteAttr(FCount - 1, Attr);
}

void TheStringList::AppendSharedRow(const TheStringList& Source, int From) {
    Source.CheckIndex(From);
    InsertItems(FCount, 1);
    const TheStringItem& from = Source.Item(From);
    rowtext::Retain(from);
    EndKindChanged(Item(FCount - 1).Attr, from.Attr);
    Item(FCount - 1) = from;
    NoteAttr(FCount - 1, from.Attr);
}

void TheStringList::SwapRows(TheStringList& Other) noexcept {
    std::swap(FList, Other.FList);
    std::swap(FCount, Other.FCount);
    std::swap(FCapacity, Other.FCapacity);
    std::swap(FGapStart, Other.FGapStart);
    std::swap(FLineEnds, Other.FLineEnds);
    std::swap(FComputedEnd, Other.FComputedEnd);
}

void TheStringList::Put(int Index, std::string_view S) {
    CheckIndex(Index);
    Changing();
    rowtext::SetText(Item(Index), S);
    Changed();
}

int TheStringList::Add(std::string_view S) {
    const int index = FCount;
    Insert(index, S);
    return index;
}

void TheStringList::Insert(int Index, std::string_view S) {
    if (Index < 0 || Index > FCount) ThrowListIndexError();
    Changing();
    InsertItems(Index, 1);
    rowtext::SetText(Item(Index), S);
    Changed();
}

void TheStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    DeleteItems(Index, 1);
    Changed();
}

void TheStringList::Clear() {
    if (FCount == 0) return;
    Changing();
    for (int i = 0; i < FCount; ++i) rowtext::Release(Item(i));
    std::free(FList);
    FList = nullptr;
    FCount = FCapacity = FGapStart = FLineEnds = FComputedEnd = 0;
    Changed();
}

void TheStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(Item(Index1), Item(Index2));
    NoteAttr(Index1, Item(Index1).Attr);
    NoteAttr(Index2, Item(Index2).Attr);
    Changed();
}

std::string TheStringList::GetTextStr() const {
    std::size_t total = 0;
    for (int i = 0; i < FCount; ++i) total += rowtext::Text(Item(i)).size() + 2;
    std::string text;
    text.reserve(total);
    for (int i = 0; i < FCount; ++i) {
        text += rowtext::Text(Item(i));
        text += "\r\n";
    }
    return text;
}

void TheStringList::SetUpdateState(bool Updating) {
    if (Updating) {
        if (FUpdateCount == 0) Changing();
        ++FUpdateCount;
    } else {
        --FUpdateCount;
        if (FUpdateCount == 0) Changed();
    }
}

void TheStringList::Changed() {
    if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TheStringList::Changing() {
    if (FUpdateCount == 0 && OnChanging) OnChanging(this);
}

// ---- TRowAttributeStringList

std::string TRowAttributeStringList::CarryTexts(int I) const {
    CheckIndex(I);
    return std::string(rowtext::Carry(Item(I)));
}

void TRowAttributeStringList::SetCarryTexts(int I, std::string_view V) {
    CheckIndex(I);
    rowtext::SetCarry(Item(I), V);
}

std::int32_t TRowAttributeStringList::RowData(int I) const {
    CheckIndex(I);
    return Item(I).Data;
}

void TRowAttributeStringList::SetRowData(int I, std::int32_t V) {
    CheckIndex(I);
    Item(I).Data = V;
}

void TRowAttributeStringList::GetRowAttributeData(int Row, TRowAttributeData& Data) const {
    CheckIndex(Row);
    const TheStringItem& item = Item(Row);
    namespace f = rowfield;
    Data.RowEndKind = TRowEndKind(f::EndKind.Get(item.Attr));
    Data.PrevRowEndKind = TRowEndKind(f::PrevEndKind.Get(item.Attr));
    Data.OpenBracket = int(f::OpenBracket.Get(item.Attr)) - 2;
    Data.ModeState = std::int32_t(f::ModeState.Get(item.Attr));
    Data.CarryLength = std::int32_t(f::CarryLength.Get(item.Attr));
    Data.ModeCounter = std::int32_t(f::ModeCounter.Get(item.Attr));
    Data.CarryToken = std::uint8_t(f::CarryToken.Get(item.Attr2));
    Data.LastTokenKind = std::uint8_t(f::LastTokenKind.Get(item.Attr2));
    Data.CarryText = rowtext::Carry(item);
}

void TRowAttributeStringList::SetRowAttributeData(int Row, const TRowAttributeData& Data) {
    CheckIndex(Row);
    TheStringItem& item = Item(Row);
    namespace f = rowfield;
    // The carry text first: it is the only part that can fail.
    rowtext::SetCarry(item, Data.CarryText);
    std::uint32_t attr = item.Attr & ~f::kStateBits;
    attr = f::PrevEndKind.Put(attr, Data.PrevRowEndKind);
    attr = f::OpenBracket.Put(attr, std::uint32_t(Data.OpenBracket + 2));
    attr = f::ModeState.Put(attr, std::uint32_t(Data.ModeState));
    attr = f::CarryLength.Put(attr, std::uint32_t(Data.CarryLength));
    attr = f::ModeCounter.Put(attr, std::uint32_t(Data.ModeCounter));
    item.Attr = attr;
    item.Attr2 = f::LastTokenKind.Put(f::CarryToken.Put(item.Attr2 & ~f::kStateBits2, Data.CarryToken), Data.LastTokenKind);
    NoteAttr(Row, item.Attr);
}

void TRowAttributeStringList::InvalidateRowAttributes(int Row) {
    CheckIndex(Row);
    TheStringItem& item = Item(Row);
    // PrevRowEndKind reLineBreak (0), OpenBracket -2 (stored 0), the other tokenizer fields 0.
    rowtext::SetCarry(item, {});
    item.Attr &= ~rowfield::kStateBits;
    item.Attr2 &= ~rowfield::kStateBits2;
}

void TRowAttributeStringList::ForgetStatesFrom(int Row) noexcept {
    const int end = ComputedEnd();
    for (int r = std::max(Row, 0); r < end; ++r) {
        std::uint32_t& attr = Item(r).Attr;
        attr = rowfield::OpenBracket.Put(attr, 0);
    }
    LowerComputedEnd(Row);
}

// ---- TEditorStringList

void TEditorStringList::CopyRow(int To, const TEditorStringList& Source, int From) {
    CheckIndex(To);
    Source.CheckIndex(From);
    const TheStringItem& from = Source.Item(From);
    TheStringItem& to = Item(To);
    if (&from == &to) return;
    rowtext::Retain(from);
    rowtext::Release(to);
    EndKindChanged(to.Attr, from.Attr);
    to = from;
    NoteAttr(To, from.Attr);
}

void TEditorStringList::AssignLines(std::string_view Text) {
    BeginUpdate();
    Clear();
    const std::size_t lines = CountLines(Text);
    if (lines > std::size_t(0x7FFFFFFF)) throw EListError("行が多すぎます");
    InsertItems(0, int(lines));
    TRowTextArena arena;
    int row = 0;
    ForEachLine(Text, [&](std::string_view line) { arena.SetText(Item(row++), line); });
    EndUpdate();
}

void InvalidateRowsFrom(TRowAttributeStringList& Rows, int Row) {
    // Edits leave not-computed rows in the middle, so computed rows may follow them: look at all
    // rows up to the last one that may hold a state.
    const int end = Rows.ComputedEnd();
    for (int r = std::max(Row, 0); r < end; ++r)
        if (Rows.OpenBracket(r) != -2) Rows.InvalidateRowAttributes(r);
    Rows.LowerComputedEnd(Row);
}


}  // namespace orvane
