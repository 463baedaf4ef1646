#include "DatabaseOpening.h"

#include <vector>

#include "DamagedFileMove.h"
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
    // A start-over that a process ended half-way left the file moved and its log behind; the move is
    // completed (or undone) before the open decides anything about the file.
    (void)FinishInterruptedMoveAside(path);
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
