// Collections, method lists and components that tell listeners about changes: the bases of
// every syntax-mode settings object.
#pragma once

#include "base/notify.h"
#include "base/strings.h"

#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace orvane {

class TCollection;

// An item owned by a collection; its index is its place in the collection.
class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection) : FCollection(Collection) {}
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const noexcept { return FCollection; }
    int Index() const;

protected:
    // Tells the collection that this item's settings changed.
    void Changed();

private:
    TCollection* FCollection;
};

// An ordered list of owned items of one class. Every added, deleted or changed item calls the
// update hook once, or once at the end of the outermost update bracket.
class TCollection : public TPersistent {
public:
    TCollection() = default;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    TCollectionItem* Item(int Index) const;
    virtual TCollectionItem* Add();
    void Delete(int Index);
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }
    int IndexOf(const TCollectionItem* Item) const;

    // Copies the items of another collection: clear, then add and assign each source item.
    void Assign(const TPersistent& Source) override;

    // The collection's changed logic: calls Update when no update bracket is open.
    void Changed();

protected:
    // Creates an item of the collection's item class.
    virtual std::unique_ptr<TCollectionItem> NewItem() = 0;
    virtual void Update(TCollectionItem* /*Item*/) {}

private:
    std::vector<std::unique_ptr<TCollectionItem>> FItems;
    int FUpdateCount = 0;
};

// A collection with a change event and an owner (returned as its owner for streaming).
class TNotifyCollection : public TCollection {
public:
    TNotifyEvent OnChange;

    explicit TNotifyCollection(TPersistent* Owner = nullptr) : FOwner(Owner) {}
    TPersistent* Owner() const noexcept { return FOwner; }
    // Items' sub-objects point their OnChange here.
    virtual void ChildChanged(TObject* Sender);

protected:
    void Update(TCollectionItem* Item) override;

private:
    TPersistent* FOwner;
};

// A method pointer: the object it is bound to, the identity of its code, and the call itself.
// Two methods are equal when both the object and the code are equal.
struct TMethod {
    const void* Data = nullptr;
    std::array<unsigned char, 2 * sizeof(void*)> Code{};
    TNotifyEvent Call;

    bool SameAs(const TMethod& M) const noexcept { return Data == M.Data && Code == M.Code; }
};

// Binds Fn to Object as a TMethod.
template <class C>
TMethod MakeMethod(C* Object, void (C::*Fn)(TObject*)) {
    static_assert(sizeof(Fn) <= sizeof(TMethod::Code));
    TMethod m;
    m.Data = Object;
    std::memcpy(m.Code.data(), &Fn, sizeof(Fn));
    m.Call = [Object, Fn](TObject* Sender) { (Object->*Fn)(Sender); };
    return m;
}

// A list of method pointers, each a separately held record.
class TMethodList {
public:
    virtual ~TMethodList() = default;
    virtual void Add(const TMethod& M) { FList.push_back(M); }
    // Removes the last entry equal to M (code and object); nothing when there is none.
    virtual void Remove(const TMethod& M);
    void Clear() { FList.clear(); }
    int Count() const noexcept { return static_cast<int>(FList.size()); }
    const TMethod& Items(int Index) const { return FList.at(Index); }

private:
    std::vector<TMethod> FList;
};

// A change event with many subscribers: Changed calls each, in order, with the owner as sender.
class TNotifyEventList : public TNotifyPersistent {
public:
    explicit TNotifyEventList(TPersistent* Owner) : FOwner(Owner) {}
    TPersistent* Owner() const noexcept { return FOwner; }

    void Changed() override;
    void Add(const TMethod& M) { FList.Add(M); }
    void Remove(const TMethod& M) { FList.Remove(M); }
    const TMethodList& Methods() const noexcept { return FList; }

private:
    TMethodList FList;
    TPersistent* FOwner;
};

// A non-visual component. Components are made with Create<T>(), which runs the construction
// steps that call virtual operations (AfterConstruction) once the object is complete.
class TStoreComponent : public TPersistent {
protected:
    // Only Create can make this key, so a component cannot be built without AfterConstruction.
    class TCreateKey {
        TCreateKey() = default;
        friend class TStoreComponent;
    };

public:
    explicit TStoreComponent(TCreateKey) {}
    TStoreComponent(const TStoreComponent&) = delete;
    TStoreComponent& operator=(const TStoreComponent&) = delete;
    ~TStoreComponent() override;

    template <class T, class... Args>
    static std::unique_ptr<T> Create(Args&&... args) {
        static_assert(std::is_base_of_v<TStoreComponent, T>);
        std::unique_ptr<T> c(new T(TCreateKey{}, std::forward<Args>(args)...));
        static_cast<TStoreComponent*>(c.get())->AfterConstruction();
        return c;
    }

    // Subscribers told (with the component as sender) when the component is destroyed.
    void FreeNotification(const TMethod& M) { FFreeNotifies.Add(M); }
    void RemoveFreeNotification(const TMethod& M) { FFreeNotifies.Remove(M); }

protected:
    virtual void AfterConstruction() {}

private:
    TMethodList FFreeNotifies;
};

// A component that knows the file extensions it handles (a sorted list that ignores duplicates
// and case).
class TFileExtComponent : public TStoreComponent {
public:
    using TStoreComponent::TStoreComponent;

    TStringList& FileExtList() noexcept { return *FFileExtList; }
    void SetFileExtList(const TStrings& Value) { FFileExtList->Assign(Value); }
    virtual bool HandlesExt(std::string_view Ext) const;

protected:
    void AfterConstruction() override;
    virtual std::unique_ptr<TStringList> NewExtList() const;
    virtual void AddDefaultExts() {}

private:
    std::unique_ptr<TStringList> FFileExtList;
};

}  // namespace orvane
