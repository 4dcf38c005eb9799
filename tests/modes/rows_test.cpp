// States carried from row to row: open brackets, tokens cut by the wrap, and the re-tokenizing
// walk after an edit.
#include "modes/modes_support.h"
#include "modes/tokenize.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace orvane::test {
namespace {

// Rows given as UTF-8 text; a row ending in '|' is wrapped (the '|' is not part of it).
void SetRows(TEditorStringList& Rows, const std::vector<std::string>& Texts) {
    Rows.Clear();
    for (const std::string& t : Texts) {
        const bool wrapped = !t.empty() && t.back() == '|';
        const std::string text = wrapped ? t.substr(0, t.size() - 1) : t;
        const bool raw = text.find('\x88') != std::string::npos;  // a lone lead byte, kept as is
        const int i = Rows.Add(raw ? text : Sjis(text));
        Rows.SetRowEndKind(i, wrapped ? reWrapped : reLineBreak);
    }
    Rows.SetRowEndKind(Rows.Count() - 1, reEndOfText);
}

TTokenizeView FullView() {
    TTokenizeView view;
    view.InitBracketsFull = true;
    view.ScreenRows = 1000;
    return view;
}

std::vector<std::string> StoredStates(const TEditorStringList& Rows) {
    std::vector<std::string> out;
    TRowAttributeData d;
    for (int i = 0; i < Rows.Count(); ++i) {
        Rows.GetRowAttributeData(i, d);
        out.push_back(StateString(d));
    }
    return out;
}

std::unique_ptr<TEditorFountain> CommentMode() {
    auto f = NewEditorFountain();
    auto* b = f->Brackets().Add();
    b->SetLeftBracket("/*");
    b->SetRightBracket("*/");
    auto* open = f->Brackets().Add();  // no right bracket: ends tokenizing of the row
    open->SetLeftBracket("{");
    TStringList words;
    words.Add("begin");
    f->SetReserveWordList(words);
    f->SetQuotation("\"");
    f->SetCommenter(";");
    return f;
}

struct MultiRowCase {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::string> states;
};

class MultiRow : public ::testing::TestWithParam<MultiRowCase> {};

TEST_P(MultiRow, StoresStateAtEachRowStart) {
    const auto& c = GetParam();
    auto f = CommentMode();
    TEditorStringList rows;
    SetRows(rows, c.rows);
    TokenizeAllRows(*f, rows, FullView());
    EXPECT_EQ(StoredStates(rows), c.states);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MultiRow,
    ::testing::Values(
        MultiRowCase{"BracketOverFourRows", {"a /* b", "c", "d", "e */ f", "g"},
                     {"ob=-1", "ob=0", "ob=0", "ob=0", "ob=-1"}},
        MultiRowCase{"EmptyAndBlankRowsPassTheStateOn", {"/*", "", "   ", "*/", "x"},
                     {"ob=-1", "ob=0", "ob=0", "ob=0", "ob=-1"}},
        MultiRowCase{"CutWord", {"ab cdef|", "gh ij"}, {"ob=-1", "ob=-1 carry=Word/2 prev=1"}},
        MultiRowCase{"CutReservedWord", {"x beg|", "in y"}, {"ob=-1", "ob=-1 carry=Reserved/2 prev=1"}},
        MultiRowCase{"WordOverThreeRows", {"abcd|", "efgh|", "ij k"},
                     {"ob=-1", "ob=-1 carry=Word/0 prev=1", "ob=-1 carry=Word/2 prev=1"}},
        MultiRowCase{"CutClosingDelimiter", {"/* a *|", "/ b"}, {"ob=-1", "ob=0 carry=Bracket/1 prev=1"}},
        MultiRowCase{"CutOpeningDelimiter", {"a /|", "* b", "c */"}, {"ob=-1", "ob=0 prev=1", "ob=0"}},
        MultiRowCase{"BracketClosedInNextRow", {"/* a|", "b */ c", "d"}, {"ob=-1", "ob=0 prev=1", "ob=-1"}},
        MultiRowCase{"QuotationCutThenLineEnds", {"a \"bc|", "de", "f"},
                     {"ob=-1", "ob=-1 carry=Quoted/2 prev=1", "ob=-1"}},
        MultiRowCase{"QuotationCutAtABlank", {"\"ab |", " cd\" x"}, {"ob=-1", "ob=-1 carry=Quoted/4 prev=1"}},
        // the cut string ends with its line, so the blank row does not hand it on
        MultiRowCase{"QuotationRunsIntoBlankRow", {"\"abc|", "  ", "x"},
                     {"ob=-1", "ob=-1 carry=Quoted/2 prev=1", "ob=-1"}},
        MultiRowCase{"CommentOverWrappedRows", {"x ;ab|", "cd|", "ef", "g"},
                     {"ob=-1", "ob=-1 carry=Comment/0 prev=1", "ob=-1 carry=Comment/0 prev=1", "ob=-1"}},
        MultiRowCase{"BracketWithoutRightEndsTheRow", {"a { /* b", "c"}, {"ob=-1", "ob=-1"}},
        MultiRowCase{"LoneLeadByteAtWrap", {"ab\x88|", "cd"}, {"ob=-1", "ob=-1 prev=1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CarriedTokens, SecondRowFinishesTheCutToken) {
    auto f = CommentMode();
    TEditorStringList rows;
    SetRows(rows, {"x beg|", "in y /* a *|", "/ b"});
    TokenizeAllRows(*f, rows, FullView());
    auto parser = f->NewParser();
    TRowAttributeData d;
    rows.GetRowAttributeData(1, d);
    EXPECT_EQ(Dump(*parser, rows.Get(1), d), "Reserved:in Word:y Bracket:/* a *");
    const std::string second = rows.Get(1);
    parser->BeginRow(second, d);
    parser->NextToken();
    EXPECT_EQ(parser->ColorForToken(), &f->Reserve());
    rows.GetRowAttributeData(2, d);
    EXPECT_EQ(Dump(*parser, rows.Get(2), d), "Bracket:/ Word:b");

    // A cut string counts the blanks at the start of the next row as its own.
    SetRows(rows, {"\"ab |", " cd\" x"});
    TokenizeAllRows(*f, rows, FullView());
    rows.GetRowAttributeData(1, d);
    EXPECT_EQ(Dump(*parser, rows.Get(1), d), "Quoted: cd\" Word:x");
}

TEST(CarriedTokens, StaleCarryNeverRunsPastTheRow) {
    auto f = CommentMode();
    auto parser = f->NewParser();
    TRowAttributeData d;
    d.CarryToken = tokWord;
    d.CarryLength = 200;
    EXPECT_EQ(Dump(*parser, "ab", d), "Word:ab");
    d.CarryToken = tokHiragana;  // finished by scanning, but the row starts with something else
    d.CarryLength = 0;
    EXPECT_EQ(Dump(*parser, "ab", d), "Word:ab");
    d = {};
    d.OpenBracket = 9;  // an index the mode does not have
    EXPECT_EQ(Dump(*parser, "ab", d), "");
}

TEST(Retokenize, RewritesRowsUntilAStoredStateMatches) {
    auto f = CommentMode();
    TEditorStringList rows;
    SetRows(rows, {"a /* b", "c", "d", "e */ f", "g", "h"});
    TokenizeAllRows(*f, rows, FullView());

    rows.Put(0, "a b");  // delete the opener, as an edit leaves the row: not computed
    rows.InvalidateRowAttributes(0);
    std::vector<int> repainted;
    TTokenizeView view = FullView();
    view.InvalidateRow = [&](int r) { repainted.push_back(r); };
    EXPECT_EQ(RetokenizeRows(*f, rows, 0, true, view), 4);
    EXPECT_EQ(repainted, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(StoredStates(rows), (std::vector<std::string>(6, "ob=-1")));
}

TEST(Retokenize, StopsTwoScreensPastTheEditAndLeavesTheRestNotComputed) {
    auto f = CommentMode();
    TEditorStringList rows;
    SetRows(rows, std::vector<std::string>(100, "x"));
    TokenizeAllRows(*f, rows, FullView());
    TTokenizeView view;
    view.ScreenRows = 5;

    rows.Put(10, "/*");
    rows.InvalidateRowAttributes(10);
    EXPECT_EQ(RetokenizeRows(*f, rows, 10, true, view), 11);  // rows 10..20
    EXPECT_EQ(rows.OpenBracket(20), 0);
    for (int r = 21; r < 100; ++r) ASSERT_EQ(rows.OpenBracket(r), -2) << r;

    // A row drawn later is brought up to date from the last computed row.
    RetokenizeRows(*f, rows, 50, false, view);
    const auto reference = ReferenceStates(*f, rows);
    TRowAttributeData d;
    for (int r = 0; r <= 60; ++r) {
        rows.GetRowAttributeData(r, d);
        ASSERT_EQ(StateString(d), StateString(reference[r])) << r;
    }
    EXPECT_EQ(rows.OpenBracket(61), -2);
}

TEST(Retokenize, LargeEditBeyondTheHorizonDoesNotLeaveStaleRows) {
    // Rows rebuilt by a big paste reach past the horizon; the computed rows after them
    // describe the old text and must not be trusted later.
    auto f = CommentMode();
    TEditorStringList rows;
    SetRows(rows, std::vector<std::string>(60, "x"));
    TokenizeAllRows(*f, rows, FullView());
    rows.Put(0, "/*");
    for (int r = 0; r < 30; ++r) rows.InvalidateRowAttributes(r);
    TTokenizeView view;
    view.ScreenRows = 5;
    RetokenizeRows(*f, rows, 0, true, view);
    for (int r = 11; r < 60; ++r) ASSERT_EQ(rows.OpenBracket(r), -2) << r;
}

TEST(TokenizeAll, ComputesOnlyUpToTheHorizonUnlessFull) {
    auto f = CommentMode();
    TEditorStringList rows;
    SetRows(rows, std::vector<std::string>(50, "x"));
    TTokenizeView view;
    view.ScreenRows = 4;
    view.TopRow = 10;
    TokenizeAllRows(*f, rows, view);
    EXPECT_EQ(rows.OpenBracket(18), -1);
    EXPECT_EQ(rows.OpenBracket(19), -2);
    TokenizeAllRows(*f, rows, FullView());
    EXPECT_EQ(rows.OpenBracket(49), -1);
}

}  // namespace
}  // namespace orvane::test
