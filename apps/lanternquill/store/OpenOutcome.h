#pragma once

#include <cstdint>

namespace lq {

// What opening the database file came to; the start-up turns every value but Ok into a message.
enum class OpenOutcome : int32_t {
    Ok = 0,                 // opened, configured, schema current
    CannotOpen = 1,         // cannot open or create, no file, read-only, no schema made, or probing failed
    NotOurDatabase = 2,     // damaged, or another program's database
    NewerVersion = 3,       // made by a newer version of the program
    JournalModeFailed = 4,  // foreign keys, journal mode or synchronous could not be set
    MigrationFailed = 5,    // migrating failed and was rolled back; the copy lies at backupPath
    BackupFailed = 6,       // the copy before migrating could not be made; nothing was migrated
    LogWithoutFile = 7,     // the file is missing but its "-wal" or "-journal" is there: none is made
    LogNotJudged = 8,       // a "-wal" without its "-shm", and no copy of the two could be judged
};

}  // namespace lq
