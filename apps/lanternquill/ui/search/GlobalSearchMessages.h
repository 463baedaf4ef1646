#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "workspace/ReplaceOutcome.h"

namespace lq {

// The result texts of the search and replace across all notes, from the string table of `instance`,
// with every number grouped by thousands.

// The count shown after a search: "%1件 / %2個のメモ" for matches, "0件" for none, empty when there is
// no count (Search mode, an empty query, or a count that failed).
[[nodiscard]] std::wstring MatchCountText(HINSTANCE instance, const std::optional<ReplaceCount>& count);

// The question asked before replacing: how many matches in how many notes, and that it cannot be undone.
[[nodiscard]] std::wstring ConfirmReplaceAllText(HINSTANCE instance, const ReplaceCount& count);

// The status after a replace: replacements made and notes changed.
[[nodiscard]] std::wstring ReplacedAllText(HINSTANCE instance, const ReplaceAllOutcome& outcome);

}  // namespace lq
