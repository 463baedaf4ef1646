#pragma once

#include <cstdint>
#include <string_view>

namespace lq {

// Text rules of the find panel's edits, as pure functions.

// A range of UTF-16 positions in an edit's text: [start, end).
struct EditSpan {
    int64_t start = 0;
    int64_t end = 0;
    friend bool operator==(const EditSpan&, const EditSpan&) = default;
};

// What Ctrl+Backspace (backward) or Ctrl+Delete (forward) deletes in `text` with the selection
// `selection`: a selection that is not empty as it is; otherwise forward the rest of the word from
// the caret and the blanks after it (only blanks when the caret stands before blanks), backward the
// blanks before the caret and the word before them. Blanks are tab, space and the ideographic space;
// every other character belongs to a word. Positions outside the text are held to it.
[[nodiscard]] EditSpan WordDeletionSpan(std::wstring_view text, EditSpan selection, bool forward) noexcept;

// The number typed for going to a line: its leading decimal digits, up to the first other
// character, saturating at 10^12; 0 when it starts with no digit.
[[nodiscard]] int64_t ParseLineNumber(std::wstring_view text) noexcept;

// The 1-based line to go to for a typed number: held within 1 and the last line (at least 1).
[[nodiscard]] int64_t TargetLine(int64_t typed, int64_t lineCount) noexcept;

}  // namespace lq
