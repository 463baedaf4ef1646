#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lq {

class Database;

// One damaged note must not take every other note with it: a scan that stopped on a row SQLite calls
// corrupt can go on past the notes whose text cannot be read. A file that lost pages at its end (cut
// short under the program) or a failing read is no damaged note, and fails the scan as before.

// Whether a scan that failed with result code `rc` stopped on a damaged row: SQLite says corrupt and
// the file still holds every page its header counts.
[[nodiscard]] bool FailedOnDamagedRow(Database& db, int rc) noexcept;

// The notes the sidebar lists (their project exists) whose stored text cannot be read, in id order;
// none when the reading fails for any other reason. Reads every note's text once.
[[nodiscard]] std::optional<std::vector<int64_t>> FindUnreadableNotes(Database& db);

// The ids as a JSON array, for statements that pass over them ("NOT IN (SELECT value FROM json_each(?))").
[[nodiscard]] std::string IdsAsJson(const std::vector<int64_t>& ids);

}  // namespace lq
