#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace lq {

// The named mutex that marks one database file as in use by this process. It is only created and
// held, never waited on: whether it already existed decides if a second process may start at all.
// The handle is closed when the object goes, as the very last step of the run.
class InstanceMutex {
public:
    InstanceMutex() noexcept = default;
    ~InstanceMutex() { Close(); }
    InstanceMutex(InstanceMutex&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)), alreadyExisted_(other.alreadyExisted_) {}
    InstanceMutex& operator=(InstanceMutex&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, nullptr);
            alreadyExisted_ = other.alreadyExisted_;
        }
        return *this;
    }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    // Creates the mutex, initially owned. A mutex that cannot be made leaves the object without a
    // handle and not `alreadyExisted`: the run then goes on without the guard.
    [[nodiscard]] static InstanceMutex Create(const std::wstring& name) noexcept;

    // Another process holds the same name: it works on this database file.
    [[nodiscard]] bool alreadyExisted() const noexcept { return alreadyExisted_; }
    [[nodiscard]] bool held() const noexcept { return handle_ != nullptr; }
    void Close() noexcept;

private:
    HANDLE handle_ = nullptr;
    bool alreadyExisted_ = false;
};

}  // namespace lq
