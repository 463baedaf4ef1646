// The splitter between the sidebar and the editor under the pointer: its hit zone reaches a few pixels
// into both neighbours, for the pointer's shape and for a press, through the system's input and the
// window's own message loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindowInputFixture.h"

namespace lq::test {
namespace {

class MainWindowSplitterInputTest : public MainWindowInputFixture {
protected:
    void SetUp() override {
        MainWindowInputFixture::SetUp();
        if (HasFatalFailure()) return;
        const int64_t inbox = AddProject("Inbox");
        note = AddNote(inbox, "a", "one two\nthree");
        other = AddNote(inbox, "b");
        SetSetting("last.note_id", std::to_string(note));
        StartInFront();
    }

    int64_t note = 0, other = 0;
};

TEST_F(MainWindowSplitterInputTest, ThePointerShapeAndAPressFollowTheZoneOnBothSides) {
    struct Case {
        const char* what;
        int dx;  // from the first (dx <= 0) or the last (dx > 0) pixel of the zone, or from the line
        enum { FromLeft, FromLine, FromRight } from;
        bool inZone;
    };
    const Case cases[] = {
        {"the zone's first pixel, over the tree", 0, Case::FromLeft, true},
        {"one pixel left of the line", -1, Case::FromLine, true},
        {"the line itself", 0, Case::FromLine, true},
        {"one pixel right of the line, over the editor's margin", 1, Case::FromLine, true},
        {"the zone's last pixel, over the editor", 0, Case::FromRight, true},
        {"left of the zone", -1, Case::FromLeft, false},
        {"right of the zone", 1, Case::FromRight, false},
    };
    const HCURSOR sizing = LoadCursorW(nullptr, IDC_SIZEWE);
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        if (dpi != main->dpi) {
            RECT window{};
            GetWindowRect(hwnd(), &window);
            SendMessageW(hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&window));
            ASSERT_EQ(main->dpi, dpi);
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            PumpFor(std::chrono::milliseconds(GetDoubleClickTime() + 50));  // no double click
            main->SetSidebarVisible(250, true);
            main->sidebar.Select({false, other});
            main->sidebar.Select({false, note});
            call().SetSel(0, 3);
            SetFocus(main->editor.hwnd());
            const RECT zone = main->SplitterRect();
            const LONG line = main->SidebarWidthPx();  // the one-pixel column between the two
            ASSERT_LT(zone.left, line - 1) << "the zone reaches into the sidebar";
            ASSERT_GT(zone.right, line + 2) << "the zone reaches into the editor";
            const LONG x = c.dx + (c.from == Case::FromLeft   ? zone.left
                                   : c.from == Case::FromLine ? line
                                                              : zone.right - 1);
            const RECT editor = ChildRect(main->editor.hwnd());
            const LONG y = (editor.top + editor.bottom) / 2;
            const POINT press = OnScreen(hwnd(), {x, y});
            const POINT drop = OnScreen(hwnd(), {x + 40, y});
            bool sizingCursor = false;
            bool dragging = false;
            RunSteps({[=] {
                          SendMouseAt({press.x, press.y - 1});
                      },
                      [=] { SendMouseAt(press); }, [&] { sizingCursor = GetCursor() == sizing; },
                      [=] { SendMouseAt(press, MOUSEEVENTF_LEFTDOWN); }, [&] { dragging = main->draggingSplitter; },
                      [=] {
                          SendMouseAt({drop.x - 1, drop.y});
                      },
                      [=] { SendMouseAt(drop); }, [=] { SendMouseAt(drop, MOUSEEVENTF_LEFTUP); }});

            EXPECT_EQ(sizingCursor, c.inZone) << "the pointer's shape";
            EXPECT_EQ(dragging, c.inZone) << "the press grabbed the splitter";
            EXPECT_FALSE(main->draggingSplitter);
            // The width is kept in DIP: at 144 DPI the pixels come back rounded.
            EXPECT_NEAR(main->SidebarWidthPx(), c.inZone ? x + 40 : line, 1);
            if (c.inZone) {
                EXPECT_EQ(call().SelectionStart(), 0) << "the press selected nothing in the editor";
                EXPECT_EQ(call().SelectionEnd(), 3);
                EXPECT_EQ(Selection(), (TreeItemKey{false, note})) << "the tree took no press";
            }
        }
    }
}

TEST_F(MainWindowSplitterInputTest, TheZoneReachesOverTheGlobalSearchInTheSidebarsPlace) {
    main->ShowGlobalView(GlobalSearchView::Mode::Search);
    ASSERT_TRUE(main->globalView);
    ASSERT_TRUE(main->globalViewShown);
    const HWND list = main->globalView->resultList();
    const LONG line = main->SidebarWidthPx();
    const RECT listRect = ChildRect(list);
    ASSERT_EQ(listRect.right, line) << "the list reaches the sidebar's edge";
    const POINT press = OnScreen(hwnd(), {line - 1, (listRect.top + listRect.bottom) / 2});
    const POINT drop = OnScreen(hwnd(), {line + 39, (listRect.top + listRect.bottom) / 2});
    SetFocus(main->editor.hwnd());
    bool sizingCursor = false;
    bool dragging = false;
    RunSteps({[=] {
                  SendMouseAt({press.x, press.y - 1});
              },
              [=] { SendMouseAt(press); }, [&] { sizingCursor = GetCursor() == LoadCursorW(nullptr, IDC_SIZEWE); },
              [=] { SendMouseAt(press, MOUSEEVENTF_LEFTDOWN); }, [&] { dragging = main->draggingSplitter; },
              [=] { SendMouseAt(drop); }, [=] { SendMouseAt(drop, MOUSEEVENTF_LEFTUP); }});

    EXPECT_TRUE(sizingCursor);
    EXPECT_TRUE(dragging);
    EXPECT_EQ(main->SidebarWidthPx(), line + 39);
    EXPECT_EQ(GetFocus(), main->editor.hwnd()) << "the list took no press";
}

}  // namespace
}  // namespace lq::test
