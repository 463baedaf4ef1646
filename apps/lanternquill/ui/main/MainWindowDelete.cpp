#include "ui/main/MainWindow.h"

#include "resources/ResourceIds.h"
#include "ui/commands/NoteCommandRules.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/main/HandlerScope.h"
#include "ui/main/MainWindowLabelEdit.h"
#include "workspace/Workspace.h"

// Deleting the selected note or project, and undoing the last deletion. The database changes at
// once; the sidebar follows the workspace's tree afterwards.
namespace lq {

namespace {

// A note whose row cannot be read, so no copy of it can be kept for undo: the user is asked first,
// and only when the deletion can go through at all; otherwise told why it cannot. True when it was
// deleted.
bool DeleteWithoutUndo(MainWindow& window, int64_t noteId, const std::wstring& title) {
    Workspace& workspace = *window.workspace;
    if (!workspace.CanDeleteWithoutUndo(noteId)) {
        window.TellAboutNote(IDS_UNREADABLE_NOT_DELETED, noteId);
        return false;
    }
    bool confirmed = false;
    {
        const HandlerScope handling(window);
        confirmed = ConfirmDeleteWithoutUndo(window.hwnd, window.instance,
                                             LoadResourceString(window.instance, IDS_CONFIRM_DELETE_UNREADABLE, title));
    }
    // The question's loop may have run anything meanwhile (a timer's save, a close deferred).
    if (!confirmed || !window.workspace || workspace.tree.FindNote(noteId) == nullptr) return false;
    if (workspace.DeleteWithoutUndo(noteId)) return true;
    window.TellAboutNote(IDS_UNREADABLE_NOT_DELETED, noteId);
    return false;
}

}  // namespace

void MainWindow::DeleteSelected() {
    if (!workspace) return;
    // The row chosen is the one selected now; completing an open edit may select a new note.
    if (const std::optional<TreeItemKey> key = sidebar.GetSelection()) DeleteItem(*key);
}

void MainWindow::DeleteItem(TreeItemKey key) {
    if (!workspace) return;
    FinishLabelEditFirst(*this);

    // The notice and the rows to go to next are read before the tree changes.
    std::optional<DeletionNotice> notice = DeletionNoticeFor(workspace->tree, key);
    if (!notice) return;
    const std::optional<TreeItemKey> next = SelectionAfterDelete(workspace->tree, key);
    const std::vector<int64_t> beside =
        key.isProject ? std::vector<int64_t>() : NotesBesideInTurn(workspace->tree, key.id);

    const size_t projectsBefore = workspace->tree.projects.size();
    bool deleted = key.isProject ? workspace->DeleteProject(key.id) : workspace->DeleteNote(key.id);
    bool told = false;
    if (!deleted && !key.isProject && workspace->unreadableNoteId == key.id) {
        deleted = DeleteWithoutUndo(*this, key.id, notice->name);
        if (deleted) notice->stringId = IDS_DELETED_WITHOUT_UNDO;
        told = true;  // asked, or told why it cannot be deleted
    }
    if (!deleted) {
        // A project holding a note whose row cannot be read, or a failing file: nothing was deleted,
        // and the user must not take the silence for a deletion.
        if (!told && showMessage) {
            const HandlerScope handling(*this);
            showMessage(LoadResourceString(instance, IDS_DELETE_FAILED, notice->name));
        }
        return;
    }

    int64_t passedOver = 0;
    // Deleting the last project leaves a new one in its place: the list changed beyond one row.
    if (key.isProject && workspace->tree.projects.size() + 1 != projectsBefore) {
        const std::optional<TreeItemKey> toSelect = workspace->currentNoteId != 0
                                                        ? TreeItemKey{false, workspace->currentNoteId}
                                                        : TreeItemKey{true, workspace->currentProjectId};
        // Only the rows that changed: the deleted project goes, the one made in its place comes.
        sidebar.RemoveItem(key);
        for (const ProjectNode& project : workspace->tree.projects) {
            if (!sidebar.FindItem({true, project.id})) sidebar.Sync(workspace->tree, {true, project.id});
        }
        sidebar.SetOpenNote(workspace->currentNoteId);
        if (toSelect) sidebar.Select(*toSelect);
    } else if (key.isProject || beside.empty()) {
        sidebar.RemoveItem(key);
        if (next) {
            if (next->isProject) {
                workspace->OpenProject(next->id);
            } else {
                workspace->OpenNote(next->id);
            }
            sidebar.Select(*next);
        }
    } else {
        sidebar.RemoveItem(key);
        // The note beside it opens in its place; one that cannot be read is passed over (and told
        // of once), so the sidebar never points at a note the editor does not show.
        bool opened = false;
        for (const int64_t id : beside) {
            opened = workspace->OpenNote(id);
            if (opened || workspace->unreadableNoteId != id) break;
            if (passedOver == 0) passedOver = id;
        }
        if (opened) {
            sidebar.Select({false, workspace->currentNoteId});
        } else if (workspace->currentNoteId != 0) {
            SelectOpenRow();
        } else {
            sidebar.Select({true, workspace->currentProjectId});
        }
    }
    UpdateTitleAndStatus();
    SetStatusMessage(LoadResourceString(instance, notice->stringId, notice->name, notice->noteCount));
    if (passedOver != 0) ReportUnreadableNote(passedOver);
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
