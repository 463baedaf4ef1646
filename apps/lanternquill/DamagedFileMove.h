#pragma once

#include <string>

namespace lq {

// Moves the damaged file to `target` in the same volume, never over an existing file, together with
// its "-wal", "-shm" and "-journal", each to `target` with its suffix. The file goes first, so that a
// process ended half-way leaves no file at `path` beside a log (which no start makes a new file over)
// rather than a file without its log. False when one of them could not be moved (what had moved is
// moved back, so the file and its log stay together where they were).
[[nodiscard]] bool MoveDamagedDatabaseAside(const std::wstring& path, const std::wstring& target);

// What the start-up found of a move aside that a process ended half-way.
enum class InterruptedMove {
    None,      // nothing to do: the file is in place, or no log lies beside the missing file
    Finished,  // the log that stayed behind went to the moved copy
    Undone,    // the log could not follow, so the copy and its moved files came back to `path`
    Stuck,     // neither: the files were left where they were
};

// Completes a move aside that was cut short: when `path` is missing but its "-wal", "-shm" or
// "-journal" still lies there, and a file moved aside by a start-over ("memo-damaged-...") lies in the
// same folder without those companions, they are moved to it; should one not move, everything goes
// back to `path`. Of several such files the newest is taken; one whose page size differs from the
// log's is never taken, since the log cannot be its own.
InterruptedMove FinishInterruptedMoveAside(const std::wstring& path);

}  // namespace lq
