#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lq::test {

// (id, sort_order) of the rows a query yields, in its order.
inline std::vector<std::pair<int64_t, int64_t>> IdsAndOrders(sqlite3* handle, const std::string& sql) {
    std::vector<std::pair<int64_t, int64_t>> rows;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            rows.emplace_back(sqlite3_column_int64(statement, 0), sqlite3_column_int64(statement, 1));
        }
    }
    sqlite3_finalize(statement);
    return rows;
}

// The stored projects in id order with their sort orders.
inline std::vector<std::pair<int64_t, int64_t>> StoredProjectOrders(sqlite3* handle) {
    return IdsAndOrders(handle, "SELECT id, sort_order FROM projects ORDER BY sort_order, id");
}

// The stored notes of a project in sidebar order with their sort orders.
inline std::vector<std::pair<int64_t, int64_t>> StoredNoteOrders(sqlite3* handle, int64_t projectId) {
    return IdsAndOrders(handle, "SELECT id, sort_order FROM notes WHERE project_id = " + std::to_string(projectId) +
                                    " ORDER BY sort_order, id");
}

// The ids of those rows in their stored order: what the sidebar shows after a reload.
inline std::vector<int64_t> IdsOf(const std::vector<std::pair<int64_t, int64_t>>& rows) {
    std::vector<int64_t> ids;
    for (const auto& row : rows) ids.push_back(row.first);
    return ids;
}

inline std::vector<int64_t> StoredProjectIds(sqlite3* handle) {
    return IdsOf(StoredProjectOrders(handle));
}

inline std::vector<int64_t> StoredNoteIds(sqlite3* handle, int64_t projectId) {
    return IdsOf(StoredNoteOrders(handle, projectId));
}

}  // namespace lq::test
