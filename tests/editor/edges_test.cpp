// Edges of editing without a window: rows longer than the shown columns, inserted text with lone
// line breaks, backspace-unindent over empty and blank rows, and a lead byte typed alone.
#include "editor/controller.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {
namespace {

// A row whose byte I is the digit I % 10, so that a position can be read off the text.
std::string Digits(int N) {
    std::string row;
    for (int i = 0; i < N; ++i) row += char('0' + i % 10);
    return row;
}

struct LongRows : testing::Test {
    TEditorController Editor;
    LongRows() {
        Editor.SetWordWrap(false);
        Editor.Document().SetText(Digits(1500) + "\r\nnext");
        Editor.Perform(WM_KEYDOWN, VK_END, 0);  // the caret at the last shown column
    }
    std::string Row0() { return std::string(Editor.Document().RowView(0)); }
};

TEST_F(LongRows, TheCaretActsAtItsOwnByteNotAtTheRowsEnd) {
    ASSERT_EQ(Editor.Col(), kMaxDisplayCol);
    Editor.KeyChar('X');
    EXPECT_EQ(Row0().substr(998, 4), "89X0");
    EXPECT_EQ(Row0().size(), 1501u);
}

TEST_F(LongRows, EnterSplitsTheRowAtTheCaret) {
    Editor.KeyEnter(false);
    EXPECT_EQ(Row0(), Digits(1000));
    EXPECT_EQ(Editor.Document().RowView(1).substr(0, 3), "012");
    EXPECT_EQ(Editor.Document().RowView(1).size(), 500u);
}

TEST_F(LongRows, ShiftLeftSelectsOneCharacterAndDeleteRemovesIt) {
    Editor.KeyDown(VK_LEFT, kmShift, false);
    EXPECT_EQ(Editor.SelText(), "9");
    Editor.KeyDelete();
    EXPECT_EQ(Row0().size(), 1499u);
    EXPECT_EQ(Row0().substr(998, 2), "80");
}

TEST_F(LongRows, DeleteAtTheLastShownColumnDeletesTheCharacterThere) {
    Editor.KeyDelete();
    EXPECT_EQ(Row0().size(), 1499u);
    EXPECT_EQ(Row0().substr(999, 2), "91");
    EXPECT_EQ(Editor.Document().LineCount(), 2);
}

TEST_F(LongRows, MessagesSelectAndClearExactlyTheBytesAsked) {
    Editor.Perform(EM_SETSEL, 0, 1500);
    EXPECT_EQ(Editor.SelLength(), 1500);
    Editor.Perform(WM_CLEAR);
    EXPECT_EQ(Editor.Document().GetText(), "\r\nnext");

    Editor.Document().SetText(Digits(1500) + "\r\nnext");
    Editor.Perform(EM_SETSEL, 1200, 1300);
    EXPECT_EQ(Editor.SelStart(), 1200);
    EXPECT_EQ(Editor.SelText(), Digits(1300).substr(1200));
    Editor.Perform(WM_CLEAR);
    EXPECT_EQ(Row0(), Digits(1200) + Digits(1500).substr(1300));
}

TEST_F(LongRows, TabsCountTheirColumnsNotTheirBytes) {
    Editor.Document().SetText(std::string(200, '\t') + "abc");
    Editor.SetRowCol(0, 1000);  // 125 tabs of 8 columns
    Editor.KeyChar('X');
    EXPECT_EQ(Row0().find('X'), 125u);
    EXPECT_EQ(Row0().size(), 204u);
}

// Text with lone CRs and LFs is stored with CR LF; the caret goes after what is stored.
TEST(InsertedLineBreaks, TheCaretEndsAfterTheStoredText) {
    struct Case {
        const char* Text;
        bool Replace;  // through EM_REPLACESEL rather than typing
        int Row, Col;
    };
    for (const Case& c : {Case{"l1\nl2\n", false, 2, 0}, Case{"X\rY", false, 1, 1}, Case{"1\n2", true, 1, 1},
                          Case{"a\r\nb", false, 1, 1}}) {
        TEditorController editor;
        if (c.Replace)
            editor.Perform(EM_REPLACESEL, 0, TMessageLong(c.Text));
        else
            editor.InsertText(c.Text);
        EXPECT_EQ(editor.Row(), c.Row) << c.Text;
        EXPECT_EQ(editor.Col(), c.Col) << c.Text;
        editor.InsertText("!");
        EXPECT_EQ(editor.Document().GetText().back(), '!') << c.Text;
    }
}

TEST(BackspaceUnindent, OverAnEmptyOrBlankRowMovesTheCaretAndChangesNothing) {
    for (const char* row : {"", "  "}) {
        TEditorController editor;
        editor.Caret().SetFreeCaret(true);
        editor.Caret().SetBackSpaceUnIndent(true);
        editor.Document().SetText(std::string("  x\r\n    y\r\n") + row + "\r\nz");
        editor.SetModified(false);
        editor.SetRowCol(2, 6);
        editor.KeyBackspace();
        EXPECT_EQ(editor.Col(), 4) << '"' << row << '"';
        EXPECT_EQ(editor.Document().GetText(), std::string("  x\r\n    y\r\n") + row + "\r\nz");
        EXPECT_FALSE(editor.CanUndo());
        EXPECT_FALSE(editor.Modified());
    }
}

TEST(BackspaceUnindent, RemovesTheBlanksDownToTheTarget) {
    TEditorController editor;
    editor.Caret().SetBackSpaceUnIndent(true);
    editor.Document().SetText("    a\r\n\r\n        b");
    editor.SetRowCol(2, 8);
    editor.KeyBackspace();
    EXPECT_EQ(editor.Document().RowView(2), "    b");
    EXPECT_EQ(editor.Col(), 4);
    EXPECT_TRUE(editor.CanUndo());
}

// WM_CHAR delivers a two-byte character as two messages; a lead byte without a trail byte is
// dropped and the next character kept.
TEST(TypedLeadByte, WaitsOnlyForATrailByte) {
    struct Case {
        std::string Bytes;
        std::string Text;
    };
    for (const Case& c : {Case{"\x82\xA0", "\x82\xA0"}, Case{"\x82" "5", "5"}, Case{"\x82\ra", "\r\na"},
                          Case{"\x82\ta", "\ta"}, Case{"\x82\x62", "\x82\x62"}, Case{"\x82\x1F" "b", "b"}}) {
        TEditorController editor;
        for (char b : c.Bytes) editor.Perform(WM_CHAR, static_cast<unsigned char>(b), 0);
        EXPECT_EQ(editor.Document().GetText(), c.Text);
    }
    TEditorController editor;  // a backspace between the two bytes
    editor.Document().SetText("x");
    editor.SetRowCol(0, 1);
    for (int b : {0x82, int('\b'), int('a')}) editor.Perform(WM_CHAR, b, 0);
    EXPECT_EQ(editor.Document().GetText(), "a");
}

}  // namespace
}  // namespace orvane
