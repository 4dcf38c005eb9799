// What the application editor draws: the tab and full-width-space marks, the dotted line at the
// wrap column, the caret-row underline ending there, and the hit range.
#include "styles/orvaneeditor.h"

#include "support/sj.h"
#include "widgets/editorfixture.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvane {
namespace {

constexpr TColor kTab = 0x0000FF, kSpace = 0xFF0000, kLine = 0x00C000, kUnderline = 0xC000C0;

class OrvaneEditor : public ::testing::Test {
protected:
    void SetUp() override {
        E.Leftbar().SetVisible(false);
        E.Ruler().SetVisible(false);
        E.Caret().SetTabSpaceCount(4);
        E.MarksOrvane().TabMark().SetColor(kTab);
        E.MarksOrvane().DByteSpace().SetColor(kSpace);
        E.MarksOrvane().VertLine().SetColor(kLine);
        E.Marks().Underline().SetColor(kUnderline);
        E.WrapOption().SetWrapByte(20);
        test::ShowEditor(E, 40, 4, false);
    }
    QImage Shot() { return E.viewport()->grab().toImage(); }
    // Whether any pixel of column X (rows Y0..Y1) / row Y (columns X0..X1) has the colour.
    bool ColumnHas(const QImage& I, int X, int Y0, int Y1, TColor C) {
        for (int y = Y0; y <= Y1; ++y)
            if (I.pixel(X, y) == E.ToQColor(C).rgb()) return true;
        return false;
    }
    bool RowHas(const QImage& I, int Y, int X0, int X1, TColor C) {
        for (int x = X0; x <= X1; ++x)
            if (I.pixel(x, Y) == E.ToQColor(C).rgb()) return true;
        return false;
    }
    int X(int Col) const { return E.TextLeft() + Col * 8; }

    TOrvaneEditor E;
};

TEST_F(OrvaneEditor, TabAndFullWidthSpaceMarks) {
    E.Document().SetText(std::string("\t").append(test::sj("　")).append("x\r\n"));
    E.MarksOrvane().DByteSpace().SetVisible(true);
    QImage shot = Shot();
    const int top = E.TextTop(), bottom = E.TextTop() + E.RowHeight() - 1;
    // The tab's mark is hidden; the space's box stands under columns 4 and 5, after the tab.
    EXPECT_FALSE(RowHas(shot, top + (E.RowHeight() - E.Margin().Line()) / 2, X(0), X(4) - 1, kTab));
    const int b = E.TextTop() + E.RowHeight() - E.Margin().Line() - 1;
    EXPECT_TRUE(RowHas(shot, b, X(4), X(6) - 1, kSpace));
    EXPECT_FALSE(RowHas(shot, b, X(0), X(4) - 1, kSpace));
    EXPECT_FALSE(ColumnHas(shot, X(6) + 2, top, bottom, kSpace));

    E.MarksOrvane().TabMark().SetVisible(true);  // redrawn on the change
    shot = Shot();
    EXPECT_TRUE(ColumnHas(shot, X(0) + 2, top, bottom, kTab));  // the ">" starts 2 pixels in
    EXPECT_FALSE(ColumnHas(shot, X(4) + 2, top, bottom, kTab));
}

TEST_F(OrvaneEditor, WrapLineAndUnderline) {
    E.Document().SetText("abc\r\n");
    E.Marks().Underline().SetVisible(true);
    E.MarksOrvane().VertLine().SetVisible(true);
    const int underline = E.TextTop() + E.FontHeight();

    E.SetWordWrap(false);
    QImage shot = Shot();
    EXPECT_FALSE(ColumnHas(shot, X(20), E.TextTop(), shot.height() - 1, kLine)) << "no line without word wrap";
    EXPECT_TRUE(RowHas(shot, underline, X(30), X(35), kUnderline)) << "the underline runs across";

    E.SetWordWrap(true);
    shot = Shot();
    EXPECT_TRUE(ColumnHas(shot, X(20), E.TextTop(), shot.height() - 1, kLine));
    EXPECT_TRUE(RowHas(shot, underline, X(1), X(19), kUnderline));
    EXPECT_FALSE(RowHas(shot, underline, X(21), X(35), kUnderline)) << "the underline ends at the wrap column";

    // Scrolled past the wrap column: neither line.
    E.resize(E.TextLeft() + 10 * 8, E.height());
    E.SetTopCol(22);
    shot = Shot();
    ASSERT_EQ(E.TopCol(), 22);
    EXPECT_FALSE(RowHas(shot, underline, X(0), shot.width() - 1, kUnderline));
    EXPECT_FALSE(ColumnHas(shot, X(-2), E.TextTop(), shot.height() - 1, kLine));
}

TEST_F(OrvaneEditor, HitRange) {
    E.Document().SetText("abcdef\r\nghi\r\n");
    E.SetHitStart(9);  // "h": offsets count a line break as 2
    E.SetHitLength(1);
    EXPECT_EQ(E.HitStart(), 9);
    const QImage shot = Shot();
    const int second = E.TextTop() + E.RowHeight() + 2;
    EXPECT_TRUE(RowHas(shot, second, X(1), X(2) - 1, 0x0000FF));
    EXPECT_FALSE(RowHas(shot, second, X(0), X(1) - 1, 0x0000FF));
    EXPECT_FALSE(RowHas(shot, second, X(2), X(4), 0x0000FF));
    E.SetHitLength(-20);  // back over the start: limited to the text
    EXPECT_EQ(E.HitStart(), 0);
    EXPECT_EQ(E.HitLength(), 13);
}

}  // namespace
}  // namespace orvane
