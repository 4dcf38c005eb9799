// Feeds random bytes as rows to the HTML, Java, C++ and Delphi modes (the first byte picks the
// mode). Every token must lie inside its row, take at least one byte and come in order; kind 0
// only ends a row; scanning in any state, however stale, stays inside the row; re-tokenizing from
// any row gives the states of a full pass. Built as a libFuzzer target, or (ORVANE_FUZZ_DRIVER)
// as a program that runs a fixed number of generated inputs.
#include "document/rowlist.h"
#include "modes/htmlfountain.h"
#include "modes/sourcemodes.h"
#include "modes/tokenize.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace orvane;

namespace {

[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "fuzz_modes: %s\n", What);
    std::abort();
}

std::unique_ptr<TFountain> ModeFor(std::uint8_t Pick) {
    switch (Pick % 4) {
    case 0: return TStoreComponent::Create<THTMLFountain>();
    case 1: return TStoreComponent::Create<TJavaFountain>();
    case 2: return TStoreComponent::Create<TCppFountain>();
    default: return TStoreComponent::Create<TDelphiFountain>();
    }
}

// Scans one row from an exact-size copy, so that any read outside it is caught. With Joined the
// next row's text follows, as the painter scans a wrapped row; tokens must then start in the row.
void ScanRow(TFountainParser& Parser, const std::string& Row, const std::string& Next, const TRowAttributeData& State) {
    const std::string text = Row + Next;
    std::unique_ptr<char[]> exact(new char[text.size() ? text.size() : 1]);
    std::copy(text.begin(), text.end(), exact.get());
    Parser.BeginRow(std::string_view(exact.get(), text.size()), State);
    int end = 0;
    for (std::size_t n = 0;; ++n) {
        if (n > text.size() + 1) Fail("scanning does not end");
        const TTokenKind kind = Parser.NextToken();
        if (kind == tokEnd) break;
        if (Parser.TokenPos() < end) Fail("tokens overlap");
        if (Parser.TokenLength() <= 0) Fail("empty token");
        end = Parser.TokenPos() + Parser.TokenLength();
        if (end > static_cast<int>(text.size())) Fail("token runs past the text");
        Parser.ColorForToken();
        Parser.IsReservedWord();
        if (Parser.TokenPos() >= static_cast<int>(Row.size())) break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 3) return 0;
    auto mode = ModeFor(Data[0]);
    const std::uint8_t restartAt = Data[1];
    const std::uint8_t garbage = Data[2];
    // Rows end at '\n' (line break) or '\v' (wrapped); a wrapped row is never the last.
    TEditorStringList rows;
    std::string row;
    for (std::size_t i = 3; i <= Size; ++i) {
        if (i == Size || Data[i] == '\n' || Data[i] == '\v') {
            const int r = rows.Add(row);
            rows.SetRowEndKind(r, (i < Size && Data[i] == '\v') ? reWrapped : reLineBreak);
            row.clear();
        } else if (Data[i] != '\r') {
            row += static_cast<char>(Data[i]);
        }
    }
    rows.SetRowEndKind(rows.Count() - 1, reEndOfText);

    TTokenizeView full;
    full.InitBracketsFull = true;
    TokenizeAllRows(*mode, rows, full);
    std::vector<TRowAttributeData> states(rows.Count());
    for (int r = 0; r < rows.Count(); ++r) rows.GetRowAttributeData(r, states[r]);

    auto parser = mode->NewParser();
    for (int r = 0; r < rows.Count(); ++r) {
        const bool wrapped = rows.RowEndKind(r) == reWrapped && r + 1 < rows.Count();
        ScanRow(*parser, rows.Get(r), wrapped ? rows.Get(r + 1) : std::string(), states[r]);
        if (states[r].CarryLength > static_cast<int>(rows.RowView(r).size()))
            Fail("a carry reaches past its row");
        // The same row in a state that has nothing to do with it.
        TRowAttributeData stale = states[r];
        stale.ModeState = garbage & 3;
        stale.LastTokenKind = static_cast<TTokenKind>(garbage * 7 + r);
        stale.CarryToken = static_cast<TTokenKind>(garbage + r);
        stale.CarryLength = (garbage >> 4) & 7;
        stale.OpenBracket = static_cast<int>((garbage + r) % 4) - 1;
        ScanRow(*parser, rows.Get(r), std::string(), stale);
    }

    // Re-tokenizing after a row lost its state restores exactly the full pass.
    const int first = restartAt % rows.Count();
    for (int r = first; r < rows.Count(); ++r) rows.InvalidateRowAttributes(r);
    TTokenizeView view;
    view.ScreenRows = 3;
    RetokenizeRows(*mode, rows, first, true, view);
    TRowAttributeData d;
    for (int r = 0; r < rows.Count(); ++r) {
        rows.GetRowAttributeData(r, d);
        if (d.OpenBracket != -2 && !(d == states[r])) Fail("re-tokenized state differs from the full pass");
    }
    return 0;
}

#ifdef ORVANE_FUZZ_DRIVER
#include <random>

// Runs a fixed number of inputs drawn from a fixed seed: byte soup biased towards the bytes and
// words the modes treat specially.
int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 2000;
    static const std::vector<std::string> pieces = {
        "<", ">", "</", "<a ", "=", "\"", "'", "&", "&amp;", "&#", "<!--", "-->", "/*", "*/", "//", "{", "}", "(*",
        "*)", "#", "#$", "$", "0x", "0", "1.5e", ";", "asm ", "end", "property ", "read", "public", "http://",
        "a@b.c", "x", " ", "\t", "\n", "\v", "\r\n", std::string(1, '\0'), "\x81", "\x82\xA0", "\x83", "\x88",
        "\x9F", "\xE0", "\xFC", "\x40", "\x5C", "\xA0", "\xB1", "\xDF", "\xFD", "\xFF",
    };
    std::mt19937 rng(20240615);
    std::vector<std::uint8_t> input;
    for (int i = 0; i < runs; ++i) {
        std::string s(3, '\0');
        for (auto& b : s) b = static_cast<char>(rng());
        for (int parts = static_cast<int>(rng() % 60); parts > 0; --parts)
            s += (rng() % 8 == 0) ? std::string(1, static_cast<char>(rng())) : pieces[rng() % pieces.size()];
        input.assign(s.begin(), s.end());
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("fuzz_modes: %d inputs\n", runs);
    return 0;
}
#endif
