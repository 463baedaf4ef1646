#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace lq {

// The named mutex that marks one database file as in use by this process. Whether it already existed
// decides if a second process may start at all; a second process waits on it only once, briefly, when
// the running instance shows no window (it may be closing its database). The mutex is released and
// its handle closed when the object goes, as the very last step of the run.
class InstanceMutex {
public:
    InstanceMutex() noexcept = default;
    ~InstanceMutex() { Close(); }
    InstanceMutex(InstanceMutex&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)),
          alreadyExisted_(other.alreadyExisted_),
          owned_(std::exchange(other.owned_, false)) {}
    InstanceMutex& operator=(InstanceMutex&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, nullptr);
            alreadyExisted_ = other.alreadyExisted_;
            owned_ = std::exchange(other.owned_, false);
        }
        return *this;
    }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    // Creates the mutex, initially owned. A mutex of that name that this process may not open (made by
    // an instance running with higher rights) counts as existing, without a handle. A mutex that cannot
    // be made for another reason leaves the object without a handle and not `alreadyExisted`: the run
    // then goes on without the guard.
    [[nodiscard]] static InstanceMutex Create(const std::wstring& name) noexcept;

    // Another process holds the same name: it works on this database file.
    [[nodiscard]] bool alreadyExisted() const noexcept { return alreadyExisted_; }
    [[nodiscard]] bool held() const noexcept { return handle_ != nullptr; }
    // Waits up to `timeoutMs` for an existing mutex to become free and takes it (also when its
    // owner ended without releasing it). False without a handle or when it stayed taken.
    [[nodiscard]] bool TakeOver(DWORD timeoutMs) noexcept;
    void Close() noexcept;

private:
    HANDLE handle_ = nullptr;
    bool alreadyExisted_ = false;
    bool owned_ = false;
};

}  // namespace lq
