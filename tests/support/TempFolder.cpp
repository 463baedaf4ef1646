#include "support/TempFolder.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <system_error>

namespace lq::test {

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    std::filesystem::path root = length > 0 ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
    for (;;) {
        std::filesystem::path candidate =
            root / (L"lq-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) +
                    L"-" + std::to_wstring(counter.fetch_add(1)));
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Tests may leave files read-only; clear that so the folder can go.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, ignored);
}

std::wstring TempFolder::File(const std::wstring& name) const {
    return (path_ / name).wstring();
}

std::vector<std::wstring> FileNamesIn(const std::filesystem::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().wstring());
    }
    return names;
}

}  // namespace lq::test
