// Feeds random bytes to the search engine: a pattern, options, a start position and a text.
// Every hit lies inside the text on character boundaries, on the right side of the start; the
// document search over the same text (word wrap on or off, tiny blocks) gives the same hit as the
// whole-text search. Built as a libFuzzer target, or (ORVANE_FUZZ_DRIVER) as a program that runs
// a fixed number of generated inputs.
#include "base/dbcs.h"
#include "document/document.h"
#include "editor/findtext.h"
#include "editor/searchtext.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace orvane;

namespace {

[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "fuzz_search: %s\n", What);
    std::abort();
}

bool OnBoundary(std::string_view Text, std::int64_t At) {
    std::size_t i = 0;
    while (std::int64_t(i) < At) i += CharLenAt(Text, i);
    return std::int64_t(i) == At;
}

}  // namespace

// Input: options (2 bytes), block size, start (2 bytes), pattern length, pattern, text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 6) return 0;
    const auto options = TSearchOptions(Data[0] | Data[1] << 8);
    const std::size_t block = 1 + Data[2] % 64;
    const unsigned start = unsigned(Data[3] | Data[4] << 8);
    const std::size_t patternLength = std::min<std::size_t>(Data[5] % 16, Size - 6);
    const std::string_view rest(reinterpret_cast<const char*>(Data) + 6, Size - 6);
    const std::string_view pattern = rest.substr(0, patternLength);
    const std::string_view input = rest.substr(patternLength);

    TEditorScreenStrings doc;
    if (options & soWholeFile) {  // an engine-unused bit chooses word wrap
        doc.WrapOption().SetWrapByte(20);
        doc.SetWordWrap(true);
    }
    doc.SetText(input);
    const std::string text = doc.GetText();
    const int count = doc.GetCount();
    const int row = count ? int(start % unsigned(count + 1)) : 0;
    const int rowBytes = row < count ? int(doc.RowView(row).size()) : 0;
    const int byte = int((start >> 8) % unsigned(rowBytes + 1));
    std::int64_t offset = 0;
    for (int r = 0; r < row; ++r) offset += std::int64_t(doc.RowView(r).size()) + (doc.RowEndKind(r) == reLineBreak ? 2 : 0);
    offset += byte;
    const std::int64_t length = (options & soDown) ? Data[4] % 4 : 0;

    TSearchPos pos{offset, length};
    const bool found = SearchText(text, pos, pattern, options);
    if (found) {
        if (pos.Start < 0 || pos.Length <= 0 || pos.Start + pos.Length > std::int64_t(text.size()))
            Fail("a hit outside the text");
        if (!OnBoundary(text, pos.Start) || !OnBoundary(text, pos.Start + pos.Length))
            Fail("a hit inside a character");
        if ((options & soDown) ? pos.Start < offset + length : pos.Start + pos.Length > offset)
            Fail("a hit on the wrong side of the start");
    }
    const std::optional<TDocumentHit> hit = SearchDocument(doc, {row, byte, length}, pattern, options, block);
    if (hit.has_value() != found) Fail("the document search and the whole-text search disagree");
    if (hit) {
        std::int64_t at = 0;
        for (int r = 0; r < hit->Row; ++r) at += std::int64_t(doc.RowView(r).size()) + (doc.RowEndKind(r) == reLineBreak ? 2 : 0);
        if (at + hit->Byte != pos.Start || hit->Length != pos.Length) Fail("the document search found another hit");
    }
    return 0;
}

#ifdef ORVANE_FUZZ_DRIVER
#include <random>

// Runs a fixed number of inputs drawn from a fixed seed, built from the bytes the engine treats
// specially: lead and trail bytes that look like ASCII, kana and voiced marks, blanks, breaks.
int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3000;
    static const std::string pool = std::string("aAbB_\\@[ \t\r\n\0", 13) +
                                    "\x81\x82\x83\x8F\x95\x40\x5C\x60\x81\x9A\xB3\xB6\xCA\xDE\xDF\xA0\xFD\xE0";
    std::mt19937 rng(20240602);
    std::vector<std::uint8_t> input;
    for (int i = 0; i < runs; ++i) {
        input.assign(6 + rng() % 120, 0);
        for (auto& b : input) b = (rng() % 8 == 0) ? std::uint8_t(rng()) : std::uint8_t(pool[rng() % pool.size()]);
        for (int k = 0; k < 5; ++k) input[std::size_t(k)] = std::uint8_t(rng());
        input[5] = std::uint8_t(1 + rng() % 4);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("fuzz_search: %d inputs\n", runs);
    return 0;
}
#endif
