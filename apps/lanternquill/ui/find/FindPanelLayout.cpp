#include "ui/find/FindPanelLayout.h"

#include <algorithm>

namespace lq {
namespace {

int32_t Dip(int32_t value, int32_t dpi) noexcept {
    return MulDiv(value, dpi, 96);
}

RECT Square(int32_t right, int32_t top, int32_t side) noexcept {
    return RECT{right - side, top, right, top + side};
}

}  // namespace

FindPanelMetrics ComputeFindPanelMetrics(int32_t dpi) noexcept {
    FindPanelMetrics metrics;
    metrics.margin = Dip(4, dpi);
    metrics.rowHeight = Dip(36, dpi);
    metrics.buttonSide = Dip(28, dpi);
    metrics.buttonTop = (metrics.rowHeight - metrics.buttonSide) / 2;
    metrics.editInset = Dip(6, dpi);
    metrics.textPadding = Dip(8, dpi);
    return metrics;
}

RECT ComputeFindPanelRect(const RECT& host, int32_t dpi, FindPanel::Mode mode, int32_t verticalOffset) noexcept {
    const int32_t hostWidth = host.right - host.left;
    const int32_t width = std::max(0, std::min(hostWidth - Dip(16, dpi), Dip(360, dpi)));
    const int32_t height = mode == FindPanel::Mode::Replace ? Dip(72, dpi) : Dip(36, dpi);
    const int32_t x = host.right - Dip(8, dpi) - width;
    const int32_t top = host.top + Dip(8, dpi);
    // Clamp to the host's bottom first, then to the usual top: a host lower than the panel keeps the
    // panel at its usual place rather than above it.
    const int32_t y = std::max(top, std::min(static_cast<int32_t>(host.bottom) - height, top + verticalOffset));
    return RECT{x, y, x + width, y + height};
}

std::vector<FindPanel::HitArea> ComputeFindPanelHitAreas(int32_t width, int32_t dpi, FindPanel::Mode mode,
                                                         int32_t replaceLabelWidth, int32_t replaceAllLabelWidth) {
    const FindPanelMetrics metrics = ComputeFindPanelMetrics(dpi);
    const int32_t side = metrics.buttonSide;
    std::vector<FindPanel::HitArea> areas;
    int32_t right = width - metrics.margin;
    areas.push_back({FindPanel::kClose, Square(right, metrics.buttonTop, side)});
    if (mode != FindPanel::Mode::GoToLine) {
        right -= side;
        areas.push_back({FindPanel::kNext, Square(right, metrics.buttonTop, side)});
        right -= side;
        areas.push_back({FindPanel::kPrevious, Square(right, metrics.buttonTop, side)});
    }
    if (mode == FindPanel::Mode::Replace) {
        const int32_t top = metrics.rowHeight + metrics.buttonTop;
        const int32_t allRight = width - metrics.margin;
        const int32_t allLeft = allRight - (replaceAllLabelWidth + 2 * metrics.textPadding);
        areas.push_back({FindPanel::kReplaceAll, RECT{allLeft, top, allRight, top + side}});
        const int32_t oneRight = allLeft - metrics.margin;
        const int32_t oneLeft = oneRight - (replaceLabelWidth + 2 * metrics.textPadding);
        areas.push_back({FindPanel::kReplace, RECT{oneLeft, top, oneRight, top + side}});
    }
    return areas;
}

int32_t FindPanelEditRight(const std::vector<FindPanel::HitArea>& hitAreas, int32_t dpi) noexcept {
    // Row 0's leftmost button, and in Replace mode the replace button, which lies left of replace
    // all: the edits end a margin before whichever lies further left.
    if (hitAreas.empty()) return 0;
    LONG left = hitAreas.front().rect.left;
    for (const FindPanel::HitArea& area : hitAreas) left = std::min(left, area.rect.left);
    return static_cast<int32_t>(left) - ComputeFindPanelMetrics(dpi).margin;
}

RECT ComputeFindPanelEditRect(int32_t editRight, int32_t row, int32_t dpi, int32_t textHeight) noexcept {
    const FindPanelMetrics metrics = ComputeFindPanelMetrics(dpi);
    const int32_t x = metrics.margin + metrics.editInset;
    const int32_t y = row * metrics.rowHeight + metrics.buttonTop + (metrics.buttonSide - textHeight) / 2;
    const int32_t width = std::max(0, editRight - metrics.margin - 2 * metrics.editInset);
    return RECT{x, y, x + width, y + textHeight};
}

RECT ComputeFindPanelFrameRect(const RECT& edit, int32_t dpi) noexcept {
    const FindPanelMetrics metrics = ComputeFindPanelMetrics(dpi);
    const int32_t rowTop = metrics.rowHeight > 0 ? metrics.rowHeight * (edit.top / metrics.rowHeight) : 0;
    return RECT{edit.left - metrics.editInset, rowTop + metrics.buttonTop, edit.right + metrics.editInset,
                rowTop + metrics.buttonTop + metrics.buttonSide};
}

}  // namespace lq
