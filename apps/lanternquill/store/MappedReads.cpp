#include "store/MappedReads.h"

#include <windows.h>

#include <sqlite3.h>

#include <atomic>
#include <string>

#include "store/Database.h"

namespace lq {
namespace {

// Scans that hold a mapping now; only the UI thread opens them, the fault handler reads the count.
std::atomic<int> g_mappedScans{0};
std::atomic<bool> g_allowed{true};
std::atomic<MappedReadFaultReporter> g_reporter{nullptr};
std::atomic<int> g_faultExitCode{0};

// First in line, before any frame's handler: a fault in a mapped page during a scan ends the process
// here, after the reporter, instead of unwinding through SQLite's C frames or being swallowed on the
// way out of a window procedure.
LONG CALLBACK OnMappedReadFault(EXCEPTION_POINTERS* info) {
    if (info == nullptr || info->ExceptionRecord == nullptr ||
        info->ExceptionRecord->ExceptionCode != EXCEPTION_IN_PAGE_ERROR || g_mappedScans.load() == 0) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const MappedReadFaultReporter report = g_reporter.load();
    if (report == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    report();
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(g_faultExitCode.load()));
    return EXCEPTION_CONTINUE_SEARCH;
}

bool SetMapLimit(sqlite3* connection, int64_t bytes) noexcept {
    if (connection == nullptr) return false;
    const std::string pragma = "PRAGMA mmap_size = " + std::to_string(bytes);
    return sqlite3_exec(connection, pragma.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace

MappedReads::MappedReads(Database& db) noexcept : MappedReads(db.handle()) {}

MappedReads::MappedReads(sqlite3* connection) noexcept : connection_(connection), mapped_(false) {
    // Counted before the first page can be mapped, so a fault is never outside the count.
    if (!g_allowed.load()) return;
    ++g_mappedScans;
    mapped_ = SetMapLimit(connection_, kMappedReadBytes);
    if (!mapped_) --g_mappedScans;
}

MappedReads::~MappedReads() {
    if (!mapped_) return;
    // SQLite unmaps here; counted until then.
    (void)SetMapLimit(connection_, 0);
    --g_mappedScans;
}

void AllowMappedReads(bool allowed) noexcept {
    g_allowed = allowed;
}

void SetMappedReadFaultReporter(MappedReadFaultReporter report, int exitCode) noexcept {
    g_faultExitCode = exitCode;
    g_reporter = report;
    static const PVOID handler = AddVectoredExceptionHandler(1, OnMappedReadFault);
    (void)handler;
}

}  // namespace lq
