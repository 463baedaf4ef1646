// Saving on request: the one path by which the window asks the workspace to save, and the
// start-up's once-per-database OneDrive warning.
#include "platform/OneDriveFolders.h"
#include "resources/ResourceIds.h"
#include "store/Database.h"
#include "store/SettingsStore.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/main/HandlerScope.h"
#include "ui/main/MainWindow.h"
#include "workspace/Workspace.h"

namespace lq {

namespace {

// Remembered in the database itself, so no later run on the same file warns again.
constexpr char kOneDriveWarningKey[] = "warning.onedrive";

}  // namespace

void MainWindow::SaveNow(SaveReason reason) {
    if (workspace == nullptr) return;
    // A component failure inside the save is caught there, never left to the window procedure's
    // guard (which would drop the retry): before the commit it is a failed save, reported and
    // retried; after it the notes are stored, and that is what the user is told.
    const SaveResult result = workspace->SaveAllCatchingFailure(reason);
    UpdateSaveFailedIndicator();
    if (result != SaveResult::Failed) return;

    // Try again on the next tick while the open note still holds what failed to be stored. A failure
    // with no note open (views, flags or settings only) waits for the next save that comes along.
    if (workspace->HasUnsavedEditorChanges()) SetTimer(hwnd, kAutosaveTimerId, kAutosaveDelayMs, nullptr);

    // Windows is ending the session or suspending: nobody should be asked to read a message now.
    // The report flag stays clear, so the next failure with another reason is shown.
    if (reason == SaveReason::EndSession || reason == SaveReason::Suspend) return;

    // Once per run of failures; a successful save clears the flag again.
    if (workspace->lastSaveFailed && !workspace->saveFailureReported) {
        workspace->saveFailureReported = true;
        ShowErrorMessage(hwnd, instance, IDS_SAVE_FAILED, std::wstring());
    }
}

void MainWindow::UpdateSaveFailedIndicator() {
    const bool failed = workspace != nullptr && workspace->lastSaveFailed;
    if (!status.SetSaveFailed(failed) || hwnd == nullptr) return;
    const RECT strip = StatusStripRect();
    InvalidateRect(hwnd, &strip, FALSE);
}

bool MainWindow::WarnIfInOneDrive(const std::wstring& databasePath, const std::vector<std::wstring>& oneDriveRoots) {
    if (workspace == nullptr || !IsPathUnderAnyRoot(databasePath, oneDriveRoots)) return false;
    // Runs before the message loop, with the window shown: a close during the warning waits for it.
    const HandlerScope handling(*this);
    // Any stored value, empty or "0" included, means the user has been told.
    if (workspace->settings.GetSetting(kOneDriveWarningKey).has_value()) return false;
    // Named as the user named it: the path tested here is upper-cased.
    const std::wstring& openedPath = workspace->db.path();
    const std::wstring name = openedPath.substr(openedPath.find_last_of(L"\\/") + 1);  // npos + 1 is 0
    if (showMessage) showMessage(LoadResourceString(instance, IDS_ONEDRIVE_WARNING, name));
    // Written at once, outside the workspace's saving; a failed write only means the warning comes
    // again at the next start.
    (void)workspace->settings.SetSetting(kOneDriveWarningKey, "1");
    return true;
}

}  // namespace lq
