#include "store/Statement.h"

#include <sqlite3.h>

namespace lq {

Statement& Statement::Reset() noexcept {
    sqlite3_reset(handle_);
    sqlite3_clear_bindings(handle_);
    ok_ = true;
    rc_ = 0;
    return *this;
}

void Statement::Fail(int result) noexcept {
    ok_ = false;
    rc_ = result;
}

Statement& Statement::BindText(int index, std::string_view utf8) noexcept {
    // A view of an empty string may carry a null pointer; SQLite would bind that as NULL, not ''.
    const char* bytes = utf8.data() != nullptr ? utf8.data() : "";
    const int result = sqlite3_bind_text64(handle_, index, bytes, utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (result != SQLITE_OK) Fail(result);
    return *this;
}

Statement& Statement::BindInt64(int index, int64_t value) noexcept {
    const int result = sqlite3_bind_int64(handle_, index, value);
    if (result != SQLITE_OK) Fail(result);
    return *this;
}

int Statement::StepRaw() noexcept {
    const int result = sqlite3_step(handle_);
    if (result != SQLITE_ROW && result != SQLITE_DONE) Fail(result);
    return result;
}

bool Statement::Step() noexcept {
    if (!ok_) return false;
    return StepRaw() == SQLITE_ROW;
}

bool Statement::Execute() noexcept {
    if (ok_) StepRaw();
    return ok_;
}

int64_t Statement::ColumnInt64(int column) const noexcept {
    return sqlite3_column_int64(handle_, column);
}

std::string_view Statement::ColumnText(int column) const noexcept {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(handle_, column));
    if (text == nullptr) return {};
    return {text, static_cast<size_t>(sqlite3_column_bytes(handle_, column))};
}

void StatementDeleter::operator()(Statement* statement) const noexcept {
    if (statement == nullptr) return;
    sqlite3_finalize(statement->handle_);
    delete statement;
}

}  // namespace lq
