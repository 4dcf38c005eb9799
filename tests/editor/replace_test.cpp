// Replacing in the editor: all hits from the caret in either direction or inside a selection as
// one undo step, never inside text just inserted, and one hit after another with confirmation.
#include "editor/controller.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

using test::sj;

struct TReplaceCase {
    const char* Name;
    std::string Text;
    int Caret;  // character offset of the caret; with SelLength > 0 the selection's start
    int SelLength;
    std::string S, R;
    TSearchOptions Options;
    std::string Expected;
    int Count;
};

TEST(Replace, AllInOneUndoStep) {
    const std::vector<TReplaceCase> cases = {
        {"down, pattern inside the replacement", "a b a", 0, 0, "a", "aa", soDown, "aa b aa", 2},
        {"up, pattern inside the replacement, ends", "a b a", 5, 0, "a", "aa", 0, "aa b aa", 2},
        {"up, the replacement folds to the pattern, ends", "a b a", 5, 0, "a", "A", 0, "A b A", 2},
        {"down from the caret only", "ab ab ab", 3, 0, "ab", "x", soDown, "ab x x", 2},
        {"up from the caret only", "ab ab ab", 5, 0, "ab", "x", 0, "x x ab", 2},
        {"letter case ignored", "Abc abc ABC", 0, 0, "abc", "x", soDown, "x x x", 3},
        {"letter case kept", "Abc abc ABC", 0, 0, "abc", "x", soDown | soMatchCase, "Abc x ABC", 1},
        {"whole words", "cat concat cats cat.", 0, 0, "cat", "dog", soDown | soWholeWord, "dog concat cats dog.", 2},
        {"full-width equivalence", sj("ＡＢＣ abc ａｂｃ"), 0, 0, "abc", "x", soDown | soNoMatchZenkaku, "x x x", 3},
        {"full width stays apart without it", sj("ＡＢＣ abc"), 0, 0, "abc", "x", soDown, sj("ＡＢＣ x"), 1},
        {"never on a trail byte", sj("ソ表\\"), 0, 0, "\\", "/", soDown, sj("ソ表/"), 1},
        {"over line breaks", "a\r\nb a\r\nb", 0, 0, "a\r\nb", "-", soDown, "- -", 2},
        {"inside the selection", "a a a a", 2, 3, "a", "bb", soDown, "a bb bb a", 2},
        {"inside the selection, upward options", "a a a a", 2, 3, "a", "bb", 0, "a bb bb a", 2},
        {"a hit running out of the selection stays", "ab ab", 0, 4, "ab", "x", soDown, "x ab", 1},
        {"nothing found", "abc", 0, 0, "z", "y", soDown, "abc", 0},
    };
    for (const TReplaceCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TEditorController editor;
        editor.Document().SetText(c.Text);
        editor.SetSelStart(c.Caret);
        if (c.SelLength > 0) editor.SetSelLength(c.SelLength);
        EXPECT_EQ(editor.ReplaceAll(c.S, c.R, c.Options, c.SelLength > 0), c.Count);
        EXPECT_EQ(editor.Document().GetText(), c.Expected);
        if (c.SelLength > 0 && c.Count > 0) {
            // The selection covers the replaced text.
            const std::string expected = c.Expected.substr(std::size_t(c.Caret),
                                                           c.Expected.size() - c.Text.size() + std::size_t(c.SelLength));
            EXPECT_EQ(editor.SelText(), expected);
        }
        if (c.Count > 0) {
            editor.Undo();
            EXPECT_EQ(editor.Document().GetText(), c.Text);  // one step takes all of it back
        }
    }
}

TEST(Replace, TheCaretEndsBeyondTheReplacedText) {
    TEditorController editor;
    editor.Document().SetText("x a x a x");
    EXPECT_EQ(editor.ReplaceAll("a", "bb", soDown), 2);
    EXPECT_EQ(editor.SelStart(), 9);  // after the last "bb"
    editor.SetSelStart(10);
    EXPECT_EQ(editor.ReplaceAll("bb", "c", 0), 2);
    EXPECT_EQ(editor.SelStart(), 2);  // before the topmost replacement
}

