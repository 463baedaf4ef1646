#pragma once

#include <cstdint>

namespace lq {

// Sizes of the editor given at 96 DPI and scaled to the window's DPI. Pure arithmetic, so every DPI
// can be checked without a monitor that has it.

inline constexpr int32_t kDefaultDpi = 96;
inline constexpr int32_t kDefaultFontSize = 16;
inline constexpr int32_t kMinFontSize = 6;
inline constexpr int32_t kMaxFontSize = 72;
inline constexpr int32_t kWheelNotch = 120;

// v × dpi ÷ 96, rounded to nearest (as MulDiv does, halves away from zero).
[[nodiscard]] int32_t ScaleForDpi(int32_t value, int32_t dpi) noexcept;

// The caret is 2 DIP wide; the text starts 12 DIP right of the margins.
[[nodiscard]] int32_t CaretWidthForDpi(int32_t dpi) noexcept;
[[nodiscard]] int32_t TextMarginLeftForDpi(int32_t dpi) noexcept;

// Width of the line-number margin: the measured width of its digits plus 12 DIP of padding.
[[nodiscard]] int32_t LineNumberMarginWidth(int32_t digitsTextWidth, int32_t dpi) noexcept;

// Digits the line-number margin is sized for: those of the line count (taken as at least 1), at
// least 3, so the margin does not jump while a note grows from 1 to 999 lines.
[[nodiscard]] int32_t LineNumberDigits(int64_t lineCount) noexcept;

// The editor's size in points kept within 6..72.
[[nodiscard]] int32_t ClampFontSize(int32_t points) noexcept;

// The 11-point user-interface font's LOGFONT height at a DPI (negative: a character height).
[[nodiscard]] int32_t UiFontHeightForDpi(int32_t dpi) noexcept;

// Ctrl+wheel zoom: wheel deltas are summed, and every whole notch (120) of the sum is one zoom step;
// the remainder carries over, so fine-grained wheels zoom as coarse ones do.
class WheelZoom {
public:
    // Adds a wheel delta; the result is the number of steps to take, positive to zoom in.
    [[nodiscard]] int32_t Add(int32_t delta) noexcept;
    [[nodiscard]] int32_t pending() const noexcept { return total_; }

private:
    int32_t total_ = 0;
};

}  // namespace lq
