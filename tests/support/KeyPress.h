#pragma once

#include <windows.h>

namespace lq::test {

// Keys the keyboard reports with the extended-key flag; without it the editing component takes
// Alt+arrows for numeric-keypad character entry.
[[nodiscard]] bool IsExtendedKey(UINT virtualKey);

// Modifier keys held while a test key is pressed.
struct Modifiers {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// Holds `modifiers`, and `virtualKey` when it is not 0, down in the thread's keyboard state, as the
// keyboard would while a key is pressed; the state from before comes back when it goes.
class HeldKeyboardState {
public:
    explicit HeldKeyboardState(Modifiers modifiers, UINT virtualKey = 0);
    ~HeldKeyboardState();
    HeldKeyboardState(const HeldKeyboardState&) = delete;
    HeldKeyboardState& operator=(const HeldKeyboardState&) = delete;

    // The key comes up; the modifiers stay held.
    void ReleaseKey();

private:
    UINT virtualKey_;
    BYTE saved_[256];
    BYTE state_[256];
};

// Presses and releases a key in `target` as the keyboard would: WM_KEYDOWN (WM_SYSKEYDOWN with Alt
// and without Ctrl), the character the system translates it to, WM_KEYUP; the modifiers are held
// meanwhile in the thread's keyboard state and released afterwards.
void PressKeyIn(HWND target, UINT virtualKey, Modifiers modifiers = {});

}  // namespace lq::test
