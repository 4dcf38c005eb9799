// The document: ReplaceRows over plain and wrapped rows, marks travelling with text, the change
// record seen by attached views, and word wrap switching.
#include "document/docfixture.h"
#include "support/sj.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using test::CheckDoc;
using test::DocFixture;
using test::Dump;
using test::Load;
using test::sj;

struct ReplaceCase {
    const char* name;
    int wrapByte;  // 0: word wrap off
    std::string start;
    int row, count;
    std::string text;
    std::string expected;
    int changeRow, changeOld, changeNew;  // -1: no change expected
    int caretCol = 1;
};

void RunReplaceCases(const std::vector<ReplaceCase>& cases) {
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        DocFixture f;
        if (c.wrapByte) {
            f.Wrap(c.wrapByte);
            f.Doc->SetText(c.start);
        } else {
            Load(*f.Doc, c.start);
        }
        const std::string before = f.Doc->GetText();
        f.View.Col = c.caretCol;
        f.View.SeenRow = -1;
        f.Doc->ReplaceRows(c.row, c.count, c.text);
        EXPECT_EQ(Dump(*f.Doc), c.expected);
        CheckDoc(*f.Doc);
        EXPECT_EQ(f.View.SeenRow, c.changeRow);
        if (c.changeRow >= 0) {
            EXPECT_EQ(f.View.SeenOld, c.changeOld);
            EXPECT_EQ(f.View.SeenNew, c.changeNew);
            EXPECT_EQ(f.Doc->UndoEngine().UndoList.size(), 1u);
            f.Doc->Undo();  // one step restores the text exactly
            EXPECT_EQ(f.Doc->GetText(), before);
            CheckDoc(*f.Doc);
        } else {
            EXPECT_FALSE(f.Doc->UndoEngine().CanUndo());
        }
        EXPECT_EQ(f.Doc->ChangeFlag(), false);  // the record ends with the bracket
    }
}

TEST(ReplaceRows, PlainRows) {
    RunReplaceCases({
        {"type in a row (the next line is rebuilt too)", 0, "abc|def$", 0, 1, "aXbc\r\n", "aXbc|def$", 0, 2, 2},
        {"whole middle line deleted", 0, "a|b|c$", 1, 1, "", "a|c$", 1, 1, 0},
        {"last line deleted", 0, "a|b$", 1, 1, "", "a|", 1, 1, 0},
        {"only line deleted", 0, "a$", 0, 1, "", "", 0, 1, 0},
        {"append after the last line break", 0, "a|", 1, 0, "b\r\n", "a|b|", 1, 0, 1},
        {"append without a final break", 0, "a|", 1, 0, "b", "a|b$", 1, 0, 1},
        {"append after a last row without break", 0, "a$", 1, 0, "b", "a|b$", 0, 1, 2},
        {"insert at the top", 0, "a|b$", 0, 0, "x\r\n", "x|a|b$", 0, 1, 2},
        {"into an empty document", 0, "", 0, 0, "x\r\ny", "x|y$", 0, 0, 2},
        {"a final lone CR is a line break", 0, "a$", 0, 1, "a\r", "a|", 0, 1, 1},
        {"join two lines", 0, "ab|cd$", 0, 2, "abcd", "abcd$", 0, 2, 1},
        {"zero bytes are kept", 0, "a$", 0, 1, std::string("a\0b", 3), std::string("a\0b$", 4), 0, 1, 1},
        {"negative count is refused", 0, "a|b$", 0, -1, "x", "a|b$", -1, 0, 0},
        {"row past the end is refused", 0, "a|b$", 3, 0, "x", "a|b$", -1, 0, 0},
        {"count past the end is refused", 0, "a|b$", 1, 2, "", "a|b$", -1, 0, 0},
        {"nothing to do", 0, "a|b$", 1, 0, "", "a|b$", -1, 0, 0},
    });
}

TEST(ReplaceRows, WrappedRows) {
    const std::string a20(20, 'a'), a10(10, 'a');
    RunReplaceCases({
        {"typing on a continuation row rebuilds from the row before", 20, a20 + "aaaaa", 1, 1, "Xaaaaa",
         a20 + ">Xaaaaa$", 0, 2, 2},
        {"shortening the first row pulls text back", 20, a20 + "aaaaa", 0, 1, a10, std::string(15, 'a') + "$", 0, 2, 1},
        {"a line break inside a wrapped line", 20, a20 + "bbbbb", 0, 1, a10 + "\r\n" + a10,
         a10 + "|" + a10 + "bbbbb$", 0, 2, 2},
        {"deleting the first rows of a wrapped line", 20, a20 + a20 + "b", 0, 1, "", a20 + ">b$", 0, 3, 2},
        {"two-byte text", 20, sj("日本語の文章です。とても長い行になります。"), 0, 1, sj("日本語"),
         sj("日本語ても長い行にな>ります。$"), 0, 3, 2},
    });
}

