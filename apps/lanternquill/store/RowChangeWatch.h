#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

struct sqlite3;

namespace lq {

class Database;

enum class RowChangeKind { Insert, Update, Delete };

// Tells an observer of every row the connection inserts, updates or deletes while the watch lives,
// as the statement changes it: before the transaction commits, and also for changes a rollback later
// undoes, so an observer must treat a report as "this row may have changed". Rows deleted by a
// cascade are not reliably reported; the parent's deletion is. Several watches may share a connection
// (the connection has one hook; the watches take turns in the order they were made). The observer
// runs inside a statement's step and must not change the database. UI thread only.
class RowChangeWatch {
public:
    using Observer = std::function<void(std::string_view table, RowChangeKind kind, int64_t rowId)>;

    RowChangeWatch(Database& db, Observer observer);
    RowChangeWatch(sqlite3* connection, Observer observer);
    ~RowChangeWatch();
    RowChangeWatch(const RowChangeWatch&) = delete;
    RowChangeWatch& operator=(const RowChangeWatch&) = delete;

private:
    static void OnChange(sqlite3* connection, int operation, const char* table, int64_t rowId);

    sqlite3* connection_;
    Observer observer_;
};

}  // namespace lq
