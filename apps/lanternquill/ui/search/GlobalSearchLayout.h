#pragma once

#include <windows.h>

#include <cstdint>

namespace lq {

// Where the global search view puts its controls in the area it fills (client pixels of the main
// window). In Search mode the replacement edit, the button and the status text have no place (all
// zero).
struct GlobalSearchLayoutRects {
    RECT queryEdit{};
    RECT replaceEdit{};
    RECT button{};
    RECT status{};  // where the main window draws the result text in Replace mode
    RECT list{};
    // The status text stands on lines of its own below the button, wrapped to the field width,
    // because it is too wide for the place beside the button.
    bool statusWraps = false;
};

// The status text of Replace mode measured with the view's font: its width on one line and its
// height when wrapped (kGlobalSearchWrappedStatusFormat) to GlobalSearchFieldWidth. Zero for none.
struct GlobalSearchStatusExtent {
    int oneLineWidth = 0;
    int wrappedHeight = 0;
};

// How a status text that does not fit beside the button is drawn and measured.
inline constexpr UINT kGlobalSearchWrappedStatusFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

// The width of the edits: the area less 12 DIP at each side, never negative.
[[nodiscard]] int GlobalSearchFieldWidth(const RECT& area, uint32_t dpi) noexcept;

// The layout of `area` at `dpi`: the query edit on the first 32-DIP row, in Replace mode the
// replacement edit on the second and the button (as wide as its text plus 16 DIP, at most the field
// width) at the right of the third with the status text to its left; the list fills the rest. A
// status text wider than its place beside the button goes below the button row instead, across the
// field width and as high as its wrapped lines, and the list starts below it.
// `buttonTextWidth` is the button's text measured in pixels with the view's font.
[[nodiscard]] GlobalSearchLayoutRects ComputeGlobalSearchLayout(const RECT& area, uint32_t dpi, bool replaceMode,
                                                                int buttonTextWidth,
                                                                GlobalSearchStatusExtent status = {}) noexcept;

// The height of one result row at `dpi` (52 DIP); the main window answers WM_MEASUREITEM with it.
[[nodiscard]] int GlobalSearchRowHeight(uint32_t dpi) noexcept;

// The two text bands of a result row: the title (followed by the project name) in the upper half,
// the snippet in the lower half, both inset by 12 DIP at the sides and 4 DIP at the outer edge.
struct GlobalSearchRowBands {
    RECT title{};
    RECT snippet{};
    int projectGap = 0;  // pixels between the title's end and the project name
};
[[nodiscard]] GlobalSearchRowBands ComputeRowBands(const RECT& row, uint32_t dpi) noexcept;

// Whether an LB_ITEMFROMPOINT answer names a row under the point (high word 0) rather than the
// nearest row to a point outside every row.
[[nodiscard]] bool IsPointOnListRow(LRESULT itemFromPoint) noexcept;

}  // namespace lq
