// Feeds random bytes as rows to the Perl mode. Every token must lie inside its text, take at least
// one byte and come in order; kind 0 only ends a row; re-tokenizing from any row gives the states
// of a full pass. Built as a libFuzzer target, or (ORVANE_FUZZ_DRIVER) as a program that runs a
// fixed number of generated inputs.
#include "document/rowlist.h"
#include "modes/perlfountain.h"
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
    std::fprintf(stderr, "fuzz_perl_mode: %s\n", What);
    std::abort();
}

std::unique_ptr<TPerlFountain> ModeFor(std::uint8_t Options) {
    auto f = TStoreComponent::Create<TPerlFountain>();
    f->SetHereHtml(Options & 1);
    if (Options & 2) {  // a bracket of the user's, which the Perl scanner must live with
        auto* b = f->Brackets().Add();
        b->SetLeftBracket("/*");
        b->SetRightBracket("*/");
    }
    return f;
}

// Scans a text from an exact-size copy, so that any read outside it is caught. Own is the length
// of the row itself when Text is a wrapped row followed by the next one.
void ScanText(TFountainParser& Parser, const std::string& Text, std::size_t Own, const TRowAttributeData& State) {
    std::unique_ptr<char[]> exact(new char[Text.size() ? Text.size() : 1]);
    std::copy(Text.begin(), Text.end(), exact.get());
    Parser.BeginRow(std::string_view(exact.get(), Text.size()), State);
    int end = 0;
    for (std::size_t n = 0;; ++n) {
        if (n > Text.size() + 1) Fail("scanning does not end");
        const TTokenKind kind = Parser.NextToken();
        if (kind == tokEnd) break;
        if (Parser.TokenPos() < end) Fail("tokens overlap");
        if (Parser.TokenLength() <= 0) Fail("empty token");
        end = Parser.TokenPos() + Parser.TokenLength();
        if (end > static_cast<int>(Text.size())) Fail("token runs past the text");
        Parser.ColorForToken();
        if (static_cast<std::size_t>(Parser.TokenPos()) >= Own) break;
    }
    if (Own < Text.size()) return;
    // Only blanks may follow the end of the tokens (the text holds no line breaks).
    for (std::size_t i = end; i < Text.size(); ++i) {
        const unsigned char c = Text[i];
        if (!((c >= 0x01 && c <= 0x08) || (c >= 0x0A && c <= 0x20)) && Parser.BracketIndex() < 0)
            Fail("scanning stopped before the end of the row");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 2) return 0;
    auto mode = ModeFor(Data[0]);
    const std::uint8_t restartAt = Data[1];
    // Rows end at '\n' (line break) or '\v' (wrapped); a wrapped row is never the last.
    TEditorStringList rows;
    std::string row;
    for (std::size_t i = 2; i <= Size; ++i) {
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

    // Each row as the painter scans it: alone, and a wrapped one with the next row after it.
    auto parser = mode->NewParser();
    for (int r = 0; r < rows.Count(); ++r) {
        const std::string own = rows.Get(r);
        ScanText(*parser, own, own.size(), states[r]);
        if (rows.RowEndKind(r) == reWrapped && r + 1 < rows.Count())
            ScanText(*parser, own + rows.Get(r + 1), own.size(), states[r]);
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

// Runs a fixed number of inputs drawn from a fixed seed: pieces of Perl and byte soup biased
// towards the bytes the scanner treats specially.
int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 2000;
    static const char* const kPieces[] = {"<<EOT;", "EOT", "<<\"A B\";", "A B", "<<~X;", "  X", "=pod", "=cut",
                                          "q(", "qq{", "s{", "}{", "tr/", "y/", "m<", "$$", "\\", "<a b=", "&amp;"};
    static const char kAscii[] = "$@%&#'\"`/\\<>=;{}()[]~qmstry_a1 \n\n\v\t\0";
    static const std::string pool = std::string(kAscii, sizeof kAscii - 1) +
                                    "\x81\x82\x83\x88\x9F\xE0\xFC\x40\x5C\x7C\x7B\x60\xA0\xB1\xDF\x80\xFD\xFF";
    std::mt19937 rng(20240602);
    std::vector<std::uint8_t> input;
    for (int i = 0; i < runs; ++i) {
        input.assign(2, 0);
        input[0] = static_cast<std::uint8_t>(rng());
        input[1] = static_cast<std::uint8_t>(rng());
        const std::size_t size = 2 + rng() % 300;
        while (input.size() < size) {
            if (rng() % 6 == 0) {
                const std::string piece = kPieces[rng() % std::size(kPieces)];
                input.insert(input.end(), piece.begin(), piece.end());
            } else {
                input.push_back(rng() % 8 == 0 ? static_cast<std::uint8_t>(rng())
                                               : static_cast<std::uint8_t>(pool[rng() % pool.size()]));
            }
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("fuzz_perl_mode: %d inputs\n", runs);
    return 0;
}
#endif
