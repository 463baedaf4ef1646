#pragma once

#include <string>

namespace lq::test {

// While the object lives, the default SQLite VFS makes every read of a file whose name contains
// `marker`, opened read-only as a main database, fail past its first page with SQLITE_IOERR_READ: a
// drive that fails while a file on it is read back. Pages read through a memory mapping still come
// from the file, as on Windows such a fault is no error code but an exception in the reading thread.
// Connections opened before it keep the VFS they had.
class FailingReadVfs {
public:
    explicit FailingReadVfs(std::string marker);
    ~FailingReadVfs();
    FailingReadVfs(const FailingReadVfs&) = delete;
    FailingReadVfs& operator=(const FailingReadVfs&) = delete;

    [[nodiscard]] bool installed() const noexcept { return installed_; }

private:
    bool installed_ = false;
};

}  // namespace lq::test
