#include "support/StoreDatabase.h"

#include <sqlite3.h>

#include "store/Migration.h"
#include "store/TextConversion.h"

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

}  // namespace lq::test
