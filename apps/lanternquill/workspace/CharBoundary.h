#pragma once

#include <cstddef>
#include <string_view>

namespace lq {

// Where a byte position of UTF-8 text with CRLF line ends may safely stand: `bytes` holds the text
// around it and `offset` is the position within `bytes` (bytes.size() is the end of what is known).
// A position inside a well-formed multi-byte character moves back to that character's first byte, a
// position between CR and LF moves back before the CR; any other position is returned unchanged (a
// stray byte counts as a character of its own, as the editor treats it).
[[nodiscard]] size_t CharBoundaryAtOrBefore(std::string_view bytes, size_t offset) noexcept;

}  // namespace lq