TEST(Replace, OneByOneWithConfirmation) {
    using TAnswer = TEditorController::TReplaceAnswer;
    struct TScript {
        const char* Name;
        TSearchOptions Options;
        int Caret;
        std::vector<TAnswer> Answers;
        std::string Expected;
        int Count;
        bool All, Cancelled;
    };
    const TSearchOptions confirmAll = soReplaceConfirm | soReplaceAll;
    const std::vector<TScript> scripts = {
        {"no, yes, then all", soDown | confirmAll, 0, {TEditorController::raNo, TEditorController::raYes, TEditorController::raAll},
         "a aa aa aa", 3, true, false},
        {"cancel stops", soDown | confirmAll, 0, {TEditorController::raYes, TEditorController::raCancel}, "aa a a a", 1, false, true},
        {"upward, every hit asked once: it ends", confirmAll, 7,
         {TEditorController::raYes, TEditorController::raYes, TEditorController::raYes, TEditorController::raYes},
         "aa aa aa aa", 4, false, false},
        {"without replace-all one hit only", soDown | soReplaceConfirm, 0, {TEditorController::raYes}, "aa a a a", 1, false, false},
        {"without confirmation nothing is asked", soDown, 2, {}, "a aa a a", 1, false, false},
    };
    for (const TScript& s : scripts) {
        SCOPED_TRACE(s.Name);
        TEditorController editor;
        editor.Document().SetText("a a a a");
        editor.SetSelStart(s.Caret);
        std::size_t asked = 0;
        std::vector<std::string> shown;
        const auto result = editor.Replace("a", "aa", s.Options, [&]() -> TAnswer {
            shown.push_back(editor.SelText());
            return asked < s.Answers.size() ? s.Answers[asked++] : TEditorController::raCancel;
        });
        EXPECT_EQ(editor.Document().GetText(), s.Expected);
        EXPECT_EQ(result.Count, s.Count);
        EXPECT_EQ(result.All, s.All);
        EXPECT_EQ(result.Cancelled, s.Cancelled);
        EXPECT_EQ(asked, s.Answers.size());
        for (const std::string& t : shown) EXPECT_EQ(t, "a");  // each hit is shown when asked
    }
}

TEST(Replace, AHitOrASelectionThatEndsWithTheTextsLastLineBreak) {
    using TAnswer = TEditorController::TReplaceAnswer;
    for (const TSearchOptions options : {TSearchOptions(soDown | soReplaceConfirm), TSearchOptions(soReplaceConfirm | soReplaceAll),
                                         TSearchOptions(soDown | soReplaceConfirm | soReplaceAll)}) {
        SCOPED_TRACE(options);
        TEditorController editor;
        editor.Document().SetText("a b\r\nb\r\n");
        editor.SetSelStart((options & soDown) ? 0 : 8);
        const auto result = editor.Replace("b\r\n", "c", options, [] { return TAnswer::raYes; });
        EXPECT_EQ(editor.Document().GetText(), (options & soReplaceAll) ? "a cc" : "a cb\r\n");
        EXPECT_EQ(result.Count, (options & soReplaceAll) ? 2 : 1);
    }
    // A shown hit at the end of the text starts a replace-all there.
    TEditorController shown;
    shown.Document().SetText("x\r\n");
    ASSERT_TRUE(shown.FindText("x\r\n", soDown));
    EXPECT_EQ(shown.ReplaceAll("x\r\n", "y", soDown), 1);
    EXPECT_EQ(shown.Document().GetText(), "y");
    // Inside a selection that ends with the last line break.
    TEditorController editor;
    editor.Document().SetText("x\r\nx\r\n");
    editor.SetSelStart(0);
    editor.SetSelLength(6);
    EXPECT_EQ(editor.ReplaceAll("x", "yy", soDown, true), 2);
    EXPECT_EQ(editor.Document().GetText(), "yy\r\nyy\r\n");
    EXPECT_EQ(editor.SelText(), "yy\r\nyy\r\n");
}

TEST(Replace, AllInTheWholeTextWhateverTheCaret) {
    TEditorController editor;
    editor.Document().SetText("a b a b a");
    editor.SetSelStart(4);
    EXPECT_EQ(editor.ReplaceAllInText("a", "cc", 0), 3);
    EXPECT_EQ(editor.Document().GetText(), "cc b cc b cc");
    editor.Undo();  // one step
    EXPECT_EQ(editor.Document().GetText(), "a b a b a");
}

TEST(Replace, AReadOnlyEditorKeepsItsText) {
    TEditorController editor;
    editor.Document().SetText("a a");
    editor.SetReadOnly(true);
    EXPECT_EQ(editor.ReplaceAll("a", "b", soDown), 0);
    EXPECT_EQ(editor.Document().GetText(), "a a");
}

}  // namespace
}  // namespace orvane
