#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lq {

// One text after an ASCII-case-insensitive replace, and how many matches were replaced.
struct ReplaceResult {
    std::string text;
    int64_t count = 0;
};

// Replaces every match of `query` in `text` (ASCII letters folded, every other byte exact, left to
// right without overlap) by `replacement` as given. The replacement is never searched again. An empty
// query or no match gives the text unchanged with count 0.
[[nodiscard]] ReplaceResult ReplaceAllNoCase(std::string_view text, std::string_view query,
                                             std::string_view replacement);

// The number of matches ReplaceAllNoCase would replace: the same rule, so a count shown before a
// replacement is the number of replacements it makes.
[[nodiscard]] int64_t CountNoCase(std::string_view text, std::string_view query) noexcept;

// Where a caret at byte `position` of `before` stands in `after`, the text rewritten around it: the
// same line and column (in bytes) as far as the new text allows, clamped to the last line and to the
// line's end, and never inside a UTF-8 character or between CR and LF. Lines end at CR LF, CR or LF.
[[nodiscard]] int64_t CarryPosition(std::string_view before, std::string_view after, int64_t position) noexcept;

// A selection (anchor and caret in `before`) carried into `after`, the text ReplaceAllNoCase made of
// it: a selection that overlaps a replaced match now covers the whole replacement (both ends move
// with the text, outwards where they stood inside a match), so no part of a replacement is left
// selected by itself; any other selection has both ends carried by CarryPosition, and is carried as the
// caret alone (both ends where the caret goes) when those ends would take in part of a replacement.
struct CarriedSelection {
    int64_t anchor = 0;
    int64_t caret = 0;
};
[[nodiscard]] CarriedSelection CarrySelection(std::string_view before, std::string_view after, std::string_view query,
                                              std::string_view replacement, int64_t anchor, int64_t caret) noexcept;

}  // namespace lq
