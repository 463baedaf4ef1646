// Figures for the operations that read every note, on 10,000 notes of 2 to 20 KB of mixed Japanese
// and ASCII text: the program's own operation beside the raw SQLite statement on the same file, on a
// plain connection of the same library, read through the file API (as before mapped scans) and
// memory-mapped. Ratios are against the raw unmapped statement. Prints figures; sets no targets.
#include <windows.h>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "platform/TextConversion.h"
#include "store/Database.h"
#include "store/DatabaseFiles.h"
#include "store/MappedReads.h"
#include "store/Migration.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/SharedSql.h"
#include "store/Transaction.h"
#include "support/TempFolder.h"
#include "workspace/Workspace.h"

namespace {

using lq::bench::Clock;
using lq::bench::MillisSince;
using lq::bench::MixedText;

constexpr int kRuns = 7;
// A query no note holds: every row is read and none is returned, as in a search that finds nothing.
constexpr char kNoHit[] = "見つからない語 zq";

// Milliseconds one run of `work` took; negative when it failed.
double Time(const std::function<bool()>& work) {
    const auto start = Clock::now();
    return work() ? MillisSince(start) : -1;
}

// Runs the three of one row in turn, kRuns rounds, so a change in the machine's load falls on all
// three alike; prints the medians and the medians of each round's ratios. False when a run failed.
bool Row(const char* name, const std::function<bool()>& program, const std::function<bool()>& raw,
         const std::function<bool()>& rawMapped) {
    std::vector<double> programMs, rawMs, mappedMs, programRatio, mappedRatio;
    for (int run = 0; run < kRuns; ++run) {
        const double p = Time(program);
        const double r = Time(raw);
        const double m = Time(rawMapped);
        if (p < 0 || r <= 0 || m < 0) {
            std::printf("%-36s failed\n", name);
            return false;
        }
        programMs.push_back(p);
        rawMs.push_back(r);
        mappedMs.push_back(m);
        programRatio.push_back(p / r);
        mappedRatio.push_back(m / r);
    }
    std::printf("%-36s %9.1f %9.1f %9.1f %10.2fx %10.2fx\n", name, lq::bench::MedianOf(programMs),
                lq::bench::MedianOf(rawMs), lq::bench::MedianOf(mappedMs), lq::bench::MedianOf(programRatio),
                lq::bench::MedianOf(mappedRatio));
    return true;
}

// A plain connection of the same library, as the sqlite3 shell built with the program's flags has.
class RawConnection {
public:
    RawConnection(const std::wstring& path, bool mapped) {
        if (sqlite3_open_v2(lq::Utf16ToUtf8(path).c_str(), &handle_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            return;
        }
        ok_ = !mapped || Exec("PRAGMA mmap_size = 1073741824");
    }
    ~RawConnection() { sqlite3_close_v2(handle_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    [[nodiscard]] bool ok() const { return ok_; }
    bool Exec(const char* sql) { return sqlite3_exec(handle_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

    // Steps `sql` with ?1 bound (when given) to its end.
    bool Run(const char* sql, const char* parameter) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle_, sql, -1, &statement, nullptr) != SQLITE_OK) return false;
        if (parameter != nullptr) sqlite3_bind_text(statement, 1, parameter, -1, SQLITE_STATIC);
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        }
        sqlite3_finalize(statement);
        return rc == SQLITE_DONE;
    }

    bool Backup(const std::wstring& target) {
        sqlite3* destination = nullptr;
        bool done = false;
        if (sqlite3_open_v2(lq::Utf16ToUtf8(target).c_str(), &destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) == SQLITE_OK) {
            if (sqlite3_backup* backup = sqlite3_backup_init(destination, "main", handle_, "main")) {
                done = sqlite3_backup_step(backup, -1) == SQLITE_DONE;
                done = sqlite3_backup_finish(backup) == SQLITE_OK && done;
            }
        }
        sqlite3_close_v2(destination);
        return done;
    }

private:
    sqlite3* handle_ = nullptr;
    bool ok_ = false;
};

}  // namespace

int main() {
    using namespace lq;
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    const std::wstring copy = folder.File(L"copy.db");
    const std::wstring backup = folder.File(L"backup.db");
    const std::wstring rawBackup = folder.File(L"raw-backup.db");
    constexpr int kProjects = 20;
    constexpr int kNotes = 10000;

    std::unique_ptr<Database> opened = lq::bench::OpenDatabase(path);
    if (!opened) return 1;
    Database& db = *opened;
    size_t totalBytes = 0;
    if (lq::bench::AddGeneratedNotes(db, kProjects, kNotes, 11, 18 * 1024, MixedText, totalBytes).empty()) return 1;
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);
    std::printf("%d notes, %.1f MB of text, database file %.1f MB\n", kNotes,
                static_cast<double>(totalBytes) / (1024 * 1024),
                static_cast<double>(attributes.nFileSizeLow) / (1024 * 1024));
    if (!db.CopyTo(copy)) return 1;

