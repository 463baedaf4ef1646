#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lq {

// The temporary file a backup is written to before it replaces `target`: `target` + ".lnq-" + the
// process id in decimal + ".tmp"; where that name (with a journal's suffix) would pass the limit of
// 255 characters, ".lnq-" + the process id + ".tmp" alone, so it is always in the target's folder.
[[nodiscard]] std::wstring BackupTemporaryPath(std::wstring_view target, uint32_t processId);

// Deletes the temporary files that interrupted backups and exports of `target` left beside it: the
// names BackupTemporaryPath gives `target` for some process id, and those names with "-journal",
// where no running process of this program has that id. Nothing of any other name is touched.
// An old target's journal that a backup set aside ("-old-journal") and did not give back goes back to
// the old target while the copy that was to replace it is still there, and is deleted otherwise.
void RemoveLeftoverTemporaryFiles(const std::wstring& target);

// Deletes the copies that judging a file with a log left in the temporary folder ("lnq-judge-<id>-
// <tick count>.db" and its "-wal", "-shm" and "-journal") where no running process of this program
// has that id.
void RemoveLeftoverJudgingCopies();

// True when the file opens read-only as an SQLite database and "PRAGMA quick_check" answers "ok" on
// its first row. Opens and closes its own connection.
[[nodiscard]] bool VerifyDatabaseFile(const std::wstring& path);

// Deletes the file and its "-journal"; missing files are no error and nothing is reported.
void DeleteDatabaseFiles(const std::wstring& path);

}  // namespace lq
