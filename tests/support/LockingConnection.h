#pragma once

#include <string>

struct sqlite3;

namespace lq::test {

// A second SQLite connection to a database that holds a lock while it lives: "BEGIN EXCLUSIVE" with a
// write keeps every other connection from reading or writing (rolled back on destruction); with
// `exclusive` false it takes only a write lock ("BEGIN IMMEDIATE"), which readers pass.
class LockingConnection {
public:
    explicit LockingConnection(const std::wstring& path, bool exclusive = true);
    ~LockingConnection();
    LockingConnection(const LockingConnection&) = delete;
    LockingConnection& operator=(const LockingConnection&) = delete;

    [[nodiscard]] bool locked() const noexcept { return locked_; }

private:
    sqlite3* handle_ = nullptr;
    bool locked_ = false;
};

}  // namespace lq::test
