#include "ui/search/GlobalSearchLayout.h"

#include <algorithm>

namespace lq {
namespace {

int Scale(int dip, uint32_t dpi) noexcept {
    return MulDiv(dip, static_cast<int>(dpi), 96);
}

RECT FromSize(int x, int y, int width, int height) noexcept {
    return RECT{x, y, x + width, y + height};
}

}  // namespace

int GlobalSearchFieldWidth(const RECT& area, uint32_t dpi) noexcept {
    return std::max(0, static_cast<int>(area.right - area.left) - 2 * Scale(12, dpi));
}

GlobalSearchLayoutRects ComputeGlobalSearchLayout(const RECT& area, uint32_t dpi, bool replaceMode, int buttonTextWidth,
                                                  GlobalSearchStatusExtent status) noexcept {
    const int pad = Scale(12, dpi);
    const int row = Scale(32, dpi);
    const int edit = Scale(28, dpi);
    const int areaWidth = std::max(0, static_cast<int>(area.right - area.left));
    const int fieldWidth = GlobalSearchFieldWidth(area, dpi);
    // The edits are 4 pixels shorter than their row so the frame the main window paints fits.
    const int editHeight = std::max(0, edit - 4);
    const int editInset = Scale(2, dpi) + (row - edit) / 2;

    GlobalSearchLayoutRects rects;
    rects.queryEdit = FromSize(area.left + pad, area.top + editInset, fieldWidth, editHeight);
    int listTop = area.top + row;
    if (replaceMode) {
        rects.replaceEdit = FromSize(area.left + pad, area.top + row + editInset, fieldWidth, editHeight);
        const int buttonWidth = std::min(Scale(16, dpi) + std::max(0, buttonTextWidth), fieldWidth);
        const int buttonHeight = Scale(24, dpi);
        const int buttonRowHeight = Scale(28, dpi);
        const int buttonRowTop = area.top + 2 * row;
        const int buttonX = area.right - buttonWidth - pad;
        rects.button =
            FromSize(buttonX, buttonRowTop + (buttonRowHeight - buttonHeight) / 2, buttonWidth, buttonHeight);
        rects.status = RECT{area.left + pad, buttonRowTop, std::max<int>(area.left + pad, buttonX - Scale(8, dpi)),
                            buttonRowTop + buttonRowHeight};
        listTop = buttonRowTop + buttonRowHeight;
        if (status.oneLineWidth > rects.status.right - rects.status.left) {
            // Cut short beside the button, the count or the result would lose its end: it gets the
            // whole field width on lines of its own, with a gap above the first row of the list.
            rects.statusWraps = true;
            rects.status = FromSize(area.left + pad, listTop, fieldWidth, std::max(0, status.wrappedHeight));
            listTop = rects.status.bottom + Scale(6, dpi);
        }
    }
    rects.list = FromSize(area.left, listTop, areaWidth, std::max(0, static_cast<int>(area.bottom) - listTop));
    return rects;
}

int GlobalSearchRowHeight(uint32_t dpi) noexcept {
    return Scale(52, dpi);
}

GlobalSearchRowBands ComputeRowBands(const RECT& row, uint32_t dpi) noexcept {
    const int pad = Scale(12, dpi);
    const int edge = Scale(4, dpi);
    const int middle = row.top + (row.bottom - row.top) / 2;
    GlobalSearchRowBands bands;
    bands.title = RECT{row.left + pad, row.top + edge, row.right - pad, middle};
    bands.snippet = RECT{row.left + pad, middle, row.right - pad, row.bottom - edge};
    bands.projectGap = Scale(8, dpi);
    return bands;
}

bool IsPointOnListRow(LRESULT itemFromPoint) noexcept {
    return HIWORD(static_cast<DWORD>(itemFromPoint)) == 0;
}

}  // namespace lq
