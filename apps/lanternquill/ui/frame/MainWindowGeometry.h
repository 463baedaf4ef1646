#pragma once

#include <windows.h>

#include <cstdint>

namespace lq {

// The main window's layout arithmetic as pure functions of the client size, the DPI and the sidebar
// settings, so every quantity can be checked without a window. Sizes are DIP scaled to `dpi` one
// value at a time (MulDiv(value, dpi, 96)) before sums are formed.

[[nodiscard]] inline int32_t ScaleDip(int32_t value, int32_t dpi) noexcept {
    return MulDiv(value, dpi, 96);
}

// The height of one sidebar row, the new-project button and the status strip (28 DIP).
[[nodiscard]] inline int32_t LayoutUnit(int32_t dpi) noexcept {
    return ScaleDip(28, dpi);
}

// The menu strip's height at the strip's own DPI; 0 without a strip.
[[nodiscard]] int32_t MenuStripHeight(bool stripExists, int32_t stripDpi) noexcept;

// The top of the status strip: the client height less 28 DIP, 0 when that leaves nothing.
[[nodiscard]] int32_t StatusTopFor(int32_t clientHeight, int32_t dpi) noexcept;

// The sidebar's width in pixels: the stored width, kept between 160 DIP and 40% of the client width
// (the minimum wins in a narrow window). The stored width itself never changes here.
[[nodiscard]] int32_t SidebarPixelWidth(int32_t widthDip, int32_t dpi, int32_t clientWidth) noexcept;

// The splitter on the sidebar's right edge, from the menu strip down to the status strip.
[[nodiscard]] RECT SplitterRectFor(int32_t sidebarWidthPx, int32_t menuHeight, int32_t statusTop, int32_t dpi) noexcept;

// The new-project button across the sidebar's foot, just above the status strip.
[[nodiscard]] RECT NewProjectButtonRectFor(int32_t sidebarWidthPx, int32_t statusTop, int32_t dpi) noexcept;

// The hover highlight of the button: around the plus sign and the label, never past the sidebar.
[[nodiscard]] RECT NewProjectHighlightRectFor(int32_t sidebarWidthPx, int32_t statusTop, int32_t labelWidth,
                                              int32_t dpi) noexcept;

// Where the tree goes: below the menu strip with a 6-DIP gap, as tall as whole 28-DIP rows allow
// above the new-project button.
struct TreeBand {
    int32_t top = 0;
    int32_t height = 0;
};
[[nodiscard]] TreeBand TreeBandFor(int32_t menuHeight, int32_t statusTop, int32_t dpi) noexcept;

// The two bars of the new-project button's plus sign (its size always odd, so it has a centre).
struct PlusSign {
    RECT horizontal{};
    RECT vertical{};
};
[[nodiscard]] PlusSign PlusSignFor(int32_t statusTop, int32_t dpi) noexcept;

// Where the button's label is drawn, right of the plus sign.
[[nodiscard]] RECT NewProjectLabelRectFor(int32_t sidebarWidthPx, int32_t statusTop, int32_t dpi) noexcept;

// The start rectangle: 1100 x 720 DIP, no larger than the work area, centred in it.
[[nodiscard]] RECT StartRectFor(const RECT& workArea, int32_t dpi) noexcept;

}  // namespace lq
