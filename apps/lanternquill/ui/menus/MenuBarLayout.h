#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

namespace lq {

// Sizes (DIP, scaled with MulDiv(value, dpi, 96)) and colours of the menu bar, as pure functions.

inline constexpr int32_t kMenuBarHeightDip = 30;
inline constexpr int32_t kMenuBarButtonPaddingDip = 10;  // each side of the label
inline constexpr int32_t kMenuBarIndentDip = 4;
inline constexpr int32_t kMenuBarFirstButtonId = 100;  // button i has the command id 100 + i

inline constexpr COLORREF kMenuBarBackground = RGB(0x3C, 0x3C, 0x3C);
inline constexpr COLORREF kMenuBarHighlight = RGB(0x50, 0x50, 0x50);
inline constexpr COLORREF kMenuBarText = RGB(0xCC, 0xCC, 0xCC);
inline constexpr COLORREF kMenuBarInactiveText = RGB(0x93, 0x93, 0x93);

[[nodiscard]] inline int32_t MenuBarHeight(int32_t dpi) noexcept {
    return MulDiv(kMenuBarHeightDip, dpi, 96);
}
[[nodiscard]] inline int32_t MenuBarIndent(int32_t dpi) noexcept {
    return MulDiv(kMenuBarIndentDip, dpi, 96);
}
[[nodiscard]] inline int32_t MenuBarButtonWidth(int32_t labelWidth, int32_t dpi) noexcept {
    return labelWidth + 2 * MulDiv(kMenuBarButtonPaddingDip, dpi, 96);
}

// Whether button `index` is drawn highlighted: pressed or hot in the control, highlighted in keyboard
// mode, or its menu is open. While a menu is open only its button is: the control keeps the button the
// pointer rests on hot after Left/Right has gone on to another menu.
[[nodiscard]] inline bool MenuBarButtonHighlighted(UINT itemState, int32_t index, int32_t hotIndex,
                                                   int32_t openIndex) noexcept {
    if (openIndex >= 0) return index == openIndex;
    return (itemState & (CDIS_SELECTED | CDIS_HOT)) != 0 || index == hotIndex || index == openIndex;
}

// Labels are dimmed while the main window is inactive, unless highlighted.
[[nodiscard]] inline COLORREF MenuBarTextColour(bool ownerActive, bool highlighted) noexcept {
    return ownerActive || highlighted ? kMenuBarText : kMenuBarInactiveText;
}

}  // namespace lq
