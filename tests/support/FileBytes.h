#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lq::test {

// The whole file as bytes; empty when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::wstring& path);
// Creates or truncates the file with exactly these bytes.
[[nodiscard]] bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
[[nodiscard]] bool FileExists(const std::wstring& path);

}  // namespace lq::test
