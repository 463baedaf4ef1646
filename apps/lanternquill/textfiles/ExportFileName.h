#pragma once

#include <string>
#include <string_view>

namespace lq {

// The longest name one folder entry may have (UTF-16 code units).
inline constexpr size_t kMaxFileNameUnits = 255;
// The longest suffix an atomic write adds to a name: ".lnq-", a 32-bit process id, ".tmp".
inline constexpr size_t kMaxTempSuffixUnits = 5 + 10 + 4;
// The longest proposed export name, so that it and its temporary file both fit in a folder entry.
inline constexpr size_t kMaxExportNameUnits = kMaxFileNameUnits - kMaxTempSuffixUnits;

// The file name (no folder) proposed when exporting a note with this title: control characters and
// < > : " / \ | ? * become '_', a trailing space or period becomes '_', an empty title is "Untitled",
// a name Windows would take for a device (CON, nul.tar, "COM1 .x", CONIN$, ...) gets a '_' after its
// first part, and ".txt" is appended. The result never exceeds kMaxExportNameUnits and never splits
// a surrogate pair.
[[nodiscard]] std::wstring MakeExportFileName(std::string_view title);

}  // namespace lq
