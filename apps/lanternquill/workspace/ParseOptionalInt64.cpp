#include "workspace/ParseOptionalInt64.h"

#include <charconv>

namespace lq {

std::optional<int64_t> ParseOptionalInt64(std::string_view text) noexcept {
    // from_chars takes exactly the shape wanted (a leading '-' only, no spaces, no '+'), so only the
    // "whole text" and range rules are left to check.
    const char* first = text.data();
    const char* last = first + text.size();
    if (first == last || first[0] == '+') return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 10);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

std::optional<int64_t> ParseOptionalInt64(const std::optional<std::string>& text) noexcept {
    if (!text) return std::nullopt;
    return ParseOptionalInt64(std::string_view(*text));
}

}  // namespace lq