TEST(ReplaceRows, MarksTravelWithTheText) {
    struct Case {
        const char* name;
        std::string start;
        int row, count;
        std::string text;
        int caretCol;
        std::string expected;
        TRowMarkSet inUse;
    };
    const std::vector<Case> cases = {
        {"deleted line gives its mark to the next", "a|b{3}|c$", 1, 1, "", 0, "a|c{3}$", 1 << 3},
        {"deleted last line gives its mark to the new last", "a|b{3}$", 1, 1, "", 0, "a{3}|", 1 << 3},
        {"deleting everything drops the mark", "a{3}$", 0, 1, "", 0, "", 0},
        {"line break at column 0 pushes the mark down", "ab{2}$", 0, 1, "\r\nab", 0, "|ab{2}$", 1 << 2},
        {"line break in the middle keeps the mark above", "ab{2}$", 0, 1, "a\r\nb", 1, "a{2}|b$", 1 << 2},
        {"joining lines unites their marks", "a{1}|b{2}|c$", 0, 2, "ab\r\n", 1, "ab{1,2}|c$", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocFixture f;
        Load(*f.Doc, c.start);
        f.View.Col = c.caretCol;
        f.Doc->ReplaceRows(c.row, c.count, c.text);
        EXPECT_EQ(Dump(*f.Doc), c.expected);
        EXPECT_EQ(f.Doc->GetMarksInUse(), c.inUse);
        CheckDoc(*f.Doc);
    }
}

TEST(Document, EveryAttachedViewSeesEachChangeOnce) {
    DocFixture f;
    test::FakeView second;
    second.Document = f.Doc.get();
    f.Doc->AttachEditor(&second);
    f.Doc->SetText("one\r\ntwo");
    const int changes = f.View.Changes, secondChanges = second.Changes;
    f.Doc->ReplaceRows(1, 1, "twos");
    EXPECT_EQ(f.View.Changes - changes, 1);
    EXPECT_EQ(second.Changes - secondChanges, 1);
    EXPECT_EQ(second.SeenRow, 1);

    // An attribute-only bracket notifies without a text change.
    const int text = f.View.TextChanges;
    f.Doc->BeginUpdate();
    f.Doc->SetRowMarkSet(0, 1);
    f.Doc->EndUpdate();
    EXPECT_EQ(f.View.TextChanges, text);
    EXPECT_EQ(f.View.Changes - changes, 2);
    f.Doc->DetachEditor(&second);
    EXPECT_EQ(f.Doc->Editors().size(), 1u);
}

TEST(Document, CaretsAreClampedWhenRowsGo) {
    DocFixture f;
    f.Doc->SetText("a\r\nb\r\nc\r\n");
    f.View.Row = 3;  // the row after the last line break
    f.View.Top = 3;
    f.Doc->ReplaceRows(1, 2, "");
    EXPECT_EQ(Dump(*f.Doc), "a|");
    EXPECT_EQ(f.View.Row, 1);
    f.Doc->ReplaceRows(0, 1, "x");
    EXPECT_EQ(f.View.Row, 0);
    EXPECT_EQ(f.View.Top, 0);
    f.Doc->ReplaceRows(0, 1, "");
    EXPECT_EQ(f.View.Row, 0);  // an empty document keeps the caret on row 0
}

TEST(Document, SetTextAndClear) {
    DocFixture f;
    struct Case {
        std::string text, dump, crlf;
    };
    const std::vector<Case> cases = {
        {"a\r\nb\r\n", "a|b|", "a\r\nb\r\n"}, {"a\nb", "a|b$", "a\r\nb"}, {"", "", ""},
        {"\r\n\r", "||", "\r\n\r\n"}, {"a\rb\r", "a|b|", "a\r\nb\r\n"}};
    for (const Case& c : cases) {
        f.Doc->SetText(c.text);
        EXPECT_EQ(Dump(*f.Doc), c.dump);
        EXPECT_EQ(f.Doc->GetText(), c.crlf);
        EXPECT_EQ(f.Doc->GetTextLen(), c.crlf.size());
    }
    f.Doc->SetText("a\r\nb");
    f.Doc->ReplaceRows(0, 1, "x\r\n");
    f.Doc->IncludeMarks(1);
    f.View.Row = 1;
    f.View.Col = 1;
    f.Doc->Clear();
    EXPECT_EQ(f.Doc->GetCount(), 0);
    EXPECT_FALSE(f.Doc->UndoEngine().CanUndo());
    EXPECT_EQ(f.Doc->GetMarksInUse(), 0);
    EXPECT_EQ(f.View.Row + f.View.Col, 0);
}

TEST(Document, TextArrivingInPiecesGivesTheSameRows) {
    // Every text split at every place into two pieces loads as the whole text does, with word
    // wrap off and on (a CR LF pair may be cut between the pieces).
    const std::vector<std::string> texts = {"a\r\nb", "a\r\n", "ab\rcd\ref\r", "\n\n", "x\r\r\ny",
                                            std::string(50, 'w') + "\r\n" + sj("日本語") + "\r"};
    for (const bool wrap : {false, true}) {
        for (const std::string& text : texts) {
            DocFixture whole, pieces;
            if (wrap) {
                whole.Wrap(20);
                pieces.Wrap(20);
            }
            whole.Doc->SetText(text);
            DocFixture adopted;
            if (wrap) adopted.Wrap(20);
            adopted.Doc->AdoptText(std::string(text));
            ASSERT_EQ(Dump(*adopted.Doc), Dump(*whole.Doc)) << testing::PrintToString(text) << " adopted";
            for (std::size_t cut = 0; cut <= text.size(); ++cut) {
                TDocumentTextLoader loader(*pieces.Doc);
                loader.Append(text.substr(0, cut));
                loader.Append(text.substr(cut));
                loader.Finish();
                ASSERT_EQ(Dump(*pieces.Doc), Dump(*whole.Doc)) << testing::PrintToString(text) << " cut at " << cut;
                CheckDoc(*pieces.Doc);
            }
        }
    }
}

TEST(WordWrap, SwitchingKeepsTextAndMarksAndEmptiesUndo) {
    DocFixture f;
    const std::string line = std::string(45, 'x');
    f.Doc->SetText(line + "\r\nshort\r\n" + line);
    f.Doc->ReplaceRows(1, 1, "shorter\r\n");
    ASSERT_TRUE(f.Doc->UndoEngine().CanUndo());
    f.View.Col = 5;
    f.Doc->WrapOption().SetWrapByte(20);  // word wrap off: only stored
    EXPECT_EQ(f.Doc->GetCount(), 3);
    EXPECT_TRUE(f.Doc->UndoEngine().CanUndo());

    f.Doc->SetWordWrap(true);
    EXPECT_EQ(f.Doc->GetCount(), 7);
    EXPECT_FALSE(f.Doc->UndoEngine().CanUndo());
    CheckDoc(*f.Doc);

    // Marks on the rows of a line: fewer rows after a wider re-wrap gather on the last.
    f.Doc->SetRowMarkSet(0, 1 << 1);
    f.Doc->SetRowMarkSet(1, 1 << 2);
    f.Doc->SetRowMarkSet(2, 1 << 3);
    f.Doc->IncludeMarks(0xE);
    f.Doc->WrapOption().SetWrapByte(40);
    EXPECT_EQ(Dump(*f.Doc).substr(0, 55), std::string(40, 'x') + "{1}>xxxxx{2,3}|");
    CheckDoc(*f.Doc);

    f.Doc->SetWordWrap(false);
    EXPECT_EQ(Dump(*f.Doc), line + "{1,2,3}|shorter|" + line + "$");
    EXPECT_EQ(f.Doc->GetText(), line + "\r\nshorter\r\n" + line);
    CheckDoc(*f.Doc);
}

TEST(WordWrap, TabWidthChangeLaysRowsOutAgain) {
    DocFixture f;
    f.Wrap(20);
    f.Doc->SetText("\t\t\tabcdef");  // 3 tabs of 4 = 12 columns, fits one row
    f.View.Tab = 4;
    f.Doc->TabWidthChanged();
    EXPECT_EQ(f.Doc->GetCount(), 1);
    f.Doc->ReplaceRows(0, 1, "\t\t\tabcdefg");
    f.View.Tab = 8;  // now the tabs fill 20 columns (the third stops at the wrap boundary)
    f.Doc->TabWidthChanged();
    EXPECT_EQ(Dump(*f.Doc), "\t\t\t>abcdefg$");
    EXPECT_FALSE(f.Doc->UndoEngine().CanUndo());
    CheckDoc(*f.Doc);
}

TEST(WordWrap, LoadingDefersTheLayout) {
    DocFixture f;
    f.View.IsLoading = true;
    f.Doc->SetWordWrap(true);
    f.Doc->WrapOption().SetWrapByte(20);
    f.Doc->SetText(std::string(30, 'a'));
    EXPECT_EQ(f.Doc->GetCount(), 1);
    f.View.IsLoading = false;
    f.Doc->EndLoad();
    EXPECT_EQ(f.Doc->GetCount(), 2);
    CheckDoc(*f.Doc);
}

}  // namespace
}  // namespace orvane
