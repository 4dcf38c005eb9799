// A syntax mode's settings: colours, delimiter pairs, reserved words.
#include "modes/fountain.h"

#include "modes/parser.h"

namespace orvane {

// ---- TFountainColor

void TFountainColor::SetBkColor(TColor V) {
    if (FBkColor == V) return;
    FBkColor = V;
    Changed();
}

void TFountainColor::SetColor(TColor V) {
    if (FColor == V) return;
    FColor = V;
    Changed();
}

void TFountainColor::SetStyle(TFontStyles V) {
    if (FStyle == V) return;
    FStyle = V;
    Changed();
}

void TFountainColor::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TFountainColor*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    FBkColor = src->FBkColor;
    FColor = src->FColor;
    FStyle = src->FStyle;
    Changed();
}

// ---- TFountainColorItem

TFountainColorItem::TFountainColorItem(TCollection* Collection) : TCollectionItem(Collection) {
    if (auto* owner = dynamic_cast<TNotifyCollection*>(Collection))
        FItemColor.OnChange = [owner](TObject* Sender) { owner->ChildChanged(Sender); };
}

void TFountainColorItem::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TFountainColorItem*>(&Source);
    if (!src) return TCollectionItem::Assign(Source);
    FItemColor.Assign(src->FItemColor);
}

// ---- TFountainBracketItem

void TFountainBracketItem::SetLeftBracket(std::string_view V) {
    if (FLeftBracket == V) return;
    FLeftBracket = V;
    Changed();
}

void TFountainBracketItem::SetRightBracket(std::string_view V) {
    if (FRightBracket == V) return;
    FRightBracket = V;
    Changed();
}

void TFountainBracketItem::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TFountainBracketItem*>(&Source);
    if (!src) return TFountainColorItem::Assign(Source);
    FLeftBracket = src->FLeftBracket;
    FRightBracket = src->FRightBracket;
    TFountainColorItem::Assign(Source);  // copies the colour, which notifies
}

// ---- TFountainBracketCollection

TFountainBracketItem* TFountainBracketCollection::Add() {
    if (Count() >= kMaxBrackets)
        throw EFountainError("TFountainBracketCollection\r\nYou can not add item over " +
                             std::to_string(kMaxBrackets));
    return static_cast<TFountainBracketItem*>(TNotifyCollection::Add());
}

void TFountainBracketCollection::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TFountainBracketCollection*>(&Source);
    if (!src) return TNotifyCollection::Assign(Source);
    if (src == this) return;  // clearing first would lose the items to copy
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < src->Count(); ++i) Add()->Assign(*src->Items(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TFountainBracketCollection::ForEachColor(const TColorVisitor& Visit) {
    for (int i = 0; i < Count(); ++i)
        Visit("Brackets[" + std::to_string(i) + "].ItemColor", Items(i)->ItemColor());
}

std::unique_ptr<TCollectionItem> TFountainBracketCollection::NewItem() {
    return std::make_unique<TFountainBracketItem>(this);
}

// ---- TFountain

TFountain::~TFountain() = default;

void TFountain::AfterConstruction() {
    TFileExtComponent::AfterConstruction();
    FNotifyEventList = std::make_unique<TNotifyEventList>(this);
    FBrackets = NewBracketList();
    AddDefaultBrackets();
    FReserveWordList = NewExtList();
    AddDefaultReservedWords();
    NewColorSet();
}

void TFountain::SetReserveWordList(const TStrings& Value) {
    FReserveWordList->Assign(Value);
    FNotifyEventList->ChildChanged(this);
}

std::unique_ptr<TFountainParser> TFountain::NewParser() { return ParserClass()(this); }

std::unique_ptr<TFountainColor> TFountain::NewColor() {
    auto color = std::make_unique<TFountainColor>();
    TNotifyEventList* list = FNotifyEventList.get();
    color->OnChange = [list](TObject* Sender) { list->ChildChanged(Sender); };
    return color;
}

void TFountain::NewColorSet() { FReserve = NewColor(); }

std::unique_ptr<TFountainBracketCollection> TFountain::NewBracketList() {
    auto brackets = std::make_unique<TFountainBracketCollection>(this);
    TNotifyEventList* list = FNotifyEventList.get();
    brackets->OnChange = [list](TObject* Sender) { list->ChildChanged(Sender); };
    return brackets;
}

void TFountain::ForEachColor(const TColorVisitor& Visit) {
    FBrackets->ForEachColor(Visit);
    Visit("Reserve", *FReserve);
}

bool TFountain::UsesItalic(TColorHolder& Holder) {
    FItalicFound = false;
    Holder.ForEachColor([this](std::string_view Name, TFountainColor& Color) { UsesItalicVisitor(Name, Color); });
    return FItalicFound;
}

void TFountain::UsesItalicVisitor(std::string_view, TFountainColor& Color) {
    if (Color.Style() & fsItalic) FItalicFound = true;
}

void TFountain::SetAllColors(TColorHolder& Holder, const TFountainColor& Color, int Flags) {
    FAllColor.Assign(Color);
    FAllFlags = Flags;
    Holder.ForEachColor([this](std::string_view Name, TFountainColor& C) { SetAllColorsVisitor(Name, C); });
}

void TFountain::SetAllColorsVisitor(std::string_view, TFountainColor& Color) {
    if (FAllFlags & 1) Color.SetBkColor(FAllColor.BkColor());
    if (FAllFlags & 2) Color.SetColor(FAllColor.Color());
    if (FAllFlags & 4) Color.SetStyle(FAllColor.Style());
}

std::string_view ColorPropertyLeaf(std::string_view Name) noexcept {
    const auto dot = Name.rfind('.');
    return dot == std::string_view::npos ? Name : Name.substr(dot + 1);
}

}  // namespace orvane
