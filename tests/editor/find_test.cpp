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

TEST_F(Find, TheSearchCommandsSelectTheHitAndGoOnFromTheOtherEnd) {
    using R = TEditorController::TFindResult;
    Editor.SetHitStyle(hsDraw);  // whatever the hit style: the hit is the selection
    Editor.SetRowCol(1, 3);
    ASSERT_EQ(Editor.FindNextHit("abc", soDown), R::Found);
    EXPECT_EQ(Hit(), std::make_pair(2, 5));
    EXPECT_TRUE(Editor.Selected());
    EXPECT_EQ(Editor.SelText(), "abc");
    Editor.InsertText("Z");  // typing replaces the hit
    EXPECT_EQ(Editor.Lines().Get(2), sj("ソ表") + "\\Z");
    // Nothing after the caret: from the start.
    ASSERT_EQ(Editor.FindNextHit("abc", soDown), R::Wrapped);
    EXPECT_EQ(Hit(), std::make_pair(0, 0));
    ASSERT_EQ(Editor.FindNextHit("abc", 0), R::Wrapped);  // upwards: from the end
    EXPECT_EQ(Hit(), std::make_pair(1, 2));
    ASSERT_EQ(Editor.FindNextHit("abc", 0), R::Found);
    EXPECT_EQ(Hit(), std::make_pair(0, 0));
    // The only hit is found again from the other end; none at all changes nothing.
    ASSERT_EQ(Editor.FindNextHit("x abc", soDown), R::Found);
    ASSERT_EQ(Editor.FindNextHit("x abc", soDown), R::Wrapped);
    EXPECT_EQ(Hit(), std::make_pair(1, 0));
    EXPECT_EQ(Editor.FindNextHit("nothing", soDown), R::NotFound);
    EXPECT_EQ(Editor.SelText(), "x abc");
}

TEST(FindInSelection, TheHitInsideTheSelectionBecomesTheSelection) {
    TEditorController editor;
    editor.Document().SetText("abc abc\r\nabc x abc\r\nabc");
    auto selectFrom = [&](int Start, int Length, TEditorSelectionMode Mode = smStream) {
        editor.SetSelStart(Start);
        editor.SetSelLength(Length);
        editor.SetSelectionMode(Mode);
    };
    // From the second "abc" of row 0 to the middle of row 1: down finds the first hit in it,
    // up the last, and a hit may span the line break.
    const struct {
        const char* Pattern;
        TSearchOptions Options;
        bool Found;
        int Row, Col, Length;
    } cases[] = {
        {"abc", soDown, true, 0, 4, 3},
        {"abc", 0, true, 1, 0, 3},
        {"c\r\na", soDown, true, 0, 6, 4},
        {"x abc", soDown, false, 0, 4, 12},  // runs past the selection's end: not found, selection kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Pattern);
        selectFrom(4, 12);  // "abc\r\nabc x a"
        ASSERT_EQ(editor.SelText(), "abc\r\nabc x a");
        EXPECT_EQ(editor.FindInSelection(c.Pattern, c.Options), c.Found);
        EXPECT_EQ(std::make_pair(editor.SelStartRow(), editor.SelStartCol()), std::make_pair(c.Row, c.Col));
        EXPECT_EQ(editor.SelLength(), c.Length);
    }
    // Searching again looks inside the hit, which is all there is.
    selectFrom(4, 12);
    ASSERT_TRUE(editor.FindInSelection("abc", soDown));
    ASSERT_TRUE(editor.FindInSelection("abc", soDown));
    EXPECT_EQ(editor.SelText(), "abc");
    EXPECT_FALSE(editor.FindInSelection("ab c", soDown));

    // A box: columns 4-6 of rows 0-2 hold "abc", "x a" and nothing; each row on its own, so
    // "abcx" (across two rows' parts) is not there.
    editor.SetSelectionMode(smBox);
    editor.SetRowCol(0, 4);
    editor.StartSelection();
    editor.SetRowCol(2, 7);
    editor.UpdateSelection();
    ASSERT_EQ(editor.SelText(), "abc\r\nx a\r\n\r\n");
    EXPECT_FALSE(editor.FindInSelection("abcx", soDown));
    EXPECT_TRUE(editor.FindInSelection("a", 0));  // up: the last hit, in row 1
    EXPECT_EQ(std::make_pair(editor.SelStartRow(), editor.SelStartCol()), std::make_pair(1, 6));
    editor.DropSelection();
    EXPECT_FALSE(editor.FindInSelection("abc", soDown));  // no selection, nothing to search
}

TEST(FindEmpty, NothingIsFoundInAnEmptyDocumentOrForAnEmptyPattern) {
    TEditorController editor;
    EXPECT_FALSE(editor.FindText("a", soDown));
    editor.Document().SetText("a");
    EXPECT_FALSE(editor.FindText("", soDown));
}

}  // namespace
}  // namespace orvane
