#pragma once

#include <windows.h>

#include <cstdint>

namespace lq {

// The parts of a sidebar row, in client coordinates of the tree control.
struct TreeItemLayout {
    RECT row{};        // the whole row across the sidebar's width
    RECT text{};       // the control's own text rectangle
    RECT highlight{};  // the rounded-off fill behind the label (selection, hover)
    RECT labelZone{};  // the band beside the label that still counts as a press on it
    RECT textDraw{};   // where the label is drawn, ending before the plus button
    RECT addButton{};  // a project's plus button; empty for notes
};

// Which part of a row lies under the mouse.
enum class TreeHitPart : int32_t {
    None = 0,          // no row, or no part of one
    Label = 1,         // on the text
    LabelZone = 2,     // beside the text, inside the label zone
    AddButton = 3,     // on a project's plus button
    ExpandButton = 4,  // on the control's expand/collapse button
    Row = 5,           // elsewhere on the row
};

// The layout of one row from its whole-row rectangle and text rectangle as the control reports them,
// the sidebar's client width and the DPI; `edgeWidth` is the system's SM_CXEDGE at that DPI.
[[nodiscard]] TreeItemLayout ComputeTreeItemLayout(const RECT& rowRect, const RECT& textRect, int32_t width,
                                                   int32_t dpi, bool isProject, int32_t edgeWidth) noexcept;

// The part of a row under `point`, given the control's hit-test flags (TVHT_*) for it. Flags that
// name no part of a row give None.
[[nodiscard]] TreeHitPart ClassifyTreeHit(UINT hitFlags, bool isProject, const TreeItemLayout& layout,
                                          POINT point) noexcept;

}  // namespace lq
