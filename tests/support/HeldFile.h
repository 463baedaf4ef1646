#pragma once

#include <windows.h>

#include <string>

namespace lq::test {

// An existing file held open by another handle for as long as the object lives. With share mode 0 no
// one else can open it at all; with FILE_SHARE_READ others can only read it (SQLite then falls back to
// a read-only connection). Both hold on Windows and under Wine alike.
class HeldFile {
public:
    HeldFile(const std::wstring& path, DWORD access, DWORD shareMode);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    [[nodiscard]] bool held() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() noexcept;

private:
    HANDLE handle_;
};

// True when nothing else has the file open: it can be opened with no sharing at all.
[[nodiscard]] bool NobodyHoldsFile(const std::wstring& path);

}  // namespace lq::test
