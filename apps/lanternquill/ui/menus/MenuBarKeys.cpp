#include "ui/menus/MenuBarKeys.h"

#include <cwctype>

namespace lq {
namespace {

constexpr LPARAM kRepeatBit = LPARAM{1} << 30;
constexpr LPARAM kAltHeldBit = LPARAM{1} << 29;

int32_t Wrap(int32_t index, int32_t count) noexcept {
    return ((index % count) + count) % count;
}

MenuBarKeyOutcome OpenByKeyboard(MenuBarKeyState& state, int32_t index) noexcept {
    state.hotIndex = -1;
    return {true, true, index};
}

// A key press while a button is highlighted.
MenuBarKeyOutcome KeyInKeyboardMode(MenuBarKeyState& state, std::span<const wchar_t> mnemonics, WPARAM key) noexcept {
    const auto count = static_cast<int32_t>(mnemonics.size());
    state.pendingMenuKey = 0;
    switch (key) {
        case VK_RETURN:
        case VK_SPACE:
        case VK_UP:
        case VK_DOWN:
            return OpenByKeyboard(state, state.hotIndex);
        case VK_MENU:
        case VK_ESCAPE:
        case VK_F10:
            state.hotIndex = -1;
            break;
        case VK_LEFT:
            state.hotIndex = count > 0 ? Wrap(state.hotIndex - 1, count) : -1;
            break;
        case VK_RIGHT:
            state.hotIndex = count > 0 ? Wrap(state.hotIndex + 1, count) : -1;
            break;
        default: {
            const int32_t index = FindMnemonicIndex(mnemonics, static_cast<wchar_t>(key));
            if (index >= 0) return OpenByKeyboard(state, index);
            state.hotIndex = -1;
            break;
        }
    }
    return {true, true, -1};
}

}  // namespace

int32_t FindMnemonicIndex(std::span<const wchar_t> mnemonics, wchar_t key) noexcept {
    const auto upper = static_cast<wchar_t>(std::towupper(key));
    for (size_t i = 0; i < mnemonics.size(); ++i) {
        if (mnemonics[i] != 0 && mnemonics[i] == upper) return static_cast<int32_t>(i);
    }
    return -1;
}

MenuBarKeyOutcome DecideMenuBarSysChar(MenuBarKeyState& state, std::span<const wchar_t> mnemonics,
                                       wchar_t character) noexcept {
    if (character == L' ') return {};
    if (character == 0) {
        // No buttons: there is nothing to highlight, so keyboard mode is not entered.
        state.hotIndex = (state.hotIndex < 0 && !mnemonics.empty()) ? 0 : -1;
        return {true, true, -1};
    }
    const int32_t index = FindMnemonicIndex(mnemonics, character);
    if (index >= 0) return OpenByKeyboard(state, index);
    return {true, false, -1};
}

MenuBarKeyOutcome DecideMenuBarKey(MenuBarKeyState& state, std::span<const wchar_t> mnemonics, UINT message,
                                   WPARAM wParam, LPARAM lParam, bool shiftDown) noexcept {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (state.hotIndex >= 0) return KeyInKeyboardMode(state, mnemonics, wParam);
            if ((wParam == VK_MENU || (wParam == VK_F10 && !shiftDown)) && (lParam & kRepeatBit) == 0) {
                state.pendingMenuKey = static_cast<uint32_t>(wParam);
            } else {
                state.pendingMenuKey = 0;
            }
            return {};
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (wParam != VK_MENU && wParam != VK_F10) return {};
            if (state.pendingMenuKey != 0 && wParam == state.pendingMenuKey) {
                state.pendingMenuKey = 0;
                if (mnemonics.empty()) return {true, false, -1};
                state.hotIndex = 0;
                return {true, true, -1};
            }
            // The bar alone decides what a lone Alt or F10 means. The system's default handling would
            // turn this release into the menu key (SC_KEYMENU) after a press the bar or a key binding
            // has already taken, and toggle keyboard mode back on. Translation is another matter: the
            // release of Alt is where the system makes the character of an Alt+numpad code.
            return {true, false, -1, wParam == VK_MENU};
        case WM_SYSCHAR: {
            const auto character = static_cast<wchar_t>(wParam);
            if ((lParam & kAltHeldBit) == 0 || character == L'\t' || character == 0x1B || character == L' ') return {};
            state.pendingMenuKey = 0;
            return DecideMenuBarSysChar(state, mnemonics, character);
        }
        case WM_NCLBUTTONDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            state.pendingMenuKey = 0;
            const bool wasInKeyboardMode = state.hotIndex >= 0;
            state.hotIndex = -1;
            return {false, wasInKeyboardMode, -1};
        }
        default:
            return {};
    }
}

}  // namespace lq
