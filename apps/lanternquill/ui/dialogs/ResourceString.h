#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace lq {

// Fills in a message: the first "%1" of `text` becomes `first` and the first "%2" of `text`
// becomes `second`. Both places are found in `text` itself, so an argument that contains "%1" or
// "%2" (a path, a title) is shown as it is. Further placeholders stay as they are.
[[nodiscard]] std::wstring FillPlaceholders(std::wstring_view text, std::wstring_view first, std::wstring_view second);

// The string-table text `id` of `instance` with its placeholders filled (FillPlaceholders); the
// empty text when the id is not in the table. Callers without arguments pass empty strings.
[[nodiscard]] std::wstring LoadResourceString(HINSTANCE instance, UINT id, std::wstring_view first = {},
                                              std::wstring_view second = {});

}  // namespace lq
