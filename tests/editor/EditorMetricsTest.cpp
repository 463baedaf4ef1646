#include <gtest/gtest.h>

#include <climits>

#include "editor/EditorMetrics.h"

namespace lq {
namespace {

TEST(EditorMetricsTest, SizesScaleWithDpi) {
    struct Case {
        int32_t dpi, caret, textMargin, lineNumberPadding, uiFontHeight;
    };
    const Case cases[] = {
        {96, 2, 12, 12, -15},
        {120, 3, 15, 15, -18},  // 2.5 rounds up
        {144, 3, 18, 18, -22},
        {192, 4, 24, 24, -29},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(CaretWidthForDpi(c.dpi), c.caret);
        EXPECT_EQ(TextMarginLeftForDpi(c.dpi), c.textMargin);
        EXPECT_EQ(LineNumberMarginWidth(30, c.dpi), 30 + c.lineNumberPadding);
        EXPECT_EQ(UiFontHeightForDpi(c.dpi), c.uiFontHeight);
    }
}

TEST(EditorMetricsTest, LineNumberDigitsStartAtThree) {
    const std::pair<int64_t, int32_t> cases[] = {
        {-5, 3}, {0, 3}, {1, 3}, {99, 3}, {999, 3}, {1000, 4}, {9999, 4}, {10000, 5}, {INT64_MAX, 19},
    };
    for (const auto& [lines, digits] : cases) {
        SCOPED_TRACE(lines);
        EXPECT_EQ(LineNumberDigits(lines), digits);
    }
}

TEST(EditorMetricsTest, FontSizeIsKeptWithinSixToSeventyTwo) {
    const std::pair<int32_t, int32_t> cases[] = {
        {INT_MIN, 6}, {0, 6}, {5, 6}, {6, 6}, {16, 16}, {72, 72}, {73, 72}, {100, 72}, {INT_MAX, 72},
    };
    for (const auto& [in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(ClampFontSize(in), out);
    }
}

TEST(EditorMetricsTest, WheelDeltasMakeOneStepPerWholeNotch) {
    WheelZoom fine;
    EXPECT_EQ(fine.Add(40), 0);
    EXPECT_EQ(fine.Add(40), 0);
    EXPECT_EQ(fine.Add(40), 1);  // three fine notches are one step
    EXPECT_EQ(fine.pending(), 0);

    WheelZoom coarse;
    EXPECT_EQ(coarse.Add(360), 3);
    EXPECT_EQ(coarse.Add(-250), -2);
    EXPECT_EQ(coarse.pending(), -10);  // the remainder carries over
    EXPECT_EQ(coarse.Add(-110), -1);
    EXPECT_EQ(coarse.pending(), 0);

    // Turning back cancels what was pending rather than zooming the other way.
    WheelZoom reversal;
    EXPECT_EQ(reversal.Add(100), 0);
    EXPECT_EQ(reversal.Add(-100), 0);
    EXPECT_EQ(reversal.Add(-119), 0);
    EXPECT_EQ(reversal.Add(-1), -1);

    // Extreme deltas neither overflow nor lose steps.
    WheelZoom extreme;
    EXPECT_EQ(extreme.Add(INT_MAX), INT_MAX / 120);
    EXPECT_EQ(extreme.pending(), INT_MAX % 120);
    EXPECT_EQ(extreme.Add(INT_MIN), (static_cast<int64_t>(INT_MAX % 120) + INT_MIN) / 120);
}

}  // namespace
}  // namespace lq
