// Undo and redo: scripted histories, limits, and random edit scripts against a plain string.
#include "base/dbcs.h"
#include "document/docfixture.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane {
namespace {

using test::CheckDoc;
using test::DocFixture;
using test::Dump;
using test::Load;
using test::sj;

TEST(Undo, EachTypedCharacterIsOneStepWithItsCaret) {
    DocFixture f;
    f.Doc->SetText("xy");
    for (int col = 0; col < 3; ++col) {
        f.View.Col = col;
        std::string row(f.Doc->RowView(0));
        row.insert(std::size_t(col), 1, char('a' + col));
        f.Doc->ReplaceRows(0, 1, row);
    }
    EXPECT_EQ(f.Doc->GetText(), "abcxy");
    f.View.Col = 3;
    for (int col = 2; col >= 0; --col) {
        f.Doc->Undo();
        EXPECT_EQ(f.View.Col, col);
        EXPECT_EQ(f.View.Locks, 0);
    }
    EXPECT_EQ(f.Doc->GetText(), "xy");
    EXPECT_FALSE(f.Doc->UndoEngine().CanUndo());
    f.Doc->Undo();  // nothing left: nothing happens
    EXPECT_EQ(f.Doc->GetText(), "xy");
    f.Doc->Redo();
    f.Doc->Redo();
    EXPECT_EQ(f.Doc->GetText(), "abxy");
}

TEST(Undo, ListLimit) {
    DocFixture f;
    f.Doc->SetText("a");
    auto edits = [&](int n) {
        for (int i = 0; i < n; ++i) f.Doc->ReplaceRows(0, 1, i % 2 ? "a" : "b");
    };
    auto undos = [&] {
        int n = 0;
        while (f.Doc->UndoEngine().CanUndo()) {
            f.Doc->Undo();
            ++n;
        }
        return n;
    };
    edits(70);
    EXPECT_EQ(undos(), 64);
    f.Doc->UndoEngine().SetMax(10);
    EXPECT_EQ(f.Doc->UndoEngine().Max(), 64);
    f.Doc->UndoEngine().SetMax(100);
    edits(100);
    EXPECT_EQ(undos(), 100);
    edits(100);
    f.Doc->UndoEngine().SetMax(64);  // lowering drops the oldest steps at once
    EXPECT_EQ(f.Doc->UndoEngine().UndoList.size(), 64u);
}

TEST(Undo, RedoListIsEmptiedByAnEditNotByARedo) {
    DocFixture f;
    f.Doc->SetText("a");
    f.Doc->ReplaceRows(0, 1, "b");
    f.Doc->ReplaceRows(0, 1, "c");
    f.Doc->Undo();
    f.Doc->Undo();
    f.Doc->Redo();
    EXPECT_TRUE(f.Doc->UndoEngine().CanRedo());
    EXPECT_EQ(f.Doc->GetText(), "b");
    f.Doc->ReplaceRows(0, 1, "d");
    EXPECT_FALSE(f.Doc->UndoEngine().CanRedo());
    EXPECT_TRUE(f.Doc->UndoEngine().CanUndo());
}

TEST(Undo, PastedLinesAndTheCaret) {
    DocFixture f;
    f.Doc->SetText("top\r\nbottom");
    f.View.Row = 1;
    f.View.Col = 0;
    f.Doc->ReplaceRows(1, 0, "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(Dump(*f.Doc), "top|one|two|three|bottom$");
    f.View.Row = 4;  // the paste put the caret after the lines
    f.Doc->Undo();
    EXPECT_EQ(Dump(*f.Doc), "top|bottom$");
    EXPECT_EQ(f.View.Row, 1);
    f.Doc->Redo();
    EXPECT_EQ(Dump(*f.Doc), "top|one|two|three|bottom$");
    EXPECT_EQ(f.View.Row, 4);
    CheckDoc(*f.Doc);
}

TEST(Undo, MarksAreNotPartOfAStep) {
    DocFixture f;
    Load(*f.Doc, "a|b{2}|c$");
    f.Doc->ReplaceRows(1, 1, "");
    EXPECT_EQ(Dump(*f.Doc), "a|c{2}$");
    f.View.Col = 1;
    f.Doc->Undo();
    EXPECT_EQ(Dump(*f.Doc), "a|b|c{2}$");
    CheckDoc(*f.Doc);
}

TEST(Undo, WordWrapSwitchEmptiesBothLists) {
    DocFixture f;
    f.Doc->SetText("abc");
    f.Doc->ReplaceRows(0, 1, "abcd");
    f.Doc->ReplaceRows(0, 1, "abcde");
    f.Doc->Undo();
    ASSERT_TRUE(f.Doc->UndoEngine().CanUndo() && f.Doc->UndoEngine().CanRedo());
    f.Doc->SetWordWrap(true);
    EXPECT_FALSE(f.Doc->UndoEngine().CanUndo());
    EXPECT_FALSE(f.Doc->UndoEngine().CanRedo());
}

// ---- random edit scripts against a plain byte string

// Row texts and end kinds, without marks.
std::string RowsOnly(const TEditorScreenStrings& doc) {
    std::string out;
    for (int r = 0; r < doc.GetCount(); ++r) {
        out += doc.RowView(r);
        out += "|>$"[doc.RowEndKind(r)];
    }
    return out;
}

// Equal texts, or where they first differ (the texts themselves can be long).
testing::AssertionResult SameText(const std::string& actual, const std::string& expected) {
    if (actual == expected) return testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    const std::size_t from = at < 20 ? 0 : at - 20;
    return testing::AssertionFailure() << "texts differ at byte " << at << " (sizes " << actual.size() << " and "
                                       << expected.size() << "): "
                                       << testing::PrintToString(actual.substr(from, 60)) << " vs "
                                       << testing::PrintToString(expected.substr(from, 60));
}

struct Config {
    const char* name;
    int wrapByte;  // 0: word wrap off
    bool rules;
    bool followRetMark;
    int tab;
};

class RandomEdits : public testing::TestWithParam<Config> {};

// Character starts of a CR LF text, where an edit may begin or end (never inside a two-byte
// character or between CR and LF).
std::vector<std::size_t> Boundaries(const std::string& text) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < text.size();) {
        out.push_back(i);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            i += 2;
        else
            i += CharLenAt(text, i);
    }
    out.push_back(text.size());
    return out;
}

