#include "ui/search/GlobalSearchLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/search/GlobalSearchFocus.h"

namespace lq {
namespace {

std::string Show(const RECT& r) {
    return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "}";
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

#define EXPECT_RECT(actual, ...) EXPECT_TRUE(Same(actual, RECT __VA_ARGS__)) << #actual << " = " << Show(actual)

TEST(GlobalSearchViewLayout, SearchModeHasTheQueryRowAndTheListBelow) {
    const auto at96 = ComputeGlobalSearchLayout(RECT{0, 30, 250, 600}, 96, false, 60);
    EXPECT_RECT(at96.queryEdit, {12, 34, 238, 58});  // y = 30 + 2 + (32 - 28) / 2, height 28 - 4
    EXPECT_RECT(at96.list, {0, 62, 250, 600});
    EXPECT_RECT(at96.replaceEdit, {0, 0, 0, 0});
    EXPECT_RECT(at96.button, {0, 0, 0, 0});
    EXPECT_RECT(at96.status, {0, 0, 0, 0});

    // At 144 DPI the edit is 42 - 4 pixels high and starts 3 + (48 - 42) / 2 below the top.
    const auto at144 = ComputeGlobalSearchLayout(RECT{0, 0, 300, 900}, 144, false, 90);
    EXPECT_RECT(at144.queryEdit, {18, 6, 282, 44});
    EXPECT_RECT(at144.list, {0, 48, 300, 900});
}

TEST(GlobalSearchViewLayout, ReplaceModeAddsTheReplacementRowAndTheButtonRow) {
    const auto rects = ComputeGlobalSearchLayout(RECT{0, 30, 250, 600}, 96, true, 60);
    EXPECT_RECT(rects.queryEdit, {12, 34, 238, 58});
    EXPECT_RECT(rects.replaceEdit, {12, 66, 238, 90});
    // 76 wide (16 + text), 24 high, centred in the 28-pixel row that starts at 30 + 64.
    EXPECT_RECT(rects.button, {162, 96, 238, 120});
    EXPECT_RECT(rects.status, {12, 94, 154, 122});
    EXPECT_RECT(rects.list, {0, 122, 250, 600});

    const auto at144 = ComputeGlobalSearchLayout(RECT{10, 0, 310, 900}, 144, true, 90);
    EXPECT_RECT(at144.replaceEdit, {28, 54, 292, 92});
    EXPECT_RECT(at144.button, {178, 99, 292, 135});
    EXPECT_RECT(at144.status, {28, 96, 166, 138});
    EXPECT_RECT(at144.list, {10, 138, 310, 900});
}

TEST(GlobalSearchViewLayout, NarrowAndEmptyAreasNeverGiveNegativeSizes) {
    // The button is never wider than the fields, and the status text then has no room.
    const auto narrow = ComputeGlobalSearchLayout(RECT{0, 0, 80, 100}, 96, true, 200);
    EXPECT_RECT(narrow.button, {12, 66, 68, 90});
    EXPECT_RECT(narrow.status, {12, 64, 12, 92});
    EXPECT_RECT(narrow.list, {0, 92, 80, 100});

    const auto empty = ComputeGlobalSearchLayout(RECT{0, 0, 0, 0}, 96, true, 60);
    EXPECT_RECT(empty.queryEdit, {12, 4, 12, 28});
    EXPECT_RECT(empty.button, {-12, 66, -12, 90});
    EXPECT_RECT(empty.status, {12, 64, 12, 92});
    EXPECT_RECT(empty.list, {0, 92, 0, 92});

    const auto inverted = ComputeGlobalSearchLayout(RECT{100, 50, 40, 20}, 96, false, 0);
    EXPECT_RECT(inverted.queryEdit, {112, 54, 112, 78});
    EXPECT_RECT(inverted.list, {100, 82, 100, 82});
}

TEST(GlobalSearchViewLayout, AStatusTooWideForItsPlaceGoesBelowTheButtonRowAtAnyDpi) {
    // The default 250-DIP sidebar: 226 pixels of field at 96 DPI, 339 at 144 (375 wide).
    EXPECT_EQ(GlobalSearchFieldWidth(RECT{0, 30, 250, 600}, 96), 226);
    EXPECT_EQ(GlobalSearchFieldWidth(RECT{10, 0, 385, 900}, 144), 339);
    EXPECT_EQ(GlobalSearchFieldWidth(RECT{0, 0, 20, 10}, 96), 0);
    struct Case {
        const char* what;
        RECT area;
        uint32_t dpi;
        bool replace;
        GlobalSearchStatusExtent text;
        bool wraps;
        RECT status;
        RECT list;
    };
    const Case cases[] = {
        // Beside a 60-pixel label the place is 142 pixels wide: a text that fills it stays there.
        {"fits at 96", {0, 30, 250, 600}, 96, true, {142, 20}, false, {12, 94, 154, 122}, {0, 122, 250, 600}},
        // One pixel more: the field width below the button row, the list 6 DIP below the lines.
        {"wraps at 96", {0, 30, 250, 600}, 96, true, {143, 40}, true, {12, 122, 238, 162}, {0, 168, 250, 600}},
        // At 144 DPI the button row is 42 high from 96, the place beside a 90-pixel label 213 wide.
        {"fits at 144", {10, 0, 385, 900}, 144, true, {213, 30}, false, {28, 96, 241, 138}, {10, 138, 385, 900}},
        {"wraps at 144", {10, 0, 385, 900}, 144, true, {300, 60}, true, {28, 138, 367, 198}, {10, 207, 385, 900}},
        // Search mode has no status place whatever the text; a list pushed past the area is empty.
        {"search mode", {0, 30, 250, 600}, 96, false, {500, 80}, false, {0, 0, 0, 0}, {0, 62, 250, 600}},
        {"crowded", {0, 0, 250, 150}, 96, true, {400, 80}, true, {12, 92, 238, 172}, {0, 178, 250, 178}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto rects = ComputeGlobalSearchLayout(c.area, c.dpi, c.replace, c.dpi == 96 ? 60 : 90, c.text);
        EXPECT_EQ(rects.statusWraps, c.wraps);
        EXPECT_TRUE(Same(rects.status, c.status)) << Show(rects.status);
        EXPECT_TRUE(Same(rects.list, c.list)) << Show(rects.list);
    }
    // The button keeps its place when the text goes below it.
    const auto below = ComputeGlobalSearchLayout(RECT{0, 30, 250, 600}, 96, true, 60, {143, 40});
    EXPECT_RECT(below.button, {162, 96, 238, 120});
}

TEST(GlobalSearchViewLayout, RowsAndTheirTextBands) {
    EXPECT_EQ(GlobalSearchRowHeight(96), 52);
    EXPECT_EQ(GlobalSearchRowHeight(120), 65);
    EXPECT_EQ(GlobalSearchRowHeight(144), 78);

    const auto at96 = ComputeRowBands(RECT{0, 104, 250, 156}, 96);
    EXPECT_RECT(at96.title, {12, 108, 238, 130});
    EXPECT_RECT(at96.snippet, {12, 130, 238, 152});
    EXPECT_EQ(at96.projectGap, 8);
    const auto at144 = ComputeRowBands(RECT{0, 0, 300, 78}, 144);
    EXPECT_RECT(at144.title, {18, 6, 282, 39});
    EXPECT_RECT(at144.snippet, {18, 39, 282, 72});
    EXPECT_EQ(at144.projectGap, 12);
}

TEST(GlobalSearchViewLayout, ItemFromPointNamesARowOnlyWithHighWordZero) {
    EXPECT_TRUE(IsPointOnListRow(MAKELRESULT(0, 0)));
    EXPECT_TRUE(IsPointOnListRow(MAKELRESULT(3, 0)));
    EXPECT_FALSE(IsPointOnListRow(MAKELRESULT(3, 1)));
    EXPECT_FALSE(IsPointOnListRow(MAKELRESULT(0, 1)));
}

TEST(GlobalSearchViewFocus, RingHoldsOnlyTheControlsThatCanTakeTheFocus) {
    const HWND query = reinterpret_cast<HWND>(0x10), replace = reinterpret_cast<HWND>(0x20),
               button = reinterpret_cast<HWND>(0x30), list = reinterpret_cast<HWND>(0x40);
    struct Case {
        bool replaceMode, buttonEnabled, listHasRows;
        std::vector<HWND> ring;
    };
    const Case cases[] = {
        {false, true, false, {query}},
        {false, true, true, {query, list}},
        {true, false, false, {query, replace}},
        {true, true, false, {query, replace, button}},
        {true, true, true, {query, replace, button, list}},
        {true, false, true, {query, replace, list}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildFocusRing(query, replace, button, list, c.replaceMode, c.buttonEnabled, c.listHasRows), c.ring)
            << c.replaceMode << c.buttonEnabled << c.listHasRows;
    }
}

TEST(GlobalSearchViewFocus, NextWrapsBothWaysAndStartsFromTheFirstForStrangers) {
    const HWND a = reinterpret_cast<HWND>(0x10), b = reinterpret_cast<HWND>(0x20), c = reinterpret_cast<HWND>(0x30),
               stranger = reinterpret_cast<HWND>(0x99);
    const std::vector<HWND> ring{a, b, c};
    EXPECT_EQ(NextInFocusRing(ring, a, false), b);
    EXPECT_EQ(NextInFocusRing(ring, c, false), a);
    EXPECT_EQ(NextInFocusRing(ring, a, true), c);
    EXPECT_EQ(NextInFocusRing(ring, b, true), a);
    EXPECT_EQ(NextInFocusRing(ring, stranger, false), b);
    EXPECT_EQ(NextInFocusRing(ring, stranger, true), c);
    EXPECT_EQ(NextInFocusRing(std::vector<HWND>{a}, a, false), a);
    EXPECT_EQ(NextInFocusRing(std::vector<HWND>{}, a, false), nullptr);
}

}  // namespace
}  // namespace lq
