#include "store/MappedReads.h"

#include <windows.h>

#include <sqlite3.h>

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "store/Database.h"
#include "store/MappedViewName.h"

namespace lq {
namespace {

// The files that scans map now, by the name of their views: seldom more than one at a time. Only the
// UI thread opens scans; the fault handler only reads the slots.
constexpr size_t kScanSlots = 4;
constexpr size_t kNoSlot = kScanSlots;
std::atomic<const std::wstring*> g_scanned[kScanSlots] = {};

std::atomic<bool> g_allowed{true};
std::atomic<MappedReadFaultReporter> g_reporter{nullptr};
std::atomic<int> g_faultExitCode{0};

// Where the handler has the faulting view named: nothing is allocated inside a fault, whose thread
// may hold the heap's lock. One fault at a time uses it; a second thread faulting meanwhile is left
// to the system.
alignas(16) unsigned char g_faultViewName[16 + 65536 * sizeof(wchar_t)];
std::atomic_flag g_faultViewNameBusy = ATOMIC_FLAG_INIT;

bool AnyScanMapped() noexcept {
    for (const auto& slot : g_scanned) {
        if (slot.load() != nullptr) return true;
    }
    return false;
}

// Whether `address` lies in a view of a file a scan maps now. The views are told by the name the
// system gives their file, which the scope learnt from a view of its own of SQLite's very handle.
bool InScannedFile(const void* address) noexcept {
    if (!AnyScanMapped() || g_faultViewNameBusy.test_and_set()) return false;
    const std::wstring_view name = MappedViewName(address, g_faultViewName, sizeof(g_faultViewName));
    bool found = false;
    if (!name.empty()) {
        for (const auto& slot : g_scanned) {
            const std::wstring* file = slot.load();
            if (file != nullptr && std::wstring_view(*file) == name) found = true;
        }
    }
    g_faultViewNameBusy.clear();
    return found;
}

// First in line, before any frame's handler: a fault in a mapped page during a scan ends the process
// here, after the reporter, instead of unwinding through SQLite's C frames or being swallowed on the
// way out of a window procedure. Windows reports an unreadable page as an in-page error; Wine reports
// a page of a file cut short under its view as an access violation. Both give the address second.
LONG CALLBACK OnMappedReadFault(EXCEPTION_POINTERS* info) {
    if (info == nullptr || info->ExceptionRecord == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    const EXCEPTION_RECORD& record = *info->ExceptionRecord;
    if (record.ExceptionCode != EXCEPTION_IN_PAGE_ERROR && record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    if (record.NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    const MappedReadFaultReporter report = g_reporter.load();
    if (report == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    if (!InScannedFile(reinterpret_cast<const void*>(record.ExceptionInformation[1]))) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    report();
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(g_faultExitCode.load()));
    return EXCEPTION_CONTINUE_SEARCH;
}

bool SetMapLimit(sqlite3* connection, int64_t bytes) noexcept {
    if (connection == nullptr) return false;
    const std::string pragma = "PRAGMA mmap_size = " + std::to_string(bytes);
    return sqlite3_exec(connection, pragma.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The name of a view of the connection's main file; none when it is no file of the Windows VFS.
std::optional<std::wstring> ViewNameOfConnection(sqlite3* connection) {
    HANDLE file = nullptr;
    if (sqlite3_file_control(connection, "main", SQLITE_FCNTL_WIN32_GET_HANDLE, &file) != SQLITE_OK) {
        return std::nullopt;
    }
    return ViewNameOfFile(file);
}

size_t TakeSlot(const std::wstring* name) noexcept {
    for (size_t i = 0; i < kScanSlots; ++i) {
        const std::wstring* empty = nullptr;
        if (g_scanned[i].compare_exchange_strong(empty, name)) return i;
    }
    return kNoSlot;
}

}  // namespace

MappedReads::MappedReads(Database& db) noexcept : MappedReads(db.handle()) {}

MappedReads::MappedReads(sqlite3* connection) noexcept : connection_(connection), slot_(kNoSlot) {
    if (!g_allowed.load() || connection_ == nullptr) return;
    // Known to the handler before the first page can be mapped, so a fault is never outside the scope.
    std::optional<std::wstring> name = ViewNameOfConnection(connection_);
    if (!name) return;
    viewName_ = std::move(*name);
    slot_ = TakeSlot(&viewName_);
    if (slot_ == kNoSlot) return;
    mapped_ = SetMapLimit(connection_, kMappedReadBytes);
    if (!mapped_) {
        g_scanned[slot_] = nullptr;
        slot_ = kNoSlot;
    }
}

MappedReads::~MappedReads() {
    if (!mapped_) return;
    // SQLite unmaps here; known to the handler until then.
    (void)SetMapLimit(connection_, 0);
    g_scanned[slot_] = nullptr;
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
