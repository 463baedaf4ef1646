#pragma once

namespace lq {

// The file itself is damaged or no database at all: SQLite's result code (primary or extended) is
// SQLITE_CORRUPT or SQLITE_NOTADB. Such a file is offered to be moved aside, never repaired.
[[nodiscard]] bool IsDamagedFileCode(int resultCode) noexcept;

// A row could not be read back: its pages are damaged (SQLITE_CORRUPT, SQLITE_NOTADB) or the disk
// failed to give them (SQLITE_IOERR).
[[nodiscard]] bool IsUnreadableDataCode(int resultCode) noexcept;

}  // namespace lq
