#include "store/Migration.h"

namespace lq {
namespace {

constexpr char kSchemaVersion1[] =
    "CREATE TABLE projects (\n"
    "  id INTEGER PRIMARY KEY,\n"
    "  name TEXT NOT NULL,\n"
    "  sort_order INTEGER NOT NULL DEFAULT 0,\n"
    "  expanded INTEGER NOT NULL DEFAULT 1,\n"
    "  created_at INTEGER NOT NULL,\n"
    "  updated_at INTEGER NOT NULL\n"
    ");\n"
    "CREATE TABLE notes (\n"
    "  id INTEGER PRIMARY KEY,\n"
    "  project_id INTEGER NOT NULL REFERENCES projects(id) ON DELETE CASCADE,\n"
    "  title TEXT NOT NULL,\n"
    "  content TEXT NOT NULL DEFAULT '',\n"
    "  sort_order INTEGER NOT NULL DEFAULT 0,\n"
    "  cursor_pos INTEGER NOT NULL DEFAULT 0,\n"
    "  anchor_pos INTEGER NOT NULL DEFAULT 0,\n"
    "  first_visible_doc_line INTEGER NOT NULL DEFAULT 0,\n"
    "  first_visible_sub_line INTEGER NOT NULL DEFAULT 0,\n"
    "  x_offset INTEGER NOT NULL DEFAULT 0,\n"
    "  opened_at INTEGER NOT NULL DEFAULT 0,\n"
    "  created_at INTEGER NOT NULL,\n"
    "  updated_at INTEGER NOT NULL\n"
    ");\n"
    "CREATE INDEX notes_by_project ON notes(project_id, sort_order, id);\n"
    "CREATE TABLE settings (\n"
    "  key TEXT PRIMARY KEY,\n"
    "  value TEXT NOT NULL\n"
    ");\n";

}  // namespace

std::vector<Migration> MakeMigrations() {
    return {Migration{1, kSchemaVersion1}};
}

std::wstring MigrationBackupPath(std::wstring_view databasePath) {
    const size_t separator = databasePath.find_last_of(L"\\/");
    std::wstring result(separator == std::wstring_view::npos ? std::wstring_view() : databasePath.substr(0, separator + 1));
    result += L"memo-before-v";
    result += std::to_wstring(kCurrentSchemaVersion);
    result += L".db";
    return result;
}

}  // namespace lq
