// Row lists: packed attributes, events, index errors, shared texts, and the byte-string functions.
#include "document/bytestrings.h"
#include "document/rowlist.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace orvane {
namespace {

using test::sj;

TEST(RowAttributes, EachFieldReadsBackAndLeavesItsNeighbours) {
    struct Case {
        const char* name;
        std::function<void(TEditorStringList&, int)> set;
        std::function<int(const TEditorStringList&)> get;
        int value;
    };
    const std::vector<Case> cases = {
        {"OpenBracket -2", [](auto& l, int v) { l.SetOpenBracket(0, v); }, [](auto& l) { return l.OpenBracket(0); }, -2},
        {"OpenBracket -1", [](auto& l, int v) { l.SetOpenBracket(0, v); }, [](auto& l) { return l.OpenBracket(0); }, -1},
        {"OpenBracket 0", [](auto& l, int v) { l.SetOpenBracket(0, v); }, [](auto& l) { return l.OpenBracket(0); }, 0},
        {"OpenBracket 13", [](auto& l, int v) { l.SetOpenBracket(0, v); }, [](auto& l) { return l.OpenBracket(0); }, 13},
        {"RowEndKind", [](auto& l, int v) { l.SetRowEndKind(0, TRowEndKind(v)); }, [](auto& l) { return int(l.RowEndKind(0)); }, 2},
        {"PrevRowEndKind", [](auto& l, int v) { l.SetPrevRowEndKind(0, TRowEndKind(v)); }, [](auto& l) { return int(l.PrevRowEndKind(0)); }, 1},
        {"ModeState", [](auto& l, int v) { l.SetModeState(0, std::uint8_t(v)); }, [](auto& l) { return int(l.ModeState(0)); }, 255},
        {"CarryLength", [](auto& l, int v) { l.SetCarryLength(0, std::uint8_t(v)); }, [](auto& l) { return int(l.CarryLength(0)); }, 200},
        {"ModeCounter", [](auto& l, int v) { l.SetModeCounter(0, std::uint8_t(v)); }, [](auto& l) { return int(l.ModeCounter(0)); }, 7},
        {"CarryToken", [](auto& l, int v) { l.SetCarryToken(0, std::uint8_t(v)); }, [](auto& l) { return int(l.CarryToken(0)); }, 255},
        {"LastTokenKind", [](auto& l, int v) { l.SetLastTokenKind(0, std::uint8_t(v)); }, [](auto& l) { return int(l.LastTokenKind(0)); }, 31},
        {"RowMarkSet", [](auto& l, int v) { l.SetRowMarkSet(0, TRowMarkSet(v)); }, [](auto& l) { return int(l.RowMarkSet(0)); }, 0xFFFF},
        {"RowData", [](auto& l, int v) { l.SetRowData(0, v); }, [](auto& l) { return l.RowData(0); }, -12345},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEditorStringList list;
        list.Add("row");
        // Every other field holds a distinct pattern that must survive the write.
        list.SetRowEndKind(0, reWrapped);
        list.SetPrevRowEndKind(0, reEndOfText);
        list.SetOpenBracket(0, 5);
        list.SetModeState(0, 0x11);
        list.SetCarryLength(0, 0x22);
        list.SetModeCounter(0, 0x33);
        list.SetCarryToken(0, 0x44);
        list.SetLastTokenKind(0, 0x55);
        list.SetRowMarkSet(0, 0x0A0A);
        list.SetRowData(0, 99);
        TRowAttributeData before;
        list.GetRowAttributeData(0, before);
        const TRowMarkSet marksBefore = list.RowMarkSet(0);
        const int dataBefore = list.RowData(0);

        c.set(list, c.value);
        EXPECT_EQ(c.get(list), c.value);

        TRowAttributeData after;
        list.GetRowAttributeData(0, after);
        const std::string name = c.name;
        if (name.rfind("OpenBracket", 0) != 0) {
            EXPECT_EQ(after.OpenBracket, before.OpenBracket);
        }
        if (name != "ModeState") {
            EXPECT_EQ(after.ModeState, before.ModeState);
        }
        if (name != "RowEndKind") {
            EXPECT_EQ(after.RowEndKind, before.RowEndKind);
        }
        if (name != "PrevRowEndKind") {
            EXPECT_EQ(after.PrevRowEndKind, before.PrevRowEndKind);
        }
        if (name != "CarryLength") {
            EXPECT_EQ(after.CarryLength, before.CarryLength);
        }
        if (name != "ModeCounter") {
            EXPECT_EQ(after.ModeCounter, before.ModeCounter);
        }
        if (name != "CarryToken") {
            EXPECT_EQ(after.CarryToken, before.CarryToken);
        }
        if (name != "LastTokenKind") {
            EXPECT_EQ(after.LastTokenKind, before.LastTokenKind);
        }
        if (name != "RowMarkSet") {
            EXPECT_EQ(list.RowMarkSet(0), marksBefore);
        }
        if (name != "RowData") {
            EXPECT_EQ(list.RowData(0), dataBefore);
        }
        EXPECT_EQ(list.RowView(0), "row");
    }
}

TEST(RowAttributes, RecordRoundTripAndNotTokenizedState) {
    TEditorStringList list;
    list.Add("x");
    list.SetRowEndKind(0, reWrapped);
    list.SetRowMarkSet(0, 0x8001);
    TRowAttributeData data;
    data.PrevRowEndKind = reWrapped;
    data.OpenBracket = 3;
    data.ModeState = 9;
    data.CarryLength = 4;
    data.ModeCounter = 2;
    data.CarryToken = 7;
    data.LastTokenKind = 30;
    data.CarryText = "<scr";
    list.SetRowAttributeData(0, data);
    TRowAttributeData read;
    list.GetRowAttributeData(0, read);
    data.RowEndKind = reWrapped;  // kept from the row, not from the record
    EXPECT_EQ(read, data);
    EXPECT_EQ(list.RowView(0), "x");

    list.InvalidateRowAttributes(0);
    list.GetRowAttributeData(0, read);
    EXPECT_EQ(read.OpenBracket, -2);
    EXPECT_EQ(read.PrevRowEndKind, reLineBreak);
    EXPECT_EQ(read.ModeState, 0);
    EXPECT_TRUE(read.CarryText.empty());
    EXPECT_EQ(read.RowEndKind, reWrapped);
    EXPECT_EQ(list.RowMarkSet(0), 0x8001);
    EXPECT_EQ(list.RowView(0), "x");
    // A new row is all zero: not yet tokenized.
    list.Add("y");
    EXPECT_EQ(list.OpenBracket(1), -2);
}

TEST(RowList, EventsFireOutsideUpdateBracketsOnly) {
    TEditorStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TObject*) { ++changing; };
    list.OnChange = [&](TObject*) { ++changed; };

