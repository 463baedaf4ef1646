#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/LongPath.h"
#include "support/FileBytes.h"
#include "support/HeldFile.h"

namespace lq::test {

// The shared file fixtures, for paths of any length: the import and export tests reach past MAX_PATH.

inline bool WriteBytes(const std::wstring& path, std::string_view bytes) {
    return WriteFileBytes(UsableFilePath(path), bytes);
}

inline std::optional<std::string> ReadBytes(const std::wstring& path) {
    return ReadFileBytes(UsableFilePath(path));
}

inline bool PathExists(const std::wstring& path) {
    return FileExists(UsableFilePath(path));
}

inline bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(UsableFilePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

inline bool RemoveFile(const std::wstring& path) {
    return DeleteFileW(UsableFilePath(path).c_str()) != FALSE;
}

// Holds a file open with share mode 0, as another program that locks it would, until destroyed.
class HeldWithoutSharing : public HeldFile {
public:
    explicit HeldWithoutSharing(const std::wstring& path)
        : HeldFile(UsableFilePath(path), GENERIC_READ | GENERIC_WRITE, 0) {}
};

}  // namespace lq::test
