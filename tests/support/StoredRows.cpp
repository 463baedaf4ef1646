#include "support/StoredRows.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/SettingsStore.h"

namespace lq::test {

int64_t AddStoredProject(Database& db, const std::string& name) {
    const std::optional<int64_t> id = ProjectStore(db).InsertProject(name, 1000);
    EXPECT_TRUE(id.has_value());
    return id.value_or(0);
}

int64_t AddStoredNote(Database& db, int64_t projectId, const std::string& title, std::string_view content,
                      const NoteViewState& view) {
    NoteStore store(db);
    const std::optional<int64_t> id = store.InsertNote(projectId, title, 1000);
    EXPECT_TRUE(id.has_value());
    if (!id) return 0;
    EXPECT_TRUE(store.SaveNote(*id, content, view, 1000));
    return *id;
}

void ExecSql(Database& db, const std::string& sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db.handle(), sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << sql << ": " << (error ? error : "");
    sqlite3_free(error);
}

NoteRecord StoredNote(Database& db, int64_t noteId) {
    std::optional<NoteRecord> record = NoteStore(db).GetNoteRecord(noteId);
    EXPECT_TRUE(record.has_value()) << "note " << noteId;
    return record.value_or(NoteRecord{});
}

std::optional<std::string> StoredSettingOf(Database& db, const char* key) {
    return SettingsStore(db).GetSetting(key);
}

int64_t CountTableRows(Database& db, const char* table) {
    int64_t count = -1;
    const std::string sql = std::string("SELECT count(*) FROM ") + table;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        count = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return count;
}

}  // namespace lq::test
