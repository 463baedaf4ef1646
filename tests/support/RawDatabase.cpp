#include "support/RawDatabase.h"

#include <sqlite3.h>

#include "platform/TextConversion.h"

namespace lq::test {

std::unique_ptr<Database> OpenRawDatabase(const std::wstring& path) {
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(Utf16ToUtf8(path).c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(handle);
        return nullptr;
    }
    return std::make_unique<Database>(handle, path);
}

}  // namespace lq::test
