// The menu bar's keyboard mode as the keyboard drives it: keys from the system's input reach the
// focused editor through the message loop, and what the loop leaves goes on to the windows' default
// handling, which has its own idea of a lone Alt or F10.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/main/MainWindowInputFixture.h"

namespace lq::test {
namespace {

constexpr UINT kCloseMenu = 0;       // not a key: the menu that is open closes
constexpr UINT kClickEditor = 0x07;  // not a key: a left click in the editor, after the text
constexpr int kIdle = -1;

struct KeyStep {
    UINT key;
    bool down = true;
    int hotAfter = kIdle;  // the highlighted button once the step has been handled
};

struct Case {
    const char* what;
    std::vector<KeyStep> steps;
    bool togglesWrap = false;
};

class MenuBarKeyboardModeTest : public MainWindowInputFixture {
protected:
    void SetUp() override {
        MainWindowInputFixture::SetUp();
        if (HasFatalFailure()) return;
        const int64_t project = AddProject("Work");
        const int64_t note = AddNote(project, "Plan", "one");
        SetSetting("last.note_id", std::to_string(note));
        StartInFront();
    }

    std::function<void()> Perform(const KeyStep& step) {
        return [this, step] {
            if (step.key == kCloseMenu) {
                EXPECT_TRUE(CloseOpenMenu()) << "a menu was expected";
            } else if (step.key == kClickEditor) {
                const auto x = static_cast<LONG>(call().PointXFromPosition(call().Length()) + 30);
                const auto y = static_cast<LONG>(call().PointYFromPosition(0) + call().TextHeight(0) / 2);
                const POINT point = OnScreen(main->editor.hwnd(), {x, y});
                SendMouseAt(point, MOUSEEVENTF_LEFTDOWN);
                SendMouseAt(point, MOUSEEVENTF_LEFTUP);
            } else {
                SendKey(step.key, step.down);
            }
        };
    }
};

TEST_F(MenuBarKeyboardModeTest, EveryWayOutOfKeyboardModeLetsTheNextKeyReachTheEditor) {
    const Case cases[] = {
        {"Alt, Alt again", {{VK_MENU}, {VK_MENU, false, 0}, {VK_MENU, true, kIdle}, {VK_MENU, false}}},
        {"F10, F10 again", {{VK_F10}, {VK_F10, false, 0}, {VK_F10, true, kIdle}, {VK_F10, false}}},
        {"Alt, Esc", {{VK_MENU}, {VK_MENU, false, 0}, {VK_ESCAPE}, {VK_ESCAPE, false}}},
        {"F10, Esc", {{VK_F10}, {VK_F10, false, 0}, {VK_ESCAPE}, {VK_ESCAPE, false}}},
        {"Alt, a click in the editor", {{VK_MENU}, {VK_MENU, false, 0}, {kClickEditor}}},
        {"Alt+Z released Alt first", {{VK_MENU}, {'Z'}, {VK_MENU, false}, {'Z', false}}, true},
        {"Shift+F10 (its menu closed before the keys come up)",
         {{VK_SHIFT}, {VK_F10}, {kCloseMenu}, {VK_F10, false}, {VK_SHIFT, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        call().SetText("one");
        call().SetEmptySelection(3);
        const bool wrap = main->editor.wrap();
        std::vector<int> hot;
        std::vector<int> expectedHot;
        std::vector<std::function<void()>> steps;
        for (const KeyStep& step : c.steps) {
            steps.push_back(Perform(step));
            steps.push_back([&] { hot.push_back(main->menuBar.hotIndex()); });
            expectedHot.push_back(step.hotAfter);
        }
        steps.push_back([] { SendKeys({'X'}); });
        steps.push_back([&] { hot.push_back(main->menuBar.hotIndex()); });
        expectedHot.push_back(kIdle);
        RunSteps(steps);

        EXPECT_EQ(hot, expectedHot);
        EXPECT_EQ(EditorText(), "onex") << "the key after leaving reached the editor";
        EXPECT_EQ(main->editor.wrap(), c.togglesWrap ? !wrap : wrap);
        EXPECT_FALSE(CloseOpenMenu()) << "no menu was left open";
        EXPECT_EQ(main->menuBar.openIndex(), -1);
        EXPECT_EQ(GetFocus(), main->editor.hwnd());
        main->menuBar.OnOwnerActivate(true);
        if (main->menuBar.hotIndex() != kIdle) main->menuBar.OnOwnerActivate(false);  // the next case starts idle
    }
}

}  // namespace
}  // namespace lq::test
