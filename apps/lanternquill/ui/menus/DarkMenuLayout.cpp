#include "ui/menus/DarkMenuLayout.h"

#include <algorithm>

namespace lq {
namespace {

int32_t Dip(int32_t value, int32_t dpi) noexcept {
    return MulDiv(value, dpi, 96);
}

}  // namespace

int32_t MenuItemHeight(bool separator, int32_t dpi) noexcept {
    return Dip(separator ? kMenuSeparatorHeightDip : kMenuItemHeightDip, dpi);
}

int32_t MenuItemWidth(int32_t labelWidth, std::optional<int32_t> acceleratorWidth, int32_t dpi,
                      int32_t systemCheckWidth) noexcept {
    int32_t width = Dip(kMenuTextStartDip, dpi) + Dip(kMenuTextEndGapDip, dpi) + labelWidth;
    if (acceleratorWidth) width += Dip(kMenuAcceleratorGapDip, dpi) + *acceleratorWidth;
    return std::max(0, width - systemCheckWidth + 1);
}

RECT MenuTextRect(const RECT& item, int32_t dpi) noexcept {
    return RECT{item.left + Dip(kMenuTextStartDip, dpi), item.top, item.right - Dip(kMenuTextEndGapDip, dpi),
                item.bottom};
}

RECT MenuSeparatorLine(const RECT& item, int32_t dpi) noexcept {
    const int32_t top = (item.top + item.bottom) / 2;
    const int32_t thickness = std::max(1, Dip(1, dpi));
    const int32_t inset = Dip(kMenuSeparatorInsetDip, dpi);
    return RECT{item.left + inset, top, item.right - inset, top + thickness};
}

std::vector<std::array<POINT, 3>> MenuCheckMark(const RECT& item, int32_t dpi) {
    const int32_t s = Dip(kMenuCheckMarkDip, dpi);
    const int32_t x = item.left + (Dip(kMenuTextStartDip, dpi) - s) / 2;
    const int32_t mid = (item.top + item.bottom) / 2;
    const int32_t passes = std::max(1, MulDiv(3, dpi, 192));
    std::vector<std::array<POINT, 3>> lines;
    lines.reserve(static_cast<size_t>(passes));
    for (int32_t k = 0; k < passes; ++k) {
        lines.push_back(
            {POINT{x, mid + k}, POINT{x + 2 * s / 5, mid + 2 * s / 5 + k}, POINT{x + s + 1, mid - 3 * s / 5 - 1 + k}});
    }
    return lines;
}

}  // namespace lq
