#include "ui/status/StatusLayout.h"

namespace lq {

StatusStripLayout LayoutStatusStrip(const RECT& strip, int dpi, std::span<const int> leftWidths,
                                    std::span<const int> rightWidths) {
    const int pad = MulDiv(12, dpi, 96);
    const int gap = MulDiv(16, dpi, 96);
    StatusStripLayout layout;
    layout.textArea = RECT{strip.left + pad, strip.top + 1, strip.right - pad, strip.bottom};
    const LONG top = layout.textArea.top;
    const LONG bottom = layout.textArea.bottom;

    LONG x = layout.textArea.left;
    layout.left.reserve(leftWidths.size());
    for (const int width : leftWidths) {
        layout.left.push_back(RECT{x, top, x + width, bottom});
        x += width + gap;
    }

    x = layout.textArea.right;
    layout.right.reserve(rightWidths.size());
    for (const int width : rightWidths) {
        layout.right.push_back(RECT{x - width, top, x, bottom});
        x -= width + gap;
    }
    return layout;
}

}  // namespace lq
