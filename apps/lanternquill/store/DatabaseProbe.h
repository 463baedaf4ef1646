#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "store/OpenOutcome.h"

namespace lq {

class Database;

// What the probing queries of an open found: user_version, the number of schema objects, and how many
// of the tables "projects", "notes" and "settings" exist.
struct ProbeCounts {
    int64_t version = 0;
    int64_t objects = 0;
    int64_t tables = 0;
};

// Runs the three probing queries; false when one yields no row (LastError and the connection's error
// code then say why).
[[nodiscard]] bool QueryProbeCounts(Database& db, ProbeCounts& counts);

// NewerVersion or NotOurDatabase when the counts refuse the file; none when it is ours or empty.
[[nodiscard]] std::optional<OpenOutcome> RefusalFor(const ProbeCounts& counts);

// The refusal of a file with a "-wal" beside it, decided through a read-only connection that writes,
// creates and deletes nothing beside the file: no rebuilt "-shm", no checkpoint of the "-wal" at
// closing. Where the "-shm" is missing, a copy of the file and its log in the temporary folder is
// judged (SQLite must build an index to read a log), and LogNotJudged is the answer when no copy can be
// made. Sets `foundVersion` and `error` as the open reports them. None when the file is not refused
// this way or cannot be read so (the caller's own connection decides then).
[[nodiscard]] std::optional<OpenOutcome> RefusalWithoutWriting(const std::wstring& path, int32_t& foundVersion,
                                                               std::string& error);

}  // namespace lq
