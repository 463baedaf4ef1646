#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "ui/frame/MainWindowGeometry.h"

namespace lq::test {
namespace {

class MainWindowPlacementTest : public MainWindowFixture {
protected:
    WINDOWPLACEMENT Placement() {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        EXPECT_TRUE(GetWindowPlacement(hwnd(), &placement));
        return placement;
    }
};

TEST_F(MainWindowPlacementTest, AStoredPlacementIsRestoredAndWrittenBackTheSame) {
    MainWindowStart options;
    options.placement = "100,80,900,700,0";
    Start(options);
    EXPECT_TRUE(IsWindowVisible(hwnd()));
    EXPECT_FALSE(IsZoomed(hwnd()));
    const RECT expected{100, 80, 900, 700};
    const WINDOWPLACEMENT placement = Placement();
    EXPECT_TRUE(EqualRect(&placement.rcNormalPosition, &expected));
    EXPECT_EQ(FormatWindowPlacement(hwnd()), "100,80,900,700,0");
}

TEST_F(MainWindowPlacementTest, AMaximisedPlacementKeepsItsRestoredRectangle) {
    MainWindowStart options;
    options.placement = "10,20,1000,700,1";
    Start(options);
    EXPECT_TRUE(IsZoomed(hwnd()));
    const RECT expected{10, 20, 1000, 700};
    const WINDOWPLACEMENT placement = Placement();
    EXPECT_TRUE(EqualRect(&placement.rcNormalPosition, &expected));
    EXPECT_EQ(FormatWindowPlacement(hwnd()), "10,20,1000,700,1");
}

TEST_F(MainWindowPlacementTest, UnusableTextShowsTheStartSize) {
    MainWindowStart options;
    options.show = false;
    Start(options);
    RECT start{};
    GetWindowRect(hwnd(), &start);
    const char* texts[] = {
        "",
        "10,20,1000,700",  // four numbers
        "a,20,1000,700,0",
        "10;20;1000;700;0",
        "100,80,400,700,0",               // 300 px wide: below half the minimum width
        "100,700,1000,80,0",              // upside down
        "-30000,-30000,-29000,-29500,0",  // on no monitor
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        ShowWindow(hwnd(), SW_HIDE);
        main->RestorePlacement(text);
        EXPECT_TRUE(IsWindowVisible(hwnd()));
        EXPECT_FALSE(IsZoomed(hwnd()));
        RECT now{};
        GetWindowRect(hwnd(), &now);
        EXPECT_TRUE(EqualRect(&now, &start));
    }
}

TEST_F(MainWindowPlacementTest, TextAfterTheFifthNumberIsIgnored) {
    MainWindowStart options;
    options.placement = "120,90,1000,700,0,99";
    Start(options);
    EXPECT_EQ(FormatWindowPlacement(hwnd()), "120,90,1000,700,0");
}

}  // namespace
}  // namespace lq::test
