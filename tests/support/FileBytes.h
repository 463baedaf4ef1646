#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lq::test {

// The whole file as bytes; empty when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::wstring& path);
// Creates or truncates the file with exactly these bytes.
[[nodiscard]] bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
[[nodiscard]] bool FileExists(const std::wstring& path);

// The bytes of a database file and of its "-wal", "-shm" and "-journal" (none where a file is missing),
// to show that nothing of them was written, created or deleted.
using DatabaseFileSet = std::vector<std::optional<std::string>>;
[[nodiscard]] DatabaseFileSet ReadDatabaseFileSet(const std::wstring& path);

// Database files are made of pages of this size (the build's default).
inline constexpr size_t kDatabasePageSize = 4096;
// How many whole pages the file holds; 0 when it cannot be read.
[[nodiscard]] size_t DatabasePageCount(const std::wstring& path);
// Overwrites `count` whole pages from page `first` (0-based) with `fill` (garbage by default), as a
// damaged disk would; false when the file cannot be read or written or is shorter than that.
[[nodiscard]] bool DamageDatabasePages(const std::wstring& path, size_t first, size_t count, char fill = '\x5a');

}  // namespace lq::test
