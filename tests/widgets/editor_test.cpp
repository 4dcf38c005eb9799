// The editor control on screen, offscreen and with a fixed 8 x 16 cell: what each row draws,
// the layout of the bars, what a change repaints, and how settings reach the control.
#include "document/docfixture.h"
#include "widgets/editor.h"
#include "support/sj.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace orvane {
namespace {

using test::sj;

struct EditorFixture : testing::Test {
    TEditor Editor;
    std::vector<std::pair<QRect, int>> Invalidated;

    EditorFixture() {
        Editor.SetFixedMetrics(8, 16);
        Editor.resize(400, 300);
        Editor.show();
        Editor.OnInvalidate = [this](const QRect& Area, int ScrolledBy) { Invalidated.push_back({Area, ScrolledBy}); };
    }
    TEditorScreenStrings& Doc() { return Editor.Document(); }
    std::string Plan(int Row) { return DescribePlan(Editor.PlanRow(Row)); }
    // The rows (of the view) that the recorded areas touch, in the text area.
    std::pair<int, int> InvalidatedRows() const {
        int first = INT_MAX, last = -1;
        for (const auto& [area, scrolled] : Invalidated) {
            if (scrolled) continue;
            first = std::min(first, (area.top() - Editor.TextTop()) / Editor.RowHeight());
            last = std::max(last, (area.bottom() - Editor.TextTop()) / Editor.RowHeight());
        }
        return {first, last};
    }
};

TEST_F(EditorFixture, RowsDrawTheirTokensInTheirColours) {
    Editor.View().SetUrl(true);
    Editor.View().Colors().Url().SetColor(0xFF0000);
    Editor.View().Colors().Url().SetBkColor(0x00FFFF);
    Editor.Marks().RetMark().SetVisible(true);
    Editor.Marks().EofMark().SetVisible(true);
    Doc().SetText("go http://a.jp x\r\n\tend");
    // The whole row in the default colours, then the URL over it; the blank after the URL keeps
    // the editor's background.
    EXPECT_EQ(Plan(0), "0-: 0'go http://a.jp x'000000/FFFFFF 3'http://a.jp'FF0000/00FFFF [ret@16]");
    EXPECT_EQ(Plan(1), "0-: 0'        end'000000/FFFFFF [eof@11]");  // the tab expanded to its stop
    EXPECT_EQ(Plan(2), "beyond");
}

TEST_F(EditorFixture, SelectionPartsAndColours) {
    Doc().SetText("abcdef\r\nghijkl\r\nmnopqr");
    // The default selection colours: white on navy.
    Editor.SetSelectionDraw(ssSelected, smStream, 0, 2, 2, 3);
    EXPECT_EQ(Plan(0), "0-2: 0'abcdef'000000/FFFFFF | sel 2-: 0'abcdef'FFFFFF/800000");
    EXPECT_EQ(Plan(1), "sel 0-: 0'ghijkl'FFFFFF/800000");
    EXPECT_EQ(Plan(2), "sel 0-3: 0'mnopqr'FFFFFF/800000 | 3-: 0'mnopqr'000000/FFFFFF");
    // clNone selection colours invert the editor's colours.
    Editor.View().Colors().Select().SetColor(clNone);
    Editor.View().Colors().Select().SetBkColor(clNone);
    Editor.SetColor(0xEEEEEE);
    EXPECT_EQ(Plan(1), "sel 0-: 0'ghijkl'EEEEEE/000000");
    // A box that starts inside a two-byte character takes the whole character.
    Doc().SetText(std::string("a").append(sj("日本")).append("b"));
    Editor.SetSelectionDraw(ssSelected, smBox, 0, 2, 0, 4);
    EXPECT_EQ(Editor.PlanRow(0).Parts.size(), 3u);
    EXPECT_EQ(Editor.PlanRow(0).Parts[1].FromCol, 1);
    EXPECT_EQ(Editor.PlanRow(0).Parts[1].ToCol, 5);
}

TEST_F(EditorFixture, LongRowsAreCutAtTheColumnLimit) {
    Editor.Marks().HideMark().SetVisible(true);
    Doc().SetText(std::string(1200, 'a') + "\r\n" + std::string(999, 'a') + sj("日") + "zz");
    const TRowPlan cut = Editor.PlanRow(0);
    EXPECT_EQ(cut.Parts[0].Runs[0].Text.size(), 1000u);
    EXPECT_EQ(cut.Mark, TEndMark::Hide);
    EXPECT_EQ(cut.MarkCol, 1000);
    // The 1000th byte starts a two-byte character: it is drawn whole.
    EXPECT_EQ(Editor.PlanRow(1).Parts[0].Runs[0].Text.size(), 1001u);
}

TEST_F(EditorFixture, EmptyDocumentShowsTheEndOfTextMark) {
    Editor.Marks().EofMark().SetVisible(true);
    EXPECT_EQ(Plan(0), "beyond [eof@0]");
    Doc().SetText("a\r\n");
    EXPECT_EQ(Plan(1), "beyond [eof@0]");
    Doc().SetText("a");
    EXPECT_EQ(Plan(0), "0-: 0'a'000000/FFFFFF [eof@1]");
    EXPECT_EQ(Plan(1), "beyond");
}

TEST_F(EditorFixture, BarsAndMargins) {
    struct Case {
        const char* name;
        void (*configure)(TEditor&);
        int textTop, textLeft;
    };
    const std::vector<Case> cases = {
        {"plain", [](TEditor&) {}, 2, 19 + 12},  // the image bar is on by default: 2 + 8 + 0 + 2
        {"ruler with edge", [](TEditor& e) { e.Ruler().SetVisible(true); }, 2 + 11, 31},
        {"ruler without edge",
         [](TEditor& e) {
             e.Ruler().SetVisible(true);
             e.Ruler().SetEdge(false);
         },
         2 + 10, 31},
        {"line numbers", [](TEditor& e) { e.Leftbar().SetVisible(true); }, 2, 31 + 8 + 4 * 8 + 4 + 2},
        {"no image bar", [](TEditor& e) { e.Imagebar().SetVisible(false); }, 2, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEditor editor;
        editor.SetFixedMetrics(8, 16);
        c.configure(editor);
        EXPECT_EQ(editor.TextTop(), c.textTop);
        EXPECT_EQ(editor.TextLeft(), c.textLeft);
    }
    Editor.Marks().Underline().SetVisible(true);
    EXPECT_EQ(Editor.RowHeight(), 17);  // the caret-row underline takes a pixel of its own
}

TEST_F(EditorFixture, LineNumbers) {
    Editor.Leftbar().SetVisible(true);
    Editor.WrapOption().SetWrapByte(20);
    Editor.SetWordWrap(true);
    Doc().SetText("one\r\n" + std::string(30, 'w') + "\r\nthree\r\n");
    ASSERT_EQ(Doc().GetCount(), 4);
    std::vector<std::string> numbers;
    for (int row = 0; row <= 5; ++row) numbers.push_back(Editor.LeftbarText(row));
    EXPECT_EQ(numbers, (std::vector<std::string>{"   1", "   2", "   3", "   4", "   5", ""}));
    Editor.Leftbar().SetShowNumberMode(nmLine);
    Editor.Leftbar().SetZeroLead(true);
    numbers.clear();
    for (int row = 0; row <= 5; ++row) numbers.push_back(Editor.LeftbarText(row));
    // Only the first row of a line is numbered; the row after the final break gets the next line.
    EXPECT_EQ(numbers, (std::vector<std::string>{"0001", "0002", "", "0003", "0004", ""}));
    // More lines than four digits hold widen the bar.
    std::string many;
    for (int i = 0; i < 12345; ++i) many += "x\r\n";
    Doc().SetText(many);
    EXPECT_EQ(Editor.LeftbarDigits(), 5);
    EXPECT_EQ(Editor.LeftbarText(12344), "12345");
}

TEST_F(EditorFixture, TypingRepaintsTheChangedRowsOnly) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
    Doc().SetText(text);
    Invalidated.clear();
    // One character typed on row 3: the edit rebuilds rows 3 and 4 (the next line comes along).
    Doc().ReplaceRows(3, 1, "line 3x\r\n");
    auto [first, last] = InvalidatedRows();
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 4);
    for (const auto& [area, scrolled] : Invalidated) EXPECT_EQ(scrolled, 0);

