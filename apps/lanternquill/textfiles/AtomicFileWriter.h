#pragma once

#include <string>
#include <string_view>

namespace lq {

// The temporary file an atomic write of `target` goes through: target + ".lnq-" + process id + ".tmp".
[[nodiscard]] std::wstring AtomicTempPath(const std::wstring& target);

// Writes `bytes` to the temporary file, flushes it and moves it over `target` (replacing it, write
// through). True only when the target now holds exactly these bytes. On every failure (missing folder,
// target a folder or in use, disk full, 4 GiB or more) the target is untouched and no temporary file
// is left behind.
[[nodiscard]] bool WriteFileAtomically(const std::wstring& target, std::string_view bytes);

}  // namespace lq
