#include "ui/search/HighlightedText.h"

#include <algorithm>
#include <climits>

namespace lq {

HighlightSplit SplitForHighlight(size_t textLength, TextMatch match) noexcept {
    const size_t start = static_cast<size_t>(std::min<uint64_t>(match.position, textLength));
    const size_t end =
        static_cast<size_t>(std::min<uint64_t>(textLength, start + std::min<uint64_t>(match.length, textLength)));
    return {start, end};
}

int DrawHighlightedText(HDC dc, const RECT& rect, std::wstring_view text, TextMatch match, COLORREF normal,
                        COLORREF matchColour) {
    const HighlightSplit split = SplitForHighlight(text.size(), match);
    struct Piece {
        std::wstring_view text;
        COLORREF colour;
    };
    const Piece pieces[] = {
        {text.substr(0, split.matchStart), normal},
        {text.substr(split.matchStart, split.matchEnd - split.matchStart), matchColour},
        {text.substr(split.matchEnd), normal},
    };
    int x = rect.left;
    for (const Piece& piece : pieces) {
        if (piece.text.empty()) continue;
        // The rows hold titles and snippets of a few hundred characters; the cap only keeps the
        // length a valid int.
        const int length = static_cast<int>(std::min<size_t>(piece.text.size(), INT_MAX));
        SIZE extent{};
        GetTextExtentPoint32W(dc, piece.text.data(), length, &extent);
        const bool overflows = x + extent.cx > rect.right;
        SetTextColor(dc, piece.colour);
        RECT place{x, rect.top, rect.right, rect.bottom};
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (overflows) format |= DT_END_ELLIPSIS;
        DrawTextW(dc, piece.text.data(), length, &place, format);
        if (overflows) return rect.right;
        x += extent.cx;
    }
    return x;
}

}  // namespace lq
