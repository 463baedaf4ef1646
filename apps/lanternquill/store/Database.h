#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "store/Statement.h"

struct sqlite3;

namespace lq {

// The statement cache is keyed by the address of the SQL text; the hash is FNV-1a 64 over the
// address's eight bytes, lowest first (the standard library's pointer hash here is the identity,
// which would bucket literals laid out in steps of eight badly).
struct SqlTextAddressHash {
    size_t operator()(const char* text) const noexcept;
};

// The one open SQLite connection of the run, with its path and the cache of prepared statements.
// Only SQL texts of static storage duration may be prepared: the cache never evicts and is keyed by
// the text's address, so an equal text at another address is a second statement. A text shared by
// several files must be one `inline constexpr char[]` in a header.
class Database {
public:
    // Takes ownership of an open connection; opening with all its checks is Database::Open.
    Database(sqlite3* handle, std::wstring path) noexcept;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The cached statement for this text, prepared on first use as persistent; null when the text
    // cannot be prepared (nothing is cached then, and LastError says why).
    [[nodiscard]] Statement* Prepare(const char* sql) noexcept;

    // True, with `value` set to column 0 of the first row, when the statement yields a row.
    // `value` is left as it was otherwise.
    [[nodiscard]] bool QueryInt64(const char* sql, int64_t& value) noexcept;

    [[nodiscard]] std::string LastError() const;
    [[nodiscard]] int Changes() const noexcept;
    [[nodiscard]] int64_t LastInsertRowId() const noexcept;

    // For sqlite3_exec: transactions, pragmas and the schema scripts only.
    [[nodiscard]] sqlite3* handle() const noexcept { return handle_; }
    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }

private:
    sqlite3* handle_;
    std::wstring path_;
    std::unordered_map<const char*, std::unique_ptr<Statement, StatementDeleter>, SqlTextAddressHash> cache_;
};

}  // namespace lq
