// Character classes, the wrap cursor, and cutting lines into rows by the line-breaking rules.
#include "document/document.h"
#include "document/docfixture.h"
#include "document/wrap.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane {
namespace {

using test::sj;

TEST(WrapOption, ClampsAndNotifiesOnRealChangesOnly) {
    TEditorWrapOption option;
    int changes = 0;
    option.OnChange = [&](TObject*) { ++changes; };
    option.SetWrapByte(10);
    EXPECT_EQ(option.WrapByte(), 20);
    option.SetWrapByte(300);
    EXPECT_EQ(option.WrapByte(), 250);
    option.SetWrapByte(250);
    EXPECT_EQ(changes, 2);
    option.SetLeading(false);  // unchanged
    EXPECT_EQ(changes, 2);

    TEditorWrapOption other;
    other.SetWordBreak(true);
    other.SetFollowStr("x");
    option.Assign(other);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(option.WordBreak());
    EXPECT_EQ(option.FollowStr(), "x");
    EXPECT_EQ(option.WrapByte(), 80);
    EXPECT_EQ(TEditorWrapOption::DefaultLeadStr(), sj("（［｛「『([{｢"));
}

TEST(CharClasses, PerColumn) {
    struct Case {
        std::string text;
        bool wrap;
        std::string classes;
    };
    const std::vector<Case> cases = {
        {"ab c_", false, "11211"},
        {"a\tb", false, "123333331"},          // a tab at column 1 runs to column 8
        {"\t", false, "23333333"},
        {sj("日本"), false, "4545"},
        {sj("ｱ") + "-", false, "12"},          // half-width kana is a word character
        {"a\x82", false, "11"},                // a lone lead byte at the end is one column
        {std::string("\0x", 2), false, "21"},  // a zero byte is a delimiter
        {std::string(18, 'a') + "\tz", true, std::string(18, '1') + "231"},  // stops at the wrap column
    };
    for (const Case& c : cases) {
        TColumnLayout layout;
        layout.WordWrap = c.wrap;
        layout.WrapByte = 20;
        EXPECT_EQ(CharClassString(c.text, layout), c.classes) << testing::PrintToString(c.text);
    }
    TColumnLayout layout;
    layout.WordWrap = true;
    layout.WrapByte = 20;
    EXPECT_EQ(CharClassString(std::string(100, 'a'), layout).size(), 23u);
    EXPECT_EQ(CharClassString(std::string(22, 'a') + sj("日"), layout).size(), 24u);  // last character whole
    layout.WordWrap = false;
    EXPECT_EQ(CharClassString(std::string(5000, 'a'), layout).size(), 1000u);
    // A tab at column 18 is 2 columns wide with wrap 20, 6 columns without.
    layout.WordWrap = true;
    EXPECT_EQ(DisplayWidth(std::string(18, 'a') + "\t", layout), 20);
    layout.WordWrap = false;
    EXPECT_EQ(DisplayWidth(std::string(18, 'a') + "\t", layout), 24);
    EXPECT_EQ(TabsToSpaces("a\tb", layout), "a       b");
}

TEST(WrapCursor, StepsOverCharactersAndTabs) {
    const std::string text = std::string("a").append(sj("日")).append("\tb");
    TColumnLayout layout;
    layout.TabSpaceCount = 4;
    const std::string classes = CharClassString(text, layout);
    ASSERT_EQ(classes, "14521");
    TEditorAttributeArray c;
    c.Reset(text, classes);
    EXPECT_EQ(c.Pos, 1);
    EXPECT_EQ(c.CurrentChar(), "a");
    EXPECT_EQ(c.NextChar(), sj("日"));
    EXPECT_EQ(c.Pos, 1);  // a peek
    c.MoveTo(3);
    EXPECT_EQ(c.Ch, ccTrail);
    EXPECT_EQ(c.ByteCount, 3);
    EXPECT_EQ(c.CurrentChar(), sj("日"));
    c.MoveTo(99);
    EXPECT_EQ(c.Ch, ccEnd);
    EXPECT_EQ(c.NextChar(), "");
    c.MoveTo(5);
    c.PrevChar();  // from 'b' back over the tab
    EXPECT_EQ(c.Pos, 4);
    c.PrevChar();  // over the whole two-byte character
    EXPECT_EQ(c.Pos, 3);
    c.PrevChar();
    EXPECT_EQ(c.Pos, 1);
    EXPECT_EQ(c.ByteCount, 1);

    c.Reset("", "");
    EXPECT_EQ(c.Ch, ccEnd);
}

// Rows of one line as text joined by '/', with the rows that end the line marked '|'.
std::string WrapRows(std::string_view line, int wrapByte, void (*configure)(TEditorWrapOption&), int tab = 8) {
    TEditorWrapOption option;
    option.SetWrapByte(wrapByte);
    configure(option);
    TColumnLayout layout;
    layout.TabSpaceCount = tab;
    TLineWrapper wrapper(option, layout);
    std::vector<TLineWrapper::Row> rows;
    wrapper.Wrap(line, rows);
    std::string out;
    for (const auto& row : rows) {
        out += line.substr(row.Offset, row.Length);
        out += row.Wrapped ? "/" : "|";
    }
    EXPECT_EQ(wrapper.RowCount(line), int(rows.size())) << out;
    return out;
}

TEST(LineWrapper, LineBreakingRules) {
    auto none = [](TEditorWrapOption&) {};
    auto words = [](TEditorWrapOption& o) { o.SetWordBreak(true); };
    auto hang = [](TEditorWrapOption& o) { o.SetFollowPunctuation(true); };
    auto leading = [](TEditorWrapOption& o) { o.SetLeading(true); };
    auto retMark = [](TEditorWrapOption& o) { o.SetFollowRetMark(true); };
    const std::string a19(19, 'a'), a20(20, 'a'), a18(18, 'a');
    struct Case {
        const char* name;
        std::string line;
        void (*configure)(TEditorWrapOption&);
        std::string rows;
    };
    const std::vector<Case> cases = {
        {"short line", "abc", none, "abc|"},
        {"empty line", "", none, "|"},
        {"exactly the width takes an empty row for its break", a20, none, a20 + "/|"},
        {"exactly the width, break follows the row", a20, retMark, a20 + "|"},
        {"plain cut", a20 + "bc", none, a20 + "/bc|"},
        {"word break without delimiter cuts at a third", std::string(21, 'w'), words,
         std::string(6, 'w') + "/" + std::string(15, 'w') + "|"},
        {"word break after a space", "aaaaaaaaa bbbbbbbbbbbb", words, "aaaaaaaaa /bbbbbbbbbbbb|"},
        {"two-byte character straddling the width moves whole", a19 + sj("日") + "x", none,
         a19 + "/" + sj("日") + "x|"},
        {"hanging comma", a20 + sj("、") + "x", hang, a20 + sj("、") + "/x|"},
        {"two hanging marks, a third goes on", a20 + ",.,x", hang, a20 + ",./,x|"},
        {"a two-byte mark may not hang past two columns", a20 + "," + sj("、") + "x", hang,
         a20 + ",/" + sj("、") + "x|"},
        {"no hanging without the option", a20 + ",x", none, a20 + "/,x|"},
        {"opening bracket moves to the next row", a18 + sj("「") + "bc", leading, a18 + "/" + sj("「") + "bc|"},
        {"closing mark pulls the character before it", a19 + "b" + sj("。") + "c", leading,
         a19 + "/b" + sj("。") + "c|"},
        {"tab stops at the wrap boundary", a18 + "\tz", none, a18 + "\t/z|"},
        {"lone lead byte at the end", a20 + "\x82", none, a20 + "/\x82|"},
    };
    for (const Case& c : cases) EXPECT_EQ(WrapRows(c.line, 20, c.configure), c.rows) << c.name;
}

TEST(LineWrapper, RowCountMatchesRowsAndKeepsEveryByte) {
    // Random lines of letters, spaces, tabs, punctuation, brackets and two-byte characters under
    // every rule: the rows rebuild the line, none is empty or too wide, and the count agrees.
    const std::vector<std::string> pieces = {"a", "b", " ", "\t", ",", ".", sj("日"), sj("、"), sj("。"),
                                             sj("「"), sj("」"), "(", ")", sj("ｱ"), "\x82"};
    std::mt19937 rng(42);
    for (int i = 0; i < 2000; ++i) {
        std::string line;
        const int n = int(rng() % 120);
        for (int k = 0; k < n; ++k) {
            const std::string& p = pieces[rng() % (pieces.size() - 1)];
            line += p;
        }
        if (rng() % 5 == 0) line += "\x82";
        TEditorWrapOption option;
        option.SetWrapByte(20 + int(rng() % 30));
        option.SetWordBreak(rng() % 2);
        option.SetLeading(rng() % 2);
        option.SetFollowPunctuation(rng() % 2);
        option.SetFollowRetMark(rng() % 2);
        TColumnLayout layout;
        layout.TabSpaceCount = 2 << (rng() % 3);
        TLineWrapper wrapper(option, layout);
        std::vector<TLineWrapper::Row> rows;
        wrapper.Wrap(line, rows);
        ASSERT_EQ(wrapper.RowCount(line), int(rows.size()));
        std::string joined;
        layout.WordWrap = true;
        layout.WrapByte = option.WrapByte();
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::string_view text = std::string_view(line).substr(rows[r].Offset, rows[r].Length);
            ASSERT_EQ(rows[r].Offset, joined.size());
            joined += text;
            ASSERT_EQ(rows[r].Wrapped, r + 1 < rows.size());
            if (rows[r].Wrapped) {
                ASSERT_FALSE(text.empty());
            }
            ASSERT_LE(DisplayWidth(text, layout), option.WrapByte() + (option.FollowPunctuation() ? 2 : 0));
        }
        ASSERT_EQ(joined, line);
    }
}

TEST(LineWrapper, VeryLongLineIsCutInLinearTime) {
    // Ten megabytes in one line: quadratic cutting would never finish within the test timeout.
    std::string line;
    while (line.size() < 10'000'000) line += sj("日本語のテキスト、") + "and words ";
    TEditorWrapOption option;
    option.SetWordBreak(true);
    option.SetLeading(true);
    option.SetFollowPunctuation(true);
    TLineWrapper wrapper(option, TColumnLayout{});
    std::vector<TLineWrapper::Row> rows;
    wrapper.Wrap(line, rows);
    EXPECT_GT(rows.size(), line.size() / 84);
    EXPECT_EQ(rows.back().Offset + rows.back().Length, line.size());
}

}  // namespace
}  // namespace orvane
