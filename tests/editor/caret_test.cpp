// The caret, the selection and scrolling of the editor, driven by its key and mouse handlers and
// through Perform, on a recording surface with a fixed 8 x 16 cell.
#include "document/docfixture.h"
#include "editor/controller.h"
#include "editor/fakesurface.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <sstream>

namespace orvane {
namespace {

using test::sj;

struct CaretFixture : testing::Test {
    test::TFakeSurface Surface;
    TEditorController Editor{&Surface};

    CaretFixture() { test::ShowEditor(Editor, Surface, 40, 10, true); }
    TEditorScreenStrings& Doc() { return Editor.Document(); }

    // Keys as "S-Right C-End PgDn": S- Shift, C- Ctrl, R- auto-repeat; sent through Perform.
    void Keys(const std::string& Script) {
        std::istringstream words(Script);
        std::string word;
        while (words >> word) {
            TKeyModifiers mods = kmNone;
            bool repeat = false;
            while (word.size() > 2 && word[1] == '-') {
                if (word[0] == 'S') mods |= kmShift;
                if (word[0] == 'C') mods |= kmCtrl;
                if (word[0] == 'A') mods |= kmAlt;
                if (word[0] == 'R') repeat = true;
                word = word.substr(2);
            }
            static const std::map<std::string, unsigned> keys = {
                {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP},   {"Down", VK_DOWN},
                {"Home", VK_HOME}, {"End", VK_END},     {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT}};
            Editor.SetMessageKeyState(mods);
            Editor.Perform(WM_KEYDOWN, keys.at(word), repeat ? TMessageLong(1) << 30 : 0);
        }
        Editor.SetMessageKeyState(kmNone);
    }
    TPoint CellPoint(int Row, int Col) const {
        return {Editor.TextLeft() + (Col - Editor.TopCol()) * 8 + 1, Editor.TextTop() + (Row - Editor.TopRow()) * 16 + 4};
    }
    std::pair<int, int> Caret() const { return {Editor.Row(), Editor.Col()}; }
};

TEST_F(CaretFixture, VerticalMovesAndTheWantedColumn) {
    const std::string longRow(40, 'x');
    Doc().SetText(longRow + "\r\n" + std::string(10, 'y') + "\r\n" + longRow + "\r\n");
    Editor.Caret().SetFreeCaret(false);
    Editor.SetRowCol(0, 30);
    Keys("Down");
    EXPECT_EQ(Caret(), std::make_pair(1, 10));
    Keys("Down");
    EXPECT_EQ(Caret(), std::make_pair(2, 10));  // nothing remembered without KeepCaret

    Editor.Caret().SetKeepCaret(true);
    Editor.SetRowCol(0, 30);
    Keys("Down Down");
    EXPECT_EQ(Caret(), std::make_pair(2, 30));
    Keys("C-End");
    EXPECT_EQ(Caret(), std::make_pair(3, 0));  // the row after the last line break
    Keys("Down");
    EXPECT_EQ(Caret(), std::make_pair(3, 0));
}

TEST_F(CaretFixture, TwoByteCharactersAndTabs) {
    struct Case {
        const char* name;
        std::string text;
        bool inTab;
        int row, col;
        const char* keys;
        int wantRow, wantCol;
    };
    const std::vector<Case> cases = {
        {"down onto a second byte", "abc\r\n" + sj("日本"), false, 0, 3, "Down", 1, 2},
        {"right onto a second byte", sj("日本"), false, 0, 0, "Right", 0, 2},
        {"left over a two-byte character", sj("日本"), false, 0, 4, "Left", 0, 2},
        {"right before a tab skips it", "a\tb", false, 0, 1, "Right", 0, 8},
        {"right into a tab with InTab", "a\tb", true, 0, 1, "Right", 0, 2},
        {"left out of a tab", "a\tb", false, 0, 8, "Left", 0, 1},
        {"end of a row", "abc", false, 0, 0, "End", 0, 3},
        {"home", "abc", false, 0, 2, "Home", 0, 0},
        {"right at the end stays without NextLine", "ab\r\ncd", false, 0, 2, "Right", 0, 3},
        {"word right", "foo bar", false, 0, 0, "C-Right", 0, 4},
        {"word left", "foo bar", false, 0, 6, "C-Left", 0, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Doc().SetText(c.text);
        Editor.Caret().SetInTab(c.inTab);
        Editor.Caret().SetFreeCaret(true);
        Editor.SetRowCol(c.row, c.col);
        Keys(c.keys);
        EXPECT_EQ(Caret(), std::make_pair(c.wantRow, c.wantCol));
    }
    Editor.Caret().SetNextLine(true);
    Editor.Caret().SetFreeCaret(false);
    Doc().SetText("ab\r\ncd");
    Editor.SetRowCol(0, 2);
    Keys("Right");
    EXPECT_EQ(Caret(), std::make_pair(1, 0));
    Keys("Left");
    EXPECT_EQ(Caret(), std::make_pair(0, 2));
}

TEST_F(CaretFixture, WrappedRows) {
    Editor.WrapOption().SetWrapByte(20);
    Editor.SetWordWrap(true);
    Doc().SetText(std::string(19, 'a') + sj("日") + "bc");
    ASSERT_EQ(Doc().GetCount(), 2);
    Editor.SetRowCol(0, 0);
    Keys("End");
    EXPECT_EQ(Caret(), std::make_pair(0, 18));  // on the last column of a wrapped row, not after it
    Keys("Right");
    EXPECT_EQ(Caret(), std::make_pair(1, 0));  // a wrapped row continues into the next
    Keys("Left");
    EXPECT_EQ(Caret(), std::make_pair(0, 18));
}

TEST_F(CaretFixture, EveryNewLayoutKeepsTheCaretTheSelectionAndTheTopLineInTheText) {
    // 400 lines, every third one long enough to wrap at 20 bytes into four rows.
    std::string text;
    for (int i = 0; i < 400; ++i) text += (i % 3 ? "line " + std::to_string(i) : std::string(70, char('a' + i % 26))) + "\r\n";
    Doc().SetText(text);
    auto lineOf = [&](int Row) { return Doc().RowToLineCount(Row); };
    // From byte 60 of line 294 (a long one) to byte 3 of line 295, line 293 at the top.
    Editor.SetTopRow(293);
    Editor.SetRowCol(294, 60);
    Editor.StartSelection();
    Editor.SetRowCol(295, 3);
    Editor.UpdateSelection();
    const std::string selected = Editor.SelText();
    const int start = Editor.SelStart();
    ASSERT_EQ(selected, std::string(10, 'a' + 294 % 26) + "\r\nlin");
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"wrap on", [&] { Editor.WrapOption().SetWrapByte(20); Editor.SetWordWrap(true); }},
        {"another width", [&] { Editor.WrapOption().SetWrapByte(30); }},
        {"another tab width", [&] { Editor.Caret().SetTabSpaceCount(4); }},
        {"wrap off", [&] { Editor.SetWordWrap(false); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        change();
        EXPECT_EQ(Editor.SelText(), selected);
        EXPECT_EQ(Editor.SelStart(), start);
        EXPECT_EQ(lineOf(Editor.Row()), 295);
        const auto place = Doc().PlaceOf(Editor.Row(), Editor.Col());
        EXPECT_EQ(place.Line, 295);
        EXPECT_EQ(place.Byte, 3);
        EXPECT_EQ(lineOf(Editor.TopRow()), 293);
        EXPECT_EQ(Doc().PlaceOf(Editor.TopRow(), 0).Byte, 0);
    }
    // The next keystroke goes where the caret is.
    Editor.SetSelLength(0);
    Editor.SetRowCol(295, 3);
    Editor.WrapOption().SetWrapByte(20);
    Editor.SetWordWrap(true);
    Editor.InsertText("X");
    EXPECT_EQ(Editor.Lines().Get(295), "linXe 295");
}

TEST_F(CaretFixture, PagesAndScrolling) {
    test::ResizeSurface(Editor, Surface, Editor.TextLeft() + 40 * 8 + 4, Editor.TextTop() + 21 * 16 + 5);
    ASSERT_EQ(Editor.VisibleRowCount(), 21);
    std::string text;
    for (int i = 0; i < 100; ++i) text += "row " + std::to_string(i) + "\r\n";
    Doc().SetText(text);
    Editor.SetRowCol(5, 0);
    Keys("PgDn");
    EXPECT_EQ(Editor.TopRow(), 20);
    EXPECT_EQ(Caret(), std::make_pair(25, 0));
    Keys("PgUp PgUp");
    EXPECT_EQ(Editor.TopRow(), 0);
    EXPECT_EQ(Caret(), std::make_pair(0, 0));  // at the top a page up goes to the first row
    Keys("C-End");
    EXPECT_EQ(Caret(), std::make_pair(100, 0));
    EXPECT_EQ(Editor.TopRow(), 80);  // the caret is kept in view

    Editor.Caret().SetLockScroll(true);
    Editor.Perform(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(Editor.TopRow(), 79);
    EXPECT_EQ(Editor.Row(), 99);  // the caret moves with the view
    Editor.Perform(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(Editor.TopRow(), 0);
}

TEST_F(CaretFixture, SelectionsByKeys) {
    Doc().SetText(sj("日") + "a\r\nline two\r\n");
    Editor.SetRowCol(0, 0);
    Keys("S-Right");
    EXPECT_EQ(Editor.SelText(), sj("日"));
    Keys("S-Right");
    EXPECT_EQ(Editor.SelText(), sj("日") + "a");
    EXPECT_EQ(Editor.SelLength(), 3);
    Keys("S-Down");
    EXPECT_EQ(Editor.SelText(), sj("日") + "a\r\nlin");
    EXPECT_EQ(Editor.SelLength(), 8);
    Keys("Right");  // a move without Shift drops the selection
    EXPECT_FALSE(Editor.Selected());
    Editor.SelectAll();
    EXPECT_EQ(Editor.SelText(), Doc().GetText());
    EXPECT_EQ(Editor.SelLength(), int(Doc().GetTextLen()));
    EXPECT_EQ(Editor.SelStart(), 0);
}

TEST_F(CaretFixture, SelStartAndSelLength) {
    Doc().SetText("abc\r\nabcde");
    Editor.SetSelStart(5);
    EXPECT_EQ(Caret(), std::make_pair(1, 0));
    Editor.SetSelLength(2);
    EXPECT_EQ(Editor.SelText(), "ab");
    EXPECT_EQ(Editor.SelStart(), 5);
    EXPECT_EQ(Editor.SelLength(), 2);
    Editor.SetSelLength(0);
    EXPECT_FALSE(Editor.Selected());

    // Every offset at a character start reads back; the rest of a text is selected exactly.
    Doc().SetText("ab\r\n" + sj("日本") + "\tx\r\n\r\nend");
    const std::string text = Doc().GetText();
    for (int offset = 0; offset <= int(text.size()); ++offset) {
        const bool insideBreak = offset > 0 && text[std::size_t(offset) - 1] == '\r';
        const bool insideChar = offset > 0 && offset < int(text.size()) && CharStartOf(text, std::size_t(offset)) != std::size_t(offset);
        if (insideBreak || insideChar) continue;
        SCOPED_TRACE(offset);
        Editor.SetSelStart(offset);
        EXPECT_EQ(Editor.SelStart(), offset);
        Editor.SetSelLength(int(text.size()) - offset);
        EXPECT_EQ(Editor.SelText(), text.substr(std::size_t(offset)));
    }
}

TEST_F(CaretFixture, BoxSelectionOverShortRows) {
    Doc().SetText("abcdef\r\nab\r\n" + sj("日本語") + "\r\n");
    Editor.SetSelectionMode(smBox);
    Editor.SetRowCol(0, 1);
    Editor.StartSelection();
    Editor.SetRowCol(2, 4);
    Editor.UpdateSelection();
    // Columns 1-3 of each row: a short row gives what it has, a two-byte character that starts
    // inside the box is taken whole.
    EXPECT_EQ(Editor.SelText(), "bcd\r\nb\r\n" + sj("本") + "\r\n");
}

TEST_F(CaretFixture, AltSelectsABoxWithTheMouseAndWithShiftAndTheArrows) {
    Doc().SetText("abcdef\r\nabcdef\r\nabcdef\r\n");
    Editor.SetRowCol(0, 1);
    Keys("A-S-Right A-S-Right A-S-Down A-S-Down");
    EXPECT_EQ(Editor.SelectionMode(), smBox);
    EXPECT_EQ(Editor.SelText(), "bc\r\nbc\r\nbc\r\n");
    Keys("S-Right");  // without Alt: a stream again
    EXPECT_EQ(Editor.SelectionMode(), smStream);
    EXPECT_EQ(Editor.SelText(), "bcdef\r\nabcdef\r\nabcd");
    // Alt+drag from row 0 column 2 to row 1 column 4.
    Editor.MouseDown(mbLeft, kmAlt, CellPoint(0, 2));
    Editor.MouseMove(mbLeft, kmAlt, CellPoint(1, 4));
    Editor.MouseUp(mbLeft, kmAlt, CellPoint(1, 4));
    EXPECT_EQ(Editor.SelectionMode(), smBox);
    EXPECT_EQ(Editor.SelText(), "cd\r\ncd\r\n");
    Editor.MouseDown(mbLeft, kmNone, CellPoint(2, 0));
    Editor.MouseUp(mbLeft, kmNone, CellPoint(2, 0));
    EXPECT_EQ(Editor.SelectionMode(), smStream);
    // The box mode chosen as a mode stays whatever Alt does.
    Editor.SetSelectionMode(smBox);
    Keys("A-S-Right Left");
    EXPECT_EQ(Editor.SelectionMode(), smBox);
}

TEST_F(CaretFixture, MouseSelectsAndDragsBack) {
    Doc().SetText("hello world\r\nsecond row\r\nlast");
    // Press on "w", drag to "row".
    const TPoint from = CellPoint(0, 6), to = CellPoint(1, 10);
    Editor.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLong(from.X, from.Y));
    Editor.Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLong(to.X, to.Y));
    Editor.Perform(WM_LBUTTONUP, 0, MakeLong(to.X, to.Y));
    EXPECT_EQ(Editor.SelText(), "world\r\nsecond row");
    // Pressing inside the selection and releasing there again only drops it.
    const TPoint inside = CellPoint(0, 8);
    Editor.MouseDown(mbLeft, kmNone, inside);
    EXPECT_EQ(Editor.DragState(), dsPressed);
    Editor.MouseUp(mbLeft, kmNone, inside);
    EXPECT_FALSE(Editor.Selected());
    EXPECT_EQ(Editor.DragState(), dsNone);
    // Shift+click extends from the caret.
    Editor.SetRowCol(0, 0);
    Editor.MouseDown(mbLeft, kmShift, CellPoint(0, 5));
    Editor.MouseUp(mbLeft, kmShift, CellPoint(0, 5));
    EXPECT_EQ(Editor.SelText(), "hello");
}

TEST_F(CaretFixture, TheMouseCursorFollowsThePointerAndTheDrag) {
    Doc().SetText("hello world\r\nsecond");
    TEditorCursors& cursors = Editor.Caret().Cursors();
    cursors.SetInSelCursor(crArrow);
    cursors.SetTopMarginCursor(crUpArrow);
    struct Hover {
        const char* What;
        TPoint At;
        TCursor Expected;
    };
    const Hover hovers[] = {
        {"left margin", {Editor.TextLeft() - 2, Editor.TextTop() + 4}, cursors.LeftMarginCursor()},
        {"top margin", {Editor.TextLeft() + 4, Editor.TextTop() - 1}, crUpArrow},
        {"text", CellPoint(1, 2), cursors.DefaultCursor()},
        {"beyond the text", CellPoint(5, 30), cursors.DefaultCursor()},
    };
    for (const Hover& h : hovers) {
        Editor.MouseMove(mbNone, kmNone, h.At);
        EXPECT_EQ(Surface.Cursor, h.Expected) << h.What;
    }
    // Over a selection, dragging it, and copying it with Ctrl held.
    Editor.SetRowCol(0, 0);
    Editor.StartSelection();
    Editor.SetRowCol(0, 5);
    Editor.UpdateSelection();
    Editor.MouseMove(mbNone, kmNone, CellPoint(0, 2));
    EXPECT_EQ(Surface.Cursor, crArrow);
    Surface.Focus = false;
    Editor.MouseDown(mbLeft, kmNone, CellPoint(0, 2));
    EXPECT_TRUE(Surface.Focus) << "a press takes the focus";
    Editor.MouseMove(mbLeft, kmNone, CellPoint(1, 2));
    EXPECT_EQ(Surface.Cursor, cursors.DragSelCursor());
    Editor.KeyDown(VK_CONTROL, kmCtrl, false);
    EXPECT_EQ(Surface.Cursor, cursors.DragSelCopyCursor());
    Editor.CtrlReleased();
    EXPECT_EQ(Surface.Cursor, cursors.DragSelCursor());
    Editor.MouseUp(mbLeft, kmNone, CellPoint(1, 2));
    EXPECT_EQ(Doc().GetText(), " world\r\nsehellocond");
    EXPECT_FALSE(Editor.Selected());
    EXPECT_EQ(Surface.Cursor, cursors.DefaultCursor());  // over the text, no longer a drag
    // Escape ends a drag without moving anything.
    Editor.SetRowCol(0, 0);
    Editor.StartSelection();
    Editor.SetRowCol(0, 3);
    Editor.UpdateSelection();
    Editor.MouseDown(mbLeft, kmNone, CellPoint(0, 1));
    Editor.MouseMove(mbLeft, kmNone, CellPoint(1, 4));
    Editor.KeyDown(VK_ESCAPE, kmNone, false);
    EXPECT_EQ(Editor.DragState(), dsNone);
    EXPECT_EQ(Surface.Cursor, cursors.DefaultCursor());
    Editor.MouseUp(mbLeft, kmNone, CellPoint(1, 4));
    EXPECT_EQ(Doc().GetText(), " world\r\nsehellocond");
}

TEST_F(CaretFixture, RowSelectionInTheMargin) {
    Doc().SetText("one\r\ntwo\r\nlast");
    const int margin = Editor.TextLeft() - 4;
    auto press = [&](int row) { return MakeLong(margin, Editor.TextTop() + row * 16 + 4); };
    Editor.Perform(WM_LBUTTONDOWN, MK_LBUTTON, press(0));
    EXPECT_EQ(Editor.SelText(), "one\r\n");
    Editor.Perform(WM_MOUSEMOVE, MK_LBUTTON, press(1));
    EXPECT_EQ(Editor.SelText(), "one\r\ntwo\r\n");
    Editor.Perform(WM_LBUTTONUP, 0, press(1));
    // The last row without a final line break: from its end back to its start.
    Editor.Perform(WM_LBUTTONDOWN, MK_LBUTTON, press(2));
    Editor.Perform(WM_LBUTTONUP, 0, press(2));
    EXPECT_EQ(Editor.SelText(), "last");
    EXPECT_EQ(Caret(), std::make_pair(2, 0));
}

TEST_F(CaretFixture, TokensAndWordsUnderThePointer) {
    Editor.View().SetUrl(true);
    Doc().SetText("see http://example.jp/x now");
    std::string token;
    TTokenKind kind = 0;
    ASSERT_TRUE(Editor.TokenAtPos(CellPoint(0, 10), token, kind));
    EXPECT_EQ(token, "http://example.jp/x");
    EXPECT_EQ(kind, tokUrl);
    Editor.SelectTokenAtPos(CellPoint(0, 10));
    EXPECT_EQ(Editor.SelText(), "http://example.jp/x");
    Editor.SelectWordAtPos(CellPoint(0, 13));  // a run of one character class
    EXPECT_EQ(Editor.SelText(), "example");
    EXPECT_FALSE(Editor.TokenAtPos(CellPoint(0, 30), token, kind));  // beyond the text
}

TEST_F(CaretFixture, TheWheelScrollsThreeRowsANotch) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "row " + std::to_string(i) + "\r\n";
    Doc().SetText(text);
    Editor.Wheel(-120);
    EXPECT_EQ(Editor.TopRow(), 3);
    Editor.Wheel(-60);  // half a notch waits for the other half
    EXPECT_EQ(Editor.TopRow(), 3);
    Editor.Wheel(-60);
    EXPECT_EQ(Editor.TopRow(), 6);
    Editor.Wheel(-100);  // most of a notch down, then a whole notch back up: up at once
    Editor.Wheel(120);
    EXPECT_EQ(Editor.TopRow(), 3);
    Editor.Wheel(120);
    EXPECT_EQ(Editor.TopRow(), 0);
    EXPECT_EQ(Caret(), std::make_pair(0, 0));  // the caret stays where it was

    Editor.Caret().SetLockScroll(true);
    Editor.SetRowCol(5, 0);
    Editor.Wheel(-120);
    EXPECT_EQ(Editor.TopRow(), 3);
    EXPECT_EQ(Caret(), std::make_pair(8, 0));  // the caret moves with the view

    // While the mouse holds a selection the wheel does nothing.
    Editor.MouseDown(mbLeft, kmNone, CellPoint(9, 0));
    Editor.Wheel(-120);
    EXPECT_EQ(Editor.TopRow(), 3);
    Editor.MouseUp(mbLeft, kmNone, CellPoint(9, 0));
}

TEST_F(CaretFixture, NewsOfTheCaretTheSelectionTheViewAndTheText) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "row " + std::to_string(i) + "\r\n";
    Doc().SetText(text);
    Editor.SetRowCol(0, 0);
    using N = TEditorNews;
    auto news = [&] {
        auto out = Surface.NewsReceived;
        Surface.ClearRecords();
        return out;
    };
    using List = std::vector<std::pair<TEditorNews, bool>>;
    news();
    Keys("S-Right");
    EXPECT_EQ(news(), (List{{N::CaretMoved, false}, {N::SelectionChange, true}}));
    Keys("Right");
    EXPECT_EQ(news(), (List{{N::SelectionChange, false}, {N::CaretMoved, false}}));
    Editor.SetTopRow(5);
    EXPECT_EQ(news(), (List{{N::TopRowChange, false}}));
    Editor.SetTopRow(5);
    Editor.SetSelectionMode(smStream);
    EXPECT_TRUE(news().empty()) << "nothing changed";
    Editor.SetSelectionMode(smBox);
    EXPECT_EQ(news(), (List{{N::SelectionModeChange, false}}));
    Editor.SetTopRow(0);
    news();
    Editor.InsertText("x");
    const List typed = news();
    EXPECT_EQ(std::count(typed.begin(), typed.end(), std::make_pair(N::Change, false)), 1);
    EXPECT_EQ(typed.back(), std::make_pair(N::CaretMoved, false));
    EXPECT_TRUE(Editor.Modified());

