#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/KeyPress.h"
#include "support/TestHostWindow.h"
#include "ui/search/GlobalSearchView.h"

namespace lq::test {

// Modifier keys held in the thread's keyboard state while a test key is sent.
using HeldKeys = Modifiers;

// Sends `virtualKey` to `control` as `message` (WM_KEYDOWN or WM_SYSKEYDOWN) with `held` down in the
// keyboard state, which is put back afterwards.
inline void SendKey(HWND control, UINT virtualKey, HeldKeys held = {}, UINT message = WM_KEYDOWN) {
    const HeldKeyboardState state(held);
    const LPARAM bits =
        1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16) | (held.alt ? (1 << 29) : 0);
    SendMessageW(control, message, virtualKey, bits);
}

// Hits with the given titles in the project "Work", each with a snippet naming its title.
inline std::vector<SearchHit> MakeHits(std::initializer_list<const char*> titles) {
    std::vector<SearchHit> hits;
    int64_t id = 1;
    for (const char* title : titles) {
        SearchHit hit;
        hit.noteId = id++;
        hit.projectName = "Work";
        hit.title = title;
        hit.snippet = std::string("about ") + title;
        hit.inContent = true;
        hits.push_back(std::move(hit));
    }
    return hits;
}

// A global search view made under a hidden host window; every action it sends is recorded, and the
// host forwards WM_DRAWITEM to the view as the main window does.
class GlobalSearchViewFixture : public ::testing::Test {
protected:
    using Action = GlobalSearchView::Action;
    using Mode = GlobalSearchView::Mode;
    using Sent = std::pair<Action, int>;

    void SetUp() override {
        ASSERT_TRUE(host_.ok());
        host_.handler = [this](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_DRAWITEM && view_.OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return 1;
            return std::nullopt;
        };
    }

    [[nodiscard]] bool CreateView(int dpi = 96) {
        return view_.Create(host_.hwnd(), GetModuleHandleW(nullptr), dpi,
                            [this](Action action, int argument) { sent_.emplace_back(action, argument); });
    }

    // Puts the view in `mode`, shown and laid out over the host's client area, as the main window does.
    void ShowIn(Mode mode) {
        view_.SetMode(mode);
        view_.Show(true);
        RECT client{};
        GetClientRect(host_.hwnd(), &client);
        view_.Layout(client);
    }

    TestHostWindow host_{300, 600};
    GlobalSearchView view_;  // destroyed before the host: its destructor meets live controls
    std::vector<Sent> sent_;
};

}  // namespace lq::test
