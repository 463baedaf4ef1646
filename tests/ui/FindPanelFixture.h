#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/TestHostWindow.h"
#include "support/editor/EditorTestWindow.h"
#include "ui/FindPanel.h"

namespace lq::test {

// The text of a window.
inline std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Presses and releases a key in `target` as the keyboard would: WM_KEYDOWN (WM_SYSKEYDOWN with Alt
// and without Ctrl), the character the system translates it to, WM_KEYUP; the modifiers are held
// meanwhile in the thread's keyboard state and released afterwards.
inline void PressKeyIn(HWND target, UINT virtualKey, Modifiers modifiers = {}) {
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE state[256];
    std::memcpy(state, saved, sizeof(state));
    state[VK_CONTROL] = state[VK_LCONTROL] = modifiers.ctrl ? 0x80 : 0;
    state[VK_SHIFT] = state[VK_LSHIFT] = modifiers.shift ? 0x80 : 0;
    state[VK_MENU] = state[VK_LMENU] = modifiers.alt ? 0x80 : 0;
    state[virtualKey] = 0x80;
    SetKeyboardState(state);
    const bool system = modifiers.alt && !modifiers.ctrl;
    const bool extended = virtualKey == VK_DELETE || virtualKey == VK_LEFT || virtualKey == VK_RIGHT ||
                          virtualKey == VK_HOME || virtualKey == VK_END;
    const LPARAM downBits = 1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16) |
                            (extended ? (1 << 24) : 0) | (modifiers.alt ? (1 << 29) : 0);
    MSG down{target, system ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN}, virtualKey, downBits, 0, {}};
    TranslateMessage(&down);  // posts the character, if the key makes one
    DispatchMessageW(&down);
    TestHostWindow::PumpMessages();
    state[virtualKey] = 0;
    SetKeyboardState(state);
    SendMessageW(target, system ? WM_SYSKEYUP : WM_KEYUP, virtualKey, downBits | (1u << 30) | (1u << 31));
    SetKeyboardState(saved);
}

// A 32-bit top-down bitmap in a memory DC, for reading what a window draws into it.
class PixelCanvas {
public:
    PixelCanvas(int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
        // White, so that a pixel the painting missed stands out.
        if (pixels_) std::fill(pixels_, pixels_ + width * height, 0x00FFFFFFu);
    }
    ~PixelCanvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    [[nodiscard]] bool ok() const { return dc_ && pixels_; }
    [[nodiscard]] HDC dc() const { return dc_; }
    [[nodiscard]] COLORREF At(int x, int y) const {
        const uint32_t p = pixels_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The brightest channel of any pixel inside `area`: how light the ink drawn there is.
    [[nodiscard]] int BrightestIn(const RECT& area) const {
        int brightest = 0;
        for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height_); ++y) {
            for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width_); ++x) {
                const COLORREF c = At(x, y);
                brightest = std::max({brightest, int{GetRValue(c)}, int{GetGValue(c)}, int{GetBValue(c)}});
            }
        }
        return brightest;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* pixels_ = nullptr;
};

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
    void Print(PixelCanvas& canvas) {
        SendMessageW(panel_.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    }

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
