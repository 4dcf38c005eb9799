// The default text mode.
#include "modes/editorfountain.h"

#include <strings.h>

namespace orvane {

std::string_view EditorTokenKindName(TTokenKind Kind) noexcept {
    switch (Kind) {
    case tokQuoted: return "tokQuoted";
    case tokControlCode: return "tokControlCode";
    case tokHexControlCode: return "tokHexControlCode";
    default: return BaseTokenKindName(Kind);
    }
}

// ---- TEditorColors

TEditorColors::TEditorColors(TEditorFountain* Fountain) : FFountain(Fountain) {
    FSelect.SetBkColor(clNavy);
    FSelect.SetColor(clWhite);
    for (TEditorColor* c : {&FAnk, &FComment, &FDBCS, &FHit, &FInt, &FMail, &FSelect, &FStr, &FSymbol, &FUrl})
        c->OnChange = [this](TObject* Sender) { ChildChanged(Sender); };
}

TFountainColor& TEditorColors::Reserve() { return FFountain->Reserve(); }

void TEditorColors::Assign(const TPersistent& Source) {
    const auto* src = dynamic_cast<const TEditorColors*>(&Source);
    if (!src) return TNotifyPersistent::Assign(Source);
    BeginUpdate();
    try {
        FAnk.Assign(src->FAnk);
        FComment.Assign(src->FComment);
        FDBCS.Assign(src->FDBCS);
        FHit.Assign(src->FHit);
        FInt.Assign(src->FInt);
        FMail.Assign(src->FMail);
        FStr.Assign(src->FStr);
        FSymbol.Assign(src->FSymbol);
        // The fountain's Reserve reports to the fountain's listeners itself.
        Reserve().Assign(src->FFountain->Reserve());
        FUrl.Assign(src->FUrl);
        FSelect.Assign(src->FSelect);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TEditorColors::ForEachColor(const TColorVisitor& Visit) {
    Visit("Ank", FAnk);
    Visit("Comment", FComment);
    Visit("DBCS", FDBCS);
    Visit("Hit", FHit);
    Visit("Int", FInt);
    Visit("Mail", FMail);
    Visit("Reserve", Reserve());
    Visit("Select", FSelect);
    Visit("Str", FStr);
    Visit("Symbol", FSymbol);
    Visit("Url", FUrl);
}

// ---- TEditorBracketCollection

void TEditorBracketCollection::SetAllBkColor(TColor V) {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) Items(i)->ItemColor().SetBkColor(V);
    EndUpdate();
}

void TEditorBracketCollection::SetAllColor(TColor V) {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) Items(i)->ItemColor().SetColor(V);
    EndUpdate();
}

void TEditorBracketCollection::SetAllStyle(TFontStyles V) {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) Items(i)->ItemColor().SetStyle(V);
    EndUpdate();
}

// ---- TEditorFountain

TEditorFountain::~TEditorFountain() = default;

void TEditorFountain::AfterConstruction() {
    TFountain::AfterConstruction();
    FColors = CreateEditorColors();
}

std::unique_ptr<TFountainBracketCollection> TEditorFountain::NewBracketList() {
    auto brackets = std::make_unique<TEditorBracketCollection>(this);
    TNotifyEventList* list = &NotifyEventList();
    brackets->OnChange = [list](TObject* Sender) { list->ChildChanged(Sender); };
    return brackets;
}

TFountain::TParserClass TEditorFountain::ParserClass() {
    return [](TFountain* Fountain) -> std::unique_ptr<TFountainParser> { return std::make_unique<TEditorParser>(Fountain); };
}

std::unique_ptr<TEditorColors> TEditorFountain::CreateEditorColors() {
    auto colors = std::make_unique<TEditorColors>(this);
    TNotifyEventList* list = &NotifyEventList();
    colors->OnChange = [list](TObject* Sender) { list->ChildChanged(Sender); };
    return colors;
}

void TEditorFountain::SetCommenter(std::string_view V) {
    if (FCommenter == V) return;
    FCommenter = V;
    PropertyChanged();
}

