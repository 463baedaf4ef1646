#include "DatabaseOpening.h"

#include <vector>

#include "StartupPaths.h"
#include "resources/ResourceIds.h"
#include "store/Migration.h"

namespace lq {
namespace {

const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> migrations = MakeMigrations();
    return migrations;
}

// The damaged-file question, and the file moved aside when the user starts over. False: no database
// (the user chose to exit, or the file could not be moved, which was reported).
bool MoveAsideIfAsked(const std::wstring& path, const DatabaseOpenDialogs& dialogs) {
    if (!dialogs.askStartOver || !dialogs.askStartOver(FileNameOf(path))) return false;
    if (!MoveDamagedDatabaseAside(path, MakeDamagedDatabasePath(path))) {
        if (dialogs.showError) dialogs.showError(IDS_CANNOT_CREATE_DATABASE, ParentDirectoryOf(path));
        return false;
    }
    return true;
}

}  // namespace

bool MoveDamagedDatabaseAside(const std::wstring& path, const std::wstring& target) {
    // No replacing: a name already taken (a second start-over within the same second) must not
    // swallow the earlier damaged file.
    const auto move = [](const std::wstring& from, const std::wstring& to) {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    if (!move(path, target)) return false;

    // The log and the journal go with the file, or the moved copy lacks what they hold, and the new
    // file made in its place would have SQLite delete them. When one cannot go, everything already
    // moved comes back, so that the file keeps its log and nothing new is made beside them.
    std::vector<const wchar_t*> moved;
    for (const wchar_t* suffix : {L"-wal", L"-shm", L"-journal"}) {
        if (GetFileAttributesW((path + suffix).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        if (move(path + suffix, target + suffix)) {
            moved.push_back(suffix);
            continue;
        }
        for (auto it = moved.rbegin(); it != moved.rend(); ++it) move(target + *it, path + *it);
        move(target, path);
        return false;
    }
    return true;
}

std::optional<OpenFailureMessage> MessageForOpenFailure(const DatabaseOpenResult& result, const std::wstring& path) {
    switch (result.outcome) {
        case OpenOutcome::Ok:
        case OpenOutcome::NotOurDatabase:
            return std::nullopt;
        case OpenOutcome::CannotOpen:
            return OpenFailureMessage{IDS_CANNOT_CREATE_DATABASE, ParentDirectoryOf(path)};
        case OpenOutcome::NewerVersion:
            return OpenFailureMessage{IDS_DATABASE_NEWER, FileNameOf(path)};
        case OpenOutcome::JournalModeFailed:
            return OpenFailureMessage{IDS_JOURNAL_MODE_FAILED, {}};
        case OpenOutcome::MigrationFailed:
            return OpenFailureMessage{IDS_MIGRATION_FAILED, result.backupPath};
        case OpenOutcome::BackupFailed:
            return OpenFailureMessage{IDS_BACKUP_BEFORE_MIGRATION_FAILED, {}};
    }
    // An outcome this program does not know still gives no database, and the user is told so.
    return OpenFailureMessage{IDS_CANNOT_CREATE_DATABASE, ParentDirectoryOf(path)};
}

std::unique_ptr<Database> OpenDatabaseWithDialogs(const std::wstring& path, bool quiet,
                                                  const DatabaseOpenDialogs& dialogs) {
    const auto showError = [&](UINT id, const std::wstring& argument) {
        if (!quiet && dialogs.showError) dialogs.showError(id, argument);
    };
    for (;;) {
        DatabaseOpenResult result = Database::Open(path, Migrations());
        if (result.outcome == OpenOutcome::Ok && result.db) return std::move(result.db);
        if (result.outcome != OpenOutcome::NotOurDatabase) {
            const std::optional<OpenFailureMessage> message = MessageForOpenFailure(result, path);
            if (message) showError(message->id, message->argument);
            return nullptr;
        }
        if (quiet || !MoveAsideIfAsked(path, dialogs)) return nullptr;
        // The file is gone now, so the next open makes a new database with the schema in its place.
    }
}

std::unique_ptr<Database> StartOverWithDialogs(const std::wstring& path, const DatabaseOpenDialogs& dialogs) {
    if (!MoveAsideIfAsked(path, dialogs)) return nullptr;
    return OpenDatabaseWithDialogs(path, false, dialogs);
}

}  // namespace lq
