#pragma once

#include <windows.h>

#include <cstdint>

namespace lq {

// What ApplyDarkTitleBar managed to set.
enum class TitleBarMode : int32_t {
    CaptionColours = 0,  // caption, caption text and border colours set
    ImmersiveDark = 1,   // only the window manager's dark mode switched on
    None = 2,            // nothing could be set
};

// The window manager call that sets one window attribute (DwmSetWindowAttribute); a test seam.
using WindowAttributeSetter = HRESULT(WINAPI*)(HWND window, DWORD attribute, LPCVOID value, DWORD size);

// Asks the window manager for a dark title bar on `window`: the caption colour first, with the
// caption text dimmed while inactive; where that attribute is refused, the dark mode switch. The
// caller repeats the call on activation changes only when it got CaptionColours.
TitleBarMode ApplyDarkTitleBar(HWND window, bool active, WindowAttributeSetter setter = nullptr);

}  // namespace lq
