// Names of the document encodings and line ends.
#include "files/docformat.h"

#include <string>

namespace orvane {

namespace {
std::string Folded(std::string_view Name) {
    std::string s;
    for (char c : Name) {
        if (c == '_') c = '-';
        s += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return s;
}
}  // namespace

std::optional<TDocumentEncoding> ParseEncodingName(std::string_view Name) {
    static const struct {
        std::string_view Alias;
        TDocumentEncoding Value;
    } kAliases[] = {
        {"auto", deAuto},           {"sjis", deShiftJis},     {"shift-jis", deShiftJis}, {"s-jis", deShiftJis},
        {"x-sjis", deShiftJis},     {"cp932", deShiftJis},    {"ms932", deShiftJis},     {"windows-31j", deShiftJis},
        {"euc", deEuc},             {"euc-jp", deEuc},        {"eucjp", deEuc},          {"x-euc-jp", deEuc},
        {"jis", deJis},             {"iso-2022-jp", deJis},   {"utf-8", deUtf8},         {"utf8", deUtf8},
        {"utf-16", deUtf16},        {"utf16", deUtf16},       {"unicode", deUtf16},
    };
    std::string f = Folded(Name);
    for (const auto& a : kAliases)
        if (f == a.Alias) return a.Value;
    return std::nullopt;
}

std::optional<TDocumentLineEnd> ParseLineEndName(std::string_view Name) {
    std::string f = Folded(Name);
    for (const auto& n : kDocumentLineEndNames)
        if (f == n.Stored) return n.Value;
    return std::nullopt;
}

TDocumentFormat FormatForEncoding(TDocumentEncoding Encoding, TDocumentLineEnd LineEnd) {
    TDocumentFormat f;
    f.Encoding = Encoding == deAuto ? deShiftJis : Encoding;
    f.LineEnd = LineEnd;
    // UTF-16 is written with its byte-order mark, UTF-8 without: a mark before "#!" breaks a
    // script, and UTF-8 needs none.
    f.Bom = Encoding == deUtf16;
    return f;
}

std::string_view FormatShortName(const TDocumentFormat& Format) {
    if (Format.Encoding == deUtf8 && Format.Bom) return "UTF-8 BOM";
    return EncodingName(Format.Encoding).Short;
}

}  // namespace orvane
