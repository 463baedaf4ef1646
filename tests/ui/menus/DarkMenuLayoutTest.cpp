#include "ui/menus/DarkMenuLayout.h"

#include <gtest/gtest.h>

namespace lq {
namespace {

TEST(DarkMenuLayout, HeightsScaleWithTheDpi) {
    struct Case {
        int32_t dpi;
        int32_t item;
        int32_t separator;
    };
    const Case cases[] = {{96, 30, 9}, {120, 38, 11}, {144, 45, 14}, {192, 60, 18}};
    for (const Case& c : cases) {
        EXPECT_EQ(MenuItemHeight(false, c.dpi), c.item) << c.dpi;
        EXPECT_EQ(MenuItemHeight(true, c.dpi), c.separator) << c.dpi;
    }
}

TEST(DarkMenuLayout, WidthLeavesOutTheCheckMarkTheSystemAdds) {
    // 28 + 16 + label, + 40 + accelerator, - check + 1.
    EXPECT_EQ(MenuItemWidth(50, std::nullopt, 96, 15), 28 + 16 + 50 - 15 + 1);
    EXPECT_EQ(MenuItemWidth(50, 30, 96, 15), 28 + 16 + 50 + 40 + 30 - 15 + 1);
    // At 144 DPI every DIP constant is 1.5 times as large: 42 + 24 + 60.
    EXPECT_EQ(MenuItemWidth(10, 20, 144, 23), 42 + 24 + 10 + 60 + 20 - 23 + 1);
    // An empty accelerator measured as 0 still brings its gap; no accelerator brings none.
    EXPECT_EQ(MenuItemWidth(0, 0, 96, 0) - MenuItemWidth(0, std::nullopt, 96, 0), 40);
    // Never negative, whatever the system's check width.
    EXPECT_EQ(MenuItemWidth(0, std::nullopt, 96, 500), 0);
}

TEST(DarkMenuLayout, TextRectAndSeparatorLine) {
    const RECT item{10, 100, 210, 130};
    const RECT text = MenuTextRect(item, 96);
    EXPECT_EQ(text.left, 38);
    EXPECT_EQ(text.right, 194);
    EXPECT_EQ(text.top, 100);
    EXPECT_EQ(text.bottom, 130);

    const RECT separator{0, 20, 100, 29};
    const RECT line = MenuSeparatorLine(separator, 96);
    EXPECT_EQ(line.left, 8);
    EXPECT_EQ(line.right, 92);
    EXPECT_EQ(line.top, 24);  // (20 + 29) / 2
    EXPECT_EQ(line.bottom, 25);
    const RECT wide = MenuSeparatorLine(RECT{0, 0, 200, 14}, 144);
    EXPECT_EQ(wide.left, 12);
    EXPECT_EQ(wide.right, 188);
    EXPECT_EQ(wide.bottom - wide.top, 2);  // MulDiv(1, 144, 96) rounds up
    EXPECT_EQ(MenuSeparatorLine(RECT{0, 0, 100, 9}, 48).bottom - MenuSeparatorLine(RECT{0, 0, 100, 9}, 48).top, 1);
}

TEST(DarkMenuLayout, CheckMarkPassesAndPoints) {
    const RECT item{0, 0, 200, 30};
    const auto at96 = MenuCheckMark(item, 96);
    ASSERT_EQ(at96.size(), 2u);  // MulDiv(3, 96, 192) is 2
    // s = 10, x = (28 - 10) / 2 = 9, mid = 15.
    EXPECT_EQ(at96[0][0].x, 9);
    EXPECT_EQ(at96[0][0].y, 15);
    EXPECT_EQ(at96[0][1].x, 13);
    EXPECT_EQ(at96[0][1].y, 19);
    EXPECT_EQ(at96[0][2].x, 20);
    EXPECT_EQ(at96[0][2].y, 8);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(at96[1][i].x, at96[0][i].x);
        EXPECT_EQ(at96[1][i].y, at96[0][i].y + 1);
    }
    EXPECT_EQ(MenuCheckMark(item, 192).size(), 3u);
    EXPECT_EQ(MenuCheckMark(item, 24).size(), 1u);  // MulDiv gives 0: still one pass
}

}  // namespace
}  // namespace lq