    // An edit through another editor of the document: this one, without the focus, hears of the
    // change and lets go of a selection that may name rows that are gone.
    test::TFakeSurface otherSurface;
    TEditorController other(&otherSurface);
    other.AttachTo(Editor);
    Surface.Focus = false;
    Keys("S-Down");
    news();
    other.SetRowCol(0, 0);
    other.InputUtf8("y");
    EXPECT_EQ(Doc().RowView(0), "yroxw 0");
    const List heard = news();
    EXPECT_EQ(std::count(heard.begin(), heard.end(), std::make_pair(N::Change, false)), 1);
    EXPECT_FALSE(Editor.Selected());
}

// A row's repaint covers the underline's pixel row below its text.
TEST_F(CaretFixture, MovingTheCaretRepaintsTheRowUnderlineItLeaves) {
    Editor.Marks().Underline().SetVisible(true);
    ASSERT_EQ(Editor.RowHeight(), 17);  // the underline has a pixel row of its own below the text
    Doc().SetText("one\r\ntwo\r\nthree\r\nfour\r\n");
    Editor.SetRowCol(1, 0);
    Surface.ClearRecords();
    Keys("Down Down");
    // The line under row 1 is drawn at the pixel row after its text.
    const int x = Editor.TextLeft() + 4, y = Editor.TextTop() + 1 * Editor.RowHeight() + Editor.FontHeight();
    const std::vector<TRect> areas = Surface.Invalidated();
    EXPECT_TRUE(std::any_of(areas.begin(), areas.end(), [&](const TRect& a) { return a.Contains(x, y); }))
        << "the old underline stays on the screen";
}

TEST_F(CaretFixture, RandomKeysAndClicksKeepTheCaretOnTheText) {
    // Random documents (word wrap on and off) and random keys, clicks, drags and scroll
    // messages: the caret stays on a character boundary of a row that exists, and the
    // selection can always be read.
    const std::vector<std::string> pieces = {"a", "bc ", "\t", sj("日本"), sj("、"), "\r\n", "\r\n", "\x82"};
    const unsigned keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT};
    std::mt19937 rng(7);
    for (int round = 0; round < 8; ++round) {
        std::string text;
        for (int i = int(rng() % 200); i > 0; --i) text += pieces[rng() % pieces.size()];
        Editor.WrapOption().SetWrapByte(20 + int(rng() % 10));
        Editor.SetWordWrap(round % 2);
        Editor.Caret().SetFreeCaret(rng() % 2);
        Editor.Caret().SetInTab(rng() % 2);
        Editor.Caret().SetNextLine(rng() % 2);
        Editor.SetSelectionMode(rng() % 3 == 0 ? smBox : smStream);
        Doc().SetText(text);
        for (int step = 0; step < 150; ++step) {
            const int what = int(rng() % 10);
            const TPoint point{int(rng() % unsigned(Surface.Width() + 20)) - 10,
                               int(rng() % unsigned(Surface.Height() + 20)) - 10};
            if (what < 5) {
                TKeyModifiers mods = kmNone;
                if (rng() % 2) mods |= kmShift;
                if (rng() % 3 == 0) mods |= kmCtrl;
                Editor.SetMessageKeyState(mods);
                Editor.Perform(WM_KEYDOWN, keys[rng() % 8], rng() % 4 == 0 ? TMessageLong(1) << 30 : 0);
            } else if (what == 5) {
                Editor.Perform(WM_LBUTTONDOWN, MK_LBUTTON | (rng() % 3 == 0 ? MK_SHIFT : 0), MakeLong(point.X, point.Y));
            } else if (what == 6) {
                Editor.Perform(WM_MOUSEMOVE, rng() % 2 ? MK_LBUTTON : 0, MakeLong(point.X, point.Y));
            } else if (what == 7) {
                Editor.Perform(WM_LBUTTONUP, 0, MakeLong(point.X, point.Y));
            } else if (what == 8) {
                Editor.Perform(WM_VSCROLL, rng() % 8, 0);
            } else {
                Editor.SetSelStart(int(rng() % (Doc().GetTextLen() + 3)));
                Editor.SetSelLength(int(rng() % 20));
            }
            ASSERT_GE(Editor.Row(), 0);
            ASSERT_LE(Editor.Row(), Doc().LastAllowedRow());
            ASSERT_GE(Editor.Col(), 0);
            ASSERT_LE(Editor.Col(), kMaxDisplayCol + 1);
            ASSERT_GE(Editor.TopRow(), 0);
            ASSERT_LE(Editor.TopRow(), Doc().GetCount());
            if (Editor.Row() < Doc().GetCount()) {
                const std::string classes = CharClassString(Doc().RowView(Editor.Row()), Doc().Layout());
                if (Editor.Col() < int(classes.size())) {
                    ASSERT_NE(classes[std::size_t(Editor.Col())], ccTrail);
                }
            }
            const std::string selected = Editor.SelText();
            ASSERT_GE(Editor.SelLength(), 0);
            if (Editor.Selected() && Editor.SelectionMode() == smStream) {
                ASSERT_EQ(int(selected.size()), Editor.SelLength());
            }
        }
        Editor.Perform(WM_LBUTTONUP, 0, 0);
        Editor.SetMessageKeyState(kmNone);
    }
}

}  // namespace
}  // namespace orvane
