#pragma once

#include <cstdint>
#include <string_view>

struct sqlite3_stmt;

namespace lq {

// One prepared statement of the cache. `ok` is sticky: the first failing bind or step clears it and
// everything after is skipped until Reset, so a chain of binds and one Execute reports the first failure.
// Every operation returns the statement itself so that calls chain.
class Statement {
public:
    explicit Statement(sqlite3_stmt* handle) noexcept : handle_(handle) {}
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // sqlite3_reset, then sqlite3_clear_bindings: a parameter this use leaves unbound is NULL,
    // never a value from the previous use.
    Statement& Reset() noexcept;
    Statement& BindText(int index, std::string_view utf8) noexcept;
    Statement& BindInt64(int index, int64_t value) noexcept;

    // True while a row is available; false at the end and on failure (then ok() is false).
    [[nodiscard]] bool Step() noexcept;
    // One step for INSERT, UPDATE and DELETE; true when it ran to a row or to its end.
    [[nodiscard]] bool Execute() noexcept;

    [[nodiscard]] int64_t ColumnInt64(int column) const noexcept;
    // Valid until the next step or reset: copy it at once. NULL reads as empty.
    [[nodiscard]] std::string_view ColumnText(int column) const noexcept;

    [[nodiscard]] bool ok() const noexcept { return ok_; }
    [[nodiscard]] int32_t rc() const noexcept { return rc_; }
    [[nodiscard]] sqlite3_stmt* handle() const noexcept { return handle_; }

private:
    friend class Database;
    friend struct StatementDeleter;
    void Fail(int result) noexcept;
    // Steps once, recording a failure; returns SQLite's result code.
    int StepRaw() noexcept;

    sqlite3_stmt* handle_;
    bool ok_ = true;
    int32_t rc_ = 0;
};

// Resets the statement when the scope is left, also by an exception from a caller's callback, so that
// no statement stays running (and holding the file's read lock) between operations.
class ScopedReset {
public:
    explicit ScopedReset(Statement& statement) noexcept : statement_(statement) {}
    ~ScopedReset() { statement_.Reset(); }
    ScopedReset(const ScopedReset&) = delete;
    ScopedReset& operator=(const ScopedReset&) = delete;

private:
    Statement& statement_;
};

// Finalizes the handle and frees the statement; the cache owns statements through it.
struct StatementDeleter {
    void operator()(Statement* statement) const noexcept;
};

}  // namespace lq
