#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct sqlite3;

namespace lq {

class Database;

// How much of a database file a scan may map: SQLite's own ceiling for 64-bit Windows. A larger file
// is mapped up to here and read through the file API beyond.
inline constexpr int64_t kMappedReadBytes = 0x7fff0000;

// Reads the connection's file through a read-only memory mapping while the scope lives, and through
// the file API again afterwards. Under Wine every page read through the file API costs a round trip to
// the wineserver, so a scan over every note is several times faster mapped.
//
// A read error inside a mapped page is no error code but an exception that GCC cannot catch where it
// happens (an in-page error on Windows; an access violation under Wine when the file was cut short).
// So mapping is kept to scans that only read and that run right after the save that precedes every
// bulk operation, and to no scan at all while the last save failed (AllowMappedReads): when the disk
// fails during a mapped scan, no typed text is pending, and the fault handler
// (SetMappedReadFaultReporter) tells the user before the process ends. The handler takes only faults
// at an address inside a view of a file that a scope maps now, so each scope first learns the name the
// system gives views of its connection's file, and maps nothing when it cannot. Writes never use the mapping
// (SQLite maps read-only and writes through the file API), and no statement of the connection may
// still be stepping when the scope ends: SQLite keeps a mapping that pages are still read from.
class MappedReads {
public:
    explicit MappedReads(Database& db) noexcept;
    explicit MappedReads(sqlite3* connection) noexcept;
    ~MappedReads();
    MappedReads(const MappedReads&) = delete;
    MappedReads& operator=(const MappedReads&) = delete;

    // True when the file is mapped for this scope (allowed, and SQLite took the setting).
    [[nodiscard]] bool mapped() const noexcept { return mapped_; }

private:
    sqlite3* connection_;
    bool mapped_ = false;
    std::wstring viewName_;  // what the system calls a view of the file; read by the fault handler
    size_t slot_;            // where the handler finds viewName_ while the file is mapped
};

// Whether scans may map at all: cleared while a save is under way or has failed (text may be unsaved),
// set again by a save that went through. Allowed until the first save says otherwise.
void AllowMappedReads(bool allowed) noexcept;

// Called on the faulting thread when a page of a file mapped by a scan cannot be read (a fault of
// either kind at an address inside a view of that file, while the scope lives); it must not touch the
// database or return to the scan. Every other exception passes the handler untouched. After it returns the process ends
// with `exitCode`. Without a reporter a fault is left to the system like any other.
using MappedReadFaultReporter = void (*)() noexcept;
void SetMappedReadFaultReporter(MappedReadFaultReporter report, int exitCode) noexcept;

}  // namespace lq
