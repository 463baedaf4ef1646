#pragma once

#include <cstdint>
#include <string_view>

namespace lq {

// The status bar's character count of UTF-8 text: every byte counts once except CR, LF and UTF-8
// continuation bytes (0x80-0xBF), so each code point counts once and line ends not at all. A stray
// lead byte or a truncated sequence still counts its lead byte, as the editor shows it as a character.
[[nodiscard]] int64_t CountStatusCharacters(std::string_view utf8) noexcept;

}  // namespace lq