// Replaces bytes [from, to) of the document text by insert with one ReplaceRows call over the
// rows that hold them, as an edit command of the editor does.
void Edit(TEditorScreenStrings& doc, std::size_t from, std::size_t to, const std::string& insert) {
    const int count = doc.GetCount();
    std::size_t start = 0;
    int first = -1, last = -1;
    std::size_t firstStart = 0;
    for (int r = 0; r < count; ++r) {
        const std::size_t end = start + doc.RowView(r).size() + (doc.RowEndKind(r) == reLineBreak ? 2 : 0);
        if (first < 0 && from < end) {
            first = r;
            firstStart = start;
        }
        if (first >= 0 && (to <= end || r == count - 1) && (to > start || r == first)) last = r;
        if (last >= 0 && to <= end) break;
        start = end;
    }
    if (first < 0) {
        // At the very end of the text: extend the last row, or append after the last break.
        if (count > 0 && doc.RowEndKind(count - 1) != reLineBreak) {
            first = last = count - 1;
            firstStart = doc.GetTextLen() - doc.RowView(count - 1).size();
        } else {
            doc.ReplaceRows(count, 0, insert);
            return;
        }
    }
    TRowEndKind end;
    int rows = 0;
    std::string block;
    doc.GetRowsText(first, last - first + 1, end, rows, block);
    const std::size_t a = from - firstStart, b = to - firstStart;
    doc.ReplaceRows(first, last - first + 1, block.substr(0, a) + insert + block.substr(b));
}

