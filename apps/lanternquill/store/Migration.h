#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lq {

// The schema version this program writes and understands; user_version 0 means no schema yet.
inline constexpr int32_t kCurrentSchemaVersion = 1;

// One schema step: the version it produces and the script that gets there, run as one text.
struct Migration {
    int32_t version = 0;
    std::string sql;
};

// The steps from an empty file to the current schema, in order (one step: version 1).
[[nodiscard]] std::vector<Migration> MakeMigrations();

// Where the copy taken before migrating goes: "memo-before-v<version>.db" in the database's own folder
// (no folder part when the path has no separator). An existing file of that name is overwritten.
[[nodiscard]] std::wstring MigrationBackupPath(std::wstring_view databasePath);

}  // namespace lq
