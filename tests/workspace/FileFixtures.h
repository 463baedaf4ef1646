#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "workspace/LongPath.h"

namespace lq::test {

// Small file-system fixtures for the import and export tests; each holds on Windows and under Wine,
// and takes paths of any length.

// Creates or replaces `path` with exactly these bytes.
inline bool WriteBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE file = CreateFileW(UsableFilePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done < (1u << 30) ? bytes.size() - done : (1u << 30));
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written == chunk;
        done += chunk;
    }
    return CloseHandle(file) && ok;
}

// The whole content of `path`, or none when it cannot be read.
inline std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file =
        CreateFileW(UsableFilePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

inline bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(UsableFilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(UsableFilePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Removes a file, whatever the length of its path.
inline bool RemoveFile(const std::wstring& path) {
    return DeleteFileW(UsableFilePath(path).c_str()) != FALSE;
}

// Holds a file open with share mode 0, as another program that locks it would, until destroyed.
class HeldWithoutSharing {
public:
    explicit HeldWithoutSharing(const std::wstring& path)
        : handle_(CreateFileW(UsableFilePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldWithoutSharing() {
        if (held()) CloseHandle(handle_);
    }
    HeldWithoutSharing(const HeldWithoutSharing&) = delete;
    HeldWithoutSharing& operator=(const HeldWithoutSharing&) = delete;
    [[nodiscard]] bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

}  // namespace lq::test
