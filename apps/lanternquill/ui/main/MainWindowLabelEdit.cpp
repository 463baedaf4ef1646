#include "ui/main/MainWindowLabelEdit.h"

#include <algorithm>
#include <utility>

#include "resources/ResourceIds.h"
#include "ui/main/MainWindow.h"
#include "workspace/Workspace.h"

// Renaming through the sidebar's label editor: starting an edit (showing a hidden sidebar for its
// length), and completing it once the tree's notification has returned.
namespace lq {
namespace {

constexpr int32_t kMinSidebarWidthDip = 160;

struct PendingLabelEdit {
    TreeItemKey key;
    std::optional<std::string> newText;  // UTF-8; none when the edit was cancelled
};

// One slot for the whole process: an edit ends inside the tree's notification and is completed by
// the message posted after it, so there is never more than one waiting.
std::optional<PendingLabelEdit>& PendingSlot() {
    static std::optional<PendingLabelEdit> slot;
    return slot;
}

}  // namespace

void PostTreeEdit(TreeItemKey key, std::optional<std::string> newText) {
    PendingSlot() = PendingLabelEdit{key, std::move(newText)};
}

void FinishLabelEditFirst(MainWindow& window) {
    // Ending the edit reports it through the tree's notification, which fills the slot.
    if (HWND tree = window.sidebar.hwnd(); tree && TreeView_GetEditControl(tree)) TreeView_EndEditLabelNow(tree, FALSE);
    window.CompleteLabelEdit();
}

void MainWindow::CompleteLabelEdit() {
    // A message whose edit was already completed finds the slot empty and must not end another
    // edit's peek or take its follow-up.
    std::optional<PendingLabelEdit> pending = std::exchange(PendingSlot(), std::nullopt);
    if (!pending) return;
    const int32_t after = std::exchange(afterLabelEdit, 0);
    if (!workspace) return;

    const TreeItemKey key = pending->key;
    if (pending->newText) {
        const bool renamed = key.isProject ? workspace->RenameProject(key.id, *pending->newText)
                                           : workspace->RenameNote(key.id, *pending->newText);
        if (renamed) {
            // The row shows the name as stored (normalised), never the typed text.
            std::string stored;
            if (key.isProject) {
                if (const ProjectNode* project = workspace->tree.FindProject(key.id)) stored = project->name;
            } else if (const NoteListRow* note = workspace->tree.FindNote(key.id)) {
                stored = note->title;
            }
            sidebar.SetItemText(key, stored);
            UpdateTitle();
        } else if (!key.isProject && workspace->NoteCannotBeRead(key.id)) {
            // Its row cannot be rewritten either; the selection goes back to the note that is open.
            SelectOpenRow();
            TellAboutNote(IDS_UNREADABLE_NOT_RENAMED, key.id);
        }
    }

    // A new project gets its first note whether it was named or the edit was cancelled.
    if (after == 2 && key.isProject) {
        if (const std::optional<int64_t> noteId = workspace->CreateNote(key.id, TodayTitle())) {
            if (const NoteListRow* row = workspace->tree.FindNote(*noteId)) sidebar.AddNote(NoteListRow(*row));
            if (workspace->OpenNote(*noteId)) {
                sidebar.Select({false, *noteId});
                sidebar.SetOpenNote(workspace->currentNoteId);
                UpdateTitle();
                UpdateStatus();
            }
        }
    }
    EndSidebarPeek();
}

void MainWindow::PeekSidebar() {
    HWND tree = sidebar.hwnd();
    if (globalViewShown) {
        globalViewShown = false;
        if (globalView) globalView->Show(false);
        // The view stood in the place of a sidebar the user hid: the tree only peeks for the edit.
        if (std::exchange(sidebarHiddenBeforeGlobalView, false)) sidebarPeeking = true;
    }
    if (sidebarVisible) {
        if (tree) ShowWindow(tree, SW_SHOWNA);
    } else {
        sidebarPeeking = true;
        sidebarVisible = true;
        sidebarWidthDip = std::max(sidebarWidthDip, kMinSidebarWidthDip);
        if (tree) ShowWindow(tree, SW_SHOWNA);
        if (globalView) globalView->Show(false);
        Layout();
    }
    if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
}

void MainWindow::EndSidebarPeek() {
    // Decided before the tree is hidden, which takes the focus away with it.
    const HWND focus = GetFocus();
    const bool focusEditor =
        (focus != nullptr && focus == sidebar.hwnd()) || (focus == nullptr && hwnd && GetActiveWindow() == hwnd);
    if (sidebarPeeking) {
        sidebarPeeking = false;
        sidebarVisible = false;
        sidebarWidthDip = std::max(sidebarWidthDip, kMinSidebarWidthDip);
        if (sidebar.hwnd()) ShowWindow(sidebar.hwnd(), SW_HIDE);
        if (globalView) globalView->Show(false);
        Layout();
        if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
    }
    if (focusEditor && editor.hwnd()) SetFocus(editor.hwnd());
}

void MainWindow::BeginRename(std::optional<TreeItemKey> key) {
    if (!key) {
        // F2 in the editor names the open note, whatever row the sidebar has selected.
        if (workspace && editor.hwnd() && GetFocus() == editor.hwnd() && workspace->currentNoteId != 0) {
            key = TreeItemKey{false, workspace->currentNoteId};
        } else {
            key = sidebar.GetSelection();
        }
        if (!key) return;
    }
    FinishLabelEditFirst(*this);
    PeekSidebar();
    if (!sidebar.EditLabel(*key)) EndSidebarPeek();
}

}  // namespace lq
