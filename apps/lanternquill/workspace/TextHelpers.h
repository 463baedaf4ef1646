#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lq {

// The most code points a note title or project name keeps.
inline constexpr size_t kMaxTitleCodePoints = 200;

// Turns typed text or a file name into a storable title: tab, LF and CR become spaces, spaces (32
// only) are trimmed at both ends, and the text is cut before its 201st code point (never inside a
// character). Every other byte, other control characters included, is kept. None when nothing is left.
[[nodiscard]] std::optional<std::string> NormalizeTitle(std::string_view text);

// The byte index of the first match of `needle` in `haystack` at or after `start`, folding only the
// ASCII letters A-Z; every other byte (all of 128 and above) must be equal. npos when there is none,
// when the needle is empty, or when start lies past the last place a match could begin.
[[nodiscard]] uint64_t FindNoCase(std::string_view haystack, std::string_view needle, uint64_t start) noexcept;

// A count as the user sees it: digits grouped by three with commas, a leading '-' when negative,
// whatever the locale. Every int64 value, the smallest included, is written exactly.
[[nodiscard]] std::wstring FormatThousands(int64_t value);

}  // namespace lq
