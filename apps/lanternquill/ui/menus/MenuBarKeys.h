#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace lq {

// The keyboard side of the menu bar as pure decisions, so every key sequence can be checked without a
// window: the bar keeps a MenuBarKeyState and applies what each decision asks for.

// hotIndex >= 0: keyboard mode, that button highlighted. pendingMenuKey: an Alt or F10 pressed alone,
// waiting for its release.
struct MenuBarKeyState {
    int32_t hotIndex = -1;
    uint32_t pendingMenuKey = 0;
};

// What the bar must do after a message.
struct MenuBarKeyOutcome {
    bool consumed = false;   // neither translate nor dispatch the message
    bool repaint = false;    // the highlight changed
    int32_t openIndex = -1;  // open this button's menu as by keyboard; -1 = none
    bool translate = false;  // consumed, yet translated all the same (never dispatched)
};

// The first button whose mnemonic is not 0 and equals the upper-cased key; -1 when none.
[[nodiscard]] int32_t FindMnemonicIndex(std::span<const wchar_t> mnemonics, wchar_t key) noexcept;

// The menu key handling of WM_SYSCOMMAND SC_KEYMENU and of Alt+character: Space is not handled (the
// system menu opens); 0 (the menu key alone) toggles keyboard mode; any other character is handled
// and opens the menu with that mnemonic, if one has it.
[[nodiscard]] MenuBarKeyOutcome DecideMenuBarSysChar(MenuBarKeyState& state, std::span<const wchar_t> mnemonics,
                                                     wchar_t character) noexcept;

// One message of the message loop, before any other key handling. `shiftDown` is whether Shift is
// held (Shift+F10 is the context-menu key, not the menu bar's). Opening a menu leaves keyboard mode.
// Every release of Alt or F10 is consumed: only a pending one enters keyboard mode. Any other release
// of Alt is still translated, since it may end an Alt+numpad character code.
[[nodiscard]] MenuBarKeyOutcome DecideMenuBarKey(MenuBarKeyState& state, std::span<const wchar_t> mnemonics,
                                                 UINT message, WPARAM wParam, LPARAM lParam, bool shiftDown) noexcept;

}  // namespace lq
