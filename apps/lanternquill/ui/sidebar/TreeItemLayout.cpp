#include "ui/sidebar/TreeItemLayout.h"

#include <commctrl.h>

#include <algorithm>

namespace lq {

TreeItemLayout ComputeTreeItemLayout(const RECT& rowRect, const RECT& textRect, int32_t width, int32_t dpi,
                                     bool isProject, int32_t edgeWidth) noexcept {
    const auto dip = [dpi](int value) { return static_cast<LONG>(MulDiv(value, dpi, 96)); };
    const LONG w = width;
    const LONG mid = (rowRect.top + rowRect.bottom) / 2;

    TreeItemLayout layout;
    layout.row = {0, rowRect.top, w, rowRect.bottom};
    layout.text = textRect;

    LONG limit = w - dip(12);
    if (isProject) {
        const LONG size = dip(24);
        const LONG right = w - dip(6);
        layout.addButton = {right - size, mid - size / 2, right, mid - size / 2 + size};
        limit = std::min(limit, layout.addButton.left - dip(6));
    }

    layout.textDraw = {textRect.left + edgeWidth, rowRect.top, limit, rowRect.bottom};

    const LONG textEnd = std::min(limit, textRect.right);
    layout.highlight = {textRect.left - dip(4), rowRect.top + dip(3), textEnd + dip(6), rowRect.bottom - dip(3)};
    if (isProject) layout.highlight.right = std::min(layout.highlight.right, layout.addButton.left - 1);
    layout.highlight.right = std::max(layout.highlight.right, layout.highlight.left);

    LONG zoneEnd = textEnd + dip(12);
    zoneEnd = std::max(zoneEnd, textRect.left + dip(160));
    zoneEnd = std::min(zoneEnd, w - dip(8));
    if (isProject) zoneEnd = std::min(zoneEnd, layout.addButton.left);
    layout.labelZone = {textRect.left - dip(6), rowRect.top, std::max(zoneEnd, textRect.left), rowRect.bottom};
    return layout;
}

TreeHitPart ClassifyTreeHit(UINT hitFlags, bool isProject, const TreeItemLayout& layout, POINT point) noexcept {
    constexpr UINT kOnRow = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON |
                            TVHT_ONITEMRIGHT | TVHT_ONITEMSTATEICON;
    if ((hitFlags & kOnRow) == 0) return TreeHitPart::None;
    if (isProject && PtInRect(&layout.addButton, point)) return TreeHitPart::AddButton;
    if (hitFlags & TVHT_ONITEMBUTTON) return TreeHitPart::ExpandButton;
    if ((hitFlags & TVHT_ONITEMLABEL) && point.x < std::min(layout.textDraw.right, layout.text.right)) {
        return TreeHitPart::Label;
    }
    if (point.x < layout.labelZone.left || point.x >= layout.labelZone.right) return TreeHitPart::Row;
    return TreeHitPart::LabelZone;
}

}  // namespace lq
