// The forgiving parser of the XML model, and the reading and writing of XML files.
//
// Markup is recognised only where it is complete: a "<" or "&" that does not start a whole tag,
// comment, instruction or entity reference is text. The parser keeps its open elements on a
// vector and finds a closing tag's element through a map of names, so neither depth nor
// unbalanced input costs recursion or more than linear time.
#include "files/filewrite.h"
#include "files/xml.h"
#include "files/xmlchars.h"

#include <cstring>
#include <sys/stat.h>
#include <unordered_map>

namespace orvane {

using namespace xmlchars;

namespace {

// The first occurrence of a delimiter at or after a position. The last answer is kept, so that
// a run of openers without a closer costs one scan in all, not one each.
class TDelimiterFinder {
public:
    TDelimiterFinder(std::string_view Text, std::string_view Delimiter) : FText(Text), FDelimiter(Delimiter) {}

    std::size_t From(std::size_t Pos) {
        if (FValid && Pos >= FFrom && (FAt == std::string_view::npos || FAt >= Pos)) return FAt;
        FFrom = Pos;
        FAt = FText.find(FDelimiter, Pos);
        FValid = true;
        return FAt;
    }

private:
    std::string_view FText;
    std::string_view FDelimiter;
    bool FValid = false;
    std::size_t FFrom = 0;
    std::size_t FAt = 0;
};

std::size_t SkipBlanks(std::string_view S, std::size_t I) {
    while (I < S.size() && IsBlank(S[I])) ++I;
    return I;
}

std::size_t SkipName(std::string_view S, std::size_t I) {
    while (I < S.size() && IsNameByte(S[I])) ++I;
    return I;
}

// Position of C in S[From, To), or To.
std::size_t FindIn(std::string_view S, char C, std::size_t From, std::size_t To) {
    if (From >= To) return To;
    const void* p = std::memchr(S.data() + From, C, To - From);
    return p ? static_cast<const char*>(p) - S.data() : To;
}

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>";

// Every line end made CR LF, and one after the last line of a text that has any.
std::string WithCrLf(std::string_view Text) {
    std::string out;
    out.reserve(Text.size() + Text.size() / 32 + 2);
    std::size_t i = 0;
    while (i < Text.size()) {
        const std::size_t k = Text.find_first_of("\r\n", i);
        if (k == std::string_view::npos) {
            out.append(Text, i);
            break;
        }
        out.append(Text, i, k - i);
        out += "\r\n";
        i = k + (Text[k] == '\r' && k + 1 < Text.size() && Text[k + 1] == '\n' ? 2 : 1);
    }
    if (!Text.empty() && Text.back() != '\r' && Text.back() != '\n') out += "\r\n";
    return out;
}

}  // namespace

class TXmlParser {
public:
    TXmlParser(std::string_view Text, TNanXMLParentNode& Document)
        : S(Text), FOpen{{&Document, nullptr}}, FCommentEnd(Text, "-->"), FInstructionEnd(Text, "?>"), FCDataEnd(Text, "]]>") {}

    void Run() {
        const std::size_t n = S.size();
        while (P < n) {
            const char c = S[P];
            if (c == '<') {
                if (!Markup()) AppendText(S.substr(P++, 1));
            } else if (c == '&') {
                const std::size_t end = SkipName(S, P + 1);
                if (end > P + 1 && end < n && S[end] == ';') {
                    Adopt(std::make_unique<TNanXMLEntityReference>(S.substr(P + 1, end - P - 1)));
                    P = end + 1;
                } else {
                    AppendText(S.substr(P++, 1));
                }
            } else {
                std::size_t k = P + 1;
                while (k < n && S[k] != '<' && S[k] != '&') ++k;
                AppendText(S.substr(P, k - P));
                P = k;
            }
        }
    }

private:
    TNanXMLParentNode& Current() { return *FOpen.back().Node; }

    void AppendText(std::string_view Text) {
        if (FPending) {
            FPending->FText += Text;
            return;
        }
        auto text = std::make_unique<TNanXMLText>(Text);
        FPending = text.get();
        Current().Adopt(std::move(text));
    }

    TNanXMLNode* Adopt(std::unique_ptr<TNanXMLNode> Node) {
        FPending = nullptr;
        return Current().Adopt(std::move(Node));
    }

