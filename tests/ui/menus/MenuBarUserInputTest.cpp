// The menu bar under the user's hands, where the pointer and the keyboard meet: a pointer resting on a
// button while the arrows walk the menus, and Alt held for a numpad character code. Input comes from
// the system's queue and runs through the window's own message loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main/MainWindowInputFixture.h"

namespace lq::test {
namespace {

class MenuBarUserInputTest : public MainWindowInputFixture {
protected:
    void SetUp() override {
        MainWindowInputFixture::SetUp();
        if (HasFatalFailure()) return;
        const int64_t project = AddProject("Work");
        const int64_t note = AddNote(project, "Plan", "one");
        SetSetting("last.note_id", std::to_string(note));
        StartInFront();
    }

    [[nodiscard]] POINT ButtonCentre(int index) const {
        RECT rect{};
        SendMessageW(main->menuBar.toolbar(), TB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&rect));
        return OnScreen(main->menuBar.toolbar(), {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    }

    // The steps that type `keys` with Alt held, Alt coming up last.
    static std::vector<std::function<void()>> AltCode(const std::vector<UINT>& keys) {
        std::vector<std::function<void()>> steps{[] { SendKey(VK_MENU, true); }};
        for (const UINT key : keys) steps.push_back([key] { SendKeys({key}); });
        steps.push_back([] { SendKey(VK_MENU, false); });
        steps.push_back([] {});  // what the release leads to is handled before the script ends
        return steps;
    }
};

TEST_F(MenuBarUserInputTest, ArrowsWalkTheMenusWhileThePointerRestsOnAButton) {
    const POINT file = ButtonCentre(0);
    std::vector<int> open;
    auto note = [&] { open.push_back(main->menuBar.openIndex()); };
    const auto noteTwice = [&] {
        // The menu that opened has had time to see the system's report of the pointer.
        return std::vector<std::function<void()>>{note, [] {}, note};
    };
    std::vector<std::function<void()>> steps{
        [=] { SendMouseAt(file); }, [=] { SendMouseAt(file, MOUSEEVENTF_LEFTDOWN); },
        [=] { SendMouseAt(file, MOUSEEVENTF_LEFTUP); }, note, [] { SendKeys({VK_RIGHT}); }};
    for (auto& step : noteTwice()) steps.push_back(step);
    steps.push_back([] { SendKeys({VK_RIGHT}); });
    for (auto& step : noteTwice()) steps.push_back(step);
    steps.push_back([] { SendKeys({VK_LEFT}); });
    for (auto& step : noteTwice()) steps.push_back(step);
    // A real move over the File button takes its menu back.
    steps.push_back([=] { SendMouseAt({file.x + 2, file.y}); });
    for (auto& step : noteTwice()) steps.push_back(step);
    steps.push_back([] { SendKeys({VK_ESCAPE}); });
    steps.push_back([] { SendKeys({VK_ESCAPE}); });
    steps.push_back([] { (void)CloseOpenMenu(); });
    RunSteps(steps);

    EXPECT_EQ(open, (std::vector<int>{0, 1, 1, 2, 2, 1, 1, 0, 0}));
    EXPECT_EQ(main->menuBar.openIndex(), -1);
}

TEST_F(MenuBarUserInputTest, AnAltNumpadCodeLosesNoCharacterTheSystemMakesOfIt) {
    struct Case {
        const char* what;
        std::vector<UINT> keys;
    };
    const Case cases[] = {
        {"Alt+6 5", {VK_NUMPAD6, VK_NUMPAD5}},
        {"Alt+0 2 3 3", {VK_NUMPAD0, VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool wrap = main->editor.wrap();

        // What the system itself makes of the keys: a loop that translates and dispatches everything.
        call().SetText("");
        ASSERT_TRUE(RunInputScript(AltCode(c.keys), [] {
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }));
        // Windows posts the character when Alt comes up; Wine makes none at all.
        const std::string system = EditorText();
        ReleaseTestKeys();
        main->menuBar.OnOwnerActivate(false);  // whatever the default handling made of the lone Alt
        call().SetText("");

        RunSteps(AltCode(c.keys));

        EXPECT_EQ(EditorText(), system) << "the program's loop keeps the character, if the system makes one";
        EXPECT_EQ(main->menuBar.hotIndex(), -1) << "an Alt with keys typed under it is no menu key";
        EXPECT_EQ(main->menuBar.openIndex(), -1);
        EXPECT_FALSE(CloseOpenMenu());
        EXPECT_EQ(main->editor.wrap(), wrap);
        EXPECT_EQ(GetFocus(), main->editor.hwnd());
        ReleaseTestKeys();
    }
}

}  // namespace
}  // namespace lq::test