void TEditorFountain::SetControlCode(bool V) {
    if (FControlCode == V) return;
    FControlCode = V;
    PropertyChanged();
}

void TEditorFountain::SetHexPrefix(std::string_view V) {
    if (FHexPrefix == V) return;
    FHexPrefix = V;
    PropertyChanged();
}

void TEditorFountain::SetMail(bool V) {
    if (FMail == V) return;
    FMail = V;
    PropertyChanged();
}

void TEditorFountain::SetQuotation(std::string_view V) {
    if (FQuotation == V) return;
    FQuotation = V;
    PropertyChanged();
}

void TEditorFountain::SetUrl(bool V) {
    if (FUrl == V) return;
    FUrl = V;
    PropertyChanged();
}

void TEditorFountain::SetAll(const TFountainColor& Value, int Flags) {
    NotifyEventList().BeginUpdate();
    try {
        SetAllColors(*FColors, Value, Flags);
    } catch (...) {
        NotifyEventList().EndUpdate();
        throw;
    }
    NotifyEventList().EndUpdate();
}

void TEditorFountain::SetAllBkColor(TColor V) {
    TFountainColor c;
    c.SetBkColor(V);
    SetAll(c, 1);
}

void TEditorFountain::SetAllColor(TColor V) {
    TFountainColor c;
    c.SetColor(V);
    SetAll(c, 2);
}

void TEditorFountain::SetAllStyle(TFontStyles V) {
    TFountainColor c;
    c.SetStyle(V);
    SetAll(c, 4);
}

void TEditorFountain::SetAllColorsVisitor(std::string_view Name, TFountainColor& Color) {
    const std::string leaf(ColorPropertyLeaf(Name));
    if (strcasecmp(leaf.c_str(), "Select") == 0 || strcasecmp(leaf.c_str(), "Hit") == 0) return;
    TFountain::SetAllColorsVisitor(Name, Color);
}

void TEditorFountain::Assign(const TPersistent& Source) {
    auto* src = dynamic_cast<const TEditorFountain*>(&Source);
    if (!src) return TFountain::Assign(Source);
    auto& source = const_cast<TEditorFountain&>(*src);
    NotifyEventList().BeginUpdate();
    try {
        SetBrackets(source.Brackets());
        SetReserveWordList(source.ReserveWordList());
        SetFileExtList(source.FileExtList());
        FColors->Assign(source.Colors());
        FCommenter = src->FCommenter;
        FControlCode = src->FControlCode;
        FHexPrefix = src->FHexPrefix;
        FMail = src->FMail;
        FQuotation = src->FQuotation;
        FUrl = src->FUrl;
    } catch (...) {
        NotifyEventList().EndUpdate();
        throw;
    }
    NotifyEventList().EndUpdate();
}

void TEditorFountain::ForEachColor(const TColorVisitor& Visit) {
    TFountain::ForEachColor(Visit);
    FColors->ForEachColor([&Visit](std::string_view Name, TFountainColor& Color) {
        Visit(std::string("Colors.").append(Name), Color);
    });
}

// ---- TEditorParser

TEditorParser::TEditorParser(TFountain* Fountain)
    : TFountainParser(Fountain), FEditorFountain(dynamic_cast<TEditorFountain*>(Fountain)) {}

void TEditorParser::BuildScanTables() {
    TFountainParser::BuildScanTables();
    FContinueTable[tokQuoted] = static_cast<TScanProc>(&TEditorParser::ScanQuoted);
    FContinueTable[tokControlCode] = static_cast<TScanProc>(&TEditorParser::ScanControlCode);
    FContinueTable[tokHexControlCode] = static_cast<TScanProc>(&TEditorParser::ScanHexControlCode);
}

void TEditorParser::ScanNormalToken() {
    const TEditorFountain* f = FEditorFountain;
    if (FBracketIndex == -1 && IsBracket()) ScanBracket();
    else if (f && f->Mail() && IsMail()) ScanMail();
    else if (f && f->Url() && IsUrl()) ScanUrl();
    else if (IsCommenter()) ScanComment();
    else if (IsQuotation()) ScanQuoted();
    else if (IsHexControlCode()) ScanHexControlCode();
    else if (IsControlCode()) ScanControlCode();
    else if (IsHexPrefix()) ScanHex();
    else (this->*FCharTable[*FP])();
}

