// Feeds any bytes to the XML parser. What it writes must read back to the same elements,
// attributes and text, and writing that again must give the same bytes; moving nodes about must
// keep the tree sound. Built as a libFuzzer target, or (ORVANE_FUZZ_DRIVER) as a program that
// runs a fixed number of generated inputs.
#include "files/xml.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace orvane;

namespace {

[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "fuzz_xml: %s\n", What);
    std::abort();
}

// Every element's name and attributes in document order, and the text of the whole document.
std::string Signature(const TNanXMLParentNode& Document) {
    std::string out;
    std::vector<const TNanXMLParentNode*> stack{&Document};
    while (!stack.empty()) {
        const TNanXMLParentNode* node = stack.back();
        stack.pop_back();
        if (const TNanXMLElement* e = node->AsElement()) {
            out += '<' + e->Name();
            for (int i = 0; i < e->AttributeCount(); ++i) out += ' ' + e->AttributeName(i) + '=' + e->AttributeValue(i);
            out += '>';
        }
        for (int i = node->ChildCount() - 1; i >= 0; --i)
            if (const TNanXMLParentNode* p = node->Child(i)->AsParent()) stack.push_back(p);
    }
    return out + '|' + Document.GetText();
}

// Nodes picked by the input's bytes are moved before one another; refusals are fine, a cycle or
// a lost node is not.
void MoveNodes(TNanXML& Xml, const std::uint8_t* Data, std::size_t Size) {
    std::vector<TNanXMLNode*> nodes;
    std::vector<TNanXMLParentNode*> stack{&Xml.Document()};
    while (!stack.empty() && nodes.size() < 256) {
        TNanXMLParentNode* p = stack.back();
        stack.pop_back();
        for (int i = 0; i < p->ChildCount(); ++i) {
            nodes.push_back(p->Child(i));
            if (TNanXMLParentNode* c = p->Child(i)->AsParent()) stack.push_back(c);
        }
    }
    if (nodes.empty()) return;
    for (std::size_t i = 0; i + 1 < Size && i < 32; i += 2) {
        TNanXMLNode* a = nodes[Data[i] % nodes.size()];
        TNanXMLNode* b = nodes[Data[i + 1] % nodes.size()];
        try {
            a->MoveBefore(b);
        } catch (const ENanXMLException&) {
            if (a != b && !a->Contains(*b)) Fail("a sound move was refused");
        }
    }
    // Every node is still reachable from the document, once.
    std::size_t seen = 0;
    stack.assign(1, &Xml.Document());
    while (!stack.empty()) {
        TNanXMLParentNode* p = stack.back();
        stack.pop_back();
        for (int i = 0; i < p->ChildCount(); ++i) {
            ++seen;
            if (p->Child(i)->Parent() != p) Fail("a child does not know its parent");
            if (TNanXMLParentNode* c = p->Child(i)->AsParent()) stack.push_back(c);
        }
    }
    if (seen < nodes.size()) Fail("nodes were lost by moving");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    TNanXML first;
    first.LoadFromString(text);
    const std::string written = first.Document().GetXML();

    TNanXML second;
    second.LoadFromString(written);
    if (Signature(second.Document()) != Signature(first.Document())) Fail("what is written reads back differently");
    if (second.Document().GetXML() != written) Fail("writing again gives other bytes");
    TNanXML third;
    third.LoadFromString(second.SaveToString());
    if (third.SaveToString() != second.SaveToString()) Fail("a saved file is not saved again as it was");

    MoveNodes(first, Data, Size);
    first.Document().GetXML();
    return 0;
}

#ifdef ORVANE_FUZZ_DRIVER
#include <random>

// Runs a fixed number of inputs drawn from a fixed seed: pieces of markup, names, quotes and the
// bytes of two-byte characters, with a random byte now and then.
int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5000;
    const std::vector<std::string> pieces = {
        "<", ">", "</", "/>", "<a", "<b ", "</a>", "</b >", "<!--", "-->", "<?", "?>", "<?xml ", "<!", "<!DOCTYPE x",
        "<![CDATA[", "]]>", "&", ";", "&amp;", "&lt;", "&#65;", "\"", "'", "=", " = ", " ", "\t", "\r\n", "\r", "\n",
        "x", "value", "\x81", "\x83\x5C", "\x95\x5C", "\x82\xA0", "\xB1", "\xFF", "\x80", std::string(1, '\0'),
    };
    std::mt19937 rng(20240601);
    std::string input;
    for (int i = 0; i < runs; ++i) {
        input.clear();
        for (int k = int(rng() % 48); k > 0; --k) {
            if (rng() % 8 == 0) input += static_cast<char>(rng());
            else input += pieces[rng() % pieces.size()];
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    std::printf("fuzz_xml: %d inputs\n", runs);
    return 0;
}
#endif
