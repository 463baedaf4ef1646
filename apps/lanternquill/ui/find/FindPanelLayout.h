#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/find/FindPanel.h"

namespace lq {

// The find panel's geometry as plain arithmetic, so it can be checked without a window. Sizes are
// DIP scaled to `dpi` with a rounded multiply-divide.

// One row of the panel: its height and the square buttons centred in it.
struct FindPanelMetrics {
    int32_t margin = 0;       // 4 DIP: around the buttons and the edit frames
    int32_t rowHeight = 0;    // 36 DIP
    int32_t buttonSide = 0;   // 28 DIP: also the height of an edit frame
    int32_t buttonTop = 0;    // where a button (or frame) starts inside its row
    int32_t editInset = 0;    // 6 DIP: from the frame's sides to the edit
    int32_t textPadding = 0;  // 8 DIP: on either side of a text button's label
};
[[nodiscard]] FindPanelMetrics ComputeFindPanelMetrics(int32_t dpi) noexcept;

// Where the panel goes in the main window's client area: at the top-right corner of `host`, 8 DIP
// inside, at most 360 DIP wide, two rows high in Replace mode and one otherwise, pushed down by
// `verticalOffset` but never past the host's bottom nor above its usual place.
[[nodiscard]] RECT ComputeFindPanelRect(const RECT& host, int32_t dpi, FindPanel::Mode mode,
                                        int32_t verticalOffset) noexcept;

// The buttons of a panel `width` pixels wide: close, next and previous from the right of row 0 (only
// close when going to a line), and in Replace mode replace and replace all at the right of row 1,
// as wide as their labels (measured widths given) plus padding.
[[nodiscard]] std::vector<FindPanel::HitArea> ComputeFindPanelHitAreas(int32_t width, int32_t dpi, FindPanel::Mode mode,
                                                                       int32_t replaceLabelWidth,
                                                                       int32_t replaceAllLabelWidth);

// The right edge of the edit frames: a margin left of the leftmost button.
[[nodiscard]] int32_t FindPanelEditRight(const std::vector<FindPanel::HitArea>& hitAreas, int32_t dpi) noexcept;

// An edit of text height `textHeight` in its frame on `row`, inset from the frame that spans from
// the margin to `editRight`.
[[nodiscard]] RECT ComputeFindPanelEditRect(int32_t editRight, int32_t row, int32_t dpi, int32_t textHeight) noexcept;

// The frame around an edit placed at `edit` (panel client coordinates): the height of a button,
// in the row the edit's top lies in, 6 DIP wider than the edit on each side.
[[nodiscard]] RECT ComputeFindPanelFrameRect(const RECT& edit, int32_t dpi) noexcept;

}  // namespace lq
