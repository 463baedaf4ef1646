#include "InstanceMutex.h"

namespace lq {

InstanceMutex InstanceMutex::Create(const std::wstring& name) noexcept {
    InstanceMutex mutex;
    mutex.handle_ = CreateMutexW(nullptr, TRUE, name.c_str());
    mutex.alreadyExisted_ = mutex.handle_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

void InstanceMutex::Close() noexcept {
    if (handle_ != nullptr) CloseHandle(std::exchange(handle_, nullptr));
}

}  // namespace lq
