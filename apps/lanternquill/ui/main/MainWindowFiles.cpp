#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextConversion.h"
#include "resources/ResourceIds.h"
#include "store/Database.h"
#include "textfiles/AtomicFileWriter.h"
#include "textfiles/ExportFileName.h"
#include "textfiles/ImportDecoding.h"
#include "textfiles/TextFileReader.h"
#include "ui/dialogs/FileCommandTexts.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/main/MainWindow.h"
#include "ui/main/WaitCursor.h"
#include "workspace/Workspace.h"

// The three file commands: text files in as notes, the open note out as a text file, and a backup of
// the whole database. Each saves first and reports a failure in one warning.
namespace lq {
namespace {

constexpr char kExportFolderKey[] = "export.folder";
constexpr char kBackupFolderKey[] = "backup.folder";

// Remembers the folder of a path written to, at once and outside SaveAll. A failed write only means
// the next dialog opens elsewhere, so it is not reported.
void RememberFolder(Workspace& workspace, std::string_view key, const std::wstring& path) {
    static_cast<void>(workspace.settings.SetSetting(key, Utf16ToUtf8(FolderOfPath(path))));
}

}  // namespace

std::wstring MainWindow::GetSetting(std::string_view key) {
    if (workspace != nullptr) {
        const std::optional<std::string> value = workspace->settings.GetSetting(key);
        if (value && !value->empty()) return Utf8ToUtf16(*value);
    }
    return ProgramFolder();
}

void MainWindow::RunImportCommand() {
    if (workspace == nullptr) return;
    ImportTextFiles(ShowImportDialog(hwnd, instance));
}

void MainWindow::ImportTextFiles(const std::vector<std::wstring>& paths) {
    if (workspace == nullptr || paths.empty()) return;
    SaveNow(SaveReason::BeforeBulkOperation);
    const int64_t projectId = CurrentProjectId();

    std::vector<std::wstring> failures;
    std::vector<int64_t> importedIds;
    for (const std::wstring& path : paths) {
        const ImportedText imported = ReadTextFile(path);
        if (imported.error != ImportError::None) {
            failures.push_back(
                ImportFailureLine(path, LoadResourceString(instance, ImportErrorReasonId(imported.error))));
            continue;
        }
        const std::optional<int64_t> id = workspace->ImportNote(projectId, TitleFromPath(path), imported.text);
        if (!id) {
            failures.push_back(ImportFailureLine(path, LoadResourceString(instance, IDS_IMPORT_NOT_STORED)));
            continue;
        }
        // An index still being filled reads the new notes itself.
        if (completion.built()) static_cast<void>(completion.index().AddWordsFromText(imported.text));
        importedIds.push_back(*id);
    }

    if (!importedIds.empty()) {
        // Only the new rows go in: rebuilding the whole tree costs as much as the start-up's fill.
        std::vector<TreeItemKey> rows;
        rows.reserve(importedIds.size());
        for (const int64_t id : importedIds) rows.push_back(TreeItemKey{false, id});
        sidebar.Sync(workspace->tree, rows);
        const int64_t lastImported = importedIds.back();
        if (workspace->OpenNote(lastImported)) {
            workspace->SetProjectExpanded(projectId, true);
            sidebar.ExpandProject(projectId);
            sidebar.Select(TreeItemKey{false, lastImported});
            sidebar.SetOpenNote(lastImported);
            UpdateTitleAndStatus();
        } else {
            sidebar.SetOpenNote(workspace->currentNoteId);
        }
    }

    if (!failures.empty() && showMessage) {
        showMessage(ImportFailureReport(LoadResourceString(instance, IDS_IMPORT_FAILURES), failures));
    }
}

void MainWindow::RunExportCommand() {
    if (workspace == nullptr || workspace->currentNoteId == 0) return;
    const NoteListRow* note = workspace->tree.FindNote(workspace->currentNoteId);
    const std::wstring fileName = MakeExportFileName(note != nullptr ? std::string_view(note->title) : "");
    const std::optional<std::wstring> path =
        ShowSaveDialog(hwnd, instance, GetSetting(kExportFolderKey), fileName, false);
    if (!path) return;
    static_cast<void>(ExportNoteTo(*path));
}

bool MainWindow::ExportNoteTo(const std::wstring& path) {
    if (workspace == nullptr || workspace->currentNoteId == 0) return false;
    // The file gets what the editor shows, so a failed save does not stop the export.
    SaveNow(SaveReason::BeforeBulkOperation);
    Scintilla::ScintillaCall& call = editor.call();
    const auto length = static_cast<size_t>(call.Length());
    const auto* text = static_cast<const char*>(call.CharacterPointer());
    const std::string bytes = NormalizeLineEndingsCrlf(text != nullptr ? std::string_view(text, length) : "");

    const bool written = WriteFileAtomically(path, bytes);
    if (written) {
        RememberFolder(*workspace, kExportFolderKey, path);
    } else if (showMessage) {
        showMessage(LoadResourceString(instance, IDS_EXPORT_FAILED, path));
    }
    return written;
}

void MainWindow::RunBackupCommand() {
    if (workspace == nullptr) return;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::optional<std::wstring> path =
        ShowSaveDialog(hwnd, instance, GetSetting(kBackupFolderKey), MakeBackupFileName(now), true);
    if (!path) return;
    static_cast<void>(BackupTo(*path));
}

bool MainWindow::BackupTo(const std::wstring& path) {
    if (workspace == nullptr) return false;
    // The copy is of what the database holds, so a failed save does not stop it.
    SaveNow(SaveReason::BeforeBulkOperation);
    bool done = false;
    bool sourceDamaged = false;
    {
        // One step on this thread that takes seconds for a large file: the pointer says so until
        // the result is known, and the failure message below gets the normal cursor.
        const WaitCursor waiting(*this);
        done = workspace->db.BackupTo(path, &sourceDamaged);
    }
    if (done) {
        RememberFolder(*workspace, kBackupFolderKey, path);
    } else if (showMessage) {
        // A faithful copy of a damaged file fails its check: the file read from is at fault, not the target.
        showMessage(sourceDamaged ? LoadResourceString(instance, IDS_BACKUP_SOURCE_DAMAGED, workspace->db.path())
                                  : LoadResourceString(instance, IDS_BACKUP_FAILED, path));
    }
    return done;
}

}  // namespace lq
