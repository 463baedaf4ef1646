#pragma once

#include "store/Database.h"
#include "store/Statement.h"

namespace lq {

// Runs the cached statement for `sql` once with the binds `bind` adds, and is true only when it ran
// to its end and changed exactly one row: an update of a row deleted meanwhile is a failure, not a
// success that stored nothing. The statement is left reset.
template <typename Bind>
[[nodiscard]] bool ChangeOneRow(Database& db, const char* sql, Bind&& bind) {
    Statement* statement = db.Prepare(sql);
    if (statement == nullptr) return false;
    const ScopedReset reset(*statement);
    bind(statement->Reset());
    return statement->Execute() && db.Changes() == 1;
}

}  // namespace lq
