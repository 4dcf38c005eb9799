// A syntax mode's settings: token colours, multi-line delimiter pairs, reserved words and the
// file extensions it is meant for. Every editor using a mode subscribes to its NotifyEventList.
#pragma once

#include "base/exceptions.h"
#include "base/graphics.h"
#include "modes/notifylist.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

class TFountainParser;
class TFountainColor;

// Calls the visitor for every colour an object holds: Name is the property path ("Reserve",
// "Colors.Ank", "Brackets[0].ItemColor"). It stands in for walking published properties and
// serves UsesItalic, SetAllColors and the style files.
using TColorVisitor = std::function<void(std::string_view Name, TFountainColor& Color)>;

class TColorHolder {
public:
    virtual ~TColorHolder() = default;
    virtual void ForEachColor(const TColorVisitor& Visit) = 0;
};

// The look of one token class. Setters store only a differing value and then notify.
class TFountainColor : public TNotifyPersistent {
public:
    TColor BkColor() const noexcept { return FBkColor; }
    void SetBkColor(TColor V);
    TColor Color() const noexcept { return FColor; }
    void SetColor(TColor V);
    TFontStyles Style() const noexcept { return FStyle; }
    void SetStyle(TFontStyles V);

    // Copies all three values from another colour, notifying once.
    void Assign(const TPersistent& Source) override;

private:
    TColor FBkColor = clNone;
    TColor FColor = clNone;
    TFontStyles FStyle = 0;
};

// A collection item with a colour; in a notifying collection the colour's changes reach it.
class TFountainColorItem : public TCollectionItem {
public:
    explicit TFountainColorItem(TCollection* Collection);

    TFountainColor& ItemColor() noexcept { return FItemColor; }
    const TFountainColor& ItemColor() const noexcept { return FItemColor; }
    void SetItemColor(const TFountainColor& Value) { FItemColor.Assign(Value); }
    void Assign(const TPersistent& Source) override;

private:
    TFountainColor FItemColor;
};

// A delimiter pair ("/*" and "*/") with its colour. An empty RightBracket ends tokenizing of the
// row at the left bracket.
class TFountainBracketItem : public TFountainColorItem {
public:
    using TFountainColorItem::TFountainColorItem;

    const std::string& LeftBracket() const noexcept { return FLeftBracket; }
    void SetLeftBracket(std::string_view V);
    const std::string& RightBracket() const noexcept { return FRightBracket; }
    void SetRightBracket(std::string_view V);
    void Assign(const TPersistent& Source) override;

private:
    std::string FLeftBracket;
    std::string FRightBracket;
};

class EFountainError : public Exception {
public:
    using Exception::Exception;
};

// The delimiter pairs of a mode. A row stores the index of an open pair in four bits, so the
// collection holds at most kMaxBrackets items.
class TFountainBracketCollection : public TNotifyCollection, public TColorHolder {
public:
    static constexpr int kMaxBrackets = 14;

    using TNotifyCollection::TNotifyCollection;

    // Raises EFountainError when the collection is full.
    TFountainBracketItem* Add() override;
    TFountainBracketItem* Items(int Index) const { return static_cast<TFountainBracketItem*>(Item(Index)); }
    void Assign(const TPersistent& Source) override;
    void ForEachColor(const TColorVisitor& Visit) override;

protected:
    std::unique_ptr<TCollectionItem> NewItem() override;
};

// A mode's settings component. Several editors may share one; see TStoreComponent::Create.
class TFountain : public TFileExtComponent, public TColorHolder {
public:
    using TParserClass = std::unique_ptr<TFountainParser> (*)(TFountain* Fountain);

    using TFileExtComponent::TFileExtComponent;
    ~TFountain() override;

    TFountainBracketCollection& Brackets() noexcept { return *FBrackets; }
    void SetBrackets(const TFountainBracketCollection& Value) { FBrackets->Assign(Value); }
    TNotifyEventList& NotifyEventList() noexcept { return *FNotifyEventList; }
    TFountainColor& Reserve() noexcept { return *FReserve; }
    void SetReserve(const TFountainColor& Value) { FReserve->Assign(Value); }
    const TStringList& ReserveWordList() const noexcept { return *FReserveWordList; }
    // Copies the words, then tells the subscribers once.
    void SetReserveWordList(const TStrings& Value);

    // A new parser of the mode's parser class; the caller owns it.
    virtual std::unique_ptr<TFountainParser> NewParser();
    // True when any colour Holder holds has the italic style.
    virtual bool UsesItalic(TColorHolder& Holder);
    // Copies BkColor (flag 1), Color (flag 2) and Style (flag 4) of Color into every colour of
    // Holder, through the colours' setters.
    void SetAllColors(TColorHolder& Holder, const TFountainColor& Color, int Flags);

    void ForEachColor(const TColorVisitor& Visit) override;

protected:
    void AfterConstruction() override;
    // A colour whose changes reach the subscribers.
    virtual std::unique_ptr<TFountainColor> NewColor();
    virtual void NewColorSet();
    virtual std::unique_ptr<TFountainBracketCollection> NewBracketList();
    virtual TParserClass ParserClass() = 0;
    virtual void AddDefaultBrackets() {}
    virtual void AddDefaultReservedWords() {}
    // The visitors of UsesItalic and SetAllColors.
    virtual void UsesItalicVisitor(std::string_view Name, TFountainColor& Color);
    virtual void SetAllColorsVisitor(std::string_view Name, TFountainColor& Color);

    TStringList& MutableReserveWordList() noexcept { return *FReserveWordList; }

private:
    std::unique_ptr<TNotifyEventList> FNotifyEventList;
    std::unique_ptr<TFountainBracketCollection> FBrackets;
    std::unique_ptr<TFountainColor> FReserve;
    std::unique_ptr<TStringList> FReserveWordList;
    // Work fields of the colour walks.
    bool FItalicFound = false;
    TFountainColor FAllColor;
    int FAllFlags = 0;
};

// The last segment of a property path ("Colors.Select" -> "Select").
std::string_view ColorPropertyLeaf(std::string_view Name) noexcept;

}  // namespace orvane
