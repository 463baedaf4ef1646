#include "workspace/ReplaceText.h"

#include <algorithm>

#include "editor/CharBoundary.h"
#include "workspace/TextHelpers.h"

namespace lq {
namespace {

constexpr uint64_t kNoPosition = ~uint64_t{0};

// The start of the line after the one holding `from`, or npos on the last line.
size_t NextLineStart(std::string_view text, size_t from) noexcept {
    const size_t end = text.find_first_of("\r\n", from);
    if (end == std::string_view::npos) return std::string_view::npos;
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') return end + 2;
    return end + 1;
}

// Where offset `position` of the text before the replacement stands after it: moved by what the
// matches before it changed; one inside a match goes to the replacement's end when `outwardsEnd`,
// else to its start.
int64_t MapThroughReplacement(std::string_view text, std::string_view query, std::string_view replacement,
                              size_t position, bool outwardsEnd) noexcept {
    int64_t shift = 0;
    const int64_t change = static_cast<int64_t>(replacement.size()) - static_cast<int64_t>(query.size());
    for (uint64_t match = FindNoCase(text, query, 0); match != kNoPosition && match < position;
         match = FindNoCase(text, query, match + query.size())) {
        const size_t matchEnd = static_cast<size_t>(match) + query.size();
        if (matchEnd > position) {
            const int64_t start = static_cast<int64_t>(match) + shift;
            return outwardsEnd ? start + static_cast<int64_t>(replacement.size()) : start;
        }
        shift += change;
    }
    return static_cast<int64_t>(position) + shift;
}

// Whether some match of `query` overlaps the bytes [low, high).
bool OverlapsMatch(std::string_view text, std::string_view query, size_t low, size_t high) noexcept {
    for (uint64_t match = FindNoCase(text, query, 0); match != kNoPosition && match < high;
         match = FindNoCase(text, query, match + query.size())) {
        if (static_cast<size_t>(match) + query.size() > low) return true;
    }
    return false;
}

// Whether [low, high) of `after` takes in a byte of a replacement ReplaceAllNoCase put into it.
bool HoldsPartOfAReplacement(std::string_view before, std::string_view query, std::string_view replacement, int64_t low,
                             int64_t high) noexcept {
    if (replacement.empty() || low >= high) return false;
    const int64_t change = static_cast<int64_t>(replacement.size()) - static_cast<int64_t>(query.size());
    int64_t shift = 0;
    for (uint64_t match = FindNoCase(before, query, 0); match != kNoPosition;
         match = FindNoCase(before, query, match + query.size())) {
        const int64_t start = static_cast<int64_t>(match) + shift;
        if (start >= high) return false;
        if (start + static_cast<int64_t>(replacement.size()) > low) return true;
        shift += change;
    }
    return false;
}

}  // namespace

ReplaceResult ReplaceAllNoCase(std::string_view text, std::string_view query, std::string_view replacement) {
    ReplaceResult result;
    uint64_t match = FindNoCase(text, query, 0);
    if (match == kNoPosition) {
        result.text.assign(text);
        return result;
    }
    result.text.reserve(text.size());
    size_t position = 0;
    while (match != kNoPosition) {
        result.text.append(text.substr(position, static_cast<size_t>(match) - position));
        result.text.append(replacement);
        ++result.count;
        position = static_cast<size_t>(match) + query.size();
        match = FindNoCase(text, query, position);
    }
    result.text.append(text.substr(position));
    return result;
}

int64_t CountNoCase(std::string_view text, std::string_view query) noexcept {
    int64_t count = 0;
    for (uint64_t match = FindNoCase(text, query, 0); match != kNoPosition;
         match = FindNoCase(text, query, match + query.size())) {
        ++count;
    }
    return count;
}

int64_t CarryPosition(std::string_view before, std::string_view after, int64_t position) noexcept {
    const size_t clamped = static_cast<size_t>(std::clamp<int64_t>(position, 0, static_cast<int64_t>(before.size())));
    // A stored position may itself stand inside a character or a line break: take its start.
    const size_t old = CharBoundaryAtOrBefore(before, clamped);

    size_t line = 0;
    size_t lineStart = 0;
    for (size_t next = NextLineStart(before, 0); next != std::string_view::npos && next <= old;
         next = NextLineStart(before, next)) {
        ++line;
        lineStart = next;
    }
    const size_t column = old - lineStart;

    size_t start = 0;
    for (size_t k = 0; k < line; ++k) {
        const size_t next = NextLineStart(after, start);
        if (next == std::string_view::npos) break;  // fewer lines now: the last one
        start = next;
    }
    const size_t lineEnd = std::min(after.find_first_of("\r\n", start), after.size());
    const size_t carried = std::min(lineEnd, start + column);
    return static_cast<int64_t>(CharBoundaryAtOrBefore(after, carried));
}

CarriedSelection CarrySelection(std::string_view before, std::string_view after, std::string_view query,
                                std::string_view replacement, int64_t anchor, int64_t caret) noexcept {
    const auto clamp = [&](int64_t position) {
        return static_cast<size_t>(std::clamp<int64_t>(position, 0, static_cast<int64_t>(before.size())));
    };
    const size_t low = clamp(std::min(anchor, caret));
    const size_t high = clamp(std::max(anchor, caret));
    if (low == high || query.empty() || !OverlapsMatch(before, query, low, high)) {
        // Each end keeps its line and column; should that take in part of a replacement the user never
        // selected (a line grown or shrunk before the selection), it becomes the caret alone.
        const int64_t newAnchor = CarryPosition(before, after, anchor);
        const int64_t newCaret = CarryPosition(before, after, caret);
        if (!query.empty() && HoldsPartOfAReplacement(before, query, replacement, std::min(newAnchor, newCaret),
                                                      std::max(newAnchor, newCaret))) {
            return {newCaret, newCaret};
        }
        return {newAnchor, newCaret};
    }
    const auto boundary = [&](int64_t position) {
        return static_cast<int64_t>(CharBoundaryAtOrBefore(after, static_cast<size_t>(position)));
    };
    const int64_t newLow = boundary(MapThroughReplacement(before, query, replacement, low, false));
    const int64_t newHigh = boundary(MapThroughReplacement(before, query, replacement, high, true));
    return anchor <= caret ? CarriedSelection{newLow, newHigh} : CarriedSelection{newHigh, newLow};
}

}  // namespace lq