    // A line break on row 3: rows 3-5 are new, the rows below move down by a scroll.
    Invalidated.clear();
    Doc().ReplaceRows(3, 1, "line\r\n 3x\r\n");
    std::tie(first, last) = InvalidatedRows();
    EXPECT_EQ(first, 3);
    EXPECT_LE(last, 5);
    int scrolled = 0;
    for (const auto& [area, by] : Invalidated)
        if (by) scrolled = by;
    EXPECT_EQ(scrolled, Editor.RowHeight());
}

TEST_F(EditorFixture, SettingsReachTheControlOnRealChangesOnly) {
    Invalidated.clear();
    Editor.Ruler().SetVisible(false);  // already off
    Editor.Caret().SetFreeCaret(false);  // a direct setting: no repaint
    EXPECT_TRUE(Invalidated.empty());
    Editor.Ruler().SetVisible(true);
    EXPECT_FALSE(Invalidated.empty());

    // A set of settings with word wrap on lays the text out once, with its own options.
    Doc().SetText(std::string(100, 'x'));
    test::FakeView watcher;
    Doc().AttachEditor(&watcher);
    auto prop = TStoreComponent::Create<TEditorProp>();
    prop->SetWordWrap(true);
    prop->WrapOption().SetWrapByte(30);
    Editor.AssignProp(*prop);
    EXPECT_EQ(watcher.Refreshes, 1);
    EXPECT_EQ(Doc().GetCount(), 4);
    Doc().DetachEditor(&watcher);
}