    lq::bench::EditorHost host;
    if (!host.ok) {
        std::printf("no editor window\n");
        return 1;
    }
    Workspace workspace(db, host.view);
    if (!workspace.Load()) return 1;
    if (workspace.SaveAll(SaveReason::UserSave) == SaveResult::Failed) return 1;

    RawConnection plain(path, false);
    RawConnection mapped(path, true);
    RawConnection plainCopy(copy, false);
    RawConnection mappedCopy(copy, true);
    if (!plain.ok() || !mapped.ok() || !plainCopy.ok() || !mappedCopy.ok()) return 1;

    std::printf(
        "%d rounds, each running the three in turn; medians in ms, and the median of the rounds' ratios\n"
        "against the raw statement read through the file API (the sqlite3 shell with the program's flags)\n",
        kRuns);
    std::printf("%-36s %9s %9s %9s %11s %11s\n", "work", "program", "raw", "raw mmap", "program/raw", "mmap/raw");
    bool ok = true;

    // The search across all notes, as the search view runs it: save, then the search mapped.
    ok &= Row(
        "search all notes (no hit)",
        [&] {
            if (workspace.SaveAll(SaveReason::BeforeBulkOperation) == SaveResult::Failed) return false;
            const MappedReads scan(db);
            return workspace.notes.SearchNotes(kNoHit).has_value();
        },
        [&] { return plain.Run(kSearchNotesSql, kNoHit); }, [&] { return mapped.Run(kSearchNotesSql, kNoHit); });

    // Counting in replace mode, as the search view runs it after its search.
    ok &= Row(
        "count in all notes (no hit)",
        [&] {
            if (workspace.SaveAll(SaveReason::BeforeBulkOperation) == SaveResult::Failed) return false;
            const MappedReads scan(db);
            return workspace.CountInAllNotes(kNoHit).has_value();
        },
        [&] { return plain.Run(kNotesContainingSql, kNoHit); },
        [&] { return mapped.Run(kNotesContainingSql, kNoHit); });

    // Replacing: its scan inside the write transaction; nothing found, so nothing is written.
    const auto rawReplace = [&](RawConnection& connection) {
        if (!connection.Exec("BEGIN IMMEDIATE")) return false;
        const bool scanned = connection.Run(kNotesContainingSql, kNoHit);
        return connection.Exec("ROLLBACK") && scanned;
    };
    ok &= Row(
        "replace in all notes (no hit)",
        [&] { return workspace.ReplaceInAllNotes(kNoHit, "x").status == ReplaceAllStatus::NothingToDo; },
        [&] { return rawReplace(plain); }, [&] { return rawReplace(mapped); });

    // The backup's verification of its copy.
    ok &= Row(
        "verify a backup copy (quick_check)", [&] { return VerifyDatabaseFile(copy); },
        [&] { return plainCopy.Run("PRAGMA quick_check", nullptr); },
        [&] { return mappedCopy.Run("PRAGMA quick_check", nullptr); });

    // The whole backup (copy, verify, move) against the copy alone, as the shell's .backup makes it.
    ok &= Row(
        "backup: copy, verify, move", [&] { return db.BackupTo(backup); },
        [&] {
            DeleteDatabaseFiles(rawBackup);
            return plain.Backup(rawBackup);
        },
        [&] {
            DeleteDatabaseFiles(rawBackup);
            return mapped.Backup(rawBackup);
        });
    return ok ? 0 : 1;
}
