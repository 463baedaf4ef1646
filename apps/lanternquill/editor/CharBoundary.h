#pragma once

#include <cstddef>
#include <string_view>

#include "editor/ScintillaHeaders.h"

namespace lq {

// Where a byte position of UTF-8 text with CRLF line ends may safely stand: `bytes` holds the text
// around it and `offset` is the position within `bytes` (bytes.size() is the end of what is known).
// A position inside a well-formed multi-byte character moves back to that character's first byte, a
// position between CR and LF moves back before the CR; any other position is returned unchanged (a
// stray byte counts as a character of its own, as the editor treats it).
[[nodiscard]] size_t CharBoundaryAtOrBefore(std::string_view bytes, size_t offset) noexcept;

// A position for the caret or the anchor of the attached document, from a number the component did
// not give just now (a stored view, a last-edit position, a position carried across a rewrite):
// clamped to the document and moved back to a character boundary. The component itself does not
// snap such positions, and typing at one inside a character would store broken UTF-8.
[[nodiscard]] Scintilla::Position SnapToCharacter(Scintilla::ScintillaCall& call, Scintilla::Position position);

}  // namespace lq
