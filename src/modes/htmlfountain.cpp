// The HTML mode.
#include "modes/htmlfountain.h"

#include <cstring>

namespace orvane {

std::string_view HtmlTokenKindName(TTokenKind Kind) noexcept {
    switch (Kind) {
    case tokTagOpen: return "tokTagOpen";
    case tokTagClose: return "tokTagClose";
    case tokTagName: return "tokTagName";
    case tokAttrName: return "tokAttrName";
    case tokAttrEquals: return "tokAttrEquals";
    case tokAttrValue: return "tokAttrValue";
    case tokEntity: return "tokEntity";
    default: return BaseTokenKindName(Kind);
    }
}

// ---- THTMLFountain

THTMLFountain::~THTMLFountain() = default;

void THTMLFountain::AddDefaultExts() {
    FileExtList().Add(".htm");
    FileExtList().Add(".html");
}

void THTMLFountain::AddDefaultBrackets() {
    auto* comment = Brackets().Add();
    comment->SetLeftBracket("<!--");
    comment->SetRightBracket("-->");
}

void THTMLFountain::NewColorSet() {
    TFountain::NewColorSet();
    for (auto* c : {&FAmpersand, &FMail, &FStr, &FTagAttribute, &FTagAttributeValue, &FTagColor, &FTagElement, &FUrl})
        *c = NewColor();
}

TFountain::TParserClass THTMLFountain::ParserClass() {
    return [](TFountain* Fountain) -> std::unique_ptr<TFountainParser> {
        return std::make_unique<THTMLFountainParser>(Fountain);
    };
}

void THTMLFountain::ForEachColor(const TColorVisitor& Visit) {
    TFountain::ForEachColor(Visit);
    Visit("Ampersand", *FAmpersand);
    Visit("Mail", *FMail);
    Visit("Str", *FStr);
    Visit("TagAttribute", *FTagAttribute);
    Visit("TagAttributeValue", *FTagAttributeValue);
    Visit("TagColor", *FTagColor);
    Visit("TagElement", *FTagElement);
    Visit("Url", *FUrl);
}

void THTMLFountain::Assign(const TPersistent& Source) {
    auto* src = dynamic_cast<const THTMLFountain*>(&Source);
    if (!src) return TFountain::Assign(Source);
    if (src == this) return;
    auto& source = const_cast<THTMLFountain&>(*src);
    NotifyEventList().BeginUpdate();
    try {
        SetBrackets(source.Brackets());
        SetReserveWordList(source.ReserveWordList());
        SetFileExtList(source.FileExtList());
        SetReserve(source.Reserve());
        SetAmpersand(*src->FAmpersand);
        SetMail(*src->FMail);
        SetStr(*src->FStr);
        SetTagAttribute(*src->FTagAttribute);
        SetTagAttributeValue(*src->FTagAttributeValue);
        SetTagColor(*src->FTagColor);
        SetTagElement(*src->FTagElement);
        SetUrl(*src->FUrl);
    } catch (...) {
        NotifyEventList().EndUpdate();
        throw;
    }
    NotifyEventList().EndUpdate();
}

// ---- THTMLFountainParser

THTMLFountainParser::THTMLFountainParser(TFountain* Fountain)
    : TFountainParser(Fountain), FHTMLFountain(dynamic_cast<THTMLFountain*>(Fountain)) {}

void THTMLFountainParser::BuildScanTables() {
    TFountainParser::BuildScanTables();
    FCharTable['"'] = static_cast<TScanProc>(&THTMLFountainParser::ScanDoubleQuoted);
    FCharTable['&'] = static_cast<TScanProc>(&THTMLFountainParser::ScanEntity);
    FCharTable['\''] = static_cast<TScanProc>(&THTMLFountainParser::ScanSingleQuoted);
    FCharTable['/'] = static_cast<TScanProc>(&THTMLFountainParser::ScanSlash);
    FCharTable['<'] = static_cast<TScanProc>(&THTMLFountainParser::ScanTagOpen);
    FCharTable['='] = static_cast<TScanProc>(&THTMLFountainParser::ScanEquals);
    FCharTable['>'] = static_cast<TScanProc>(&THTMLFountainParser::ScanTagClose);
    FContinueTable[tokTagName] = static_cast<TScanProc>(&THTMLFountainParser::ScanTagName);
    FContinueTable[tokAttrName] = static_cast<TScanProc>(&THTMLFountainParser::ScanAttrName);
    FContinueTable[tokAttrValue] = static_cast<TScanProc>(&THTMLFountainParser::ScanAttrValue);
    FContinueTable[tokEntity] = static_cast<TScanProc>(&THTMLFountainParser::ScanEntity);
}

void THTMLFountainParser::BeginRow(std::string_view Text, const TRowAttributeData& Data) {
    TFountainParser::BeginRow(Text, Data);
    FAtSign = nullptr;
}

bool THTMLFountainParser::AtSignAhead() noexcept {
    if (!FAtSign || FAtSign < FP) {
        const void* at = std::memchr(FP, '@', static_cast<std::size_t>(FEnd - FP));
        FAtSign = at ? static_cast<const Byte*>(at) : FEnd;
    }
    return FAtSign < FEnd;
}

TTokenKind THTMLFountainParser::NextToken() {
    TFountainParser::NextToken();
    // A tab is a blank between the parts of a tag. The remainder of a token cut by the wrap has
    // the kind its whole was given.
    if (FToken == tokTab) return FToken;
    if (!FContinuing) ClassifyInTag();
    if (FToken != tokEnd) FPrevToken = FToken;
    return FToken;
}

void THTMLFountainParser::ClassifyInTag() {
    if (FToken != tokEnd && InTag()) FToken = html::ClassifyInTag(FToken, FPrevToken);
}

void THTMLFountainParser::ScanNormalToken() {
    if (FBracketIndex == -1 && IsBracket()) ScanBracket();
    else if (*FP == '\t') ScanTab();
    else if (IsUrl()) ScanUrl();
    else if (AtSignAhead() && IsMail()) ScanMail();
    else if (InTag() && FPrevToken == tokAttrEquals) ScanAttrValue();
    else (this->*FCharTable[*FP])();
}

void THTMLFountainParser::ScanTagOpen() {
    if (!html::StartsTag(FP, FEnd)) return ScanSymbol();  // a lone '<' is text
    FToken = tokTagOpen;
    ++FP;
    FElementIndex = 1;
}

void THTMLFountainParser::ScanTagClose() {
    if (!InTag()) return ScanSymbol();  // a '>' outside a tag is text
    FToken = tokTagClose;
    ++FP;
    FElementIndex = 0;
}

void THTMLFountainParser::ScanSlash() {
    if (!InTag() || FPrevToken != tokTagOpen) return ScanSymbol();
    FToken = tokTagName;
    FP = html::NameEnd(FP + 1, FEnd);
}

void THTMLFountainParser::ScanEquals() {
    if (!InTag() || FPrevToken != tokAttrName) return ScanSymbol();
    FToken = tokAttrEquals;
    ++FP;
}

void THTMLFountainParser::ScanAttrValue() {
    if (!FContinuing) {
        if (*FP == '"') return ScanDoubleQuoted();
        if (*FP == '\'') return ScanSingleQuoted();
    }
    const Byte* end = html::AttrValueEnd(FP, FEnd, FRowLimit);
    if (end == FP) {
        // Nothing of a value here ("<a href=>"): the byte is read as usual.
        if (!FContinuing) (this->*FCharTable[*FP])();
        return;
    }
    FToken = tokAttrValue;
    FP = end;
}

void THTMLFountainParser::TakeQuotedInTag(Byte Quote, TTokenKind Kind) {
    if (!InTag()) return ScanSymbol();
    FToken = Kind;
    if (!FContinuing && *FP == Quote) ++FP;
    FP = html::QuotedEnd(FP, FEnd, FRowLimit, Quote);
}

void THTMLFountainParser::ScanSingleQuoted() { TakeQuotedInTag('\'', tokSingleQuoted); }
void THTMLFountainParser::ScanDoubleQuoted() { TakeQuotedInTag('"', tokDoubleQuoted); }

void THTMLFountainParser::ScanEntity() {
    if (FContinuing) {
        FToken = tokEntity;
        FP = html::EntityEnd(FP, FEnd);
        return;
    }
    if (!html::StartsEntity(FP, FEnd)) return ScanSymbol();  // a lone '&' is text
    FToken = tokEntity;
    FP = html::EntityEnd(FP + 1, FEnd);
}

void THTMLFountainParser::ScanTagName() {
    ScanWord();
    FToken = tokTagName;
}

void THTMLFountainParser::ScanAttrName() {
    ScanWord();
    FToken = tokAttrName;
}

TFountainColor* THTMLFountainParser::ColorForToken() {
    THTMLFountain* f = FHTMLFountain;
    if (!f) return nullptr;
    if (IsReservedWord()) return &f->Reserve();
    switch (FToken) {
    case tokBracket:
        if (FTokenBracket >= 0 && FTokenBracket < f->Brackets().Count())
            return &f->Brackets().Items(FTokenBracket)->ItemColor();
        return nullptr;
    case tokReserved: return &f->Reserve();
    case tokUrl: return &f->Url();
    case tokMail: return &f->Mail();
    case tokSingleQuoted: case tokDoubleQuoted: return &f->Str();
    case tokTagOpen: case tokTagClose: case tokAttrEquals: return &f->TagColor();
    case tokTagName: return &f->TagElement();
    case tokAttrName: return &f->TagAttribute();
    case tokAttrValue: return &f->TagAttributeValue();
    case tokEntity: return &f->Ampersand();
    default: return nullptr;
    }
}

}  // namespace orvane
