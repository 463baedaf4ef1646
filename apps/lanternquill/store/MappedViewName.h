#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lq {

// The name the system gives the file behind the mapped view holding `address`, written into
// `buffer` (which gets a UNICODE_STRING header first, so it must be aligned for one); empty when the
// address lies in no view of a file or the name does not fit. It allocates nothing and takes no lock
// of the program's, so a fault handler may call it; the name stays valid until `buffer` is reused.
[[nodiscard]] std::wstring_view MappedViewName(const void* address, void* buffer, size_t bufferBytes) noexcept;

// The name the system gives a view of the open `file` (read-only, one page of it mapped for the
// question and unmapped again), in the very form MappedViewName reports for any other view of it;
// none when the file cannot be mapped (empty, or no mapping rights).
[[nodiscard]] std::optional<std::wstring> ViewNameOfFile(HANDLE file);

}  // namespace lq
