#pragma once

// The main window in front with the keyboard focus, driven by the system's input (SendInput) while
// its own message loop runs: every key and click takes the user's path, through the loop's
// pre-translation, translation, the focused window and the windows' default handling.
//
//   StartInFront();
//   RunSteps({[] { SendKeys({VK_MENU}); }, [&] { EXPECT_EQ(main->menuBar.hotIndex(), 0); }});
#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "MainWindowNotesFixture.h"
#include "support/SystemInput.h"

namespace lq::test {

class MainWindowInputFixture : public MainWindowNotesFixture {
protected:
    void TearDown() override {
        ReleaseTestKeys();
        Pump();
        MainWindowNotesFixture::TearDown();
    }

    // Start() with the window in front and the editor focused.
    void StartInFront() {
        Start();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(BringToForeground(hwnd()));
        ReleaseTestKeys();
        SetFocus(main->editor.hwnd());
        ASSERT_EQ(GetFocus(), main->editor.hwnd());
    }

    // Runs the steps one per timer tick inside the window's own message loop, which handles what each
    // step's input causes before the next step runs.
    void RunSteps(const std::vector<std::function<void()>>& steps) {
        ASSERT_TRUE(RunInputScript(steps, [this] { main->RunMessageLoop(); })) << "the steps did not finish";
    }

    // The screen point of a client point of `window`.
    [[nodiscard]] static POINT OnScreen(HWND window, POINT client) {
        ClientToScreen(window, &client);
        return client;
    }

    // The rectangle of the open menu, which is closed; none when no menu is open.
    [[nodiscard]] static std::optional<RECT> CloseOpenMenu() {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return std::nullopt;
        RECT rect{};
        GetWindowRect(menu, &rect);
        EndMenu();
        return rect;
    }
};

}  // namespace lq::test
