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
    int64_t from = workspace->currentNoteId;
    size_t tried = 0;
    const OpenedStep step = OpenFirstReadable([&]() -> std::optional<TreeItemKey> {
        if (tried++ >= notes) return std::nullopt;
        const std::optional<NoteInProject> next = AdjacentNote(workspace->tree, from, forward);
        if (!next) return std::nullopt;
        from = next->noteId;
        return TreeItemKey{false, next->noteId};
    });
    if (!step.opened) {
        SelectOpenRow();
        if (step.passedOver != 0) ReportUnreadableNote(step.passedOver);
        return;
    }

    const std::optional<int64_t> projectId = workspace->tree.ProjectOfNote(step.opened->id);
    const HTREEITEM projectRow = projectId ? sidebar.FindItem({true, *projectId}) : nullptr;
    if (projectRow && sidebar.hwnd() &&
        (TreeView_GetItemState(sidebar.hwnd(), projectRow, TVIS_EXPANDED) & TVIS_EXPANDED) == 0) {
        workspace->SetProjectExpanded(*projectId, true);
        sidebar.ExpandProject(*projectId);
    }
    sidebar.Select(*step.opened);
    UpdateTitleAndStatus();
    // Told with the note it went on to already shown.
    if (step.passedOver != 0) ReportUnreadableNote(step.passedOver);
}

MainWindow::OpenedStep MainWindow::OpenFirstReadable(const std::function<std::optional<TreeItemKey>()>& next) {
    OpenedStep step;
    if (!workspace) return step;
    while (const std::optional<TreeItemKey> key = next()) {
        const bool opened = key->isProject ? workspace->OpenProject(key->id) : workspace->OpenNote(key->id);
        if (opened) {
            step.opened = key;
            break;
        }
        if (key->isProject || workspace->unreadableNoteId != key->id) break;
        if (step.passedOver == 0) step.passedOver = key->id;
    }
    return step;
}

bool MainWindow::StepPastUnreadableRow(TreeItemKey row) {
    if (!workspace) return false;
    const TreeItemKey open = workspace->currentNoteId != 0 ? TreeItemKey{false, workspace->currentNoteId}
                                                           : TreeItemKey{true, workspace->currentProjectId};
    // Only a step from the open row to the one beside it has a direction to go on in (Home, End and
    // a jump by the first letter do not).
    bool below = false;
    if (sidebar.VisibleNeighbour(row, false) == open) {
        below = true;
    } else if (sidebar.VisibleNeighbour(row, true) != open) {
        return false;
    }
    TreeItemKey at = row;
    const OpenedStep step = OpenFirstReadable([&]() -> std::optional<TreeItemKey> {
        const std::optional<TreeItemKey> next = sidebar.VisibleNeighbour(at, below);
        if (next) at = *next;
        return next;
    });
    if (!step.opened) return false;
    sidebar.Select(*step.opened);
    return true;
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
    TellAboutNote(IDS_NOTE_UNREADABLE, noteId);
}

void MainWindow::ReportUnreadableNoteOnce(int64_t noteId) {
    if (!workspace) return;
    if (unreadableToldOnce.insert(noteId).second) {
        ReportUnreadableNote(noteId);
        return;
    }
    const NoteListRow* row = workspace->tree.FindNote(noteId);
    SetStatusMessage(LoadResourceString(instance, IDS_NOTE_UNREADABLE, row ? Utf8ToUtf16(row->title) : std::wstring()));
}

void MainWindow::TellAboutNote(UINT messageId, int64_t noteId) {
    if (!workspace || !showMessage) return;
    // Also shown before the message loop runs: a close during the message waits for it.
    const HandlerScope handling(*this);
    const NoteListRow* row = workspace->tree.FindNote(noteId);
    showMessage(LoadResourceString(instance, messageId, row ? Utf8ToUtf16(row->title) : std::wstring()));
}

void MainWindow::ReportFailure(UINT stringId) {
    if (!showMessage) return;
    const HandlerScope handling(*this);
    showMessage(LoadResourceString(instance, stringId));
}

}  // namespace lq
