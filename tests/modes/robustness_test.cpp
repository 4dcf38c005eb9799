// Random bytes, including malformed two-byte text, never make a scanner read outside its row,
// stall or stop early; and a mail-address run stays linear however long the row.
#include "modes/modes_support.h"
#include "modes/tokenize.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace orvane::test {
namespace {

std::unique_ptr<TEditorFountain> EverythingOn() {
    auto f = NewEditorFountain();
    f->SetUrl(true);
    f->SetMail(true);
    f->SetControlCode(true);
    f->SetCommenter("//");
    f->SetQuotation("\"");
    f->SetHexPrefix("0x");
    auto* b = f->Brackets().Add();
    b->SetLeftBracket("/*");
    b->SetRightBracket("*/");
    f->Brackets().Add()->SetLeftBracket("{");
    return f;
}

// Bytes drawn mostly from the interesting classes: ASCII symbols, lead bytes, trail bytes that
// look like ASCII, half-width kana and bytes that lead nothing.
std::string RandomRow(std::mt19937& rng, int maxLen) {
    static const std::string pool = std::string("ab1.@/*\"#$x: \t0E+-", 19) + "\x81\x82\x83\x88\x9F\xE0\xFC\x40\x5C\x7C\xA0\xA1\xB1\xDF\x80\xFD\xFF";
    std::uniform_int_distribution<int> len(0, maxLen), pick(0, static_cast<int>(pool.size()) - 1), any(0, 255),
        coin(0, 9);
    std::string s(len(rng), ' ');
    for (char& c : s) c = coin(rng) == 0 ? static_cast<char>(any(rng)) : pool[pick(rng)];
    return s;
}

TEST(Robustness, RandomRowsStayInsideTheRow) {
    auto f = EverythingOn();
    auto parser = f->NewParser();
    std::mt19937 rng(12345);
    for (int i = 0; i < 3000; ++i) {
        const std::string row = RandomRow(rng, 40);
        // An exact-size heap copy, so that a read past the end is caught by the address checker.
        std::unique_ptr<char[]> exact(new char[row.size() + (row.empty() ? 1 : 0)]);
        std::copy(row.begin(), row.end(), exact.get());
        TRowAttributeData state;
        state.OpenBracket = static_cast<int>(rng() % 3) - 1;
        state.CarryToken = static_cast<TTokenKind>(rng() % 30);
        state.CarryLength = static_cast<int>(rng() % 4);
        Dump(*parser, std::string_view(exact.get(), row.size()), state);  // checks extents and progress
        if (HasFailure()) {
            ADD_FAILURE() << "row " << Readable(row);
            return;
        }
    }
}

TEST(Robustness, RandomWrappedRowsGiveStatesThatFitTheirFields) {
    auto f = EverythingOn();
    std::mt19937 rng(777);
    for (int round = 0; round < 50; ++round) {
        TEditorStringList rows;
        for (int i = 0; i < 40; ++i) {
            rows.Add(RandomRow(rng, 12));
            rows.SetRowEndKind(i, rng() % 2 ? reWrapped : reLineBreak);
        }
        rows.SetRowEndKind(rows.Count() - 1, reEndOfText);
        TTokenizeView view;
        view.InitBracketsFull = true;
        TokenizeAllRows(*f, rows, view);
        const auto reference = ReferenceStates(*f, rows);
        TRowAttributeData d;
        for (int r = 0; r < rows.Count(); ++r) {
            rows.GetRowAttributeData(r, d);
            ASSERT_EQ(d, reference[r]) << "row " << r << ": " << StateString(d) << " vs " << StateString(reference[r]);
            ASSERT_LE(d.CarryLength, static_cast<int>(rows.RowView(r).size()));
        }
    }
}

TEST(Robustness, LongMailRunIsLinear) {
    auto f = EverythingOn();
    auto parser = f->NewParser();
    std::string row;
    for (int i = 0; i < 1 << 18; ++i) row += "12,";  // 786,432 bytes: quadratic would take minutes
    // Its speed is a benchmark's to show; a quadratic scan would run into the test's time limit.
    parser->BeginRow(row, {});
    int tokens = 0;
    while (parser->NextToken() != tokEnd) ++tokens;
    EXPECT_EQ(tokens, 2 << 18);

    // The same run with an address at its end is still found whole.
    row += "a@b.c";
    parser->BeginRow(row, {});
    ASSERT_EQ(parser->NextToken(), tokMail);
    EXPECT_EQ(parser->TokenLength(), static_cast<int>(row.size()));
}

}  // namespace
}  // namespace orvane::test
