#pragma once

#include <windows.h>

namespace lq {

// Window attributes of DwmSetWindowAttribute that the MinGW headers do not name, with the values
// the platform documents for them.
inline constexpr DWORD kDwmUseImmersiveDarkModeBefore20H1 = 19;  // the same switch on older Windows 10 builds
inline constexpr DWORD kDwmUseImmersiveDarkMode = 20;            // DWMWA_USE_IMMERSIVE_DARK_MODE, a BOOL
inline constexpr DWORD kDwmBorderColor = 34;                     // DWMWA_BORDER_COLOR, a COLORREF
inline constexpr DWORD kDwmCaptionColor = 35;                    // DWMWA_CAPTION_COLOR, a COLORREF
inline constexpr DWORD kDwmTextColor = 36;                       // DWMWA_TEXT_COLOR, a COLORREF

}  // namespace lq
