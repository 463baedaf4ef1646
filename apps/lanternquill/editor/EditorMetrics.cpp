#include "editor/EditorMetrics.h"

#include <windows.h>

#include <algorithm>

namespace lq {

int32_t ScaleForDpi(int32_t value, int32_t dpi) noexcept { return MulDiv(value, dpi, kDefaultDpi); }

int32_t CaretWidthForDpi(int32_t dpi) noexcept { return ScaleForDpi(2, dpi); }

int32_t TextMarginLeftForDpi(int32_t dpi) noexcept { return ScaleForDpi(12, dpi); }

int32_t LineNumberMarginWidth(int32_t digitsTextWidth, int32_t dpi) noexcept {
    return digitsTextWidth + ScaleForDpi(12, dpi);
}

int32_t LineNumberDigits(int64_t lineCount) noexcept {
    int32_t digits = 1;
    for (int64_t n = std::max<int64_t>(lineCount, 1); n >= 10; n /= 10) ++digits;
    return std::max(digits, 3);
}

int32_t ClampFontSize(int32_t points) noexcept { return std::clamp(points, kMinFontSize, kMaxFontSize); }

int32_t UiFontHeightForDpi(int32_t dpi) noexcept { return -MulDiv(11, dpi, 72); }

int32_t WheelZoom::Add(int32_t delta) noexcept {
    // Widened so that extreme deltas cannot overflow the running total; division truncates toward
    // zero, which leaves the remainder with the sign of the motion.
    const int64_t total = static_cast<int64_t>(total_) + delta;
    const int64_t steps = total / kWheelNotch;
    total_ = static_cast<int32_t>(total - steps * kWheelNotch);
    return static_cast<int32_t>(steps);
}

}  // namespace lq
