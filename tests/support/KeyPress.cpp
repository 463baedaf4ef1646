#include "support/KeyPress.h"

#include <cstring>

#include "support/TestHostWindow.h"

namespace lq::test {

bool IsExtendedKey(UINT virtualKey) {
    switch (virtualKey) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
        case VK_DIVIDE:
        case VK_APPS:
            return true;
        default:
            return false;
    }
}

HeldKeyboardState::HeldKeyboardState(Modifiers modifiers, UINT virtualKey) : virtualKey_(virtualKey) {
    GetKeyboardState(saved_);
    std::memcpy(state_, saved_, sizeof(state_));
    state_[VK_CONTROL] = state_[VK_LCONTROL] = modifiers.ctrl ? 0x80 : 0;
    state_[VK_SHIFT] = state_[VK_LSHIFT] = modifiers.shift ? 0x80 : 0;
    state_[VK_MENU] = state_[VK_LMENU] = modifiers.alt ? 0x80 : 0;
    if (virtualKey_ != 0) state_[virtualKey_] = 0x80;
    SetKeyboardState(state_);
}

HeldKeyboardState::~HeldKeyboardState() {
    SetKeyboardState(saved_);
}

void HeldKeyboardState::ReleaseKey() {
    if (virtualKey_ == 0) return;
    state_[virtualKey_] = 0;
    SetKeyboardState(state_);
}

void PressKeyIn(HWND target, UINT virtualKey, Modifiers modifiers) {
    HeldKeyboardState held(modifiers, virtualKey);
    // Alt with Ctrl is AltGr to the system: an ordinary key message.
    const bool system = modifiers.alt && !modifiers.ctrl;
    const LPARAM downBits = 1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16) |
                            (IsExtendedKey(virtualKey) ? (1 << 24) : 0) | (modifiers.alt ? (1 << 29) : 0);
    MSG down{target, system ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN}, virtualKey, downBits, 0, {}};
    TranslateMessage(&down);  // posts the character, if the key makes one
    DispatchMessageW(&down);
    TestHostWindow::PumpMessages();
    held.ReleaseKey();
    SendMessageW(target, system ? WM_SYSKEYUP : WM_KEYUP, virtualKey, downBits | (1u << 30) | (1u << 31));
}

}  // namespace lq::test
