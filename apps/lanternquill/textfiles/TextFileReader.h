#pragma once

#include <string>

#include "textfiles/ImportDecoding.h"

namespace lq {

// Reads one file for import in a single call and decodes it with DecodeTextBytes. A file that cannot
// be opened (missing, a folder, locked), is no file on a disk (a device, a pipe, a console), or
// cannot be sized or read whole is Unreadable; one above kMaxImportBytes is
// TooLarge without being read; one whose buffers cannot be allocated is Unreadable too. Every refusal
// carries encoding Utf8 and an empty text; nothing is thrown and no handle is left open.
[[nodiscard]] ImportedText ReadTextFile(const std::wstring& path) noexcept;

}  // namespace lq