TEST_P(RandomEdits, TextFollowsTheModelAndUndoRedoRetraceIt) {
    const Config config = GetParam();
    DocFixture f;
    f.View.Tab = config.tab;
    f.Doc->UndoEngine().SetMax(1'000'000);
    if (config.wrapByte) {
        auto& o = f.Doc->WrapOption();
        o.SetWrapByte(config.wrapByte);
        o.SetWordBreak(config.rules);
        o.SetLeading(config.rules);
        o.SetFollowPunctuation(config.rules);
        o.SetFollowRetMark(config.followRetMark);
        f.Doc->SetWordWrap(true);
    }
    const std::vector<std::string> pieces = {"a", "b", "word ", " ", "\t", "\r\n", "\r\n", sj("日本"), sj("、"),
                                             sj("。"), sj("「"), sj("」"), ",", ".", sj("ｱｲ"), "(", "xyzzy"};
    std::mt19937 rng(1234);
    std::string model = "start line\r\n" + sj("二行目の文章です。") + "\r\nend";
    f.Doc->SetText(model);
    std::vector<std::string> history{model};
    std::vector<std::string> layouts{RowsOnly(*f.Doc)};
    for (int step = 0; step < 3000; ++step) {
        const std::vector<std::size_t> cuts = Boundaries(model);
        std::size_t from = cuts[rng() % cuts.size()];
        std::size_t to = from;
        if (rng() % 2 == 0) {
            // a deletion of up to a few characters, or now and then a long stretch
            const auto at = std::lower_bound(cuts.begin(), cuts.end(), from) - cuts.begin();
            const std::size_t span = rng() % 10 == 0 ? rng() % 200 : rng() % 4;
            to = cuts[std::min<std::size_t>(std::size_t(at) + span, cuts.size() - 1)];
        }
        std::string insert;
        const int n = rng() % 4 == 0 ? 0 : int(rng() % 6) + 1;
        for (int k = 0; k < n; ++k) insert += pieces[rng() % pieces.size()];
        if (rng() % 40 == 0) insert = std::string(60 + rng() % 80, 'L');  // a line longer than a row
        if (from == to && insert.empty()) continue;
        f.View.Col = int(rng() % 3);
        if (f.Doc->GetCount() > 0 && rng() % 8 == 0) {
            const int row = int(rng() % unsigned(f.Doc->GetCount()));
            const TRowMarkSet mark = TRowMarkSet(1u << (rng() % 16));
            f.Doc->SetRowMarkSet(row, f.Doc->RowMarkSet(row) | mark);
            f.Doc->IncludeMarks(mark);
        }
        Edit(*f.Doc, from, to, insert);
        model = model.substr(0, from) + insert + model.substr(to);
        ASSERT_TRUE(SameText(f.Doc->GetText(), model))
            << "step " << step << " replaced [" << from << ", " << to << ") by " << testing::PrintToString(insert);
        ASSERT_NO_FATAL_FAILURE(CheckDoc(*f.Doc)) << "step " << step;
        if (f.Doc->UndoEngine().UndoList.size() == history.size()) {
            // Every step undoes to the text before it and redoes to the text after it at once.
            f.Doc->Undo();
            ASSERT_TRUE(SameText(f.Doc->GetText(), history.back()))
                << "undo of step " << step << " [" << from << ", " << to << ") by " << testing::PrintToString(insert);
            f.Doc->Redo();
            ASSERT_TRUE(SameText(f.Doc->GetText(), model)) << "redo of step " << step;
            ASSERT_NO_FATAL_FAILURE(CheckDoc(*f.Doc));
            history.push_back(model);
            layouts.push_back(RowsOnly(*f.Doc));
        }
        ASSERT_EQ(f.Doc->UndoEngine().UndoList.size() + 1, history.size()) << "step " << step;
    }
    for (std::size_t i = history.size() - 1; i > 0; --i) {
        f.View.Col = int(i % 2);
        f.Doc->Undo();
        ASSERT_TRUE(SameText(RowsOnly(*f.Doc), layouts[i - 1])) << "layout after undo to " << i - 1;
        ASSERT_TRUE(SameText(f.Doc->GetText(), history[i - 1])) << "undo to " << i - 1;
        ASSERT_NO_FATAL_FAILURE(CheckDoc(*f.Doc));
    }
    EXPECT_FALSE(f.Doc->UndoEngine().CanUndo());
    for (std::size_t i = 1; i < history.size(); ++i) {
        f.Doc->Redo();
        ASSERT_TRUE(SameText(f.Doc->GetText(), history[i])) << "redo to " << i;
        ASSERT_NO_FATAL_FAILURE(CheckDoc(*f.Doc));
    }
    EXPECT_FALSE(f.Doc->UndoEngine().CanRedo());
}

INSTANTIATE_TEST_SUITE_P(Layouts, RandomEdits,
                         testing::Values(Config{"unwrapped", 0, false, false, 8},
                                         Config{"wrap20_rules", 20, true, false, 4},
                                         Config{"wrap33_retmark", 33, false, true, 8},
                                         Config{"wrap24_rules_retmark", 24, true, true, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvane
