#pragma once

#include <windows.h>

#include <string>

namespace lq::test {

// A named mutex, owned by the calling thread, whose DACL grants nothing: as an instance running with
// higher rights leaves it for a normal process, which can then neither create nor open it.
class RefusedMutex {
public:
    explicit RefusedMutex(const std::wstring& name);
    ~RefusedMutex();
    RefusedMutex(const RefusedMutex&) = delete;
    RefusedMutex& operator=(const RefusedMutex&) = delete;

    [[nodiscard]] bool made() const noexcept { return handle_ != nullptr; }

private:
    ACL acl_{};
    SECURITY_DESCRIPTOR descriptor_{};
    HANDLE handle_ = nullptr;
};

// Whether the platform refuses a plain CreateMutexW of that name with ERROR_ACCESS_DENIED, as Windows
// refuses it for a RefusedMutex (the check that a test of that case shows anything).
[[nodiscard]] bool OpeningIsRefused(const std::wstring& name);

}  // namespace lq::test