    list.Clear();  // empty: nothing happens
    EXPECT_EQ(changing + changed, 0);

    list.Add("a");
    list.Insert(0, "b");
    list.Put(1, "c");
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);

    list.SetRowMarkSet(0, 1);  // attribute setters are silent
    EXPECT_EQ(changed, 3);

    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("d");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changing, 4);
    EXPECT_EQ(changed, 3);
    list.EndUpdate();
    EXPECT_EQ(changed, 4);

    list.Clear();
    EXPECT_EQ(changing, 5);
    EXPECT_EQ(changed, 5);
    EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(RowList, IndexErrorsChangeNothing) {
    struct Case {
        const char* name;
        std::function<void(TEditorStringList&)> op;
    };
    const std::vector<Case> cases = {
        {"Get -1", [](auto& l) { l.Get(-1); }},
        {"Get count", [](auto& l) { l.Get(3); }},
        {"Put count", [](auto& l) { l.Put(3, "x"); }},
        {"Insert count+1", [](auto& l) { l.Insert(4, "x"); }},
        {"Insert -1", [](auto& l) { l.Insert(-1, "x"); }},
        {"Delete count", [](auto& l) { l.Delete(3); }},
        {"Exchange first bad", [](auto& l) { l.Exchange(5, 0); }},
        {"Exchange second bad", [](auto& l) { l.Exchange(0, -1); }},
        {"RowEndKind", [](auto& l) { l.SetRowEndKind(3, reWrapped); }},
        {"OpenBracket", [](auto& l) { (void)l.OpenBracket(-1); }},
        {"RowMarkSet", [](auto& l) { l.SetRowMarkSet(3, 1); }},
        {"CarryTexts", [](auto& l) { l.SetCarryTexts(7, "x"); }},
        {"GetRowAttributeData", [](auto& l) { TRowAttributeData d; l.GetRowAttributeData(3, d); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEditorStringList list;
        list.Add("a");
        list.Add("b");
        list.Add("c");
        try {
            c.op(list);
            ADD_FAILURE() << "no error";
        } catch (const EStringListError& e) {
            EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています");
        }
        EXPECT_EQ(list.GetTextStr(), "a\r\nb\r\nc\r\n");
    }
    TEditorStringList list;
    list.Add("a");
    list.Insert(1, "b");  // Insert at count appends
    EXPECT_EQ(list.GetTextStr(), "a\r\nb\r\n");
}

TEST(RowList, CapacityGrowsByTheRule) {
    TEditorStringList list;
    std::vector<int> capacities;
    for (int i = 0; i < 200; ++i) {
        list.Add("");
        if (capacities.empty() || capacities.back() != list.GetCapacity()) capacities.push_back(list.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228}));
    list.Delete(0);
    EXPECT_EQ(list.GetCapacity(), 228);  // deleting keeps the capacity
}

TEST(RowList, InsertsAndDeletesAnywhereKeepOrder) {
    // The rows live in a gap buffer: edits at scattered places must keep every row in order.
    TEditorStringList list;
    std::vector<std::string> model;
    unsigned seed = 7;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFF; };
    for (int step = 0; step < 3000; ++step) {
        const int size = int(model.size());
        if (size == 0 || next() % 3 != 0) {
            const int at = int(next() % unsigned(size + 1));
            const std::string text = std::string("r").append(std::to_string(step));
            list.Insert(at, text);
            model.insert(model.begin() + at, text);
        } else {
            const int at = int(next() % unsigned(size));
            list.Delete(at);
            model.erase(model.begin() + at);
        }
    }
    ASSERT_EQ(list.GetCount(), int(model.size()));
    for (int i = 0; i < list.GetCount(); ++i) ASSERT_EQ(list.RowView(i), model[std::size_t(i)]) << i;
}

