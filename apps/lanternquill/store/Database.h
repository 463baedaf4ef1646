#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/Migration.h"
#include "store/OpenOutcome.h"
#include "store/Statement.h"

struct sqlite3;

namespace lq {

struct DatabaseOpenResult;

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

    // Opens the database file with every check: creates the file and the schema when it is missing or
    // empty, refuses another program's file, a damaged or newer one, a name that is no file (empty,
    // ":memory:") and a connection that came out read-only, configures foreign keys, journal mode
    // DELETE and synchronous FULL, and migrates an older file after copying it to MigrationBackupPath.
    // Only the outcome Ok returns a connection; every other outcome has closed it. NewerVersion and
    // NotOurDatabase never write to the file.
    [[nodiscard]] static DatabaseOpenResult Open(const std::wstring& path, const std::vector<Migration>& migrations);

    // Runs, in one immediate transaction, every step above `fromVersion` up to the current version and
    // sets user_version. True when committed; on false everything is rolled back and `error` (when
    // given) holds SQLite's message from the moment of failure.
    [[nodiscard]] bool ApplyMigrations(const std::vector<Migration>& migrations, int32_t fromVersion,
                                       std::string* error = nullptr);

    // Copies the whole live database into `target` through SQLite's online backup, creating the file or
    // replacing its content. On failure whatever was written stays in `target` and `error` (when given)
    // holds the copy's message. Refuses the live database file itself.
    [[nodiscard]] bool CopyTo(const std::wstring& target, std::string* error = nullptr);

    // The user's backup: copies into a temporary file beside `target`, checks it with quick_check and
    // only then moves it over `target`; a stale "-journal" of the old target does not survive. On false
    // `target` (and any journal of it) is as it was and no temporary file is left. Refuses the live file.
    // When the copy fails its check because this file itself is damaged (its own check fails too),
    // `sourceDamaged` is set: the fault is not the target's.
    [[nodiscard]] bool BackupTo(const std::wstring& target, bool* sourceDamaged = nullptr);

    // The cached statement for this text, prepared on first use as persistent; null when the text
    // cannot be prepared (nothing is cached then, and LastError says why).
    [[nodiscard]] Statement* Prepare(const char* sql) noexcept;

    // True, with `value` set to column 0 of the first row, when the statement yields a row.
    // `value` is left as it was otherwise.
    [[nodiscard]] bool QueryInt64(const char* sql, int64_t& value) noexcept;

    [[nodiscard]] std::string LastError() const;
    // SQLite's extended result code of the last call on this connection; meaningful right after a
    // call that failed (a statement's failing step stays there through its reset).
    [[nodiscard]] int LastErrorCode() const noexcept;
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

// What Database::Open yields.
struct DatabaseOpenResult {
    std::unique_ptr<Database> db;  // set only for OpenOutcome::Ok
    OpenOutcome outcome = OpenOutcome::CannotOpen;
    int32_t foundVersion = 0;  // user_version found; 0 until probing succeeded
    std::string error;         // SQLite's text for the failure, for diagnosis only
    std::wstring backupPath;   // the copy taken before a migration, when one was tried
};

}  // namespace lq
