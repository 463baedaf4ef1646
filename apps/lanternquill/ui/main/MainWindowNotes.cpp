#include "ui/main/MainWindow.h"

#include "ui/commands/NoteCommandRules.h"
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
    const std::optional<NoteInProject> target = AdjacentNote(workspace->tree, workspace->currentNoteId, forward);
    if (!target) return;
    if (!workspace->OpenNote(target->noteId)) return;

    const HTREEITEM projectRow = sidebar.FindItem({true, target->projectId});
    if (projectRow && sidebar.hwnd() &&
        (TreeView_GetItemState(sidebar.hwnd(), projectRow, TVIS_EXPANDED) & TVIS_EXPANDED) == 0) {
        workspace->SetProjectExpanded(target->projectId, true);
        sidebar.ExpandProject(target->projectId);
    }
    sidebar.Select({false, target->noteId});
    UpdateTitleAndStatus();
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
    if (!moved) return;  // the tree still shows the stored order
    sidebar.Sync(workspace->tree, *key);
    sidebar.Select(*key);
}

}  // namespace lq
