#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

#include "ui/search/GlobalSearchText.h"

namespace lq {

// The three pieces of a text with one highlighted match: [0, matchStart) and [matchEnd, end) are
// drawn plain, [matchStart, matchEnd) bright. A match reaching past the text is cut at its end.
struct HighlightSplit {
    size_t matchStart = 0;
    size_t matchEnd = 0;

    friend bool operator==(const HighlightSplit&, const HighlightSplit&) = default;
};
[[nodiscard]] HighlightSplit SplitForHighlight(size_t textLength, TextMatch match) noexcept;

// Draws `text` on one line from rect.left, vertically centred in `rect`, with the match in
// `matchColour` and the rest in `normal`, using the DC's font and background mode. The piece that
// passes rect.right ends in an ellipsis and nothing after it is drawn. Returns the x where drawing
// ended: rect.right once the text was cut.
int DrawHighlightedText(HDC dc, const RECT& rect, std::wstring_view text, TextMatch match, COLORREF normal,
                        COLORREF matchColour);

}  // namespace lq
