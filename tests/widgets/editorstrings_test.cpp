// The lines of an editor as a string list: reading lines of wrapped text, edits as single undo
// steps with the caret after them, whole texts in and out, loading files, and the window-text
// messages. Offscreen, with a fixed 8 x 16 cell.
#include "document/docfixture.h"
#include "widgets/editor.h"
#include "editor/lines.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace orvane {
namespace {

using test::Dump;

struct LinesFixture : testing::Test {
    TEditor Editor;
    TEditorStrings Lines{Editor};

    LinesFixture() {
        Editor.SetFixedMetrics(8, 16);
        Editor.resize(400, 300);
        Editor.show();
        QApplication::processEvents();
    }
    TEditorScreenStrings& Doc() { return Editor.Document(); }
    void Wrap(int WrapByte) {
        Editor.WrapOption().SetWrapByte(WrapByte);
        Editor.SetWordWrap(true);
    }
    std::pair<int, int> Caret() const { return {Editor.Row(), Editor.Col()}; }
    std::size_t UndoSteps() { return Doc().UndoEngine().UndoList.size(); }
};

TEST_F(LinesFixture, AWrappedLineIsOneLineWhole) {
    Wrap(80);
    const std::string longLine(200, 'x');
    Doc().SetText("first\r\n" + longLine + "\r\nlast");
    ASSERT_EQ(Doc().GetCount(), 5);  // the 200 bytes take three rows
    EXPECT_EQ(Lines.Count(), 3);
    EXPECT_EQ(Lines.Get(0), "first");
    EXPECT_EQ(Lines.Get(1), longLine);
    EXPECT_EQ(Lines.Get(2), "last");
    EXPECT_EQ(Lines.IndexOf("last"), 2);
    EXPECT_EQ(Lines.GetTextStr(), "first\r\n" + longLine + "\r\nlast");
    // Line indexes outside the lines: Get, Put and Delete take 0..Count-1, Insert 0..Count.
    EXPECT_THROW(Lines.Get(3), EStringListError);
    EXPECT_THROW(Lines.Get(-1), EStringListError);
    EXPECT_THROW(Lines.Put(3, "y"), EStringListError);
    EXPECT_THROW(Lines.Delete(3), EStringListError);
    EXPECT_THROW(Lines.Insert(4, "y"), EStringListError);
    EXPECT_EQ(Lines.GetTextStr(), "first\r\n" + longLine + "\r\nlast");
    EXPECT_EQ(UndoSteps(), 0u);
}

TEST_F(LinesFixture, EachEditIsOneUndoStepWithTheCaretAfterIt) {
    const std::string a50(50, 'a'), a25(25, 'a');
    struct Case {
        const char* Name;
        int WrapByte;  // 0: word wrap off
        std::string Before;
        std::function<void(TEditorStrings&)> Edit;
        std::string After;
        std::pair<int, int> Caret;
    };
    const Case cases[] = {
        {"add to empty", 0, "", [](TEditorStrings& l) { EXPECT_EQ(l.Add("x"), 0); }, "x\r\n", {1, 0}},
        {"add after no final break", 0, "x\r\ny", [](TEditorStrings& l) { EXPECT_EQ(l.Add("z"), 2); },
         "x\r\ny\r\nz", {2, 1}},
        {"add after final break", 0, "x\r\n", [](TEditorStrings& l) { l.Add("z"); }, "x\r\nz\r\n", {2, 0}},
        {"insert first", 0, "a\r\nb", [](TEditorStrings& l) { l.Insert(0, "n"); }, "n\r\na\r\nb", {1, 0}},
        {"insert middle", 0, "a\r\nb", [](TEditorStrings& l) { l.Insert(1, "n"); }, "a\r\nn\r\nb", {2, 0}},
        {"insert at count adds", 0, "a\r\nb", [](TEditorStrings& l) { l.Insert(2, "n"); }, "a\r\nb\r\nn", {2, 1}},
        {"put", 0, "a\r\nb", [](TEditorStrings& l) { l.Put(0, "xy"); }, "xy\r\nb", {1, 0}},
        {"put last without break", 0, "a\r\nb", [](TEditorStrings& l) { l.Put(1, "xy"); }, "a\r\nxy", {1, 2}},
        // A lone LF becomes CR LF in the document; the caret still lands after the new text.
        {"put with a lone LF", 0, "a\r\nb", [](TEditorStrings& l) { l.Put(0, "p\nq"); }, "p\r\nq\r\nb", {2, 0}},
        {"delete first", 0, "a\r\nb\r\n", [](TEditorStrings& l) { l.Delete(0); }, "b\r\n", {0, 0}},
        {"delete last", 0, "a\r\nb", [](TEditorStrings& l) { l.Delete(1); }, "a\r\n", {1, 0}},
        {"put a wrapped line", 20, a50 + "\r\nb", [](TEditorStrings& l) { l.Put(0, "c"); }, "c\r\nb", {1, 0}},
        {"delete a wrapped line", 20, "b\r\n" + a50 + "\r\nc",
         [](TEditorStrings& l) { l.Delete(1); }, "b\r\nc", {1, 0}},
        {"insert after a wrapped line", 20, a50 + "\r\nb",
         [](TEditorStrings& l) { l.Insert(1, "n"); }, a50 + "\r\nn\r\nb", {4, 0}},
        {"add after a wrapped last line", 20, a25, [](TEditorStrings& l) { l.Add("z"); }, a25 + "\r\nz", {2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Editor.SetWordWrap(false);
        if (c.WrapByte) Wrap(c.WrapByte);
        Lines.SetTextStr(c.Before);
        if (Doc().GetCount() > 0) Editor.SelectAll();
        c.Edit(Lines);
        EXPECT_EQ(Lines.GetTextStr(), c.After);
        EXPECT_EQ(Caret(), c.Caret);
        EXPECT_EQ(Editor.SelectionState(), ssNoSelection);
        test::CheckDoc(Doc());
        EXPECT_EQ(UndoSteps(), 1u);
        Doc().Undo();
        EXPECT_EQ(Lines.GetTextStr(), c.Before);
    }
}

TEST_F(LinesFixture, WholeTextsInAndOut) {
    struct Case {
        std::string Text;
        std::string Rows;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", "a|b|"},        // a final break gives no empty last row
        {"a\nb\rc", "a|b|c$"},         // any break; no final break: end of text
        {"a\r\n\r\n", "a||"},
        {"", ""},                      // no rows at all
        {std::string("a\0b", 3), std::string("a\0b$", 4)},  // a zero byte is text
    };
    for (const Case& c : cases) {
        Lines.Add("old");  // an undo step that the new text ends
        Lines.SetTextStr(c.Text);
        EXPECT_EQ(Dump(Doc()), c.Rows);
        EXPECT_FALSE(Doc().UndoEngine().CanUndo());
        EXPECT_EQ(Caret(), std::make_pair(0, 0));
    }
    Lines.SetTextStr("x\ny");
    EXPECT_EQ(Lines.GetTextStr(), "x\r\ny");

    TStringList source;
    source.Add("one");
    source.Add("two");
    Lines.Assign(source);
    EXPECT_EQ(Lines.GetTextStr(), "one\r\ntwo\r\n");
    EXPECT_EQ(Caret(), std::make_pair(2, 0));  // after the last row

    Lines.Clear();
    EXPECT_EQ(Doc().GetCount(), 0);
    EXPECT_EQ(Lines.Count(), 0);
}

TEST_F(LinesFixture, UpdateBracketHoldsTheDocumentAndRepaintsOnce) {
    Lines.BeginUpdate();
    Lines.BeginUpdate();
    Lines.Add("a");
    Lines.Add("b");
    Lines.EndUpdate();
    EXPECT_GT(Doc().UpdateCount(), 0);
    bool repainted = false;
    Editor.OnInvalidate = [&](const QRect& Area, int) { repainted |= Area == Editor.viewport()->rect(); };
    Lines.EndUpdate();
    EXPECT_EQ(Doc().UpdateCount(), 0);
    EXPECT_TRUE(repainted);
    EXPECT_EQ(Lines.GetTextStr(), "a\r\nb\r\n");
    EXPECT_EQ(UndoSteps(), 2u);
}

struct LoadFixture : LinesFixture {
    QTemporaryDir Dir;
    std::string Write(const std::string& Name, const std::string& Bytes) {
        const std::string path = Dir.filePath(QString::fromStdString(Name)).toStdString();
        std::ofstream(path, std::ios::binary) << Bytes;
        return path;
    }
};

TEST_F(LoadFixture, LoadsBytesUpToCtrlZ) {
    struct Case {
        const char* Name;
        std::string Bytes;
        std::string Text;
    };
    const std::string a8191(8191, 'a');
    const Case cases[] = {
        {"Ctrl+Z ends the text", "ab\r\ncd\x1A" "ef\r\n", "ab\r\ncd"},
        {"CR LF across the block boundary", a8191 + "\r\nb\r\n", a8191 + "\r\nb\r\n"},
        {"Ctrl+Z in the second block", a8191 + "\r\nb\x1A\r\n", a8191 + "\r\nb"},
        {"lone CR and LF", "a\rb\nc", "a\r\nb\r\nc"},
        {"zero bytes are text", std::string("a\0b\r\n", 5), std::string("a\0b\r\n", 5)},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Lines.Add("old");
        Lines.LoadFromFile(Write("f.txt", c.Bytes));
        EXPECT_EQ(Lines.GetTextStr(), c.Text);
        EXPECT_FALSE(Doc().UndoEngine().CanUndo());
        EXPECT_EQ(Caret(), std::make_pair(0, 0));
    }
    Lines.LoadFromFile(Write("f.txt", a8191 + "\r\nb"));
    EXPECT_EQ(Lines.Count(), 2);  // no empty line between the two halves of the break
    EXPECT_EQ(Lines.Get(1), "b");
}

TEST_F(LoadFixture, WrapsWhatItLoads) {
    Wrap(20);
    Lines.LoadFromFile(Write("f.txt", std::string(50, 'a') + "\r\nb"));
    EXPECT_EQ(Doc().GetCount(), 4);
    EXPECT_EQ(Lines.Count(), 2);
    EXPECT_EQ(Lines.Get(0), std::string(50, 'a'));
    test::CheckDoc(Doc());
}

TEST_F(LoadFixture, AFileThatCannotBeReadLeavesTheDocument) {
    Lines.SetTextStr("keep\r\n");
    Lines.Add("me");
    for (const std::string& path : {Dir.filePath("missing.txt").toStdString(), Dir.path().toStdString()}) {
        SCOPED_TRACE(path);
        EXPECT_THROW(Lines.LoadFromFile(path), EFOpenError);
        EXPECT_EQ(Lines.GetTextStr(), "keep\r\nme\r\n");
        EXPECT_TRUE(Doc().UndoEngine().CanUndo());
        EXPECT_EQ(Doc().UpdateCount(), 0);
    }
}

TEST_F(LinesFixture, GetTextCopiesWhatFitsAndTerminates) {
    Lines.SetTextStr("abcdefghij\r\nklm");  // 15 bytes
    bool handled = false;
    EXPECT_EQ(Lines.WindowTextMessage(WM_GETTEXTLENGTH, 0, 0, handled), 15);
    EXPECT_TRUE(handled);
    struct Case {
        std::size_t Size;
        std::string Copied;
    };
    const Case cases[] = {
        {0, ""}, {1, ""}, {10, "abcdefghi"}, {11, "abcdefghij"}, {12, "abcdefghij\r"},
        {16, "abcdefghij\r\nklm"}, {100, "abcdefghij\r\nklm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Size);
        std::string buffer(120, '#');
        const TMessageLong n = Lines.WindowTextMessage(WM_GETTEXT, c.Size, TMessageLong(buffer.data()), handled);
        EXPECT_EQ(n, TMessageLong(c.Copied.size()));
        EXPECT_EQ(buffer.substr(0, c.Copied.size()), c.Copied);
        if (c.Size == 0) {
            EXPECT_EQ(buffer[0], '#');  // nothing written
        } else {
            EXPECT_EQ(buffer[c.Copied.size()], '\0');
            EXPECT_EQ(buffer[c.Copied.size() + 1], '#');
        }
    }
    EXPECT_EQ(Lines.WindowTextMessage(WM_GETTEXT, 10, 0, handled), 0);  // no buffer
}

TEST_F(LinesFixture, SetTextAndDialogCodes) {
    bool handled = false;
    EXPECT_EQ(Lines.WindowTextMessage(WM_SETTEXT, 0, TMessageLong("one\r\ntwo"), handled), 1);
    EXPECT_TRUE(handled);
    EXPECT_EQ(Lines.GetTextStr(), "one\r\ntwo");
    Lines.WindowTextMessage(WM_SETTEXT, 0, 0, handled);  // no text: empty
    EXPECT_EQ(Doc().GetCount(), 0);

    Lines.SetTextStr("kept");
    Editor.SetReadOnly(true);
    EXPECT_EQ(Lines.WindowTextMessage(WM_SETTEXT, 0, TMessageLong("new"), handled), 0);
    EXPECT_TRUE(handled);
    EXPECT_EQ(Lines.GetTextStr(), "kept");
    // The Lines operations themselves do not look at ReadOnly.
    Lines.Put(0, "put");
    EXPECT_EQ(Lines.GetTextStr(), "put");

    const TMessageLong base = DLGC_WANTARROWS | DLGC_WANTCHARS;
    EXPECT_EQ(Lines.WindowTextMessage(WM_GETDLGCODE, 0, 0, handled), base | DLGC_WANTTAB | DLGC_WANTALLKEYS);
    Editor.SetWantTabs(false);
    EXPECT_EQ(Lines.WindowTextMessage(WM_GETDLGCODE, 0, 0, handled), base | DLGC_WANTALLKEYS);
    Editor.SetWantReturns(false);
    EXPECT_EQ(Lines.WindowTextMessage(WM_GETDLGCODE, 0, 0, handled), base);

    Lines.WindowTextMessage(WM_PAINT, 0, 0, handled);
    EXPECT_FALSE(handled);
}

}  // namespace
}  // namespace orvane
