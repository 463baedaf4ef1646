#pragma once

#include <windows.h>

#include <span>
#include <vector>

namespace lq {

// The order in which Tab walks the global search view's controls: the query edit; in Replace mode
// the replacement edit and, while it is enabled, the button; the list once it has rows.
[[nodiscard]] std::vector<HWND> BuildFocusRing(HWND queryEdit, HWND replaceEdit, HWND button, HWND list,
                                               bool replaceMode, bool buttonEnabled, bool listHasRows);

// The control after `from` in `ring` (before it when `backwards`), wrapping around; a `from` that
// is not in the ring counts as the first. Null for an empty ring.
[[nodiscard]] HWND NextInFocusRing(std::span<const HWND> ring, HWND from, bool backwards) noexcept;

}  // namespace lq
