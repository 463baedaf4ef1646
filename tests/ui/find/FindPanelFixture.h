#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/PixelCapture.h"
#include "support/TestHostWindow.h"
#include "support/editor/EditorTestWindow.h"
#include "ui/find/FindPanel.h"

namespace lq::test {

// The text of a window.
inline std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// A find panel made under a host window that stands in for the main window; every action it raises
// is recorded.
class FindPanelFixture : public ::testing::Test {
protected:
    using Action = FindPanel::Action;
    using Mode = FindPanel::Mode;

    void SetUp() override {
        ASSERT_TRUE(host_.ok());
        // Shown, so focus and painting behave as in the program.
        ShowWindow(host_.hwnd(), SW_SHOWNOACTIVATE);
    }

    [[nodiscard]] bool CreatePanel(int32_t dpi = 96) {
        return panel_.Create(host_.hwnd(), GetModuleHandleW(nullptr), dpi,
                             [this](Action action) { actions_.push_back(action); });
    }

    // Opens the panel in `mode` over `host` as the main window does: the edits of the mode shown,
    // placed at the host rectangle, shown without activation.
    void ShowIn(Mode mode, RECT host = RECT{0, 0, 800, 600}) {
        panel_.mode = mode;
        panel_.verticalOffset = 0;
        ShowWindow(panel_.findEdit, mode != Mode::GoToLine ? SW_SHOWNA : SW_HIDE);
        ShowWindow(panel_.replaceEdit, mode == Mode::Replace ? SW_SHOWNA : SW_HIDE);
        ShowWindow(panel_.lineEdit, mode == Mode::GoToLine ? SW_SHOWNA : SW_HIDE);
        panel_.SetHostRect(host);
        SetWindowPos(panel_.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        TestHostWindow::PumpMessages();
    }

    // The panel's rectangle in the host's client coordinates.
    [[nodiscard]] RECT PanelPlace() const {
        RECT place{};
        GetWindowRect(panel_.hwnd, &place);
        MapWindowPoints(HWND_DESKTOP, host_.hwnd(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    // A control's rectangle in the panel's client coordinates.
    [[nodiscard]] RECT PlaceInPanel(HWND control) const {
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(HWND_DESKTOP, panel_.hwnd, reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    [[nodiscard]] RECT AreaOf(int32_t type) const {
        for (const auto& area : panel_.hitAreas) {
            if (area.type == type) return area.rect;
        }
        ADD_FAILURE() << "no hit area of type " << type;
        return {};
    }

    static POINT CentreOf(const RECT& rect) {
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    static LPARAM PointParam(POINT point) { return MAKELPARAM(point.x, point.y); }

    void ClickOn(int32_t type) {
        SendMessageW(panel_.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(CentreOf(AreaOf(type))));
        SendMessageW(panel_.hwnd, WM_LBUTTONUP, 0, PointParam(CentreOf(AreaOf(type))));
    }

    // What the panel draws, as WM_PRINTCLIENT gives it (the edits themselves are not in it).
    void Print(PixelCapture& canvas) { canvas.Print(panel_.hwnd); }

    [[nodiscard]] SIZE PanelSize() const {
        RECT client{};
        GetClientRect(panel_.hwnd, &client);
        return SIZE{client.right, client.bottom};
    }

    TestHostWindow host_{800, 600};
    FindPanel panel_;  // destroyed before the host, whose destruction would take the panel window along
    std::vector<Action> actions_;
};

}  // namespace lq::test