    // The markup at P ("<"): true when a whole construct was taken; false leaves "<" as text.
    bool Markup() {
        const std::string_view rest = S.substr(P);
        if (rest.starts_with("<!--")) {
            const std::size_t end = FCommentEnd.From(P + 4);
            if (end == std::string_view::npos) return false;
            Adopt(std::make_unique<TNanXMLComment>(S.substr(P + 4, end - P - 4)));
            P = end + 3;
            return true;
        }
        if (rest.starts_with("<![CDATA[")) {
            const std::size_t end = FCDataEnd.From(P + 9);
            if (end == std::string_view::npos) return false;
            AppendText(S.substr(P + 9, end - P - 9));
            P = end + 3;
            return true;
        }
        if (rest.starts_with("<!")) return Declaration();
        if (rest.starts_with("<?")) return Instruction();
        if (rest.starts_with("</")) return ClosingTag();
        if (rest.size() > 1 && IsNameByte(rest[1])) return StartTag();
        return false;
    }

    // "<!" + text + ">", with no "<" inside.
    bool Declaration() {
        std::size_t j = P + 2;
        while (j < S.size() && S[j] != '>' && S[j] != '<') ++j;
        if (j == S.size() || S[j] != '>' || j == P + 2) return false;
        Adopt(std::make_unique<TNanXMLDeclaration>(S.substr(P + 2, j - P - 2)));
        P = j + 1;
        return true;
    }

    // "<?" + target [+ blank + data] + "?>". The XML declaration is dropped: the writer adds its own.
    bool Instruction() {
        const std::size_t end = FInstructionEnd.From(P + 2);
        if (end == std::string_view::npos) return false;
        const std::size_t targetEnd = SkipName(S, P + 2);
        if (targetEnd == P + 2 || targetEnd > end) return false;
        const std::string_view target = S.substr(P + 2, targetEnd - P - 2);
        const std::size_t dataStart = targetEnd < end && IsBlank(S[targetEnd]) ? targetEnd + 1 : targetEnd;
        if (!SameXmlName(target, "xml"))
            Adopt(std::make_unique<TNanXMLProcessingInstruction>(target, S.substr(dataStart, end - dataStart)));
        else
            FPending = nullptr;
        P = end + 2;
        return true;
    }

    // "</" + name + ">": closes the innermost open element of exactly that name and every element
    // opened inside it; a name with no open element is dropped.
    bool ClosingTag() {
        std::size_t j = P + 2;
        while (j < S.size() && S[j] != '>' && S[j] != '<') ++j;
        if (j == S.size() || S[j] != '>') return false;
        const std::size_t first = SkipBlanks(S, P + 2);
        std::size_t last = j;
        while (last > first && IsBlank(S[last - 1])) --last;
        const std::string_view name = S.substr(first, last - first);
        if (!IsXmlName(name)) return false;
        P = j + 1;
        FPending = nullptr;
        std::size_t depth = FOpen.size() - 1;  // the innermost element usually is the one
        if (depth == 0 || static_cast<const TNanXMLElement*>(FOpen.back().Node)->Name() != name) {
            auto found = FOpenByName.find(name);
            if (found == FOpenByName.end() || found->second.empty()) return true;
            depth = found->second.back();
        }
        while (FOpen.size() > depth) {
            FOpen.back().SameName->pop_back();
            FOpen.pop_back();
        }
        return true;
    }

    // "<" + name [+ attributes] [+ "/"] + ">". A quoted value may hold ">" when its closing quote
    // comes before the next "<".
    bool StartTag() {
        const std::size_t limit = FindIn(S, '<', P + 1, S.size());
        bool doubleOpen = true, singleOpen = true;  // whether a closing quote may still come
        std::size_t j = P + 1;
        for (; j < limit && S[j] != '>'; ++j) {
            const char c = S[j];
            bool& may = c == '"' ? doubleOpen : singleOpen;
            if ((c == '"' || c == '\'') && may) {
                const std::size_t q = FindIn(S, c, j + 1, limit);
                if (q < limit) j = q;
                else may = false;
            }
        }
        if (j >= limit) return false;
        std::string_view inner = S.substr(P + 1, j - P - 1);
        const bool empty = inner.ends_with('/');
        if (empty) inner.remove_suffix(1);
        auto element = ParseTag(inner);
        auto* e = static_cast<TNanXMLElement*>(Adopt(std::move(element)));
        if (!empty) {
            std::vector<std::size_t>& same = FOpenByName[e->Name()];
            same.push_back(FOpen.size());
            FOpen.push_back({e, &same});
        }
        P = j + 1;
        return true;
    }

