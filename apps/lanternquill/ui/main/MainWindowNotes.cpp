#include "ui/main/MainWindow.h"

#include "platform/TextConversion.h"
#include "resources/ResourceIds.h"
#include "ui/commands/NoteCommandRules.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/main/HandlerScope.h"
#include "ui/main/MainWindowLabelEdit.h"
#include "workspace/Workspace.h"

// The commands that make notes and projects, step through the notes and move rows up and down. Each
// changes the workspace first and then brings the sidebar, caption and status strip in line.
namespace lq {

void MainWindow::NewNote(std::optional<int64_t> projectId) {
    if (!workspace) return;
    FinishLabelEditFirst(*this);
    const int64_t project = projectId ? *projectId : CurrentProjectId();
    const std::optional<int64_t> noteId = workspace->CreateNote(project, TodayTitle());
    if (!noteId) return;
    const TreeItemKey key{false, *noteId};

    workspace->SetProjectExpanded(project, true);
    PeekSidebar();
    if (const NoteListRow* row = workspace->tree.FindNote(*noteId)) sidebar.AddNote(NoteListRow(*row));
    if (!workspace->OpenNote(*noteId)) {
        // No label edit follows, so nothing else would end the peek.
        EndSidebarPeek();
        return;
    }
    sidebar.Select(key);
    UpdateTitleAndStatus();

    afterLabelEdit = 1;
    if (!sidebar.EditLabel(key)) {
        afterLabelEdit = 0;
        EndSidebarPeek();
        if (editor.hwnd()) SetFocus(editor.hwnd());
    }
}

void MainWindow::NewProject() {
    if (!workspace) return;
    FinishLabelEditFirst(*this);
    const std::optional<int64_t> projectId = workspace->CreateProject("Untitled Project");
    if (!projectId) return;
    const TreeItemKey key{true, *projectId};

    PeekSidebar();
    if (const ProjectNode* node = workspace->tree.FindProject(*projectId)) {
        sidebar.InsertProject(ProjectNode(*node), false, TVI_LAST);
    }
    sidebar.Select(key);
    afterLabelEdit = 2;
    if (!sidebar.EditLabel(key)) {
        // The completion still makes the project's first note.
        PostTreeEdit(key, std::nullopt);
        if (hwnd) PostMessageW(hwnd, kLabelEditDoneMessage, 0, 0);
    }
}

void MainWindow::SelectAdjacentNote(bool forward) {
    if (!workspace) return;
    // A note that cannot be read is passed over, and the user hears of it once. Coming round to the
    // open note ends the walk (opening it again succeeds at once).
    size_t notes = 0;
    for (const ProjectNode& project : workspace->tree.projects) notes += project.notes.size();
    std::optional<NoteInProject> target;
    int64_t unreadable = 0;
    int64_t from = workspace->currentNoteId;
    for (size_t tried = 0; tried < notes && !target; ++tried) {
        const std::optional<NoteInProject> next = AdjacentNote(workspace->tree, from, forward);
        if (!next) break;
        if (workspace->OpenNote(next->noteId)) {
            target = next;
        } else if (workspace->unreadableNoteId != 0) {
            if (unreadable == 0) unreadable = next->noteId;
            from = next->noteId;
        } else {
            break;
        }
    }
    if (!target) {
        SelectOpenRow();
        if (unreadable != 0) ReportUnreadableNote(unreadable);
        return;
    }

    const HTREEITEM projectRow = sidebar.FindItem({true, target->projectId});
    if (projectRow && sidebar.hwnd() &&
        (TreeView_GetItemState(sidebar.hwnd(), projectRow, TVIS_EXPANDED) & TVIS_EXPANDED) == 0) {
        workspace->SetProjectExpanded(target->projectId, true);
        sidebar.ExpandProject(target->projectId);
    }
    sidebar.Select({false, target->noteId});
    UpdateTitleAndStatus();
    // Told with the note it went on to already shown.
    if (unreadable != 0) ReportUnreadableNote(unreadable);
}

void MainWindow::MoveSelected(bool up) {
    if (!workspace) return;
    const std::optional<TreeItemKey> key = sidebar.GetSelection();
    if (!key) return;
    FinishLabelEditFirst(*this);
    const std::optional<uint64_t> target = MoveTargetIndex(workspace->tree, *key, up);
    if (!target) return;

    bool moved = false;
    if (key->isProject) {
        moved = workspace->MoveProject(key->id, *target);
    } else if (const std::optional<int64_t> project = workspace->tree.ProjectOfNote(key->id)) {
        moved = workspace->MoveNote(key->id, *project, *target);
    }
    if (!moved) {
        // The tree still shows the stored order.
        ReportFailure(IDS_MOVE_FAILED);
        return;
    }
    sidebar.Sync(workspace->tree, *key);
    sidebar.Select(*key);
}

void MainWindow::SelectOpenRow() {
    if (!workspace) return;
    if (workspace->currentNoteId != 0) {
        sidebar.Select({false, workspace->currentNoteId});
    } else if (workspace->currentProjectId != 0) {
        sidebar.Select({true, workspace->currentProjectId});
    }
}

void MainWindow::ReportUnreadableNote(int64_t noteId) {
    if (!workspace || !showMessage) return;
    // Also shown before the message loop runs: a close during the message waits for it.
    const HandlerScope handling(*this);
    const NoteListRow* row = workspace->tree.FindNote(noteId);
    showMessage(LoadResourceString(instance, IDS_NOTE_UNREADABLE, row ? Utf8ToUtf16(row->title) : std::wstring()));
}

void MainWindow::ReportFailure(UINT stringId) {
    if (!showMessage) return;
    const HandlerScope handling(*this);
    showMessage(LoadResourceString(instance, stringId));
}

}  // namespace lq
