#pragma once

#include <windows.h>

#include <utility>

namespace lq {

// Owns a file handle from CreateFileW (INVALID_HANDLE_VALUE when empty) and closes it once.
class FileHandle {
public:
    FileHandle() noexcept = default;
    explicit FileHandle(HANDLE handle) noexcept : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(FileHandle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    [[nodiscard]] bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    [[nodiscard]] HANDLE get() const noexcept { return handle_; }

    // Closes now; true when there was nothing to close or CloseHandle succeeded.
    bool Close() noexcept {
        if (!valid()) return true;
        const bool closed = CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
        return closed;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace lq
