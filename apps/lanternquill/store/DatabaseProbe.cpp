#include "store/DatabaseProbe.h"

#include <sqlite3.h>

#include <windows.h>

#include <memory>

#include "platform/LongPath.h"
#include "platform/TextConversion.h"
#include "store/Database.h"
#include "store/Migration.h"
#include "store/ResultCodes.h"

namespace lq {
namespace {

constexpr char kUserVersionSql[] = "PRAGMA user_version";
constexpr char kObjectCountSql[] = "SELECT count(*) FROM sqlite_schema";
constexpr char kOurTableCountSql[] =
    "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN ('projects', 'notes', 'settings')";

constexpr int kBusyTimeoutMillis = 2000;

// A read-only URI for the path; the characters that would start a query or a fragment, or an escape,
// are escaped.
std::string ReadOnlyUri(const std::wstring& path, bool readOnlyIndex) {
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
    // With the "-shm" opened read-only as well, and nobody else holding it, SQLite reads the log into its
    // own memory instead of truncating and rebuilding the index file. It cannot do so when the index is
    // missing: it would have to create one.
    uri += readOnlyIndex ? "?mode=ro&readonly_shm=1" : "?mode=ro";
    return uri;
}

bool Exists(const std::wstring& path) noexcept {
    return GetFileAttributesW(UsableFilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A copy of a database file and its log in the temporary folder, judged in place of a file whose log
// has no index beside it: SQLite builds the index beside the copy. Deleted with everything SQLite
// made beside it when the object goes.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const std::wstring& path) {
        wchar_t folder[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
        if (length == 0 || length > MAX_PATH) return;
        path_ = std::wstring(folder, length) + L"lnq-judge-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64()) + L".db";
        made_ = CopyFileW(UsableFilePath(path).c_str(), path_.c_str(), TRUE) &&
                CopyFileW(UsableFilePath(path + L"-wal").c_str(), (path_ + L"-wal").c_str(), TRUE);
    }
    ~TemporaryCopy() {
        if (path_.empty()) return;
        for (const wchar_t* suffix : {L"", L"-wal", L"-shm", L"-journal"}) DeleteFileW((path_ + suffix).c_str());
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    [[nodiscard]] bool made() const noexcept { return made_; }
    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }

private:
    std::wstring path_;
    bool made_ = false;
};

// The refusal as a read-only connection to `uri` sees it; see RefusalWithoutWriting.
std::optional<OpenOutcome> RefusalSeenThrough(const std::string& uri, const std::wstring& path, int32_t& foundVersion,
                                              std::string& error) {
    sqlite3* handle = nullptr;
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_EXRESCODE;
    if (sqlite3_open_v2(uri.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
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
    if (Exists(path + L"-shm")) return RefusalSeenThrough(ReadOnlyUri(path, true), path, foundVersion, error);

    // Without an index the log can be read only by building one, which the writing connection would do
    // beside the user's file before checkpointing the log into it. A copy is judged instead, and a
    // file whose copy cannot be made is not opened at all.
    const TemporaryCopy copy(path);
    if (!copy.made()) {
        error = "the log beside the file has no index, and no copy of the two could be judged";
        return OpenOutcome::LogNotJudged;
    }
    return RefusalSeenThrough(ReadOnlyUri(copy.path(), false), path, foundVersion, error);
}

}  // namespace lq
