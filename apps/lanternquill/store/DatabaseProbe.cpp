#include "store/DatabaseProbe.h"

#include <sqlite3.h>

#include <memory>

#include "store/Database.h"
#include "store/ResultCodes.h"
#include "store/Migration.h"
#include "store/TextConversion.h"

namespace lq {
namespace {

constexpr char kUserVersionSql[] = "PRAGMA user_version";
constexpr char kObjectCountSql[] = "SELECT count(*) FROM sqlite_schema";
constexpr char kOurTableCountSql[] =
    "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN ('projects', 'notes', 'settings')";

constexpr int kBusyTimeoutMillis = 2000;

// A URI for the path; the characters that would start a query or a fragment, or an escape, are escaped.
std::string FileUri(const std::wstring& path) {
    std::string uri = "file:";
    for (const char c : Utf16ToUtf8(path)) {
        if (c == '%')
            uri += "%25";
        else if (c == '?')
            uri += "%3F";
        else if (c == '#')
            uri += "%23";
        else
            uri += c;
    }
    // Read-only, and the "-shm" opened read-only as well: with nobody else holding it, SQLite then reads
    // the log into its own memory instead of truncating and rebuilding the index file.
    uri += "?mode=ro&readonly_shm=1";
    return uri;
}

}  // namespace

bool QueryProbeCounts(Database& db, ProbeCounts& counts) {
    return db.QueryInt64(kUserVersionSql, counts.version) && db.QueryInt64(kObjectCountSql, counts.objects) &&
           db.QueryInt64(kOurTableCountSql, counts.tables);
}

std::optional<OpenOutcome> RefusalFor(const ProbeCounts& counts) {
    if (counts.version != 0) {
        if (counts.tables != 3) return OpenOutcome::NotOurDatabase;
        if (counts.version > kCurrentSchemaVersion) return OpenOutcome::NewerVersion;
        return std::nullopt;
    }
    if (counts.objects != 0) return OpenOutcome::NotOurDatabase;
    return std::nullopt;
}

std::optional<OpenOutcome> RefusalWithoutWriting(const std::wstring& path, int32_t& foundVersion, std::string& error) {
    sqlite3* handle = nullptr;
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_EXRESCODE;
    if (sqlite3_open_v2(FileUri(path).c_str(), &handle, flags, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(handle);
        return std::nullopt;
    }
    const auto db = std::make_unique<Database>(handle, path);
    // The last connection to close would otherwise copy the log into the file and delete it.
    if (sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr) != SQLITE_OK) return std::nullopt;
    sqlite3_busy_timeout(handle, kBusyTimeoutMillis);

    ProbeCounts counts;
    if (!QueryProbeCounts(*db, counts)) {
        if (!IsDamagedFileCode(sqlite3_errcode(handle))) return std::nullopt;
        error = db->LastError();
        return OpenOutcome::NotOurDatabase;
    }
    const std::optional<OpenOutcome> refusal = RefusalFor(counts);
    if (refusal) foundVersion = static_cast<int32_t>(counts.version);
    return refusal;
}

}  // namespace lq
