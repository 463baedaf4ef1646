#include "DatabaseOpening.h"

#include <vector>

#include "DamagedFileMove.h"
#include "StartupPaths.h"
#include "resources/ResourceIds.h"
#include "store/DatabaseFiles.h"
#include "store/Migration.h"

namespace lq {
namespace {

// The temporary folder as the user knows it, without its trailing separator.
std::wstring TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return L"%TEMP%";
    std::wstring text(folder, length);
    if (text.size() > 3 && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
    return text;
}

const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> migrations = MakeMigrations();
    return migrations;
}

// The damaged-file question, and the file moved aside when the user starts over. False: no database
// (the user chose to exit, or the file could not be moved, which was reported).
bool MoveAsideIfAsked(const std::wstring& path, const DatabaseOpenDialogs& dialogs) {
    if (!dialogs.askStartOver || !dialogs.askStartOver(FileNameOf(path))) return false;
    if (!MoveDamagedDatabaseAside(path, MakeDamagedDatabasePath(path))) {
        if (dialogs.showError) dialogs.showError(IDS_CANNOT_CREATE_DATABASE, ParentDirectoryOf(path), FileNameOf(path));
        return false;
    }
    return true;
}

}  // namespace

std::optional<OpenFailureMessage> MessageForOpenFailure(const DatabaseOpenResult& result, const std::wstring& path) {
    // Every message names the file that was opened, whatever it is called.
    const std::wstring name = FileNameOf(path);
    switch (result.outcome) {
        case OpenOutcome::Ok:
        case OpenOutcome::NotOurDatabase:
            return std::nullopt;
        case OpenOutcome::CannotOpen:
            return OpenFailureMessage{IDS_CANNOT_CREATE_DATABASE, ParentDirectoryOf(path), name};
        case OpenOutcome::NewerVersion:
            return OpenFailureMessage{IDS_DATABASE_NEWER, name, {}};
        case OpenOutcome::JournalModeFailed:
            return OpenFailureMessage{IDS_JOURNAL_MODE_FAILED, name, {}};
        case OpenOutcome::MigrationFailed:
            return OpenFailureMessage{IDS_MIGRATION_FAILED, name, result.backupPath};
        case OpenOutcome::BackupFailed:
            return OpenFailureMessage{IDS_BACKUP_BEFORE_MIGRATION_FAILED, name, {}};
        case OpenOutcome::LogWithoutFile: {
            // The "-wal" is what the open looks at first, so it is the one named when both lie there.
            const bool wal = GetFileAttributesW((path + L"-wal").c_str()) != INVALID_FILE_ATTRIBUTES;
            return OpenFailureMessage{IDS_LOG_WITHOUT_DATABASE, name, name + (wal ? L"-wal" : L"-journal")};
        }
        case OpenOutcome::LogNotJudged:
            return OpenFailureMessage{IDS_LOG_NOT_JUDGED, name, TemporaryFolder()};
    }
    // An outcome this program does not know still gives no database, and the user is told so.
    return OpenFailureMessage{IDS_CANNOT_CREATE_DATABASE, ParentDirectoryOf(path), name};
}

std::unique_ptr<Database> OpenDatabaseWithDialogs(const std::wstring& path, bool quiet,
                                                  const DatabaseOpenDialogs& dialogs) {
    const auto showError = [&](const OpenFailureMessage& message) {
        if (!quiet && dialogs.showError) dialogs.showError(message.id, message.argument, message.second);
    };
    // A start-over that a process ended half-way left the file moved and its log behind; the move is
    // completed (or undone) before the open decides anything about the file.
    (void)FinishInterruptedMoveAside(path);
    // Judging copies of processes ended while they judged a file, which nothing else would remove.
    RemoveLeftoverJudgingCopies();
    for (;;) {
        DatabaseOpenResult result = Database::Open(path, Migrations());
        if (result.outcome == OpenOutcome::Ok && result.db) return std::move(result.db);
        if (result.outcome != OpenOutcome::NotOurDatabase) {
            const std::optional<OpenFailureMessage> message = MessageForOpenFailure(result, path);
            if (message) showError(*message);
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