TEST_F(EditorFixture, PaintsTextIntoAnImage) {
    Doc().SetText("abc\r\n" + sj("日本語"));
    QImage image(400, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    Editor.PaintRect(painter, QRect(0, 0, 400, 300));
    painter.end();
    // Something dark was drawn in the cells of the first row, nothing below the text.
    auto darkPixels = [&](QRect cells) {
        int dark = 0;
        for (int y = cells.top(); y <= cells.bottom(); ++y)
            for (int x = cells.left(); x <= cells.right(); ++x) dark += qGray(image.pixel(x, y)) < 128;
        return dark;
    };
    const int left = Editor.TextLeft(), top = Editor.TextTop();
    EXPECT_GT(darkPixels(QRect(left, top, 3 * 8, 16)), 10);
    EXPECT_GT(darkPixels(QRect(left, top + 16, 6 * 8, 16)), 10);
    EXPECT_EQ(darkPixels(QRect(left, top + 5 * 16, 200, 16)), 0);
}

TEST_F(EditorFixture, KeptCharactersAreDrawnAsThemselves) {
    // Two characters the code page cannot hold, kept in the user-defined area: before they were
    // drawn as the same empty box.
    TCharMap* map = Editor.CharMap();
    ASSERT_NE(map, nullptr);
    auto cellsOf = [&](char32_t C) {
        const std::uint16_t code = map->CodeFor(C);
        Doc().SetText(std::string{char(code >> 8), char(code & 0xFF)});
        QImage image(400, 300, QImage::Format_RGB32);
        QPainter painter(&image);
        Editor.PaintRect(painter, QRect(0, 0, 400, 300));
        painter.end();
        return image.copy(QRect(Editor.TextLeft(), Editor.TextTop(), 16, 16));
    };
    const QImage e = cellsOf(U'\u00E9'), u = cellsOf(U'\u00FC');
    EXPECT_NE(e, u);
}

}  // namespace
}  // namespace orvane