TEST(RowList, TextIsSharedBetweenListsNotCopied) {
    TEditorStringList a, b;
    a.Add("shared text");
    a.SetCarryTexts(0, "carry");
    b.Add("");
    b.CopyRow(0, a, 0);
    EXPECT_EQ(a.RowView(0).data(), b.RowView(0).data());
    EXPECT_EQ(b.CarryTexts(0), "carry");
    a.Put(0, "changed");  // the other list keeps its text
    EXPECT_EQ(b.RowView(0), "shared text");
    a.Clear();
    EXPECT_EQ(b.RowView(0), "shared text");
    // Setting and clearing a carry text keeps the row text.
    b.SetCarryTexts(0, "");
    EXPECT_EQ(b.CarryTexts(0), "");
    EXPECT_EQ(b.RowView(0), "shared text");
}

TEST(RowList, AssignLinesPacksRowsAndSurvivesTheSource) {
    TEditorStringList a, b;
    a.AssignLines("one\r\ntwo\rthree\nfour");
    EXPECT_EQ(a.GetTextStr(), "one\r\ntwo\r\nthree\r\nfour\r\n");
    b.Add("");
    b.CopyRow(0, a, 3);
    a.Clear();  // the chunk stays alive for the row that shares it
    EXPECT_EQ(b.RowView(0), "four");
}

