#include "support/HeldFile.h"

namespace lq::test {

HeldFile::HeldFile(const std::wstring& path, DWORD access, DWORD shareMode)
    : handle_(CreateFileW(path.c_str(), access, shareMode, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

HeldFile::~HeldFile() {
    Release();
}

void HeldFile::Release() noexcept {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool NobodyHoldsFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

}  // namespace lq::test
