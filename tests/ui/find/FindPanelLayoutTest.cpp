#include "ui/find/FindPanelLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace lq {
namespace {

using Mode = FindPanel::Mode;

::testing::AssertionResult Same(const RECT& actual, const RECT& expected) {
    if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << actual.left << ", " << actual.top << ", " << actual.right << ", "
                                         << actual.bottom << "} instead of {" << expected.left << ", " << expected.top
                                         << ", " << expected.right << ", " << expected.bottom << "}";
}

TEST(FindPanelRect, SitsInTheHostsTopRightCorner) {
    const struct {
        const char* name;
        RECT host;
        int32_t dpi;
        Mode mode;
        int32_t offset;
        RECT expected;
    } cases[] = {
        {"a wide host gives the full width", {100, 50, 900, 650}, 96, Mode::Find, 0, {532, 58, 892, 94}},
        {"exactly 376 DIP gives the full width", {0, 0, 376, 400}, 96, Mode::Find, 0, {8, 8, 368, 44}},
        {"a narrower host gives less", {0, 0, 200, 400}, 96, Mode::Find, 0, {8, 8, 192, 44}},
        {"below 16 DIP the width is 0", {0, 0, 10, 400}, 96, Mode::Find, 0, {2, 8, 2, 44}},
        {"Replace is two rows high", {0, 0, 800, 600}, 96, Mode::Replace, 0, {432, 8, 792, 80}},
        {"going to a line is one row", {0, 0, 800, 600}, 96, Mode::GoToLine, 0, {432, 8, 792, 44}},
        {"scaled at 144 DPI", {0, 0, 1200, 900}, 144, Mode::Replace, 0, {648, 12, 1188, 120}},
        {"pushed down by the offset", {0, 0, 800, 600}, 96, Mode::Find, 100, {432, 108, 792, 144}},
        {"a large offset stops at the host's bottom", {0, 0, 800, 600}, 96, Mode::Find, 5000, {432, 564, 792, 600}},
        {"never above its usual place", {0, 0, 800, 600}, 96, Mode::Find, -50, {432, 8, 792, 44}},
        {"a host lower than the panel keeps it at the top", {0, 0, 800, 20}, 96, Mode::Find, 40, {432, 8, 792, 44}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Same(ComputeFindPanelRect(c.host, c.dpi, c.mode, c.offset), c.expected)) << c.name;
}

std::vector<int32_t> TypesOf(const std::vector<FindPanel::HitArea>& areas) {
    std::vector<int32_t> types;
    for (const auto& area : areas) types.push_back(area.type);
    return types;
}

TEST(FindPanelHitAreas, FindModeHasCloseNextAndPreviousFromTheRight) {
    const auto areas = ComputeFindPanelHitAreas(360, 96, Mode::Find, 0, 0);
    ASSERT_EQ(TypesOf(areas), (std::vector<int32_t>{FindPanel::kClose, FindPanel::kNext, FindPanel::kPrevious}));
    EXPECT_TRUE(Same(areas[0].rect, {328, 4, 356, 32}));
    EXPECT_TRUE(Same(areas[1].rect, {300, 4, 328, 32}));
    EXPECT_TRUE(Same(areas[2].rect, {272, 4, 300, 32}));
    EXPECT_EQ(FindPanelEditRight(areas, 96), 268);
}

TEST(FindPanelHitAreas, GoToLineHasOnlyClose) {
    const auto areas = ComputeFindPanelHitAreas(360, 96, Mode::GoToLine, 40, 80);
    ASSERT_EQ(TypesOf(areas), (std::vector<int32_t>{FindPanel::kClose}));
    EXPECT_EQ(FindPanelEditRight(areas, 96), 324);
}

TEST(FindPanelHitAreas, ReplaceModeAddsTextButtonsOnTheSecondRow) {
    const auto areas = ComputeFindPanelHitAreas(360, 96, Mode::Replace, 30, 60);
    ASSERT_EQ(TypesOf(areas), (std::vector<int32_t>{FindPanel::kClose, FindPanel::kNext, FindPanel::kPrevious,
                                                    FindPanel::kReplaceAll, FindPanel::kReplace}));
    // Replace all: 60 + 2 × 8 wide, ending at the margin; replace: 30 + 16, a margin to its left.
    EXPECT_TRUE(Same(areas[3].rect, {280, 40, 356, 68}));
    EXPECT_TRUE(Same(areas[4].rect, {230, 40, 276, 68}));
    // The edits end before the replace button, which lies further left than the previous button.
    EXPECT_EQ(FindPanelEditRight(areas, 96), 226);
}

TEST(FindPanelHitAreas, ScaleWithTheDpi) {
    const auto areas = ComputeFindPanelHitAreas(540, 144, Mode::Replace, 45, 90);
    ASSERT_EQ(areas.size(), 5u);
    // m = 6, s = 42, row height 54, buttons 6 px into their row.
    EXPECT_TRUE(Same(areas[0].rect, {492, 6, 534, 48}));
    EXPECT_TRUE(Same(areas[2].rect, {408, 6, 450, 48}));
    EXPECT_TRUE(Same(areas[3].rect, {420, 60, 534, 102}));
    EXPECT_TRUE(Same(areas[4].rect, {345, 60, 414, 102}));
    EXPECT_EQ(FindPanelEditRight(areas, 144), 339);
}

TEST(FindPanelEditPlace, SitsInsideAFrameFromTheMarginToTheEditRight) {
    for (const int32_t dpi : {96, 144}) {
        for (const int32_t row : {0, 1}) {
            const FindPanelMetrics metrics = ComputeFindPanelMetrics(dpi);
            const int32_t editRight = MulDiv(268, dpi, 96);
            const int32_t textHeight = MulDiv(18, dpi, 96);
            const RECT edit = ComputeFindPanelEditRect(editRight, row, dpi, textHeight);
            EXPECT_EQ(edit.bottom - edit.top, textHeight);
            // Centred in the frame's height.
            const int32_t frameTop = row * metrics.rowHeight + metrics.buttonTop;
            EXPECT_EQ(edit.top - frameTop, (metrics.buttonSide - textHeight) / 2);
            const RECT frame = ComputeFindPanelFrameRect(edit, dpi);
            EXPECT_TRUE(Same(frame, {metrics.margin, frameTop, editRight, frameTop + metrics.buttonSide}))
                << dpi << " DPI, row " << row;
        }
    }
}

TEST(FindPanelEditPlace, AZeroWidthPanelGivesAnEmptyEdit) {
    const auto areas = ComputeFindPanelHitAreas(0, 96, Mode::Find, 0, 0);
    const RECT edit = ComputeFindPanelEditRect(FindPanelEditRight(areas, 96), 0, 96, 16);
    EXPECT_EQ(edit.right - edit.left, 0);
}

}  // namespace
}  // namespace lq
