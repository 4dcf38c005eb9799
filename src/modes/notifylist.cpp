// Collections, method lists and components that tell listeners about changes.
#include "modes/notifylist.h"

#include "base/exceptions.h"

#include <algorithm>

namespace orvane {

// ---- TCollectionItem

int TCollectionItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TCollectionItem::Changed() {
    if (FCollection) FCollection->Changed();
}

// ---- TCollection

TCollectionItem* TCollection::Item(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(kListIndexError);
    return FItems[Index].get();
}

TCollectionItem* TCollection::Add() {
    FItems.push_back(NewItem());
    Changed();
    return FItems.back().get();
}

void TCollection::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EListError(kListIndexError);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    FItems.clear();
    EndUpdate();
}

void TCollection::EndUpdate() {
    --FUpdateCount;
    Changed();
}

int TCollection::IndexOf(const TCollectionItem* Item) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].get() == Item) return i;
    return -1;
}

void TCollection::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TCollection*>(&Source);
    if (!src) return TPersistent::Assign(Source);
    if (src == this) return;  // clearing first would lose the items to copy
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < src->Count(); ++i) Add()->Assign(*src->Item(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

// ---- TNotifyCollection

void TNotifyCollection::ChildChanged(TObject* Sender) {
    if (Sender != this) Changed();
}

void TNotifyCollection::Update(TCollectionItem*) {
    if (OnChange) OnChange(this);
}

// ---- TMethodList

void TMethodList::Remove(const TMethod& M) {
    for (auto it = FList.rbegin(); it != FList.rend(); ++it) {
        if (it->SameAs(M)) {
            FList.erase(std::next(it).base());
            return;
        }
    }
}

// ---- TNotifyEventList

void TNotifyEventList::Changed() {
    if (UpdateCount() != 0) return;
    // A subscriber may subscribe or unsubscribe while being told; call the list as it was.
    std::vector<TNotifyEvent> calls;
    calls.reserve(FList.Count());
    for (int i = 0; i < FList.Count(); ++i) calls.push_back(FList.Items(i).Call);
    for (auto& call : calls)
        if (call) call(FOwner);
}

// ---- TStoreComponent

TStoreComponent::~TStoreComponent() {
    for (int i = 0; i < FFreeNotifies.Count(); ++i)
        if (FFreeNotifies.Items(i).Call) FFreeNotifies.Items(i).Call(this);
}

// ---- TFileExtComponent

bool TFileExtComponent::HandlesExt(std::string_view Ext) const {
    int index = 0;
    return FFileExtList->Find(Ext, index);
}

void TFileExtComponent::AfterConstruction() {
    TStoreComponent::AfterConstruction();
    FFileExtList = NewExtList();
    AddDefaultExts();
}

std::unique_ptr<TStringList> TFileExtComponent::NewExtList() const {
    auto list = std::make_unique<TStringList>();
    list->Duplicates = TDuplicates::dupIgnore;
    list->SetSorted(true);
    return list;
}

}  // namespace orvane
