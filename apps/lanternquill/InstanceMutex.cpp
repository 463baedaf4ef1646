#include "InstanceMutex.h"

namespace lq {

InstanceMutex InstanceMutex::Create(const std::wstring& name) noexcept {
    InstanceMutex mutex;
    mutex.handle_ = CreateMutexW(nullptr, TRUE, name.c_str());
    const DWORD error = GetLastError();
    if (mutex.handle_ != nullptr) {
        mutex.alreadyExisted_ = error == ERROR_ALREADY_EXISTS;
        mutex.owned_ = !mutex.alreadyExisted_;
    } else {
        // Refused, not missing: an instance with higher rights holds it, and going on without the
        // guard would let two processes overwrite each other's saves.
        mutex.alreadyExisted_ = error == ERROR_ACCESS_DENIED;
    }
    return mutex;
}

bool InstanceMutex::TakeOver(DWORD timeoutMs) noexcept {
    if (handle_ == nullptr) return false;
    if (owned_) return true;
    // An abandoned mutex is ours as well: its owner is gone.
    const DWORD waited = WaitForSingleObject(handle_, timeoutMs);
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    if (owned_) alreadyExisted_ = false;
    return owned_;
}

void InstanceMutex::Close() noexcept {
    if (handle_ == nullptr) return;
    if (std::exchange(owned_, false)) ReleaseMutex(handle_);
    CloseHandle(std::exchange(handle_, nullptr));
}

}  // namespace lq
