#pragma once

#include <string>
#include <vector>

namespace lq {

// The user's OneDrive folders, normalised (NormalizePath) and without duplicates, in the order found:
// the environment variables "OneDrive", "OneDriveConsumer", "OneDriveCommercial", then the "UserFolder"
// of every account under HKCU "Software\Microsoft\OneDrive\Accounts". Reads only; empty when none.
[[nodiscard]] std::vector<std::wstring> CollectOneDriveRoots();

// True when the normalised path lies strictly inside one of the roots (compared exactly: both sides
// are already upper-cased). A path equal to a root is not inside it; empty roots are skipped.
[[nodiscard]] bool IsPathUnderAnyRoot(const std::wstring& normalizedPath, const std::vector<std::wstring>& roots);

}  // namespace lq
