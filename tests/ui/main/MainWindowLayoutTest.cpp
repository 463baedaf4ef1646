#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "ui/frame/MainWindowGeometry.h"

namespace lq::test {
namespace {

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual) {
    if (EqualRect(&expected, &actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << ", " << expected.top << ")-("
                                         << expected.right << ", " << expected.bottom << "), got (" << actual.left
                                         << ", " << actual.top << ")-(" << actual.right << ", " << actual.bottom << ")";
}

class MainWindowLayoutTest : public MainWindowFixture {};

TEST_F(MainWindowLayoutTest, ChildrenTileTheClientArea) {
    Start();
    SetClientSize(1000, 600);
    ASSERT_EQ(main->dpi, 96) << "the layout below is written for 96 DPI";

    EXPECT_EQ(main->MenuHeight(), 30);
    EXPECT_EQ(main->StatusBarTop(), 572);
    EXPECT_TRUE(SameRect(RECT{0, 0, 1000, 30}, ChildRect(main->menuBar.toolbar())));
    // 6 DIP below the strip, whole 28-DIP rows above the new-project button: 508 -> 504.
    EXPECT_TRUE(SameRect(RECT{0, 36, 250, 540}, ChildRect(main->sidebar.hwnd())));
    // One pixel of separator right of the sidebar, down to the status strip.
    EXPECT_TRUE(SameRect(RECT{251, 30, 1000, 572}, ChildRect(main->editor.hwnd())));
    EXPECT_TRUE(SameRect(RECT{248, 30, 253, 572}, main->SplitterRect()));
    EXPECT_TRUE(SameRect(RECT{0, 544, 250, 572}, main->NewProjectButtonRect()));
    EXPECT_TRUE(SameRect(RECT{0, 572, 1000, 600}, main->StatusStripRect()));
}

TEST_F(MainWindowLayoutTest, AWideStoredSidebarShowsAtFortyPercentAndKeepsItsWidth) {
    MainWindowStart options;
    options.sidebarWidthDip = 600;
    Start(options);
    SetClientSize(1000, 600);
    EXPECT_EQ(main->SidebarWidthPx(), 400);
    EXPECT_EQ(ChildRect(main->sidebar.hwnd()).right, 400);
    EXPECT_EQ(ChildRect(main->editor.hwnd()).left, 401);
    EXPECT_EQ(main->sidebarWidthDip, 600);
    SetClientSize(1600, 600);
    EXPECT_EQ(main->SidebarWidthPx(), 600);
    EXPECT_EQ(ChildRect(main->sidebar.hwnd()).right, 600);
}

TEST_F(MainWindowLayoutTest, HidingTheSidebarGivesTheEditorTheWholeWidth) {
    Start();
    SetClientSize(1000, 600);
    main->SetSidebarVisible(300, false);
    EXPECT_FALSE(main->sidebarVisible);
    EXPECT_EQ(main->sidebarWidthDip, 300);
    EXPECT_FALSE(IsWindowVisible(main->sidebar.hwnd()));
    EXPECT_TRUE(SameRect(RECT{0, 30, 1000, 572}, ChildRect(main->editor.hwnd())));
    const RECT splitter = main->SplitterRect();
    const RECT button = main->NewProjectButtonRect();
    EXPECT_TRUE(IsRectEmpty(&splitter));
    EXPECT_TRUE(IsRectEmpty(&button));

    main->SetSidebarVisible(100, true);
    EXPECT_EQ(main->sidebarWidthDip, 160);  // never below the minimum
    EXPECT_TRUE(IsWindowVisible(main->sidebar.hwnd()));
    EXPECT_EQ(ChildRect(main->sidebar.hwnd()).right, 160);
    EXPECT_EQ(ChildRect(main->editor.hwnd()).left, 161);
}

TEST_F(MainWindowLayoutTest, TheGlobalViewTakesTheTreesPlace) {
    Start();
    SetClientSize(1000, 600);
    main->globalView = std::make_unique<GlobalSearchView>();
    ASSERT_TRUE(main->globalView->Create(hwnd(), GetModuleHandleW(nullptr), main->dpi, {}));
    main->globalViewShown = true;
    main->SetSidebarVisible(250, true);
    EXPECT_FALSE(IsWindowVisible(main->sidebar.hwnd()));
    EXPECT_TRUE(IsWindowVisible(main->globalView->queryEdit()));
    EXPECT_TRUE(SameRect(RECT{0, 36, 250, 572}, main->globalView->area()));

    main->SetSidebarVisible(250, false);
    EXPECT_FALSE(IsWindowVisible(main->globalView->queryEdit()));
    EXPECT_FALSE(IsWindowVisible(main->sidebar.hwnd()));
}

TEST_F(MainWindowLayoutTest, StartsCentredInThePrimaryWorkArea) {
    MainWindowStart options;
    options.show = false;
    Start(options);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    RECT window{};
    GetWindowRect(hwnd(), &window);
    EXPECT_TRUE(SameRect(StartRectFor(info.rcWork, main->dpi), window));
    EXPECT_FALSE(IsWindowVisible(hwnd()));  // shown only by RestorePlacement
}

}  // namespace
}  // namespace lq::test
