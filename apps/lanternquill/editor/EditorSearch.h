#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "editor/EditorRange.h"
#include "editor/ScintillaHeaders.h"

namespace lq {

// Search inside the open note. Matching is literal; without match-case only the ASCII letters A-Z
// fold to a-z and every other byte must be equal, the same rule as the search across all notes (the
// component's own case-insensitive search folds far more, so it is never used).

// Smart case: a text with an ASCII capital letter is searched with match-case, any other without.
[[nodiscard]] bool IsSmartCaseMatchCase(std::string_view text) noexcept;
// Sets the component's search flags by smart case for `text` (match-case or nothing).
void SetSmartCaseSearchFlags(Scintilla::ScintillaCall& call, std::string_view text);

// The offset of the first (or, with `last`, the last) occurrence of `needle` in `haystack`; npos
// when there is none or the needle is empty. Pure: the matching rule of every search here.
[[nodiscard]] size_t FindLiteral(std::string_view haystack, std::string_view needle, bool matchCase,
                                 bool last) noexcept;

// Searches the document between `from` and `to` (clamped to the document) with the search flags
// already set: a match must lie wholly inside the range; from <= to finds the first one, from > to
// the last one (a backward search). A match becomes the target. An empty text finds nothing.
[[nodiscard]] EditorMatch SearchInRange(Scintilla::ScintillaCall& call, std::string_view text, int64_t from,
                                        int64_t to);

// Find next (forward) or previous from the selection, by smart case, wrapping around the document
// once; a match is selected (anchor at its start, caret at its end). An empty text finds nothing
// and sends nothing; no match leaves the selection alone.
EditorMatch FindInEditor(Scintilla::ScintillaCall& call, std::string_view text, bool forward);

// Replaces every occurrence of `find` (smart case, left to right, never inside an inserted
// replacement) by `replacement` as one undo step; returns the number replaced. An empty find text
// or a read-only document replaces nothing.
int32_t ReplaceAllInEditor(Scintilla::ScintillaCall& call, std::string_view find, std::string_view replacement);

}  // namespace lq
