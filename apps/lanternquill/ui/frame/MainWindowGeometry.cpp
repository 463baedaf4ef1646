#include "ui/frame/MainWindowGeometry.h"

#include <algorithm>

namespace lq {

int32_t MenuStripHeight(bool stripExists, int32_t stripDpi) noexcept {
    return stripExists ? ScaleDip(30, stripDpi) : 0;
}

int32_t StatusTopFor(int32_t clientHeight, int32_t dpi) noexcept {
    const int32_t top = clientHeight - LayoutUnit(dpi);
    return top > 0 ? top : 0;
}

int32_t SidebarPixelWidth(int32_t widthDip, int32_t dpi, int32_t clientWidth) noexcept {
    const int32_t wanted = ScaleDip(widthDip, dpi);
    const int32_t lowest = ScaleDip(160, dpi);
    const int32_t highest = std::max(lowest, clientWidth * 40 / 100);
    if (wanted > highest) return highest;
    if (wanted < lowest) return lowest;
    return wanted;
}

RECT SplitterRectFor(int32_t sidebarWidthPx, int32_t menuHeight, int32_t statusTop, int32_t dpi) noexcept {
    const int32_t span = ScaleDip(4, dpi);
    return RECT{sidebarWidthPx - span / 2, menuHeight, sidebarWidthPx + span / 2 + 1, statusTop};
}

RECT NewProjectButtonRectFor(int32_t sidebarWidthPx, int32_t statusTop, int32_t dpi) noexcept {
    return RECT{0, statusTop - LayoutUnit(dpi), sidebarWidthPx, statusTop};
}

RECT NewProjectHighlightRectFor(int32_t sidebarWidthPx, int32_t statusTop, int32_t labelWidth, int32_t dpi) noexcept {
    const int32_t contentRight =
        ScaleDip(8, dpi) + ScaleDip(6, dpi) + labelWidth + ScaleDip(10, dpi) + ScaleDip(12, dpi);
    return RECT{ScaleDip(12, dpi) - ScaleDip(4, dpi), statusTop - LayoutUnit(dpi) + ScaleDip(3, dpi),
                std::min(sidebarWidthPx, contentRight), statusTop - ScaleDip(3, dpi)};
}

TreeBand TreeBandFor(int32_t menuHeight, int32_t statusTop, int32_t dpi) noexcept {
    const int32_t unit = LayoutUnit(dpi);
    TreeBand band;
    band.top = menuHeight + ScaleDip(6, dpi);
    const int32_t room = std::max(0, statusTop - band.top - unit);
    band.height = unit > 0 ? room - room % unit : room;
    return band;
}

PlusSign PlusSignFor(int32_t statusTop, int32_t dpi) noexcept {
    const int32_t size = ScaleDip(10, dpi) | 1;
    int32_t thickness = MulDiv(3, dpi, 192);
    if (thickness < 2) thickness = 1;
    const int32_t centreY = statusTop - LayoutUnit(dpi) / 2;
    const int32_t left = ScaleDip(12, dpi);
    PlusSign sign;
    sign.horizontal = RECT{left, centreY - thickness / 2, left + size, centreY - thickness / 2 + thickness};
    const int32_t barLeft = left + size / 2 - thickness / 2;
    sign.vertical = RECT{barLeft, centreY - size / 2, barLeft + thickness, centreY - size / 2 + size};
    return sign;
}

RECT NewProjectLabelRectFor(int32_t sidebarWidthPx, int32_t statusTop, int32_t dpi) noexcept {
    const int32_t size = ScaleDip(10, dpi) | 1;
    const int32_t edge = ScaleDip(12, dpi);
    return RECT{ScaleDip(8, dpi) + size + edge, statusTop - LayoutUnit(dpi), sidebarWidthPx - edge, statusTop};
}

RECT StartRectFor(const RECT& workArea, int32_t dpi) noexcept {
    const int32_t workWidth = workArea.right - workArea.left;
    const int32_t workHeight = workArea.bottom - workArea.top;
    const int32_t width = std::min(workWidth, ScaleDip(1100, dpi));
    const int32_t height = std::min(workHeight, ScaleDip(720, dpi));
    const int32_t left = workArea.left + (workWidth - width) / 2;
    const int32_t top = workArea.top + (workHeight - height) / 2;
    return RECT{left, top, left + width, top + height};
}

}  // namespace lq
