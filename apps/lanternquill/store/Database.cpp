#include "store/Database.h"

#include <sqlite3.h>

#include <utility>

namespace lq {

size_t SqlTextAddressHash::operator()(const char* text) const noexcept {
    uint64_t hash = 0xcbf29ce484222325ull;
    auto address = reinterpret_cast<uintptr_t>(text);
    for (int i = 0; i < 8; ++i) {
        hash ^= static_cast<uint64_t>(address & 0xff);
        hash *= 0x100000001b3ull;
        address >>= 8;
    }
    return static_cast<size_t>(hash);
}

Database::Database(sqlite3* handle, std::wstring path) noexcept : handle_(handle), path_(std::move(path)) {}

Database::~Database() {
    // Statements first: a connection with unfinalized statements would stay open as a zombie.
    cache_.clear();
    sqlite3_close_v2(handle_);
}

Statement* Database::Prepare(const char* sql) noexcept {
    if (const auto found = cache_.find(sql); found != cache_.end()) return found->second.get();

    sqlite3_stmt* handle = nullptr;
    const int result = sqlite3_prepare_v3(handle_, sql, -1, SQLITE_PREPARE_PERSISTENT, &handle, nullptr);
    if (result != SQLITE_OK || handle == nullptr) {
        // An empty text prepares "successfully" to no statement; it is as unusable as a failure.
        sqlite3_finalize(handle);
        return nullptr;
    }
    std::unique_ptr<Statement, StatementDeleter> owned;
    try {
        owned.reset(new Statement(handle));
    } catch (...) {
        sqlite3_finalize(handle);
        return nullptr;
    }
    try {
        return cache_.emplace(sql, std::move(owned)).first->second.get();
    } catch (...) {
        return nullptr;  // the statement went with `owned` or with the node that failed
    }
}

bool Database::QueryInt64(const char* sql, int64_t& value) noexcept {
    Statement* statement = Prepare(sql);
    if (statement == nullptr) return false;
    statement->Reset();
    if (!statement->ok()) return false;
    if (statement->StepRaw() != SQLITE_ROW) return false;
    value = statement->ColumnInt64(0);
    statement->Reset();
    return true;
}

std::string Database::LastError() const {
    const char* message = sqlite3_errmsg(handle_);
    return message != nullptr ? std::string(message) : std::string();
}

int Database::LastErrorCode() const noexcept {
    return sqlite3_extended_errcode(handle_);
}

int Database::Changes() const noexcept {
    return sqlite3_changes(handle_);
}

int64_t Database::LastInsertRowId() const noexcept {
    return sqlite3_last_insert_rowid(handle_);
}

}  // namespace lq
