#pragma once

#include <string>

namespace lq {

// The path in a form the file functions accept at any length: paths shorter than MAX_PATH as given,
// longer ones made absolute and normalised in the extended-length form ("\\?\C:\..." or
// "\\?\UNC\server\share\..."). A path already in that form, or one that cannot be resolved, is
// returned unchanged.
[[nodiscard]] std::wstring UsableFilePath(const std::wstring& path);

}  // namespace lq
