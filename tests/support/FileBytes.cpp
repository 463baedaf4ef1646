#include "support/FileBytes.h"

#include <windows.h>

namespace lq::test {

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &read, nullptr) != 0) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
                          written == bytes.size());
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DatabaseFileSet ReadDatabaseFileSet(const std::wstring& path) {
    DatabaseFileSet files;
    for (const wchar_t* suffix : {L"", L"-wal", L"-shm", L"-journal"}) files.push_back(ReadFileBytes(path + suffix));
    return files;
}

size_t DatabasePageCount(const std::wstring& path) {
    const auto bytes = ReadFileBytes(path);
    return bytes ? bytes->size() / kDatabasePageSize : 0;
}

bool DamageDatabasePages(const std::wstring& path, size_t first, size_t count, char fill) {
    auto bytes = ReadFileBytes(path);
    if (!bytes || (first + count) * kDatabasePageSize > bytes->size()) return false;
    bytes->replace(first * kDatabasePageSize, count * kDatabasePageSize, count * kDatabasePageSize, fill);
    return WriteFileBytes(path, *bytes);
}

}  // namespace lq::test
