#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/Database.h"
#include "store/Rows.h"

namespace lq::test {

// What fixtures put into a database and read back from it, through the program's own stores. Each
// fails the running test when the database does not do it.

// A project, last in the order; 0 when it could not be added.
[[nodiscard]] int64_t AddStoredProject(Database& db, const std::string& name);
// A note with content and stored view, last in its project; 0 when it could not be added.
[[nodiscard]] int64_t AddStoredNote(Database& db, int64_t projectId, const std::string& title, std::string_view content,
                                    const NoteViewState& view);
// Runs SQL.
void ExecSql(Database& db, const std::string& sql);
// The stored record of a note; an empty record when there is none.
[[nodiscard]] NoteRecord StoredNote(Database& db, int64_t noteId);
[[nodiscard]] std::optional<std::string> StoredSettingOf(Database& db, const char* key);
// The number of rows of `table`; -1 when it cannot be counted.
[[nodiscard]] int64_t CountTableRows(Database& db, const char* table);

}  // namespace lq::test
