// The extra marks object, the columns of a row's marks and the hit range limits.
#include "styles/orvanemarks.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(OrvaneMarks, AssignCopiesAllThreeWithOneNotification) {
    TOrvaneEditorMarks a, b;
    b.DByteSpace().SetVisible(true);
    b.TabMark().SetColor(0x0000FF);
    b.VertLine().SetVisible(true);
    b.VertLine().SetColor(0x00FF00);
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    a.Assign(b);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(a.DByteSpace().Visible());
    EXPECT_EQ(a.TabMark().Color(), 0x0000FFu);
    EXPECT_EQ(a.VertLine().Color(), 0x00FF00u);
    a.TabMark().SetVisible(true);  // a mark's own change reaches the owner
    EXPECT_EQ(changes, 2);
    a.TabMark().SetVisible(true);  // no change, no notification
    EXPECT_EQ(changes, 2);
}

TEST(OrvaneMarks, MarkColumns) {
    TColumnLayout tab4;
    tab4.TabSpaceCount = 4;
    TColumnLayout wrapped = tab4;
    wrapped.WordWrap = true;
    wrapped.WrapByte = 6;
    struct TCase {
        const char* Text;
        const TColumnLayout* Layout;
        std::vector<TExtraMarkPos> Marks;
    } cases[] = {
        {"abc", &tab4, {}},
        {"\t\x81\x40x", &tab4, {{0, true}, {4, false}}},       // the space after the expanded tab
        {"a\tb\t", &tab4, {{1, true}, {5, true}}},
        {"\x81\x81\x40\x40", &tab4, {}},                       // 0x81 0x40 across two characters
        {"\x82\xA0\x81\x40", &tab4, {{2, false}}},
        {"abcde\t\x81\x40", &wrapped, {{5, true}, {6, false}}},  // a tab cut at the wrap column
    };
    for (const TCase& c : cases) EXPECT_EQ(ExtraMarkColumns(c.Text, *c.Layout), c.Marks) << c.Text;
}

TEST(OrvaneMarks, HitRangeLimits) {
    struct TCase {
        int Start, Length, TextLength;
        THitRange Want;
    } cases[] = {
        {2, 3, 10, {2, 3}},  {-5, 3, 10, {0, 3}},  {8, 5, 10, {8, 2}},  {5, -3, 10, {2, 3}},
        {1, -3, 10, {0, 3}}, {20, 1, 10, {10, 0}}, {0, 4, 0, {0, 0}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LimitHitRange(c.Start, c.Length, c.TextLength), c.Want) << c.Start << " " << c.Length;
}

}  // namespace
}  // namespace orvane
