#include "support/StoreDatabase.h"

#include <sqlite3.h>

#include "platform/TextConversion.h"
#include "store/Migration.h"

namespace lq::test {

std::unique_ptr<Database> OpenStoreDatabase(const std::wstring& path) {
    DatabaseOpenResult result = Database::Open(path, MakeMigrations());
    return result.outcome == OpenOutcome::Ok ? std::move(result.db) : nullptr;
}

bool MakeRawDatabase(const std::wstring& path, const char* script) {
    sqlite3* handle = nullptr;
    bool ok = sqlite3_open_v2(Utf16ToUtf8(path).c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr) == SQLITE_OK &&
              sqlite3_exec(handle, script, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(handle);
    return ok;
}

bool MakeSchemaDatabase(const std::wstring& path, int userVersion, const char* extra) {
    std::string script = MakeMigrations().front().sql;
    script += "PRAGMA user_version = " + std::to_string(userVersion) + ";";
    script += extra;
    return MakeRawDatabase(path, script.c_str());
}

bool AddPendingWalFrames(const std::wstring& path, const char* script) {
    sqlite3* handle = nullptr;
    bool ok = sqlite3_open_v2(Utf16ToUtf8(path).c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
              sqlite3_exec(handle, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr) == SQLITE_OK;
    // Neither a checkpoint nor the deletion of the log when this connection closes.
    int persist = 1;
    ok = ok && sqlite3_file_control(handle, "main", SQLITE_FCNTL_PERSIST_WAL, &persist) == SQLITE_OK;
    ok = ok && sqlite3_db_config(handle, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_exec(handle, script, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(handle);
    return ok;
}

}  // namespace lq::test
