#include "ui/frame/DarkTitleBar.h"

#include <dwmapi.h>

#include "ui/frame/DwmAttributes.h"

namespace lq {

namespace {

HRESULT SetDword(WindowAttributeSetter setter, HWND window, DWORD attribute, DWORD value) {
    return setter(window, attribute, &value, sizeof(value));
}

}  // namespace

TitleBarMode ApplyDarkTitleBar(HWND window, bool active, WindowAttributeSetter setter) {
    if (setter == nullptr) setter = DwmSetWindowAttribute;
    if (FAILED(SetDword(setter, window, kDwmCaptionColor, RGB(0x3C, 0x3C, 0x3C)))) {
        const BOOL on = TRUE;
        if (SUCCEEDED(setter(window, kDwmUseImmersiveDarkMode, &on, sizeof(on)))) return TitleBarMode::ImmersiveDark;
        if (SUCCEEDED(setter(window, kDwmUseImmersiveDarkModeBefore20H1, &on, sizeof(on)))) {
            return TitleBarMode::ImmersiveDark;
        }
        return TitleBarMode::None;
    }
    // The caption colour took, so these two will too on any system that has it; nothing to check.
    (void)SetDword(setter, window, kDwmTextColor, active ? RGB(0xCC, 0xCC, 0xCC) : RGB(0x93, 0x93, 0x93));
    (void)SetDword(setter, window, kDwmBorderColor, RGB(0x33, 0x33, 0x33));
    return TitleBarMode::CaptionColours;
}

}  // namespace lq
