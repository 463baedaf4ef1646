#include <gtest/gtest.h>

#include "ui/frame/WindowPlacement.h"

namespace lq::test {
namespace {

TEST(WindowPlacementTest, FormatsPlainDecimals) {
    EXPECT_EQ(FormatPlacementText(RECT{100, 80, 1200, 800}, false), "100,80,1200,800,0");
    EXPECT_EQ(FormatPlacementText(RECT{-1900, -8, 0, 1032}, true), "-1900,-8,0,1032,1");
    EXPECT_EQ(FormatPlacementText(RECT{0, 0, 0, 0}, false), "0,0,0,0,0");
    EXPECT_EQ(FormatPlacementText(RECT{INT32_MIN, INT32_MAX, 7, 9}, false), "-2147483648,2147483647,7,9,0");
}

TEST(WindowPlacementTest, ParsesExactlyFiveNumbersFromTheStart) {
    struct Case {
        const char* text;
        bool accepted;
        RECT rect;
        bool maximised;
    } cases[] = {
        {"10,20,1000,700,1", true, {10, 20, 1000, 700}, true},
        {"100,80,1200,800,0", true, {100, 80, 1200, 800}, false},
        {"10,20,1000,700,0,99", true, {10, 20, 1000, 700}, false},  // after the fifth: ignored
        {"10,20,1000,700,0x", true, {10, 20, 1000, 700}, false},
        {"10,20,1000,700,7", true, {10, 20, 1000, 700}, true},  // any non-zero fifth number
        {"-1900,-8,0,1032,0", true, {-1900, -8, 0, 1032}, false},
        {"10,20,1000,700,-1", true, {10, 20, 1000, 700}, true},
        {"10 20", false, {}, false},  // stops at the space
        {"1,2,3,4,5", true, {1, 2, 3, 4}, true},
        {"-2147483648,0,2147483647,1,0", true, {INT32_MIN, 0, INT32_MAX, 1}, false},
        {"10,20,1000,700", false, {}, false},  // four numbers
        {"10,20,1000,700,", false, {}, false},
        {"a,20,1000,700,0", false, {}, false},
        {"10;20;1000;700;0", false, {}, false},   // stops at ";"
        {"10,,20,1000,700,0", false, {}, false},  // one "," only after a number
        {"", false, {}, false},
        {"-,20,1000,700,0", false, {}, false},
        {"+10,20,1000,700,0", false, {}, false},
        {"2147483648,20,1000,700,0", false, {}, false},  // out of range stops the reading
        {"10,20,1000,700,99999999999999999999", false, {}, false},
        {"10,-2147483649,1000,700,0", false, {}, false},
        {" 10,20,1000,700,0", false, {}, false},
    };
    for (const Case& c : cases) {
        const std::optional<PlacementValues> parsed = ParsePlacementText(c.text);
        ASSERT_EQ(parsed.has_value(), c.accepted) << '"' << c.text << '"';
        if (!parsed) continue;
        EXPECT_TRUE(EqualRect(&parsed->normal, &c.rect)) << '"' << c.text << '"';
        EXPECT_EQ(parsed->maximised, c.maximised) << '"' << c.text << '"';
    }
}

TEST(WindowPlacementTest, FormattedTextParsesBack) {
    for (const RECT& rect : {RECT{100, 80, 1200, 800}, RECT{-1900, -8, 0, 1032}, RECT{INT32_MIN, -1, INT32_MAX, 0}}) {
        for (const bool maximised : {false, true}) {
            const std::optional<PlacementValues> parsed = ParsePlacementText(FormatPlacementText(rect, maximised));
            ASSERT_TRUE(parsed);
            EXPECT_TRUE(EqualRect(&parsed->normal, &rect));
            EXPECT_EQ(parsed->maximised, maximised);
        }
    }
}

TEST(WindowPlacementTest, SizeMustBeHalfTheMinimumWidthAndRightSideUp) {
    struct Case {
        RECT rect;
        int32_t dpi;
        bool usable;
    } cases[] = {
        {{0, 0, 320, 10}, 96, true},  // exactly half of 640
        {{0, 0, 319, 10}, 96, false},
        {{0, 0, 300, 400}, 96, false},   // 300 px wide at 96 DPI
        {{0, 0, 479, 400}, 144, false},  // half of 960 is 480
        {{0, 0, 480, 400}, 144, true},
        {{0, 0, 640, 400}, 192, true},
        {{0, 0, 639, 400}, 192, false},
        {{0, 10, 1000, 10}, 96, false},   // no height
        {{0, 20, 1000, 10}, 96, false},   // upside down
        {{500, 0, 100, 400}, 96, false},  // negative width
        {{INT32_MIN, 0, INT32_MAX, 1}, 96, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPlacementSizeUsable(c.rect, c.dpi), c.usable)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom << " at " << c.dpi;
    }
}

}  // namespace
}  // namespace lq::test
