#include "platform/OneDriveFolders.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "platform/DatabasePaths.h"

namespace lq {
namespace {

void AppendRoot(std::vector<std::wstring>& roots, const std::wstring& folder) {
    if (folder.empty()) return;
    std::wstring normalized = NormalizePath(folder);
    if (std::find(roots.begin(), roots.end(), normalized) == roots.end()) roots.push_back(std::move(normalized));
}

// The variable's text up to its first NUL; empty when unset. The length the call reports is what
// decides how much of the buffer is text, so a value that grew between the calls is read again.
std::wstring ReadEnvironment(const wchar_t* name) {
    std::wstring buffer;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
        if (needed == 0) return {};
        buffer.assign(needed, L'\0');
        const DWORD written = GetEnvironmentVariableW(name, buffer.data(), needed);
        if (written == 0) return {};
        if (written < needed) {
            buffer.resize(written);
            return std::wstring(buffer.c_str());
        }
    }
    return {};
}

// The REG_SZ value "UserFolder" of one account. Only the bytes the call says it wrote count as text.
std::wstring ReadUserFolder(HKEY accounts, const wchar_t* account) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD bytes = 0;
        if (RegGetValueW(accounts, account, L"UserFolder", RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
            return {};
        }
        std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD written = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS status =
            RegGetValueW(accounts, account, L"UserFolder", RRF_RT_REG_SZ, nullptr, buffer.data(), &written);
        if (status == ERROR_MORE_DATA) continue;  // the value grew in between
        if (status != ERROR_SUCCESS) return {};
        buffer.resize(std::min<size_t>(buffer.size(), written / sizeof(wchar_t)));
        return std::wstring(buffer.c_str());
    }
    return {};
}

// Closes a registry key on leaving the scope.
class RegistryKey {
public:
    RegistryKey() noexcept = default;
    ~RegistryKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    [[nodiscard]] HKEY* out() noexcept { return &key_; }
    [[nodiscard]] HKEY get() const noexcept { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

std::vector<std::wstring> CollectOneDriveRoots() {
    std::vector<std::wstring> roots;
    for (const wchar_t* name : {L"OneDrive", L"OneDriveConsumer", L"OneDriveCommercial"}) {
        AppendRoot(roots, ReadEnvironment(name));
    }

    RegistryKey accounts;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\OneDrive\\Accounts", 0, KEY_READ, accounts.out()) !=
        ERROR_SUCCESS) {
        return roots;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t account[256] = {};
        DWORD length = 256;
        if (RegEnumKeyExW(accounts.get(), index, account, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        AppendRoot(roots, ReadUserFolder(accounts.get(), account));
    }
    return roots;
}

bool IsPathUnderAnyRoot(const std::wstring& normalizedPath, const std::vector<std::wstring>& roots) {
    for (const std::wstring& root : roots) {
        if (root.empty()) continue;
        std::wstring prefix = root;
        if (prefix.back() != L'\\') prefix += L'\\';
        if (prefix.size() < normalizedPath.size() && normalizedPath.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

}  // namespace lq
