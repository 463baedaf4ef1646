#pragma once

#include <windows.h>

#include <span>
#include <vector>

namespace lq {

// Where the status bar's texts go inside its strip. The text area is the strip less its 1-pixel top
// border and a 12-DIP pad at each side; left items follow each other from the left edge and right
// items from the right edge leftwards, each followed by a 16-DIP gap. Left and right items are not
// clipped against each other: in a narrow strip they may overlap.
struct StatusStripLayout {
    RECT textArea{};
    std::vector<RECT> left;   // in the order of the widths given
    std::vector<RECT> right;  // right[0] ends at the right edge of the text area
};

// Lays out items of the given measured widths (texts that are empty are not passed: they take no
// room). Every item rectangle spans the text area's full height, so a text centred in it is centred
// in the strip below the border.
[[nodiscard]] StatusStripLayout LayoutStatusStrip(const RECT& strip, int dpi, std::span<const int> leftWidths,
                                                  std::span<const int> rightWidths);

}  // namespace lq
