#include "store/RowChangeWatch.h"

#include <sqlite3.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "store/Database.h"

namespace lq {
namespace {

// The watches of each connection that has any; its hook is set while the list is not empty.
std::unordered_map<sqlite3*, std::vector<RowChangeWatch*>>& Watches() {
    static std::unordered_map<sqlite3*, std::vector<RowChangeWatch*>> watches;
    return watches;
}

}  // namespace

RowChangeWatch::RowChangeWatch(Database& db, Observer observer) : RowChangeWatch(db.handle(), std::move(observer)) {}

RowChangeWatch::RowChangeWatch(sqlite3* connection, Observer observer)
    : connection_(connection), observer_(std::move(observer)) {
    if (!connection_) return;
    std::vector<RowChangeWatch*>& list = Watches()[connection_];
    if (list.empty()) {
        (void)sqlite3_update_hook(
            connection_,
            [](void* handle, int operation, const char*, const char* table, sqlite3_int64 rowId) {
                OnChange(static_cast<sqlite3*>(handle), operation, table, static_cast<int64_t>(rowId));
            },
            connection_);
    }
    list.push_back(this);
}

RowChangeWatch::~RowChangeWatch() {
    if (!connection_) return;
    auto found = Watches().find(connection_);
    if (found == Watches().end()) return;
    std::vector<RowChangeWatch*>& list = found->second;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (!list.empty()) return;
    Watches().erase(found);
    (void)sqlite3_update_hook(connection_, nullptr, nullptr);
}

void RowChangeWatch::OnChange(sqlite3* connection, int operation, const char* table, int64_t rowId) {
    const auto found = Watches().find(connection);
    if (found == Watches().end() || !table) return;
    const RowChangeKind kind = operation == SQLITE_INSERT   ? RowChangeKind::Insert
                               : operation == SQLITE_DELETE ? RowChangeKind::Delete
                                                            : RowChangeKind::Update;
    // A copy: an observer may end a watch of the same connection.
    const std::vector<RowChangeWatch*> list = found->second;
    for (RowChangeWatch* watch : list) {
        if (!watch->observer_) continue;
        try {
            watch->observer_(table, kind, rowId);
        } catch (...) {
            // Nothing may unwind through SQLite's C frames.
        }
    }
}

}  // namespace lq
