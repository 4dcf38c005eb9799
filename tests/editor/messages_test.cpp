// The edit-control messages and the row marks of the editor, through Perform, on a recording
// surface with a fixed 8 x 16 cell and a view of 40 x 10 cells.
#include "document/docfixture.h"
#include "editor/controller.h"
#include "editor/fakesurface.h"
#include "support/sj.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orvane {
namespace {

using test::sj;

TMessageParam W(int Value) { return TMessageParam(std::intptr_t(Value)); }
TMessageLong L(const void* Pointer) { return TMessageLong(Pointer); }
int Lo(TMessageLong V) { return std::int16_t(LoWord(V)); }
int Hi(TMessageLong V) { return std::int16_t(HiWord(V)); }

// Rows: "abc" | "日本x" | "" | "end" (offsets 0, 5, 12, 14; 17 in all).
const std::string& Text() {
    static const std::string text = "abc\r\n" + sj("日本") + "x\r\n\r\nend";
    return text;
}

struct MessageFixture : testing::Test {
    test::TFakeSurface Surface;
    TEditorController Editor{&Surface};

    MessageFixture() { test::ShowEditor(Editor, Surface, 40, 10, false); }
    TEditorScreenStrings& Doc() { return Editor.Document(); }
    TMessageLong Send(unsigned Msg, TMessageParam WParam = 0, TMessageLong LParam = 0) {
        return Editor.Perform(Msg, WParam, LParam);
    }
    std::pair<int, int> Sel() {
        int start = -9, end = -9;
        Send(EM_GETSEL, TMessageParam(&start), L(&end));
        return {start, end};
    }
    std::string Lines(int Count, int Width = 1) {
        std::string text;
        for (int i = 0; i < Count; ++i) text += std::string(std::size_t(Width), char('a' + i % 26)) + "\r\n";
        return text;
    }
};

TEST_F(MessageFixture, RowAndOffsetQueries) {
    enum TDoc { Normal, Empty, EndsWithBreak, Wrapped };
    struct Case {
        const char* What;
        TDoc Document;
        int CaretRow, CaretCol;
        unsigned Msg;
        int WParam;
        TMessageLong Expected;
    };
    const Case cases[] = {
        {"line count", Normal, 0, 0, EM_GETLINECOUNT, 0, 4},
        {"first visible", Normal, 0, 0, EM_GETFIRSTVISIBLELINE, 0, 0},
        {"index of row 0", Normal, 0, 0, EM_LINEINDEX, 0, 0},
        {"index of row 1", Normal, 0, 0, EM_LINEINDEX, 1, 5},
        {"index of the empty row", Normal, 0, 0, EM_LINEINDEX, 2, 12},
        {"index of the last row", Normal, 0, 0, EM_LINEINDEX, 3, 14},
        {"index of the row count", Normal, 0, 0, EM_LINEINDEX, 4, -1},
        {"index far out", Normal, 0, 0, EM_LINEINDEX, 1000, -1},
        {"index below -1", Normal, 1, 0, EM_LINEINDEX, -2, -1},
        {"index of the caret row", Normal, 1, 2, EM_LINEINDEX, -1, 5},
        {"row of offset 0", Normal, 0, 0, EM_LINEFROMCHAR, 0, 0},
        {"row of the line break", Normal, 0, 0, EM_LINEFROMCHAR, 4, 0},
        {"row after the line break", Normal, 0, 0, EM_LINEFROMCHAR, 5, 1},
        {"row of the empty row's break", Normal, 0, 0, EM_LINEFROMCHAR, 13, 2},
        {"row of the text end", Normal, 0, 0, EM_LINEFROMCHAR, 17, 3},
        {"row past the text", Normal, 0, 0, EM_LINEFROMCHAR, 1000, 3},
        {"row of a negative offset", Normal, 2, 0, EM_LINEFROMCHAR, -5, 0},
        {"row of the caret", Normal, 2, 0, EM_LINEFROMCHAR, -1, 2},
        {"length at offset 0", Normal, 0, 0, EM_LINELENGTH, 0, 3},
        {"length of the two-byte row", Normal, 0, 0, EM_LINELENGTH, 6, 5},
        {"length of the empty row", Normal, 0, 0, EM_LINELENGTH, 12, 0},
        {"length at the text end", Normal, 0, 0, EM_LINELENGTH, 17, 3},
        {"length of the caret row", Normal, 1, 0, EM_LINELENGTH, -1, 5},
        {"empty: line count", Empty, 0, 0, EM_GETLINECOUNT, 0, 0},
        {"empty: index of row 0", Empty, 0, 0, EM_LINEINDEX, 0, -1},
        {"empty: index of the caret row", Empty, 0, 0, EM_LINEINDEX, -1, 0},
        {"empty: row of offset 0", Empty, 0, 0, EM_LINEFROMCHAR, 0, 0},
        {"empty: row of offset 9", Empty, 0, 0, EM_LINEFROMCHAR, 9, 0},
        {"empty: length", Empty, 0, 0, EM_LINELENGTH, 0, 0},
        {"empty: length of the caret row", Empty, 0, 0, EM_LINELENGTH, -1, 0},
        {"final break: line count", EndsWithBreak, 1, 0, EM_GETLINECOUNT, 0, 1},
        {"final break: caret row after the last", EndsWithBreak, 1, 0, EM_LINEINDEX, -1, 5},
        {"final break: index of the row count", EndsWithBreak, 1, 0, EM_LINEINDEX, 1, -1},
        {"final break: row of the text end", EndsWithBreak, 0, 0, EM_LINEFROMCHAR, 5, 1},
        {"final break: length of the caret row", EndsWithBreak, 1, 0, EM_LINELENGTH, -1, 0},
        {"wrapped: index after a wrap", Wrapped, 0, 0, EM_LINEINDEX, 1, 4},
        {"wrapped: index after a break", Wrapped, 0, 0, EM_LINEINDEX, 2, 9},
        {"wrapped: row at the wrap", Wrapped, 0, 0, EM_LINEFROMCHAR, 4, 1},
        {"wrapped: row in the break", Wrapped, 0, 0, EM_LINEFROMCHAR, 8, 1},
        {"wrapped: length at the wrap", Wrapped, 0, 0, EM_LINELENGTH, 4, 3},
    };
    for (const Case& c : cases) {
        switch (c.Document) {
            case Normal: Doc().SetText(Text()); break;
            case Empty: Doc().SetText(""); break;
            case EndsWithBreak: Doc().SetText("abc\r\n"); break;
            case Wrapped: test::Load(Doc(), "abcd>efg|hi$"); break;
        }
        Editor.SetRowCol(c.CaretRow, c.CaretCol);
        ASSERT_EQ(Editor.Row(), c.CaretRow) << c.What;
        EXPECT_EQ(Send(c.Msg, W(c.WParam)), c.Expected) << c.What;
    }
}

TEST_F(MessageFixture, SetAndGetSelection) {
    struct Case {
        int A, B;
        int Start, End;
    };
    // Each case starts from the selection (2, 7); the text is 17 long.
    const Case cases[] = {
        {0, -1, 0, 17},    // everything
        {-1, 0, 7, 7},     // dropped; the caret stays at the end of the old selection
        {-1, 5, 7, 7},
        {3, 9, 3, 9},
        {9, 3, 3, 9},
        {5, -1, 5, 17},    // a negative end means the end of the text
        {3, -7, 3, 17},
        {9, 9, 9, 9},      // an empty selection: the caret only
        {-5, 3, 0, 3},     // a negative start is the start of the text
        {100, 200, 17, 17},
    };
    Doc().SetText(Text());
    for (const Case& c : cases) {
        Send(EM_SETSEL, W(2), 7);
        ASSERT_EQ(Sel(), std::make_pair(2, 7));
        Send(EM_SETSEL, W(c.A), c.B);
        EXPECT_EQ(Sel(), std::make_pair(c.Start, c.End)) << c.A << ", " << c.B;
    }

    // The answer packs both; null out-pointers are skipped.
    Send(EM_SETSEL, W(3), 9);
    EXPECT_EQ(Send(EM_GETSEL), MakeLong(3, 9));
    int end = -1;
    EXPECT_EQ(Send(EM_GETSEL, 0, L(&end)), MakeLong(3, 9));
    EXPECT_EQ(end, 9);

    // With a selection, -1 asks about its first row and the unselected bytes of its end rows.
    Send(EM_SETSEL, W(2), 7);  // "c\r\n" and the first character of row 1
    EXPECT_EQ(Editor.Row(), 1);
    EXPECT_EQ(Send(EM_LINEFROMCHAR, W(-1)), 0);
    EXPECT_EQ(Send(EM_LINELENGTH, W(-1)), 2 + 3);
    Send(EM_SETSEL, W(0), 5);  // row 0 with its line break
    EXPECT_EQ(Send(EM_LINELENGTH, W(-1)), 0 + 5);
    Send(EM_SETSEL, W(0), -1);
    EXPECT_EQ(Send(EM_LINELENGTH, W(-1)), 0);

    Doc().SetText("");
    Send(EM_SETSEL, W(0), -1);
    EXPECT_EQ(Sel(), std::make_pair(0, 0));
    Send(EM_SETSEL, W(2), 5);
    EXPECT_EQ(Sel(), std::make_pair(0, 0));
}

TEST_F(MessageFixture, GetLineCopiesAtMostTheBufferSize) {
    struct Case {
        int Row;
        std::uint16_t Size;
        std::string Expected;  // what the buffer starts with afterwards
    };
    const std::string nihon = sj("日本");
    const Case cases[] = {
        {1, 3, nihon.substr(0, 3)},  // part of a longer row, no terminator written
        {1, 16, nihon + "x"},
        {3, 16, "end"},
        {2, 16, ""},   // the empty row
        {4, 16, ""},   // the row count
        {-1, 16, ""},
        {0, 0, ""},    // a buffer without room
    };
    Doc().SetText(Text());
    for (const Case& c : cases) {
        char buffer[20];
        std::memset(buffer, '#', sizeof buffer);
        std::memcpy(buffer, &c.Size, sizeof c.Size);
        const TMessageLong n = Send(EM_GETLINE, W(c.Row), L(buffer));
        EXPECT_EQ(n, TMessageLong(c.Expected.size())) << c.Row << "/" << c.Size;
        if (n > 0) {
            EXPECT_EQ(std::string(buffer, std::size_t(n)), c.Expected) << c.Row << "/" << c.Size;
        } else {
            std::uint16_t size = 0;
            std::memcpy(&size, buffer, sizeof size);
            EXPECT_EQ(size, c.Size) << "nothing written for " << c.Row << "/" << c.Size;
        }
        EXPECT_EQ(buffer[std::max<TMessageLong>(n, 2)], '#') << c.Row << "/" << c.Size;
    }
    EXPECT_EQ(Send(EM_GETLINE, W(0), 0), 0);
}

TEST_F(MessageFixture, PositionsAndCharactersAtPoints) {
    Doc().SetText(Text());
    const int left = Editor.TextLeft(), top = Editor.TextTop();
    // Offset -> cell (column, row) on the view.
    struct Pos {
        int Offset, Col, Row;
    };
    const Pos positions[] = {
        {0, 0, 0}, {3, 3, 0}, {5, 0, 1}, {7, 2, 1}, {9, 4, 1}, {12, 0, 2}, {14, 0, 3}, {17, 3, 3}, {500, 3, 3},
    };
    for (const Pos& p : positions) {
        const TMessageLong at = Send(EM_POSFROMCHAR, W(p.Offset));
        EXPECT_EQ(std::make_pair(Lo(at), Hi(at)), std::make_pair(left + p.Col * 8, top + p.Row * 16)) << p.Offset;
    }
    // Scrolled: rows above the view answer negative coordinates.
    Editor.SetTopRow(1);
    EXPECT_EQ(Hi(Send(EM_POSFROMCHAR, W(0))), top - 16);
    Editor.SetTopRow(0);

    // Point -> MakeLong(offset, row); -1 outside the surface.
    struct Point {
        int X, Y;
        TMessageLong Expected;
    };
    const int width = Surface.Width(), height = Surface.Height();
    const Point points[] = {
        {left + 1, top + 16 + 4, MakeLong(5, 1)},       // left half of 日
        {left + 8 + 3, top + 16 + 4, MakeLong(5, 1)},   // left half of its second cell
        {left + 8 + 5, top + 16 + 4, MakeLong(7, 1)},   // right half of it: the boundary after 日
        {left + 30 * 8, top + 16 + 4, MakeLong(10, 1)}, // beyond the row's end
        {left + 8 * 2 + 1, top + 3 * 16 + 4, MakeLong(16, 3)},
        {left + 1, top + 8 * 16 + 4, MakeLong(14, 3)},  // below the text: the last row
        {-1, top + 4, -1},
        {left + 1, -1, -1},
        {width, top + 4, -1},
        {left + 1, height, -1},
    };
    for (const Point& p : points)
        EXPECT_EQ(Send(EM_CHARFROMPOS, 0, MakeLong(unsigned(p.X), unsigned(p.Y))), p.Expected) << p.X << "," << p.Y;

    Doc().SetText("");
    EXPECT_EQ(Send(EM_CHARFROMPOS, 0, MakeLong(unsigned(left + 20), unsigned(top + 40))), MakeLong(0, 0));
    const TMessageLong at = Send(EM_POSFROMCHAR, W(3));
    EXPECT_EQ(std::make_pair(Lo(at), Hi(at)), std::make_pair(left, top));
}

TEST_F(MessageFixture, ScrollCaretPutsTheCaretAThirdIntoTheView) {
    ASSERT_EQ(Editor.VisibleRowCount(), 10);
    ASSERT_EQ(Editor.VisibleColCount(), 40);
    Doc().SetText(Lines(100, 200));
    Surface.Focus = false;  // without the focus the caret may leave the view
    struct Case {
        int TopRow, TopCol, Row, Col;
        int ExpectedTopRow, ExpectedTopCol;
    };
    const Case cases[] = {
        {0, 0, 5, 10, 0, 0},       // in view: nothing moves
        {0, 0, 50, 0, 47, 0},      // below
        {60, 0, 50, 0, 47, 0},     // above
        {0, 0, 9, 0, 0, 0},        // on the last visible row
        {0, 0, 10, 0, 7, 0},       // just below
        {0, 0, 0, 100, 0, 87},     // right
        {0, 90, 0, 20, 0, 7},      // left
        {0, 0, 2, 0 + 1, 0, 0},
        {30, 30, 1, 1, 0, 0},      // near the start: clamped at 0
    };
    for (const Case& c : cases) {
        Editor.SetTopRow(c.TopRow);
        Editor.SetTopCol(c.TopCol);
        Editor.SetRowCol(c.Row, c.Col);
        ASSERT_EQ(std::make_pair(Editor.TopRow(), Editor.TopCol()), std::make_pair(c.TopRow, c.TopCol));
        Send(EM_SCROLLCARET);
        EXPECT_EQ(std::make_pair(Editor.TopRow(), Editor.TopCol()), std::make_pair(c.ExpectedTopRow, c.ExpectedTopCol))
            << c.Row << "," << c.Col << " from " << c.TopRow << "," << c.TopCol;
    }
}

TEST_F(MessageFixture, ModifiedReadOnlyAndUndoFlags) {
    Doc().SetText(Text());
    Send(EM_SETMODIFY, 1);
    EXPECT_EQ(Send(EM_GETMODIFY), 1);
    Send(EM_SETMODIFY, 0);
    EXPECT_EQ(Send(EM_GETMODIFY), 0);

    Doc().ReplaceRows(0, 1, "xyz\r\n");
    ASSERT_TRUE(Editor.CanUndo());
    EXPECT_EQ(Send(EM_CANUNDO), 1);

    EXPECT_EQ(Send(EM_SETREADONLY, 1), 1);
    EXPECT_TRUE(Editor.ReadOnly());
    Editor.SetModified(false);
    Send(EM_SETMODIFY, 1);  // ignored while read-only
    EXPECT_EQ(Send(EM_GETMODIFY), 0);
    EXPECT_EQ(Send(EM_CANUNDO), 0);
    EXPECT_EQ(Send(EM_UNDO), 0);
    Send(EM_EMPTYUNDOBUFFER);
    EXPECT_TRUE(Editor.CanUndo());
    EXPECT_EQ(Doc().RowView(0), "xyz");

    EXPECT_EQ(Send(EM_SETREADONLY, 0), 1);
    Send(EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(Editor.CanUndo());
    EXPECT_EQ(Send(EM_CANUNDO), 0);
    EXPECT_EQ(Send(EM_UNDO), 0);

    // Read-only cannot change while a selection is held for dragging.
    Send(EM_SETSEL, W(0), 3);
    const TPoint inside{Editor.TextLeft() + 8 + 1, Editor.TextTop() + 4};
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MakeLong(unsigned(inside.X), unsigned(inside.Y)));
    ASSERT_EQ(Editor.DragState(), dsPressed);
    EXPECT_EQ(Send(EM_SETREADONLY, 1), 0);
    EXPECT_FALSE(Editor.ReadOnly());
    Send(WM_LBUTTONUP, 0, MakeLong(unsigned(inside.X), unsigned(inside.Y)));
}

TEST_F(MessageFixture, OnlyEditControlMessagesAreAnswered) {
    Doc().SetText(Text());
    for (unsigned msg : {EM_GETSEL, EM_SETSEL, EM_LINEFROMCHAR, EM_LINEINDEX, EM_LINELENGTH, EM_GETLINE,
                         EM_GETLINECOUNT, EM_GETFIRSTVISIBLELINE, EM_GETMODIFY, EM_SETMODIFY, EM_SETREADONLY,
                         EM_SCROLLCARET, EM_POSFROMCHAR, EM_CHARFROMPOS, EM_CANUNDO, EM_UNDO,
                         EM_EMPTYUNDOBUFFER, EM_REPLACESEL}) {
        bool handled = false;
        Editor.EditControlMessage(msg, 0, 0, handled);
        EXPECT_TRUE(handled) << std::hex << msg;
    }
    for (unsigned msg : {WM_SETTEXT, WM_GETTEXT, WM_CUT, WM_PASTE, EM_GETRECT, EM_LINESCROLL, 0x7FFFu}) {
        bool handled = true;
        EXPECT_EQ(Editor.EditControlMessage(msg, 1, 0, handled), 0);
        EXPECT_FALSE(handled) << std::hex << msg;
    }
    EXPECT_EQ(Editor.Document().GetText(), Text());
}

// ---- row marks

struct MarkFixture : MessageFixture {
    MarkFixture() { Doc().SetText(Lines(12)); }
    // Only the rows that carry marks, as "row{marks}".
    std::string Marked() {
        std::string out;
        for (int r = 0; r < Doc().GetCount(); ++r) {
            const TRowMarkSet marks = Doc().RowMarkSet(r);
            if (!marks) continue;
            if (!out.empty()) out += ' ';
            out += std::to_string(r);
            char separator = '{';
            for (int m = 0; m < 16; ++m) {
                if (!(marks & (1u << m))) continue;
                out += separator;
                out += std::to_string(m);
                separator = ',';
            }
            out += '}';
        }
        return out;
    }
};

TEST_F(MarkFixture, AddAndRemove) {
    struct Op {
        char Kind;  // 'a' AddRowMark, 'r' RemoveRowMark
        int Row, Mark;
    };
    struct Case {
        const char* What;
        std::vector<Op> Ops;
        std::string Expected;
        TRowMarkSet InUse;
    };
    const Case cases[] = {
        {"a bookmark moves", {{'a', 7, 3}, {'a', 9, 3}}, "9{3}", 1u << 3},
        {"only the first row loses it", {{'a', 7, 3}, {'a', 7, 3}, {'a', 2, 4}}, "2{4} 7{3}", 1u << 3 | 1u << 4},
        {"image marks stay on several rows", {{'a', 7, 12}, {'a', 9, 12}}, "7{12} 9{12}", 1u << 12},
        {"removed from one row, still in use", {{'a', 7, 12}, {'a', 9, 12}, {'r', 7, 12}}, "9{12}", 1u << 12},
        {"removed from both", {{'a', 7, 12}, {'a', 9, 12}, {'r', 9, 12}, {'r', 7, 12}}, "", 0},
        {"several on one row", {{'a', 4, 0}, {'a', 4, 9}, {'a', 4, 15}, {'r', 4, 9}}, "4{0,15}", 1u << 0 | 1u << 15},
        {"remove what is not there", {{'a', 4, 1}, {'r', 5, 1}, {'r', 4, 2}}, "4{1}", 1u << 1},
        {"rows outside", {{'a', -1, 3}, {'a', 12, 3}, {'a', 12, 12}, {'r', -1, 3}}, "", 0},
        {"a bookmark added outside leaves its row", {{'a', 7, 3}, {'a', 12, 3}}, "", 0},
        {"marks outside 0..15", {{'a', 4, 16}, {'a', 4, -1}, {'r', 4, 99}}, "", 0},
    };
    for (const Case& c : cases) {
        Doc().SetText(Lines(12));
        for (const Op& op : c.Ops) {
            if (op.Kind == 'a')
                Editor.AddRowMark(op.Row, op.Mark);
            else
                Editor.RemoveRowMark(op.Row, op.Mark);
        }
        EXPECT_EQ(Marked(), c.Expected) << c.What;
        EXPECT_EQ(Doc().GetMarksInUse(), c.InUse) << c.What;
        test::CheckDoc(Doc());
    }
}

TEST_F(MarkFixture, RowMarkSetOutsideTheDocumentAndAfterEdits) {
    for (int row : {-1, 12}) {
        Editor.SetRowMarkSet(row, 0xFFFF);
        EXPECT_EQ(Editor.RowMarkSet(row), 0) << row;
    }
    EXPECT_EQ(Doc().GetMarksInUse(), 0);
    Editor.SetRowMarkSet(5, TRowMarkSet(1u << 3 | 1u << 12));
    EXPECT_EQ(Editor.RowMarkSet(5), 1u << 3 | 1u << 12);
    EXPECT_EQ(Doc().GetMarksInUse(), 1u << 3 | 1u << 12);

    // Lines inserted above carry the marks down with their row.
    Doc().ReplaceRows(1, 0, "new\r\nnew\r\n");
    EXPECT_EQ(Marked(), "7{3,12}");
    Editor.RemoveRowMark(7, 3);
    EXPECT_EQ(Doc().GetMarksInUse(), 1u << 12);
    Editor.AddRowMark(0, 12);
    Editor.SetRowMarkSet(7, 0);
    EXPECT_EQ(Marked(), "0{12}");
    EXPECT_EQ(Doc().GetMarksInUse(), 1u << 12);
    EXPECT_EQ(Editor.RowMarkSet(Editor.RowCount()), 0);
}

TEST_F(MarkFixture, JumpToRowMark) {
    Doc().SetText(Lines(100));
    Surface.Focus = false;
    Editor.AddRowMark(50, 3);
    Editor.AddRowMark(30, 12);
    Editor.AddRowMark(60, 12);
    Editor.AddRowMark(5, 1);
    struct Case {
        int Mark, TopRow;
        int ExpectedRow, ExpectedTopRow;
    };
    const Case cases[] = {
        {3, 0, 50, 45},   // out of view: the row comes to the middle
        {3, 48, 50, 48},  // in view: only the caret moves
        {3, 60, 50, 45},
        {12, 0, 30, 25},  // the first row that carries it
        {1, 0, 5, 0},
        {7, 20, 2, 20},   // nowhere: nothing moves
        {99, 20, 2, 20},
    };
    for (const Case& c : cases) {
        Editor.SetRowCol(2, 0);
        Editor.SetTopRow(c.TopRow);
        Editor.JumpToRowMark(c.Mark);
        EXPECT_EQ(std::make_pair(Editor.Row(), Editor.TopRow()), std::make_pair(c.ExpectedRow, c.ExpectedTopRow))
            << c.Mark << " from " << c.TopRow;
    }
}

TEST_F(MarkFixture, SettingMarksRepaintsTheImagebarCell) {
    Editor.Imagebar().SetVisible(true);
    const TRect cell{0, Editor.TextTop() + 2 * 16, Editor.ImagebarWidth(), 16};
    ASSERT_GT(cell.Width, 0);
    Surface.ClearRecords();
    Editor.AddRowMark(2, 12);
    EXPECT_EQ(Surface.Areas, std::vector<test::TSurfaceArea>{{cell}});
    EXPECT_EQ(Surface.WholeInvalidations, 0);
    Surface.ClearRecords();
    Editor.AddRowMark(2, 12);  // unchanged
    Editor.SetTopRow(5);
    Surface.ClearRecords();
    Editor.AddRowMark(2, 13);  // above the view
    EXPECT_TRUE(Surface.Areas.empty());

    Editor.SetTopRow(0);
    Editor.Imagebar().SetVisible(false);
    Surface.ClearRecords();
    Editor.RemoveRowMark(2, 12);
    EXPECT_TRUE(Surface.Areas.empty());
    EXPECT_EQ(Marked(), "2{13}");
}

// ---- messages that edit (they rely on the editing operations)

TEST_F(MessageFixture, ReplaceSelectionAndUndo) {
    Doc().SetText("abc\r\ndef");
    Send(EM_SETSEL, W(1), 6);  // "bc\r\nd"
    const std::string kanji = sj("漢");
    Send(EM_REPLACESEL, 1, L(kanji.c_str()));
    EXPECT_EQ(Doc().GetText(), "a" + kanji + "ef");
    EXPECT_EQ(Sel(), std::make_pair(3, 3));  // the caret after the inserted text

    Send(EM_SETSEL, W(0), 1);
    Send(EM_REPLACESEL, 1, 0);  // no text: the selection goes
    EXPECT_EQ(Doc().GetText(), kanji + "ef");

    Send(EM_SETREADONLY, 1);
    Send(EM_SETSEL, W(0), -1);
    Send(EM_REPLACESEL, 1, L("zzz"));
    EXPECT_EQ(Doc().GetText(), kanji + "ef");
    Send(EM_SETREADONLY, 0);

    EXPECT_EQ(Send(EM_UNDO), 1);
    EXPECT_EQ(Doc().GetText(), "a" + kanji + "ef");
}

}  // namespace
}  // namespace orvane
