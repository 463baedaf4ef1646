#include <windows.h>

#include <sqlite3.h>

#include "platform/DatabasePaths.h"
#include "platform/LongPath.h"
#include "platform/TextConversion.h"
#include "store/Database.h"
#include "store/DatabaseFiles.h"
#include "store/MappedReads.h"
#include "store/Statement.h"
#include "store/UnreadableNotes.h"

namespace lq {
namespace {

// Closes a connection of its own on leaving the scope.
class Connection {
public:
    Connection() noexcept = default;
    ~Connection() { sqlite3_close_v2(handle_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    [[nodiscard]] sqlite3** out() noexcept { return &handle_; }
    [[nodiscard]] sqlite3* get() const noexcept { return handle_; }

private:
    sqlite3* handle_ = nullptr;
};

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(UsableFilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
    return NormalizePath(a) == NormalizePath(b);
}

constexpr char kQuickCheckSql[] = "PRAGMA quick_check";

// Whether the live file fails the same check as its copy: the copy is page for page the file, so
// a damaged page of the file fails both, and the fault is the file's.
bool FailsItsOwnCheck(Database& db) {
    Statement* check = db.Prepare(kQuickCheckSql);
    if (check == nullptr) return false;
    const ScopedReset reset(*check);
    check->Reset();
    if (check->Step()) return check->ColumnText(0) != "ok";
    return !check->ok() && FailedOnDamagedRow(db, check->rc());
}

}  // namespace

std::wstring BackupTemporaryPath(std::wstring_view target, uint32_t processId) {
    const std::wstring suffix = L".lnq-" + std::to_wstring(processId) + L".tmp";
    // A file name holds at most 255 characters, and the backup adds up to "-old-journal" to the
    // temporary name; a longer target name gets a short temporary name in the same folder.
    constexpr size_t kMaxNameLength = 255;
    constexpr size_t kLongestAddedSuffix = std::wstring_view(L"-old-journal").size();
    const size_t nameStart = target.find_last_of(L"\\/") + 1;  // npos + 1 is 0: no folder
    const size_t nameLength = target.size() - nameStart;
    if (nameLength + suffix.size() + kLongestAddedSuffix <= kMaxNameLength) return std::wstring(target) + suffix;
    return std::wstring(target.substr(0, nameStart)) + suffix;
}

bool VerifyDatabaseFile(const std::wstring& path) {
    Connection connection;
    if (sqlite3_open_v2(Utf16ToUtf8(path).c_str(), connection.out(), SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        return false;
    }
    // Read through the file API, never mapped: a drive that fails while the copy is read back must
    // be a failed check (the backup reports it), not a fault in a mapped page that ends the program.
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(connection.get(), "PRAGMA quick_check", -1, &check, nullptr) != SQLITE_OK) {
        sqlite3_finalize(check);
        return false;
    }
    bool ok = false;
    if (sqlite3_step(check) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
        ok = text != nullptr && sqlite3_column_bytes(check, 0) == 2 && text[0] == 'o' && text[1] == 'k';
    }
    sqlite3_finalize(check);
    return ok;
}

void DeleteDatabaseFiles(const std::wstring& path) {
    DeleteFileW(path.c_str());
    DeleteFileW((path + L"-journal").c_str());
}

bool Database::CopyTo(const std::wstring& target, std::string* error) {
    const auto fail = [&](const char* message) {
        if (error != nullptr) *error = message;
        return false;
    };
    // Copying a file onto itself would need its own write lock while reading it.
    if (IsSameFile(target, path_)) return fail("the copy's target is the database itself");

    Connection destination;
    if (sqlite3_open_v2(Utf16ToUtf8(target).c_str(), destination.out(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        return fail(destination.get() != nullptr ? sqlite3_errmsg(destination.get()) : "sqlite3_open_v2 failed");
    }
    int stepped = SQLITE_ERROR;
    int finished = SQLITE_ERROR;
    {
        // The copy reads every page of this file: mapped, like the scans over every note (see
        // MappedReads); the pages it writes go through the file API as always.
        const MappedReads mapped(*this);
        sqlite3_backup* backup = sqlite3_backup_init(destination.get(), "main", handle_, "main");
        if (backup == nullptr) return fail(sqlite3_errmsg(destination.get()));
        stepped = sqlite3_backup_step(backup, -1);
        finished = sqlite3_backup_finish(backup);
    }
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) return fail(sqlite3_errmsg(destination.get()));
    return true;
}

bool Database::BackupTo(const std::wstring& target, bool* sourceDamaged) {
    if (sourceDamaged != nullptr) *sourceDamaged = false;
    if (IsSameFile(target, path_)) return false;

    const std::wstring temporary = BackupTemporaryPath(target, GetCurrentProcessId());
    RemoveLeftoverTemporaryFiles(target);
    DeleteDatabaseFiles(temporary);
    if (!CopyTo(temporary)) {
        DeleteDatabaseFiles(temporary);
        return false;
    }
    if (!VerifyDatabaseFile(temporary)) {
        // A copy that fails its check never takes the target's place, whoever is at fault.
        DeleteDatabaseFiles(temporary);
        if (sourceDamaged != nullptr) {
            const MappedReads mapped(*this);
            *sourceDamaged = FailsItsOwnCheck(*this);
        }
        return false;
    }

    // A journal beside the old target would be taken for a hot journal of the new file and rolled back
    // into it. It is moved aside first, so that a failed move can still give it back to the old file.
    // Past MAX_PATH the journal's name too is reached only in the extended form.
    const std::wstring targetJournal = UsableFilePath(target + L"-journal");
    const std::wstring setAside = temporary + L"-old-journal";
    const bool hadJournal = FileExists(targetJournal);
    if (hadJournal && !MoveFileExW(targetJournal.c_str(), setAside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteDatabaseFiles(temporary);
        return false;
    }
    // A long name in a deep folder passes MAX_PATH, which the move takes only in the extended form.
    const std::wstring destination = UsableFilePath(target);
    if (!MoveFileExW(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (hadJournal) MoveFileExW(setAside.c_str(), targetJournal.c_str(), 0);
        DeleteDatabaseFiles(temporary);
        return false;
    }
    if (hadJournal) DeleteFileW(setAside.c_str());
    return true;
}

}  // namespace lq
