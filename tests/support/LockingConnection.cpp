#include "support/LockingConnection.h"

#include <sqlite3.h>

#include "platform/TextConversion.h"

namespace lq::test {

LockingConnection::LockingConnection(const std::wstring& path, bool exclusive) {
    if (sqlite3_open_v2(Utf16ToUtf8(path).c_str(), &handle_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return;
    locked_ = sqlite3_exec(handle_, exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) ==
              SQLITE_OK;
}

LockingConnection::~LockingConnection() {
    if (locked_) sqlite3_exec(handle_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(handle_);
}

}  // namespace lq::test
