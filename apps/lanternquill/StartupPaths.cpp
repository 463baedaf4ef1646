#include "StartupPaths.h"

#include <cstdio>
#include <vector>

namespace lq {

std::wstring GetExecutableDirectory() {
    std::vector<wchar_t> buffer(260);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        // A path that fills the buffer completely may have been cut short.
        if (length < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    const std::wstring_view module(buffer.data(), length);
    const size_t separator = module.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos) return {};
    return std::wstring(module.substr(0, separator + 1));
}

std::wstring MakeSmokeDatabasePath() {
    wchar_t folder[261] = {};
    const DWORD length = GetTempPathW(261, folder);
    if (length == 0 || length >= 261) return {};
    return std::wstring(folder, length) + L"lnq-smoke-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64()) + L".db";
}

std::wstring ParentDirectoryOf(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos) return L".";
    return std::wstring(path.substr(0, separator));
}

std::wstring FileNameOf(std::wstring_view path) {
    return std::wstring(path.substr(path.find_last_of(L"\\/") + 1));  // npos + 1 is 0: the whole path
}

std::wstring MakeDamagedDatabasePath(std::wstring_view databasePath, const SYSTEMTIME& localTime) {
    wchar_t stamp[32] = {};
    std::swprintf(stamp, 32, L"%04u%02u%02u-%02u%02u%02u", static_cast<unsigned>(localTime.wYear),
                  static_cast<unsigned>(localTime.wMonth), static_cast<unsigned>(localTime.wDay),
                  static_cast<unsigned>(localTime.wHour), static_cast<unsigned>(localTime.wMinute),
                  static_cast<unsigned>(localTime.wSecond));
    return ParentDirectoryOf(databasePath) + L"\\memo-damaged-" + stamp + L".db";
}

std::wstring MakeDamagedDatabasePath(std::wstring_view databasePath) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return MakeDamagedDatabasePath(databasePath, now);
}

}  // namespace lq