bool TEditorParser::IsCommenter() {
    if (!FEditorFountain || !BytesAt(FP, FEditorFountain->Commenter())) return false;
    FP += FEditorFountain->Commenter().size();
    return true;
}

namespace {
// The first character of a quotation setting: one byte, or two for a lead byte with a second.
std::string_view QuotationChar(const std::string& Quotation) {
    return std::string_view(Quotation).substr(0, Quotation.empty() ? 0 : CharLenAt(Quotation, 0));
}
}  // namespace

bool TEditorParser::IsQuotation() {
    if (!FEditorFountain) return false;
    const std::string_view q = QuotationChar(FEditorFountain->Quotation());
    // Compared as a whole character, so a lead or trail byte never passes for it.
    if (q.empty() || FP >= FEnd || static_cast<std::size_t>(CharLen(FP)) != q.size() || !BytesAt(FP, q)) return false;
    FP += q.size();
    return true;
}

void TEditorParser::ScanQuoted() {
    const std::string_view q = FEditorFountain ? QuotationChar(FEditorFountain->Quotation()) : std::string_view();
    if (q.empty()) {
        FToken = tokEnd;
        return;
    }
    FToken = tokQuoted;
    auto quoteAt = [this, q](const Byte* p) {
        return p < FEnd && static_cast<std::size_t>(CharLen(p)) == q.size() && BytesAt(p, q);
    };
    while (!AtEnd(FP)) {
        if (quoteAt(FP)) {
            FP += q.size();
            if (!quoteAt(FP)) return;  // the closing quotation character
            FP += q.size();            // a doubled one belongs to the string
            continue;
        }
        FP += CharLen(FP);
    }
}

bool TEditorParser::IsHexPrefix() {
    if (!FEditorFountain || !TextAt(FP, FEditorFountain->HexPrefix())) return false;
    FP += FEditorFountain->HexPrefix().size();
    return true;
}

bool TEditorParser::IsHexControlCode() {
    if (!FEditorFountain || !FEditorFountain->ControlCode() || !BytesAt(FP, "#$")) return false;
    FP += 2;
    return true;
}

void TEditorParser::ScanHexControlCode() {
    FToken = tokHexControlCode;
    while (FP < FEnd && ((*FP >= '0' && *FP <= '9') || (*FP >= 'A' && *FP <= 'F') || (*FP >= 'a' && *FP <= 'f'))) ++FP;
}

bool TEditorParser::IsControlCode() {
    if (!FEditorFountain || !FEditorFountain->ControlCode() || Peek(FP) != '#') return false;
    ++FP;
    return true;
}

void TEditorParser::ScanControlCode() {
    FToken = tokControlCode;
    while (FP < FEnd && *FP >= '0' && *FP <= '9') ++FP;
}

TFountainColor* TEditorParser::ColorForToken() {
    TEditorFountain* f = FEditorFountain;
    if (!f) return nullptr;
    if (IsReservedWord()) return &f->Reserve();
    TEditorColors& c = f->Colors();
    switch (FToken) {
    case tokSymbol: return &c.Symbol();
    case tokInteger: case tokFloat: case tokHex: return &c.Int();
    case tokBracket:
        if (FTokenBracket >= 0 && FTokenBracket < f->Brackets().Count())
            return &f->Brackets().Items(FTokenBracket)->ItemColor();
        return nullptr;
    case tokComment: return &c.Comment();
    case tokReserved: return &f->Reserve();
    case tokWord: return &c.Ank();
    case tokWideSymbol: case tokWideDigit: case tokWideLetter: case tokHiragana: case tokKatakana:
    case tokKanji: case tokHalfKanaSymbol: case tokHalfKana:
        return &c.DBCS();
    case tokUrl: return &c.Url();
    case tokMail: return &c.Mail();
    case tokQuoted: case tokControlCode: case tokHexControlCode: return &c.Str();
    default: return nullptr;
    }
}

}  // namespace orvane