TEST(RowList, AdoptedTextLivesAsLongAsItsRows) {
    TEditorStringList a, b;
    {
        TRowTextBuffer buffer(std::string("first\r\nsecond"));
        a.AppendRow(buffer.Text().substr(0, 5), reLineBreak, 0, buffer);
        a.AppendRow(buffer.Text().substr(7), reEndOfText, 0, buffer);
    }
    EXPECT_EQ(a.GetTextStr(), "first\r\nsecond\r\n");
    b.Add("");
    b.CopyRow(0, a, 1);
    a.Clear();  // the row of b keeps the text alive
    EXPECT_EQ(b.RowView(0), "second");
    b.SetCarryTexts(0, "carry");  // a carry text moves the row into a block of its own
    EXPECT_EQ(b.RowView(0), "second");
    EXPECT_EQ(b.CarryTexts(0), "carry");
}

TEST(SplitTextToList, LineBreaks) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"a\r\nb", {"a", "b"}},
        {"a\r\n", {"a"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"", {}},
        {"\r\n", {""}},
        {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},  // zero bytes are text
    };
    for (const Case& c : cases) {
        TEditorStringList list;
        list.Add("old");
        SplitTextToList(c.text, list);
        std::vector<std::string> lines;
        for (int i = 0; i < list.GetCount(); ++i) lines.push_back(list.Get(i));
        EXPECT_EQ(lines, c.lines) << testing::PrintToString(c.text);
    }
}

TEST(ByteStrings, LeadAndTrailBytesFollowTheWalkFromTheStart) {
    // 'a', 表 (0x95 0x5C: a trail byte that looks like '\'), 0x81 0x81 pairs, a lone lead at the end.
    const std::string s = "a" + sj("表") + "\x81\x81\x81\x81" + "b\x82";
    std::vector<int> lead, trail;
    for (int i = 0; i <= int(s.size()) + 1; ++i) {
        if (IsLeadByteAt(s, i)) lead.push_back(i);
        if (IsTrailByteAt(s, i)) trail.push_back(i);
    }
    EXPECT_EQ(lead, (std::vector<int>{2, 4, 6}));
    EXPECT_EQ(trail, (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(StrCharAt(s, 0), 0);
    EXPECT_EQ(StrCharAt(s, 1), 'a');
    EXPECT_EQ(StrCharAt(s, int(s.size()) + 1), 0);
    EXPECT_EQ(CharCount("a,b,c", ',', 3), 1);
    EXPECT_EQ(CharCount("a,b,c", ',', 99), 2);
}

TEST(ByteStrings, CharInStrMatchesWholeCharactersOnly) {
    const std::string space = sj("　");  // 0x81 0x40
    EXPECT_FALSE(CharInStr("@", space));
    EXPECT_TRUE(CharInStr(space, "a" + space));
    EXPECT_TRUE(CharInStr(",", sj("、") + ","));
    EXPECT_FALSE(CharInStr("", "abc"));
    EXPECT_FALSE(CharInStr(sj("、"), "a"));
    EXPECT_FALSE(CharInStr("\\", sj("表")));  // 0x5C as a trail byte
}

TEST(ByteStrings, IndentAndTrim) {
    const std::string space = sj("　");
    EXPECT_EQ(IndentCount(space + "  a"), 4);
    EXPECT_EQ(IndentCount(""), -1);
    EXPECT_EQ(IndentCount("\tx"), 0);
    EXPECT_EQ(TrimLeftBlanks(space + " \t" + "x y"), "x y");
    EXPECT_EQ(TrimLeftBlanks("   "), "");
}

}  // namespace
}  // namespace orvane
