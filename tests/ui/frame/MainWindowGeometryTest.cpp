#include <gtest/gtest.h>

#include "ui/frame/MainWindowGeometry.h"

namespace lq::test {
namespace {

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual) {
    if (EqualRect(&expected, &actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << ", " << expected.top << ")-("
                                         << expected.right << ", " << expected.bottom << "), got (" << actual.left
                                         << ", " << actual.top << ")-(" << actual.right << ", " << actual.bottom << ")";
}

TEST(MainWindowGeometryTest, StatusTopLeavesTwentyEightDipAndNeverGoesNegative) {
    struct Case {
        int32_t clientHeight, dpi, top;
    } cases[] = {
        {200, 96, 172}, {200, 144, 158}, {200, 192, 144}, {28, 96, 0}, {10, 96, 0}, {0, 192, 0}, {57, 192, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusTopFor(c.clientHeight, c.dpi), c.top) << c.clientHeight << " px at " << c.dpi;
    }
}

TEST(MainWindowGeometryTest, SidebarWidthKeepsBetweenTheMinimumAndFortyPercent) {
    struct Case {
        int32_t widthDip, dpi, clientWidth, pixels;
    } cases[] = {
        {250, 96, 1000, 250},                                               // as stored
        {600, 96, 1000, 400},                                               // 40% of the client
        {250, 96, 300, 160},                                                // narrow window: the minimum wins over 40%
        {100, 96, 1000, 160},                                               // below the minimum
        {250, 144, 1500, 375},                                              // scaled
        {600, 144, 1500, 600},                                              // 40% of 1500
        {250, 144, 400, 240},                                               // minimum at 144 DPI
        {250, 192, 2000, 500}, {160, 192, 100, 320}, {401, 96, 1003, 401},  // 1003 * 40 / 100 = 401 (integer division)
        {402, 96, 1003, 401},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SidebarPixelWidth(c.widthDip, c.dpi, c.clientWidth), c.pixels)
            << c.widthDip << " DIP at " << c.dpi << " in " << c.clientWidth;
    }
}

TEST(MainWindowGeometryTest, TreeBandIsWholeRowsBetweenMenuAndButton) {
    struct Case {
        int32_t menuHeight, statusTop, dpi, top, height;
    } cases[] = {
        {30, 172, 96, 36, 84},     // 108 - 108 mod 28
        {30, 64, 96, 36, 0},       // no room for a row
        {30, 20, 96, 36, 0},       // negative room counts as none
        {45, 500, 144, 54, 378},   // unit 42: 404 -> 378
        {60, 1000, 192, 72, 840},  // unit 56: 872 -> 840
    };
    for (const Case& c : cases) {
        const TreeBand band = TreeBandFor(c.menuHeight, c.statusTop, c.dpi);
        EXPECT_EQ(band.top, c.top) << c.statusTop << " at " << c.dpi;
        EXPECT_EQ(band.height, c.height) << c.statusTop << " at " << c.dpi;
    }
}

TEST(MainWindowGeometryTest, RectanglesAtThreeDpis) {
    struct Case {
        int32_t dpi;
        RECT splitter, button, highlight, label;
        PlusSign plus;
    } cases[] = {
        // sidebar 250 px, menu 30, status top 572, label 40 px wide
        {96,
         {248, 30, 253, 572},
         {0, 544, 250, 572},
         {8, 547, 76, 569},
         {31, 544, 238, 572},
         {{12, 557, 23, 559}, {16, 553, 18, 564}}},
        {144,
         {247, 30, 254, 572},
         {0, 530, 250, 572},
         {12, 535, 94, 567},
         {45, 530, 232, 572},
         {{18, 550, 33, 552}, {24, 544, 26, 559}}},
        {192,
         {246, 30, 255, 572},
         {0, 516, 250, 572},
         {16, 522, 112, 566},
         {61, 516, 226, 572},
         {{24, 543, 45, 546}, {33, 534, 36, 555}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_TRUE(SameRect(c.splitter, SplitterRectFor(250, 30, 572, c.dpi)));
        EXPECT_TRUE(SameRect(c.button, NewProjectButtonRectFor(250, 572, c.dpi)));
        EXPECT_TRUE(SameRect(c.highlight, NewProjectHighlightRectFor(250, 572, 40, c.dpi)));
        EXPECT_TRUE(SameRect(c.label, NewProjectLabelRectFor(250, 572, c.dpi)));
        const PlusSign plus = PlusSignFor(572, c.dpi);
        EXPECT_TRUE(SameRect(c.plus.horizontal, plus.horizontal));
        EXPECT_TRUE(SameRect(c.plus.vertical, plus.vertical));
    }
}

TEST(MainWindowGeometryTest, HighlightNeverReachesPastTheSidebar) {
    EXPECT_EQ(NewProjectHighlightRectFor(160, 572, 400, 96).right, 160);
    EXPECT_EQ(NewProjectHighlightRectFor(500, 572, 400, 96).right, 8 + 6 + 400 + 10 + 12);
}

TEST(MainWindowGeometryTest, PlusSignIsOddAndCentredOnTheButton) {
    for (const int32_t dpi : {96, 120, 144, 168, 192, 288}) {
        const PlusSign plus = PlusSignFor(600, dpi);
        const int32_t size = plus.horizontal.right - plus.horizontal.left;
        EXPECT_EQ(size % 2, 1) << dpi;
        EXPECT_EQ(plus.vertical.bottom - plus.vertical.top, size) << dpi;
        EXPECT_GE(plus.horizontal.bottom - plus.horizontal.top, 1) << dpi;
        const RECT button = NewProjectButtonRectFor(250, 600, dpi);
        EXPECT_GE(plus.vertical.top, button.top) << dpi;
        EXPECT_LE(plus.vertical.bottom, button.bottom) << dpi;
    }
}

TEST(MainWindowGeometryTest, StartRectIsCentredAndNeverLargerThanTheWorkArea) {
    struct Case {
        RECT work;
        int32_t dpi;
        RECT start;
    } cases[] = {
        {{0, 0, 1920, 1040}, 96, {410, 160, 1510, 880}},
        {{0, 0, 1024, 700}, 96, {0, 0, 1024, 700}},     // smaller both ways: the whole work area
        {{0, 0, 1000, 1000}, 96, {0, 140, 1000, 860}},  // narrower only
        {{100, 50, 3940, 2150}, 192, {920, 380, 3120, 1820}},
        {{0, 0, 2560, 1400}, 144, {455, 160, 2105, 1240}},
        {{-1280, 0, 0, 1024}, 96, {-1190, 152, -90, 872}},  // a monitor left of the primary one
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(SameRect(c.start, StartRectFor(c.work, c.dpi))) << c.dpi;
    }
}

TEST(MainWindowGeometryTest, MenuStripHeightFollowsTheStripsOwnDpi) {
    EXPECT_EQ(MenuStripHeight(true, 96), 30);
    EXPECT_EQ(MenuStripHeight(true, 144), 45);
    EXPECT_EQ(MenuStripHeight(true, 192), 60);
    EXPECT_EQ(MenuStripHeight(false, 192), 0);
}

}  // namespace
}  // namespace lq::test
