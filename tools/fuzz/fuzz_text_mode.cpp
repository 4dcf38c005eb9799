// Feeds random bytes as rows to the default text mode. Every token must lie inside its row, take
// at least one byte and come in order; kind 0 only ends a row; re-tokenizing from any row gives
// the states of a full pass. Built as a libFuzzer target, or (ORVANE_FUZZ_DRIVER) as a program
// that runs a fixed number of generated inputs.
#include "document/rowlist.h"
#include "modes/editorfountain.h"
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
    std::fprintf(stderr, "fuzz_text_mode: %s\n", What);
    std::abort();
}

std::unique_ptr<TEditorFountain> ModeFor(std::uint8_t Options) {
    auto f = TStoreComponent::Create<TEditorFountain>();
    f->SetUrl(Options & 1);
    f->SetMail(Options & 2);
    f->SetControlCode(Options & 4);
    if (Options & 8) f->SetCommenter("//");
    if (Options & 16) f->SetQuotation((Options & 64) ? "\x81\x75" : "\"");  // a two-byte one too
    if (Options & 32) f->SetHexPrefix("0x");
    auto* b = f->Brackets().Add();
    b->SetLeftBracket("/*");
    b->SetRightBracket("*/");
    if (Options & 128) f->Brackets().Add()->SetLeftBracket("{");
    TStringList words;
    words.Add("if");
    f->SetReserveWordList(words);
    return f;
}

// Scans one row from an exact-size copy, so that any read outside it is caught.
void ScanRow(TFountainParser& Parser, const std::string& Row, const TRowAttributeData& State) {
    std::unique_ptr<char[]> exact(new char[Row.size() ? Row.size() : 1]);
    std::copy(Row.begin(), Row.end(), exact.get());
    Parser.BeginRow(std::string_view(exact.get(), Row.size()), State);
    int end = 0;
    for (std::size_t n = 0;; ++n) {
        if (n > Row.size() + 1) Fail("scanning does not end");
        const TTokenKind kind = Parser.NextToken();
        if (kind == tokEnd) break;
        if (Parser.TokenPos() < end) Fail("tokens overlap");
        if (Parser.TokenLength() <= 0) Fail("empty token");
        end = Parser.TokenPos() + Parser.TokenLength();
        if (end > static_cast<int>(Row.size())) Fail("token runs past the row");
        Parser.ColorForToken();
    }
    // Only blanks may follow the end of the tokens (the text holds no line breaks).
    for (std::size_t i = end; i < Row.size(); ++i) {
        const unsigned char c = Row[i];
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

    auto parser = mode->NewParser();
    for (int r = 0; r < rows.Count(); ++r) ScanRow(*parser, rows.Get(r), states[r]);

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

// Runs a fixed number of inputs drawn from a fixed seed: byte soup biased towards the bytes the
// scanners treat specially.
int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 2000;
    static const std::string pool = std::string("ab1.@/*\"#$x:\n\v {}()\t0E+-w", 26) +
                                    "\x81\x82\x83\x88\x9F\xE0\xFC\x40\x5C\x7C\x75\xA0\xA1\xB1\xDF\x80\xFD\xFF";
    std::mt19937 rng(20240601);
    std::vector<std::uint8_t> input;
    for (int i = 0; i < runs; ++i) {
        input.assign(2 + rng() % 200, 0);
        for (auto& b : input) b = (rng() % 8 == 0) ? static_cast<std::uint8_t>(rng()) : static_cast<std::uint8_t>(pool[rng() % pool.size()]);
        input[0] = static_cast<std::uint8_t>(rng());
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("fuzz_text_mode: %d inputs\n", runs);
    return 0;
}
#endif
