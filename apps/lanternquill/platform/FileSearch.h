#pragma once

#include <windows.h>

namespace lq {

// Owns a search handle from FindFirstFileExW and closes it once.
class FileSearch {
public:
    explicit FileSearch(HANDLE handle) noexcept : handle_(handle) {}
    ~FileSearch() {
        if (valid()) FindClose(handle_);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    [[nodiscard]] bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE get() const noexcept { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace lq
