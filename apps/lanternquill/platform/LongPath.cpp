#include "platform/LongPath.h"

#include <windows.h>

#include "platform/DatabasePaths.h"

namespace lq {

std::wstring UsableFilePath(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\")) return path;
    const std::wstring full = GetFullPath(path);
    if (full.starts_with(L"\\\\.\\") || full.starts_with(L"\\\\?\\")) return full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    // GetFullPath hands back its input when it fails; only a drive-absolute result takes the prefix.
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return path;
}

}  // namespace lq
