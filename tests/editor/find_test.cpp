// Finding text in the editor: forward and backward from the caret or the last hit, the hit shown
// by each hit style, never a hit on the trail byte of a two-byte character.
#include "editor/controller.h"
#include "support/sj.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using test::sj;

struct Find : testing::Test {
    TEditorController Editor;
    Find() { Editor.Document().SetText("abc x\r\nx abc\r\n" + sj("ソ表") + "\\abc"); }
    std::pair<int, int> Hit() const { return {Editor.SelStartRow(), Editor.SelStartCol()}; }
};

TEST_F(Find, ForwardContinuesAfterEachHitAndStopsAtTheEnd) {
    ASSERT_TRUE(Editor.FindText("abc", soDown));
    EXPECT_EQ(Hit(), std::make_pair(0, 0));
    EXPECT_EQ(Editor.SelText(), "abc");
    ASSERT_TRUE(Editor.FindText("abc", soDown));
    EXPECT_EQ(Hit(), std::make_pair(1, 2));
    ASSERT_TRUE(Editor.FindText("abc", soDown));
    EXPECT_EQ(Hit(), std::make_pair(2, 5));
    EXPECT_FALSE(Editor.FindText("abc", soDown));
    EXPECT_EQ(Hit(), std::make_pair(2, 5));  // the last hit stays shown
}

TEST_F(Find, BackwardFromTheEndAndAcrossALineBreak) {
    Editor.SetRowCol(2, 8);
    ASSERT_TRUE(Editor.FindText("abc", 0));
    EXPECT_EQ(Hit(), std::make_pair(2, 5));
    ASSERT_TRUE(Editor.FindText("abc", 0));
    EXPECT_EQ(Hit(), std::make_pair(1, 2));
    ASSERT_TRUE(Editor.FindText("x\r\nx", 0));
    EXPECT_EQ(Hit(), std::make_pair(0, 4));
    EXPECT_EQ(Editor.SelLength(), 4);
}

TEST_F(Find, NeverOnATrailByte) {
    // ソ and 表 end in 0x5C, the byte of a backslash: only the real one is found.
    ASSERT_TRUE(Editor.FindText("\\", soDown));
    EXPECT_EQ(Hit(), std::make_pair(2, 4));
    EXPECT_FALSE(Editor.FindText("\\", soDown));
}

TEST_F(Find, TheHitStyleSaysHowTheHitIsShown) {
    Editor.SetHitStyle(hsCaret);
    ASSERT_TRUE(Editor.FindText("x abc", soDown));
    EXPECT_EQ(Editor.SelectionState(), ssHit);
    EXPECT_EQ(std::make_pair(Editor.Row(), Editor.Col()), std::make_pair(1, 0));  // the caret at the hit
    EXPECT_EQ(Editor.HitLength(), 5);
    EXPECT_GE(Editor.CaretRect().Width, 5 * Editor.CharWidth());
    ASSERT_TRUE(Editor.FindText("abc", soDown));  // the hit under the caret is passed
    EXPECT_EQ(std::make_pair(Editor.Row(), Editor.Col()), std::make_pair(2, 5));

    TEditorController drawn;
    drawn.Document().SetText("one two");
    drawn.SetHitStyle(hsDraw);
    ASSERT_TRUE(drawn.FindText("two", soDown));
    EXPECT_EQ(drawn.SelectionState(), ssHit);
    EXPECT_TRUE(drawn.SelectionDraw().Active);
}

TEST(FindEmpty, NothingIsFoundInAnEmptyDocumentOrForAnEmptyPattern) {
    TEditorController editor;
    EXPECT_FALSE(editor.FindText("a", soDown));
    editor.Document().SetText("a");
    EXPECT_FALSE(editor.FindText("", soDown));
}

}  // namespace
}  // namespace orvane
