#include "workspace/ReplaceText.h"

#include <algorithm>

#include "workspace/CharBoundary.h"
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

}  // namespace lq
