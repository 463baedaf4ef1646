#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace lq {

// Sizes and colours of the owner-drawn dark menus. Sizes are DIP, scaled with MulDiv(value, dpi, 96);
// the functions are pure so every DPI can be checked without a monitor that has it.

inline constexpr int32_t kMenuItemHeightDip = 30;
inline constexpr int32_t kMenuSeparatorHeightDip = 9;
inline constexpr int32_t kMenuTextStartDip = 28;  // room for the check mark
inline constexpr int32_t kMenuTextEndGapDip = 16;
inline constexpr int32_t kMenuAcceleratorGapDip = 40;
inline constexpr int32_t kMenuSeparatorInsetDip = 8;
inline constexpr int32_t kMenuCheckMarkDip = 10;

inline constexpr COLORREF kMenuBackground = RGB(0x25, 0x25, 0x26);
inline constexpr COLORREF kMenuHighlight = RGB(0x3A, 0x3D, 0x41);
inline constexpr COLORREF kMenuSeparatorLine = RGB(0x45, 0x45, 0x45);
inline constexpr COLORREF kMenuText = RGB(0xCC, 0xCC, 0xCC);
inline constexpr COLORREF kMenuAcceleratorText = RGB(0x9D, 0x9D, 0x9D);
inline constexpr COLORREF kMenuDisabledText = RGB(0x6E, 0x6E, 0x6E);

// Height of an item or a separator at `dpi`.
[[nodiscard]] int32_t MenuItemHeight(bool separator, int32_t dpi) noexcept;

// The width to report for an item on WM_MEASUREITEM: 28 + 16 DIP + the label's width, plus 40 DIP and
// the accelerator's width when there is one, less the check-mark width the system adds to every
// owner-drawn item by itself (plus one), never below 0.
[[nodiscard]] int32_t MenuItemWidth(int32_t labelWidth, std::optional<int32_t> acceleratorWidth, int32_t dpi,
                                    int32_t systemCheckWidth) noexcept;

// Where the label and the right-aligned accelerator are drawn inside an item's rectangle.
[[nodiscard]] RECT MenuTextRect(const RECT& item, int32_t dpi) noexcept;

// The separator's line: inset from both sides, its top at the vertical middle, 1 DIP (at least
// 1 pixel) thick.
[[nodiscard]] RECT MenuSeparatorLine(const RECT& item, int32_t dpi) noexcept;

// The check mark as polylines of three points, one per pass (MulDiv(3, dpi, 192) passes, at least
// one), each a pixel lower than the one before.
[[nodiscard]] std::vector<std::array<POINT, 3>> MenuCheckMark(const RECT& item, int32_t dpi);

}  // namespace lq
