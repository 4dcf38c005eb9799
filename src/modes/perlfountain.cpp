// The Perl mode's settings: its colours, extensions and reserved words.
#include "modes/perlfountain.h"

namespace orvane {

namespace {

constexpr std::string_view kColorNames[TPerlFountain::pcColorCount] = {
    "Ampersand",  "Ank",          "BackQuotation",   "Comment",      "DBCS",
    "DoubleQuotation", "Here",    "Int",             "LiteralQuotation", "Pattern",
    "PerlVar",    "SingleQuotation", "Symbol",       "TagAttribute", "TagAttributeValue",
    "TagColor",   "TagElement",
};

constexpr std::string_view kReservedWords[] = {
    "cmp", "do", "else", "elsif", "eq", "for", "foreach", "ge", "gt", "if", "le",
    "lt", "ne", "package", "require", "return", "sub", "unless", "until", "use", "while",
};

}  // namespace

std::string_view TPerlFountain::ColorName(TPerlColor Index) noexcept {
    return Index >= 0 && Index < pcColorCount ? kColorNames[Index] : std::string_view();
}

TPerlFountain::~TPerlFountain() = default;

void TPerlFountain::AddDefaultExts() {
    for (const char* ext : {".cgi", ".pl", ".pm", ".pod"}) FileExtList().Add(ext);
}

void TPerlFountain::AddDefaultReservedWords() {
    for (std::string_view word : kReservedWords) MutableReserveWordList().Add(word);
}

void TPerlFountain::NewColorSet() {
    TFountain::NewColorSet();
    for (auto& color : FColors) color = NewColor();
}

TFountain::TParserClass TPerlFountain::ParserClass() {
    return [](TFountain* Fountain) -> std::unique_ptr<TFountainParser> {
        return std::make_unique<TPerlFountainParser>(Fountain);
    };
}

void TPerlFountain::SetHereHtml(bool V) {
    if (FHereHtml == V) return;
    FHereHtml = V;
    NotifyEventList().ChildChanged(this);
}

void TPerlFountain::Assign(const TPersistent& Source) {
    auto* src = dynamic_cast<const TPerlFountain*>(&Source);
    if (!src) return TFountain::Assign(Source);
    if (src == this) return;
    auto& source = const_cast<TPerlFountain&>(*src);
    NotifyEventList().BeginUpdate();
    try {
        SetBrackets(source.Brackets());
        SetReserveWordList(source.ReserveWordList());
        SetFileExtList(source.FileExtList());
        SetReserve(source.Reserve());
        for (int i = 0; i < pcColorCount; ++i) FColors[i]->Assign(*source.FColors[i]);
        FHereHtml = source.FHereHtml;
    } catch (...) {
        NotifyEventList().EndUpdate();
        throw;
    }
    NotifyEventList().EndUpdate();
}

void TPerlFountain::ForEachColor(const TColorVisitor& Visit) {
    TFountain::ForEachColor(Visit);
    for (int i = 0; i < pcColorCount; ++i) Visit(kColorNames[i], *FColors[i]);
}

}  // namespace orvane
