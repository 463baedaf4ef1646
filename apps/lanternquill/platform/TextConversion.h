#pragma once

#include <string>
#include <string_view>

namespace lq {

// Conversions between the UTF-8 of the database and the UTF-16 of Windows. Invalid input (an
// unpaired surrogate, a broken UTF-8 sequence) becomes U+FFFD; nothing fails.
[[nodiscard]] std::string Utf16ToUtf8(std::wstring_view text);
[[nodiscard]] std::wstring Utf8ToUtf16(std::string_view text);
// The same into `out`, reusing its storage: one conversion call and no allocation once `out` is large
// enough, for callers that convert many short texts in a row.
void Utf8ToUtf16Into(std::string_view text, std::wstring& out);

}  // namespace lq
