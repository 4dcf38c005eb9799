// Editing in the editor: typing, overwrite, Enter, Backspace, Delete, box paste, dragging a
// selection, block indentation, characters and input-method results, and the clipboard, on a
// recording surface. Every action is one undo step that gives back the text exactly.
#include "document/docfixture.h"
#include "editor/controller.h"
#include "editor/fakesurface.h"
#include "files/charmap.h"
#include "modes/documenttokenizer.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace orvane {
namespace {

using test::sj;

struct EditFixture : testing::Test {
    test::TFakeSurface Surface;
    TEditorController Editor{&Surface};
    EditFixture() { test::ShowEditor(Editor, Surface, 60, 18, true); }
    TEditorScreenStrings& Doc() { return Editor.Document(); }
    void Select(int Row1, int Col1, int Row2, int Col2) {
        Editor.SetRowCol(Row1, Col1);
        Editor.StartSelection();
        Editor.SetRowCol(Row2, Col2);
        Editor.UpdateSelection();
    }
};

struct EditCase {
    const char* name;
    std::string text;
    std::function<void(TEditorController&)> setup;  // settings, caret or selection
    std::function<void(TEditorController&)> action;
    std::string expected;
    int row, col;
};

void RunEditCases(EditFixture& F, const std::vector<EditCase>& Cases) {
    for (const EditCase& c : Cases) {
        SCOPED_TRACE(c.name);
        F.Doc().SetText(c.text);
        F.Editor.SetOverwriteMode(false);
        F.Editor.SetSelectionMode(smStream);
        F.Editor.SetCaret(TEditorCaret());  // default caret settings for every case
        c.setup(F.Editor);
        const std::size_t steps = F.Doc().UndoEngine().UndoList.size();
        c.action(F.Editor);
        EXPECT_EQ(F.Doc().GetText(), c.expected);
        EXPECT_EQ(F.Editor.Row(), c.row);
        EXPECT_EQ(F.Editor.Col(), c.col);
        test::CheckDoc(F.Doc());
        EXPECT_EQ(F.Doc().UndoEngine().UndoList.size(), steps + 1) << "one undo step";
        F.Editor.Undo();
        EXPECT_EQ(F.Doc().GetText(), c.text) << "undo gives the text back";
    }
}

auto Caret(int Row, int Col) {
    return [=](TEditorController& e) { e.SetRowCol(Row, Col); };
}
auto Type(std::string S) {
    return [=](TEditorController& e) { e.InsertText(S); };
}

TEST_F(EditFixture, Typing) {
    auto overwrite = [](int Row, int Col) {
        return [=](TEditorController& e) {
            e.SetRowCol(Row, Col);
            e.SetOverwriteMode(true);
        };
    };
    RunEditCases(*this, {
        {"in the middle", "abc", Caret(0, 1), Type("x"), "axbc", 0, 2},
        {"beyond the end pads with spaces", "abc", Caret(0, 10), Type("x"), "abc       x", 0, 11},
        {"a two-byte character", "ab", Caret(0, 1), Type(sj("日")), std::string("a").append(sj("日")).append("b"), 0, 3},
        {"over two letters", sj("ab日"), overwrite(0, 0), Type(sj("本")), sj("本日"), 0, 2},
        {"one letter over half a two-byte character", sj("日本"), overwrite(0, 0), Type("x"), sj("x 本"), 0, 1},
        {"overwrite at a tab keeps the tab", "a\tb", overwrite(0, 1), Type("x"), "ax\tb", 0, 2},
        {"over the selection", "hello world", [this](TEditorController&) { Select(0, 0, 0, 5); }, Type("bye"), "bye world", 0, 3},
        {"on the row after the last line break", "ab\r\n", Caret(1, 0), Type("x"), "ab\r\nx", 1, 1},
    });
}

TEST_F(EditFixture, EnterBackspaceDelete) {
    auto enter = [](TEditorController& e) { e.KeyEnter(false); };
    auto shiftEnter = [](TEditorController& e) { e.KeyEnter(true); };
    auto backspace = [](TEditorController& e) { e.KeyBackspace(); };
    auto del = [](TEditorController& e) { e.KeyDelete(); };
    auto tabIndent = [](TEditorController& e) {
        e.Caret().SetTabIndent(true);
        e.Caret().SetTabSpaceCount(4);
        e.SetRowCol(0, 6);
    };
    const std::string fullSpace = sj("　");
    RunEditCases(*this, {
        {"enter keeps the indentation", "    abcd", Caret(0, 6), enter, "    ab\r\n    cd", 1, 4},
        {"enter with tab indentation", "    abcd", tabIndent, enter, "    ab\r\n\tcd", 1, 4},
        {"enter after full-width spaces", fullSpace + "ab", Caret(0, 3), enter, fullSpace + "a\r\n  b", 1, 2},
        {"enter at the end of the text", "ab\r\n", Caret(1, 0), enter, "ab\r\n\r\n", 2, 0},
        {"shift+enter opens a line above", "    abc", Caret(0, 5), shiftEnter, "    \r\n    abc", 0, 4},
        {"backspace joins lines", "ab\r\ncd", Caret(1, 0), backspace, "abcd", 0, 2},
        {"backspace a two-byte character", sj("a日"), Caret(0, 3), backspace, "a", 0, 1},
        {"backspace unindents to the row above", "    a\r\n        b", Caret(1, 8), backspace, "    a\r\n    b", 1, 4},
        {"backspace unindent passes empty rows", "  a\r\n\r\n      b", Caret(2, 6), backspace, "  a\r\n\r\n  b", 2, 2},
        {"delete a character", "abc", Caret(0, 1), del, "ac", 0, 1},
        {"delete a tab from inside it", "a\tb", [](TEditorController& e) {
             e.Caret().SetInTab(true);
             e.SetRowCol(0, 3);
         }, del, "ab", 0, 1},
        {"delete beyond the end pads and joins", "ab\r\ncd", Caret(0, 5), del, "ab   cd", 0, 5},
        {"delete the final line break", "ab\r\n", Caret(0, 2), del, "ab", 0, 2},
    });
}

TEST_F(EditFixture, WrappedRows) {
    Editor.WrapOption().SetWrapByte(20);
    Editor.SetWordWrap(true);
    RunEditCases(*this, {
        {"backspace at the start of a continuation row", std::string(25, 'a'), Caret(1, 0),
         [](TEditorController& e) { e.KeyBackspace(); }, std::string(24, 'a'), 0, 19},
        {"typing at the end of a full row moves on", std::string(19, 'a'), Caret(0, 19), Type("bc"),
         std::string(19, 'a') + "bc", 1, 1},
    });
}

TEST_F(EditFixture, BoxPasteAndBoxSelections) {
    RunEditCases(*this, {
        {"box paste pads short rows and adds rows", "ab\r\ncd", Caret(0, 5),
         [](TEditorController& e) { e.InsertBoxText("X\r\nY\r\nZ"); }, "ab   X\r\ncd   Y\r\n     Z\r\n", 2, 6},
        {"box paste into longer rows", "abcdef\r\nghijkl\r\n", Caret(0, 2),
         [](TEditorController& e) { e.InsertBoxText("12\r\n34"); }, "ab12cdef\r\ngh34ijkl\r\n", 1, 4},
        {"deleting a box", "abcdef\r\nghijkl\r\n",
         [this](TEditorController& e) {
             e.SetSelectionMode(smBox);
             Select(0, 1, 1, 3);
         },
         [](TEditorController& e) { e.DeleteSelection(); }, "adef\r\ngjkl\r\n", 0, 1},
    });
}

// Presses in the selection at (Row, Col), drags to (ToRow, ToCol) and releases there.
void Drag(TEditorController& E, int Row, int Col, int ToRow, int ToCol, bool Copy) {
    auto point = [&](int r, int c) { return MakeLong(E.TextLeft() + c * 8 + 2, E.TextTop() + r * 16 + 4); };
    const TMessageParam ctrl = Copy ? MK_CONTROL : 0;
    E.Perform(WM_LBUTTONDOWN, MK_LBUTTON | ctrl, point(Row, Col));
    E.Perform(WM_MOUSEMOVE, MK_LBUTTON | ctrl, point(ToRow, ToCol));
    E.Perform(WM_LBUTTONUP, ctrl, point(ToRow, ToCol));
}

TEST_F(EditFixture, DraggingASelection) {
    auto selectBc = [this](TEditorController&) { Select(0, 1, 0, 3); };
    RunEditCases(*this, {
        {"move to the right", "abcdef", selectBc, [](TEditorController& e) { Drag(e, 0, 1, 0, 5, false); }, "adebcf", 0, 5},
        {"move to another line", "abcdef\r\nxy", selectBc, [](TEditorController& e) { Drag(e, 0, 2, 1, 1, false); },
         "adef\r\nxbcy", 1, 3},
        {"move beyond a row's end pads", "abcdef\r\nxy", selectBc, [](TEditorController& e) { Drag(e, 0, 2, 1, 4, false); },
         "adef\r\nxy  bc", 1, 6},
        {"copy with Ctrl", "abcdef", selectBc, [](TEditorController& e) { Drag(e, 0, 1, 0, 5, true); }, "abcdebcf", 0, 7},
    });
    // Released on the selection itself: only the selection goes.
    Doc().SetText("abcdef");
    Select(0, 1, 0, 4);
    Drag(Editor, 0, 1, 0, 2, false);
    EXPECT_EQ(Doc().GetText(), "abcdef");
    EXPECT_FALSE(Editor.Selected());
}

TEST_F(EditFixture, BlockIndentation) {
    auto rows02 = [this](TEditorController&) { Select(0, 0, 2, 0); };
    RunEditCases(*this, {
        {"indent leaves out a last row selected at column 0", "a\r\n b\r\nc", rows02,
         [](TEditorController& e) { e.IndentBlock(); }, " a\r\n  b\r\nc", 2, 0},
        {"unindent", " a\r\n  b\r\nc", rows02, [](TEditorController& e) { e.UnindentBlock(); }, "a\r\n b\r\nc", 2, 0},
        {"tab indent", "a\r\nb\r\nc", rows02, [](TEditorController& e) { e.TabIndentBlock(); }, "\ta\r\n\tb\r\nc", 2, 0},
        {"tab unindent", "\ta\r\n b\r\nc", rows02, [](TEditorController& e) { e.TabUnindentBlock(); }, "a\r\n b\r\nc", 2, 0},
    });
    // The ends of the selection stay with their text (the new blank of the second row is inside).
    Doc().SetText("abc\r\ndef\r\n");
    Select(0, 1, 1, 2);
    Editor.IndentBlock();
    EXPECT_EQ(Doc().GetText(), " abc\r\n def\r\n");
    EXPECT_EQ(Editor.SelText(), "bc\r\n de");
}

TEST_F(EditFixture, CharactersAndTheInputMethod) {
    Doc().SetText("");
    // A lead byte waits for its trail; the pair is one character.
    const std::string nichi = sj("日");
    Editor.Perform(WM_CHAR, static_cast<unsigned char>(nichi[0]));
    Editor.Perform(WM_CHAR, static_cast<unsigned char>(nichi[1]));
    Editor.Perform(WM_CHAR, 'a');
    EXPECT_EQ(Doc().GetText(), nichi + "a");
    // An input-method result through messages is inserted once; its echo is skipped.
    const std::string kana = sj("かな");
    Editor.Perform(WM_IME_COMPOSITION, 0, TMessageLong(kana.c_str()));
    for (const char b : kana) Editor.Perform(WM_CHAR, static_cast<unsigned char>(b));
    EXPECT_EQ(Doc().GetText(), nichi + "a" + kana);
    // A committed input-method result (as UTF-8) is inserted once, and nothing is skipped after
    // it: the character typed next arrives.
    Editor.InputUtf8("日本語");
    Editor.KeyChar('b');
    EXPECT_EQ(Doc().GetText(), nichi + "a" + kana + sj("日本語") + "b");
    // Read-only: nothing is typed.
    Editor.SetReadOnly(true);
    Editor.Perform(WM_CHAR, 'z');
    Editor.InputUtf8("z");
    Editor.KeyEnter(false);
    EXPECT_EQ(Doc().GetText(), nichi + "a" + kana + sj("日本語") + "b");
}

TEST_F(EditFixture, Clipboard) {
    // A box copy pasted into another editor keeps its shape.
    Doc().SetText("abcd\r\nefgh\r\n");
    Editor.SetSelectionMode(smBox);
    Select(0, 1, 1, 3);
    Editor.CopyToClipboard();
    EXPECT_EQ(Surface.Clipboard->Utf8, "bc\r\nfg\r\n");
    EXPECT_TRUE(Surface.Clipboard->Box);
    test::TFakeSurface otherSurface;
    otherSurface.Clipboard = Surface.Clipboard;
    TEditorController other(&otherSurface);
    other.Document().SetText("1234\r\n5678\r\n");
    other.SetRowCol(0, 2);
    other.PasteFromClipboard();
    EXPECT_EQ(other.Document().GetText(), "12bc34\r\n56fg78\r\n");
    // Text from another program arrives as Shift_JIS.
    Surface.Clipboard->SetForeignText("テキスト");
    other.Document().SetText("");
    other.PasteFromClipboard();
    EXPECT_EQ(other.Document().GetText(), sj("テキスト"));
    // A character the code page cannot hold goes through the editor's character map both ways.
    TCharMap map;
    other.SetCharMap(&map);
    Surface.Clipboard->SetForeignText("a\U0001F600b");
    other.Document().SetText("");
    other.PasteFromClipboard();
    const std::string kept = other.Document().GetText();
    ASSERT_EQ(kept.size(), 4u);
    const auto code = std::uint16_t(static_cast<unsigned char>(kept[1]) << 8 | static_cast<unsigned char>(kept[2]));
    EXPECT_EQ(map.CharOf(code), U'\U0001F600');
    other.SelectAll();
    other.CopyToClipboard();
    EXPECT_EQ(Surface.Clipboard->Utf8, "a\U0001F600b");
    // Copy with nothing selected empties the clipboard.
    Editor.DropSelection();
    Editor.Perform(WM_COPY);
    EXPECT_TRUE(Surface.Clipboard->HasText);
    EXPECT_TRUE(Surface.Clipboard->Utf8.empty());
    EXPECT_FALSE(Surface.Clipboard->Box);
    // Cut is one undo step.
    Doc().SetText("cut me");
    Editor.SetSelectionMode(smStream);
    Select(0, 0, 0, 4);
    Editor.Perform(WM_CUT);
    EXPECT_EQ(Doc().GetText(), "me");
    EXPECT_EQ(Surface.Clipboard->Utf8, "cut ");
    Editor.Undo();
    EXPECT_EQ(Doc().GetText(), "cut me");
    // Read-only: paste and cut leave the text.
    Editor.SetReadOnly(true);
    Select(0, 0, 0, 4);
    Editor.Perform(WM_CUT);
    Editor.Perform(WM_PASTE);
    EXPECT_EQ(Doc().GetText(), "cut me");
}

// Text from other programs mostly breaks its lines with LF alone; the document stores CR LF, and
// the caret goes after what is stored, pasted or put over a selection.
TEST_F(EditFixture, TheCaretLandsAfterTextWithLoneLineBreaks) {
    for (const std::string text : {"a\nb\nc", "a\rb\rc", "a\r\nb\r\nc"}) {
        SCOPED_TRACE(testing::PrintToString(text));
        Doc().SetText("12\r\n34");
        Editor.SetRowCol(0, 1);
        Surface.Clipboard->SetForeignText(text);
        Editor.PasteFromClipboard();
        EXPECT_EQ(Doc().GetText(), "1a\r\nb\r\nc2\r\n34");
        EXPECT_EQ(std::make_pair(Editor.Row(), Editor.Col()), std::make_pair(2, 1));
        // Over a selection.
        Doc().SetText("12\r\n34");
        Select(0, 1, 1, 1);
        Editor.SetSelText(text);
        EXPECT_EQ(Doc().GetText(), "1a\r\nb\r\nc4");
        EXPECT_EQ(std::make_pair(Editor.Row(), Editor.Col()), std::make_pair(2, 1));
    }
}

// A tokenizer that fails, as a damaged syntax mode might.
class FailingTokenizer : public TDocumentTokenizer {
public:
    int RetokenizeRows(TEditorScreenStrings&, int, bool) override { throw Exception("tokenizer failed"); }
    void TokenizeAllRows(TEditorScreenStrings&) override {}
};

TEST_F(EditFixture, AFailingEditClosesItsBracketsAndLocks) {
    Doc().SetText("abc");
    Doc().SetTokenizer(std::make_unique<FailingTokenizer>());
    Editor.SetRowCol(0, 3);
    EXPECT_THROW(Editor.InputUtf8("x"), Exception);
    // The text changed before the failure; the rest of the operation (placing the caret) was
    // abandoned, and the update bracket and the caret lock were closed: the editor still works.
    EXPECT_EQ(Doc().GetText(), "abcx");
    EXPECT_EQ(Doc().UpdateCount(), 0);
    EXPECT_EQ(Editor.CaretLocks(), 0);
    Doc().SetTokenizer(NewDocumentTokenizer());
    Editor.InputUtf8("y");
    EXPECT_EQ(Doc().GetText(), "abcyx");
}

TEST_F(EditFixture, RunsOfTypingAreOneUndoStep) {
    Doc().SetText("one\r\ntwo");
    auto type = [&](const std::string& Text) {
        for (const char c : Text) Editor.KeyChar(static_cast<unsigned char>(c));
    };
    Editor.SetRowCol(0, 3);
    type(" more");                  // one step
    Editor.KeyChar(0x93), Editor.KeyChar(0xFA);  // 日: a two-byte character joins it
    Editor.SetRowCol(1, 0);
    type("xy");                     // the caret moved: a new step
    Editor.KeyBackspace(), Editor.KeyBackspace();  // another kind: a new step
    Editor.InputUtf8("\u3042\u3044");  // an input-method result: typing again
    type("z");
    Editor.KeyEnter(false);         // a line break ends the run
    type("w");
    Editor.SetRowCol(0, 0);
    Editor.KeyDelete(), Editor.KeyDelete();  // Delete presses together
    EXPECT_EQ(Doc().GetText(), "e more" + sj("日") + "\r\n" + sj("あい") + "z\r\nwtwo");
    const std::vector<std::string> back = {
        "one more" + sj("日") + "\r\n" + sj("あい") + "z\r\nwtwo",  // the Deletes
        "one more" + sj("日") + "\r\n" + sj("あい") + "z\r\ntwo",   // w
        "one more" + sj("日") + "\r\n" + sj("あい") + "ztwo",         // Enter
        "one more" + sj("日") + "\r\ntwo",                             // あい z
        "one more" + sj("日") + "\r\nxytwo",                           // the Backspaces
        "one more" + sj("日") + "\r\ntwo",                             // xy
        "one\r\ntwo",                                                  // " more日"
    };
    for (const std::string& text : back) {
        ASSERT_TRUE(Editor.CanUndo());
        Editor.Undo();
        EXPECT_EQ(Doc().GetText(), text);
    }
    EXPECT_FALSE(Editor.CanUndo());
    for (std::size_t i = back.size() - 1; i-- > 0;) {  // redo goes the same way forward
        Editor.Redo();
        EXPECT_EQ(Doc().GetText(), back[i]);
    }
}

TEST_F(EditFixture, UndoBackToTheSavedTextClearsTheModifiedMark) {
    Doc().SetText("saved");
    Editor.SetModified(false);
    Editor.SetRowCol(0, 5);
    Editor.KeyChar('!');
    EXPECT_TRUE(Editor.Modified());
    Editor.Undo();
    EXPECT_FALSE(Editor.Modified());  // the saved text again
    Editor.Redo();
    EXPECT_TRUE(Editor.Modified());
    Editor.SetModified(false);        // saved with the "!"
    Editor.KeyChar('?');              // a run of typing never reaches back over the saved text
    EXPECT_TRUE(Editor.Modified());
    Editor.Undo();
    EXPECT_EQ(Doc().GetText(), "saved!");
    EXPECT_FALSE(Editor.Modified());
    Editor.Undo();
    EXPECT_TRUE(Editor.Modified());
    // A new layout of the same text keeps the saved state.
    Editor.Redo();
    Editor.SetWordWrap(!Editor.WordWrap());
    Editor.KeyChar('#');
    Editor.Undo();
    EXPECT_FALSE(Editor.Modified());
}

TEST_F(EditFixture, RandomEditingKeepsTheDocumentSoundAndUndoesToTheStart) {
    // Random typing, Enter, Tab, Backspace, Delete, selections, pastes, block indents and caret
    // moves on random documents, word wrap on and off, under every overwrite and box setting:
    // the document stays sound after each action and undoing everything gives the start back.
    const std::vector<std::string> pieces = {"a", "bc ", "\t", sj("日本"), sj("、"), "\r\n", "  ", sj("　")};
    std::mt19937 rng(11);
    for (int round = 0; round < 6; ++round) {
        std::string start;
        for (int i = int(rng() % 80); i > 0; --i) start += pieces[rng() % pieces.size()];
        Editor.WrapOption().SetWrapByte(20 + int(rng() % 12));
        Editor.SetWordWrap(round % 2);
        Doc().SetText(start);
        Doc().UndoEngine().SetMax(100000);
        Editor.SetCaret(TEditorCaret());
        Editor.Caret().SetFreeCaret(rng() % 2);
        Editor.Caret().SetAutoIndent(rng() % 2);
        for (int step = 0; step < 200; ++step) {
            const int count = Doc().GetCount();
            switch (rng() % 14) {
                case 0: Editor.InsertText(pieces[rng() % pieces.size()]); break;
                case 1: Editor.KeyEnter(rng() % 4 == 0); break;
                case 2: Editor.KeyTab({}); break;
                case 3: Editor.KeyBackspace(); break;
                case 4: Editor.KeyDelete(); break;
                case 5: Editor.SetOverwriteMode(!Editor.OverwriteMode()); break;
                case 6: Editor.SetSelectionMode(rng() % 2 ? smBox : smStream); break;
                case 7: Editor.InsertBoxText("XY\r\n" + sj("漢")); break;
                case 8: Editor.SetSelText(rng() % 2 ? std::string("z\r\nq") : std::string()); break;
                case 9:
                    if (rng() % 2)
                        Editor.IndentBlock();
                    else
                        Editor.TabUnindentBlock();
                    break;
                case 10: Editor.KeyChar(static_cast<unsigned char>(sj("漢")[rng() % 2])); break;
                default: {
                    // Move the caret, sometimes selecting.
                    const int row = count ? int(rng() % unsigned(count + 1)) : 0;
                    const int col = int(rng() % 30);
                    if (rng() % 3 == 0) {
                        Editor.StartSelection();
                        Editor.SetRowCol(row, col);
                        Editor.UpdateSelection();
                    } else {
                        Editor.DropSelection();
                        Editor.SetRowCol(row, col);
                    }
                }
            }
            ASSERT_NO_FATAL_FAILURE(test::CheckDoc(Doc())) << "round " << round << " step " << step;
        }
        Editor.DropSelection();
        while (Doc().UndoEngine().CanUndo()) Editor.Undo();
        TEditorScreenStrings fresh;  // the start text as a document holds it
        fresh.SetText(start);
        EXPECT_EQ(Doc().GetText(), fresh.GetText()) << "round " << round;
    }
}

TEST_F(EditFixture, MarksMoveWithTheText) {
    Doc().SetText("one\r\ntwo\r\n");
    Doc().SetRowMarkSet(1, 1 << 2);
    Doc().IncludeMarks(1 << 2);
    Editor.SetRowCol(1, 0);
    Editor.KeyEnter(false);  // a line break at column 0 pushes the mark down with the line
    EXPECT_EQ(Doc().RowMarkSet(2), 1 << 2);
    Editor.SetRowCol(2, 1);
    Editor.KeyEnter(false);  // in the middle the mark stays on the upper part
    EXPECT_EQ(Doc().RowMarkSet(2), 1 << 2);
}

}  // namespace
}  // namespace orvane
