#include "store/UnreadableNotes.h"

#include <sqlite3.h>

#include "store/Database.h"
#include "store/Statement.h"

namespace lq {
namespace {

// Every listed note's text, read whole (length() of a text reads all of it), from after ?1 in id order.
constexpr char kReadNotesAfterSql[] =
    "SELECT n.id, length(n.content) FROM notes n WHERE n.id > ?1 AND EXISTS (SELECT 1 FROM projects p WHERE p.id = "
    "n.project_id) ORDER BY n.id";
// The next listed note after ?1; reads only the start of each row, never its text.
constexpr char kNextNoteAfterSql[] =
    "SELECT n.id FROM notes n WHERE n.id > ?1 AND EXISTS (SELECT 1 FROM projects p WHERE p.id = n.project_id) ORDER BY "
    "n.id LIMIT 1";
constexpr char kPageCountSql[] = "PRAGMA page_count";
constexpr char kPageSizeSql[] = "PRAGMA page_size";

// The size of the connection's main file as the system has it now; none when it cannot be asked.
std::optional<int64_t> MainFileSize(Database& db) noexcept {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || file == nullptr ||
        file->pMethods == nullptr) {
        return std::nullopt;
    }
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) return std::nullopt;
    return size;
}

}  // namespace

bool FailedOnDamagedRow(Database& db, int rc) noexcept {
    if ((rc & 0xff) != SQLITE_CORRUPT) return false;
    // Pages missing at the end read as zeros, which SQLite also calls corrupt: that is the file's
    // loss, not one note's.
    int64_t pages = 0;
    int64_t pageSize = 0;
    if (!db.QueryInt64(kPageCountSql, pages) || !db.QueryInt64(kPageSizeSql, pageSize)) return false;
    const std::optional<int64_t> size = MainFileSize(db);
    return size && *size >= pages * pageSize;
}

std::optional<std::vector<int64_t>> FindUnreadableNotes(Database& db) {
    Statement* reading = db.Prepare(kReadNotesAfterSql);
    Statement* next = db.Prepare(kNextNoteAfterSql);
    if (reading == nullptr || next == nullptr) return std::nullopt;
    std::vector<int64_t> unreadable;
    int64_t after = 0;
    for (;;) {
        int64_t last = after;
        int rc = 0;
        {
            const ScopedReset reset(*reading);
            reading->Reset().BindInt64(1, after);
            while (reading->Step()) last = reading->ColumnInt64(0);
            if (reading->ok()) return unreadable;
            rc = reading->rc();
        }
        if (!FailedOnDamagedRow(db, rc)) return std::nullopt;
        // The read stopped on the note right after the last one it passed.
        const ScopedReset reset(*next);
        if (!next->Reset().BindInt64(1, last).Step()) return std::nullopt;
        after = next->ColumnInt64(0);
        unreadable.push_back(after);
    }
}

std::string IdsAsJson(const std::vector<int64_t>& ids) {
    std::string json = "[";
    for (const int64_t id : ids) {
        if (json.size() > 1) json += ',';
        json += std::to_string(id);
    }
    return json + "]";
}

}  // namespace lq
