#include <windows.h>

#include <sqlite3.h>

#include <optional>
#include <string>

#include "platform/TextConversion.h"
#include "store/Database.h"
#include "store/DatabaseProbe.h"
#include "store/ResultCodes.h"
#include "store/Transaction.h"

namespace lq {
namespace {

constexpr char kJournalModeSql[] = "PRAGMA journal_mode = DELETE";
constexpr char kSynchronousSql[] = "PRAGMA synchronous";

constexpr int kBusyTimeoutMillis = 2000;

int Exec(Database& db, const char* sql) noexcept {
    return sqlite3_exec(db.handle(), sql, nullptr, nullptr, nullptr);
}

// Foreign keys on, journal mode DELETE (read back as exactly "delete"), synchronous FULL (read back
// as 2). Stops at the first that fails, so the caller's LastError is that one's message.
bool Configure(Database& db) {
    if (Exec(db, "PRAGMA foreign_keys = ON") != SQLITE_OK) return false;

    Statement* journal = db.Prepare(kJournalModeSql);
    if (journal == nullptr) return false;
    journal->Reset();
    const bool isDelete = journal->Step() && journal->ColumnText(0) == "delete";
    journal->Reset();
    if (!isDelete) return false;

    if (Exec(db, "PRAGMA synchronous = FULL") != SQLITE_OK) return false;
    int64_t synchronous = -1;
    return db.QueryInt64(kSynchronousSql, synchronous) && synchronous == 2;
}

}  // namespace

DatabaseOpenResult Database::Open(const std::wstring& path, const std::vector<Migration>& migrations) {
    DatabaseOpenResult result;

    // An existing file is never created anew: only a missing one gets the create flag.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_EXRESCODE;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // SQLite deletes a log or journal that lies beside an empty database: a new file made here
        // would take the only copy of the changes they hold (a file moved away without its log).
        for (const wchar_t* suffix : {L"-wal", L"-journal"}) {
            if (GetFileAttributesW((path + suffix).c_str()) != INVALID_FILE_ATTRIBUTES) {
                result.error = "a log lies beside the missing file";
                result.outcome = OpenOutcome::LogWithoutFile;
                return result;
            }
        }
        flags |= SQLITE_OPEN_CREATE;
    }

    // A file with a log beside it is judged first through a connection that writes nothing: this
    // connection would rebuild the log's index on opening and checkpoint the log into the file on
    // closing, so a refused file would no longer be the one its own program left.
    if (GetFileAttributesW((path + L"-wal").c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (const std::optional<OpenOutcome> refusal = RefusalWithoutWriting(path, result.foundVersion, result.error)) {
            result.outcome = *refusal;
            return result;
        }
    }

    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(Utf16ToUtf8(path).c_str(), &handle, flags, nullptr) != SQLITE_OK) {
        result.error = handle != nullptr ? sqlite3_errmsg(handle) : "sqlite3_open_v2 failed";
        sqlite3_close_v2(handle);
        return result;
    }
    auto db = std::make_unique<Database>(handle, path);
    sqlite3_busy_timeout(handle, kBusyTimeoutMillis);

    // An empty name gives a temporary database and ":memory:" one in memory; both vanish at close,
    // so saves into them would be reported as done and then lost.
    const char* fileName = sqlite3_db_filename(handle, "main");
    if (fileName == nullptr || *fileName == '\0') {
        result.error = "the path names no database file";
        return result;
    }

    // SQLite falls back to read-only when the file cannot be opened for writing (write-protected,
    // or held by another handle that shares reading only); every later save would then fail.
    if (sqlite3_db_readonly(handle, "main") != 0) {
        result.error = sqlite3_errstr(SQLITE_READONLY);
        return result;
    }

    ProbeCounts counts;
    if (!QueryProbeCounts(*db, counts)) {
        result.error = db->LastError();
        if (IsDamagedFileCode(sqlite3_errcode(handle))) result.outcome = OpenOutcome::NotOurDatabase;
        return result;
    }
    const int64_t version = counts.version;
    result.foundVersion = static_cast<int32_t>(version);
    if (const std::optional<OpenOutcome> refusal = RefusalFor(counts)) {
        result.outcome = *refusal;
        return result;
    }

    bool created = false;
    if (version == 0) {
        if (!db->ApplyMigrations(migrations, 0, &result.error)) return result;
        created = true;
    }

    if (!Configure(*db)) {
        result.error = db->LastError();
        result.outcome = OpenOutcome::JournalModeFailed;
        return result;
    }

    if (!created && version < kCurrentSchemaVersion) {
        result.backupPath = MigrationBackupPath(path);
        if (!db->CopyTo(result.backupPath, &result.error)) {
            result.outcome = OpenOutcome::BackupFailed;
            return result;
        }
        if (!db->ApplyMigrations(migrations, static_cast<int32_t>(version), &result.error)) {
            result.outcome = OpenOutcome::MigrationFailed;
            return result;
        }
    }

    result.db = std::move(db);
    result.outcome = OpenOutcome::Ok;
    return result;
}

bool Database::ApplyMigrations(const std::vector<Migration>& migrations, int32_t fromVersion, std::string* error) {
    // The message is taken before the rollback, which would replace it with "not an error".
    const auto fail = [&] {
        if (error != nullptr) *error = LastError();
        return false;
    };
    Transaction transaction(*this);
    if (!transaction.begun()) return fail();
    for (const Migration& migration : migrations) {
        if (migration.version <= fromVersion || migration.version > kCurrentSchemaVersion) continue;
        if (sqlite3_exec(handle_, migration.sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
    }
    // Built at run time, so it goes through sqlite3_exec rather than the statement cache.
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(kCurrentSchemaVersion);
    if (sqlite3_exec(handle_, setVersion.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
    if (!transaction.Commit()) return fail();
    return true;
}

}  // namespace lq
