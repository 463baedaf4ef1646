#include "ui/main/MainWindow.h"

#include "resources/ResourceIds.h"
#include "ui/commands/NoteCommandRules.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/main/MainWindowLabelEdit.h"
#include "workspace/Workspace.h"

// Deleting the selected note or project, and undoing the last deletion. The database changes at
// once; the sidebar follows the workspace's tree afterwards.
namespace lq {

void MainWindow::DeleteSelected() {
    if (!workspace) return;
    // The row chosen is the one selected now; completing an open edit may select a new note.
    const std::optional<TreeItemKey> key = sidebar.GetSelection();
    if (!key) return;
    FinishLabelEditFirst(*this);

    // The notice and the row to select next are read before the tree changes.
    const std::optional<DeletionNotice> notice = DeletionNoticeFor(workspace->tree, *key);
    if (!notice) return;
    const std::optional<TreeItemKey> next = SelectionAfterDelete(workspace->tree, *key);

    const size_t projectsBefore = workspace->tree.projects.size();
    const bool deleted = key->isProject ? workspace->DeleteProject(key->id) : workspace->DeleteNote(key->id);
    if (!deleted) return;

    // Deleting the last project leaves a new one in its place: the list changed beyond one row.
    if (key->isProject && workspace->tree.projects.size() + 1 != projectsBefore) {
        const std::optional<TreeItemKey> toSelect = workspace->currentNoteId != 0
                                                        ? TreeItemKey{false, workspace->currentNoteId}
                                                        : TreeItemKey{true, workspace->currentProjectId};
        // Only the rows that changed: the deleted project goes, the one made in its place comes.
        sidebar.RemoveItem(*key);
        for (const ProjectNode& project : workspace->tree.projects) {
            if (!sidebar.FindItem({true, project.id})) sidebar.Sync(workspace->tree, {true, project.id});
        }
        sidebar.SetOpenNote(workspace->currentNoteId);
        if (toSelect) sidebar.Select(*toSelect);
    } else {
        sidebar.RemoveItem(*key);
        if (next) {
            if (next->isProject) {
                workspace->OpenProject(next->id);
            } else {
                workspace->OpenNote(next->id);
            }
            sidebar.Select(*next);
        }
    }
    UpdateTitleAndStatus();
    SetStatusMessage(LoadResourceString(instance, notice->stringId, notice->name, notice->noteCount));
}

void MainWindow::UndoDelete() {
    if (!workspace) return;
    FinishLabelEditFirst(*this);
    const bool pending = !workspace->undoStack.empty();
    const std::optional<UndoneItem> undone = workspace->UndoDelete();
    if (!undone) {
        // The entry stays on the stack: nothing is lost and the user can try again.
        if (pending) ReportFailure(IDS_UNDO_DELETE_FAILED);
        return;
    }
    const TreeItemKey key{undone->isProject, undone->id};

    sidebar.Sync(workspace->tree, key);
    if (key.isProject) {
        workspace->OpenProject(key.id);
    } else {
        workspace->OpenNote(key.id);
    }
    sidebar.Select(key);
    UpdateTitleAndStatus();
    SetStatusMessage({});
}

}  // namespace lq