    // The name and attributes between "<" and ">". Values may be in double or single quotes,
    // with blanks around "=", or unquoted; an attribute without "=" has an empty value.
    static std::unique_ptr<TNanXMLElement> ParseTag(std::string_view Inner) {
        const std::size_t n = Inner.size();
        std::size_t i = SkipName(Inner, 0);
        std::string name(Inner.substr(0, i));
        std::vector<std::pair<std::string, std::string>> attributes;
        for (;;) {
            i = SkipBlanks(Inner, i);
            if (i >= n) break;
            const char c = Inner[i];
            if (c == '"' || c == '\'') {  // a quoted string without a name: skipped
                const std::size_t q = Inner.find(c, i + 1);
                i = q == std::string_view::npos ? n : q + 1;
                continue;
            }
            if (!IsNameByte(c)) {
                ++i;
                continue;
            }
            const std::size_t nameEnd = SkipName(Inner, i);
            std::string attribute(Inner.substr(i, nameEnd - i));
            std::string value;
            i = nameEnd;
            const std::size_t eq = SkipBlanks(Inner, nameEnd);
            if (eq < n && Inner[eq] == '=') {
                i = SkipBlanks(Inner, eq + 1);
                if (i < n && (Inner[i] == '"' || Inner[i] == '\'')) {
                    const std::size_t q = Inner.find(Inner[i], i + 1);
                    const std::size_t end = q == std::string_view::npos ? n : q;
                    value = DecodeValue(Inner.substr(i + 1, end - i - 1));
                    i = end == n ? n : end + 1;
                } else {
                    const std::size_t start = i;
                    while (i < n && !IsBlank(Inner[i])) ++i;
                    value = DecodeValue(Inner.substr(start, i - start));
                }
            }
            attributes.emplace_back(std::move(attribute), std::move(value));
        }
        return std::unique_ptr<TNanXMLElement>(
            new TNanXMLElement(TNanXMLElement::TUnchecked{}, std::move(name), std::move(attributes)));
    }

    std::string_view S;
    std::size_t P = 0;
    struct TOpen {
        TNanXMLParentNode* Node;
        std::vector<std::size_t>* SameName;  // FOpenByName's entry of its name
    };
    std::vector<TOpen> FOpen;  // the document, then the open elements, innermost last
    // Name -> indexes in FOpen of the open elements of that name. Entries are never erased, so
    // the pointers in FOpen stay valid.
    std::unordered_map<std::string_view, std::vector<std::size_t>> FOpenByName;
    TNanXMLText* FPending = nullptr;  // the text node that text read next joins
    TDelimiterFinder FCommentEnd, FInstructionEnd, FCDataEnd;
};

// --- TNanXML ---

TNanXML::TNanXML() : FDocument(std::make_unique<TNanXMLParentNode>()) {}

void TNanXML::Clear() { FDocument = std::make_unique<TNanXMLParentNode>(); }

void TNanXML::LoadFromString(std::string_view Text) {
    Clear();
    TXmlParser(Text, *FDocument).Run();
}

void TNanXML::LoadFromFile(const std::string& FileName) {
    // A FIFO or a device would block the read or never end.
    struct stat st;
    if (::stat(FileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw Exception("ファイルを読めません: " + FileName + ": 通常のファイルではありません");
    LoadFromString(WithCrLf(ReadFileBytes(FileName)));
}

std::string TNanXML::SaveToString(bool WithDeclaration) const {
    std::string xml;
    if (WithDeclaration) xml = kDeclaration;
    WriteXml(*FDocument, xml);
    return WithCrLf(xml);
}

void TNanXML::SaveToFile(const std::string& FileName, bool WithDeclaration) const {
    WriteFileAtomically(FileName, SaveToString(WithDeclaration));
}

}  // namespace orvane
