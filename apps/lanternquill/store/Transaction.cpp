#include "store/Transaction.h"

#include <sqlite3.h>

#include "store/Database.h"

namespace lq {

Transaction::Transaction(Database& db) noexcept : db_(&db) {
    begun_ = sqlite3_exec(db_->handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

Transaction::~Transaction() {
    if (begun_ && !committed_) sqlite3_exec(db_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Transaction::Commit() noexcept {
    if (begun_ && !committed_) {
        committed_ = sqlite3_exec(db_->handle(), "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    return committed_;
}

}  // namespace lq
