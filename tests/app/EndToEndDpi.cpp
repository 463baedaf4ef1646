#include "EndToEndDpi.h"

namespace lq::test {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

}  // namespace

SystemDpiOverride::SystemDpiOverride(DWORD dpi) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (RegQueryValueExW(key_, kLogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD) {
        previous_ = value;
    }
    applied_ = RegSetValueExW(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) ==
               ERROR_SUCCESS;
}

SystemDpiOverride::~SystemDpiOverride() {
    Restore();
}

void SystemDpiOverride::Restore() {
    if (key_ == nullptr) return;
    if (applied_) {
        if (previous_) {
            const DWORD value = *previous_;
            RegSetValueExW(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        } else {
            RegDeleteValueW(key_, kLogPixels);
        }
    }
    RegCloseKey(key_);
    key_ = nullptr;
}

}  // namespace lq::test
