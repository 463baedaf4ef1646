#include <windows.h>

#include "editor/EditorCommands.h"
#include "resources/ResourceIds.h"
#include "ui/commands/MainMenu.h"
#include "ui/main/MainWindow.h"
#include "workspace/Workspace.h"

namespace lq {
namespace {

// Command codes with steps of their own here; the editor commands are in EditorCommand.
enum Command : int32_t {
    kSave = 0,
    kNewNote = 1,
    kNewProject = 2,
    kNextNote = 3,
    kPreviousNote = 4,
    kToggleSidebar = 5,
    kRename = 6,
    kDelete = 7,
    kUndoDelete = 8,
    kMoveUp = 9,
    kMoveDown = 10,
    kGoToEditor = 11,
    kZoomIn = 12,
    kZoomOut = 13,
    kZoomReset = 14,
    kFind = 37,
    kReplace = 38,
    kGoToLine = 39,
    kFindNext = 40,
    kFindPrevious = 41,
    kClosePanel = 42,
    kSwitchFocus = 43,
    kSearchAllNotes = 44,
    kReplaceAllNotes = 45,
    kImport = 46,
    kExport = 47,
    kBackup = 48,
    kUndo = 49,
    kRedo = 50,
    kCut = 51,
    kCopy = 52,
    kPaste = 53,
    kDuplicate = 54,
    kSelectAll = 55,
    kExit = 56,
};

bool IsGlobalViewControl(const MainWindow& window, HWND focus) {
    const GlobalSearchView* view = window.globalView.get();
    if (!view || !focus) return false;
    return focus == view->queryEdit() || focus == view->replaceEdit() || focus == view->replaceAllButton() ||
           focus == view->resultList();
}

// The tree, or its label edit box inside it.
bool IsInTree(const MainWindow& window, HWND focus) {
    const HWND tree = window.sidebar.hwnd();
    return tree && focus && (focus == tree || IsChild(tree, focus));
}

void ToggleSidebar(MainWindow& window) {
    const HWND focus = GetFocus();
    // A hidden window keeps the keyboard focus it had: typing would go nowhere the user can see.
    if (window.sidebarVisible && (IsInTree(window, focus) || IsGlobalViewControl(window, focus))) {
        SetFocus(window.editor.hwnd());
    }
    window.sidebarPeeking = false;
    window.sidebarHiddenBeforeGlobalView = false;
    window.SetSidebarVisible(window.sidebarWidthDip, !window.sidebarVisible);
}

void SwitchFocus(MainWindow& window) {
    if (!window.sidebarVisible) return;
    const HWND focus = GetFocus();
    if (focus && (focus == window.sidebar.hwnd() || IsGlobalViewControl(window, focus))) {
        SetFocus(window.editor.hwnd());
    } else if (window.globalViewShown && window.globalView && window.globalView->queryEdit()) {
        SetFocus(window.globalView->queryEdit());
    } else {
        SetFocus(window.sidebar.hwnd());
    }
}

// Find, replace and go to line need a note to work in, once notes exist at all.
bool CanShowFloating(const MainWindow& window) {
    return !window.workspace || window.workspace->currentNoteId != 0;
}

void EditEditor(EditorView& editor, int32_t command) {
    auto& call = editor.call();
    switch (command) {
        case kUndo:
            call.Undo();
            break;
        case kRedo:
            call.Redo();
            break;
        case kCut:
            editor.CutAllowLine();
            break;
        case kCopy:
            if (call.SelectionEmpty()) {
                call.CopyAllowLine();
            } else {
                call.Copy();
                call.SetEmptySelection(call.CurrentPos());
            }
            break;
        case kPaste:
            call.Paste();
            break;
        case kDuplicate:
            call.SelectionDuplicate();
            break;
        case kSelectAll:
            call.SelectAll();
            call.ScrollCaret();
            break;
        default:
            break;
    }
}

void EditEditBox(HWND edit, int32_t command) {
    switch (command) {
        case kUndo:
            SendMessageW(edit, WM_UNDO, 0, 0);
            break;
        case kCut:
            SendMessageW(edit, WM_CUT, 0, 0);
            break;
        case kCopy:
            SendMessageW(edit, WM_COPY, 0, 0);
            break;
        case kPaste:
            SendMessageW(edit, WM_PASTE, 0, 0);
            break;
        case kSelectAll:
            SendMessageW(edit, EM_SETSEL, 0, -1);
            break;
        default:
            break;
    }
}

// An edit box has no redo.
EditState EditBoxState(HWND edit) {
    EditState state;
    state.canUndo = SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    state.canCut = state.canCopy = start < end;
    state.canPaste = IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
    state.canSelectAll = GetWindowTextLengthW(edit) > 0;
    return state;
}

void SetEnabled(HMENU menu, UINT id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void SetChecked(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

bool MainWindow::ExecuteCommand(int32_t command) {
    if (IsEditorCommand(command)) {
        EditorCommandContext context;
        context.openNoteId = workspace ? workspace->currentNoteId : 0;
        context.lastEditPositions = &lastEditPos;
        return RunEditorCommand(editor, command, context);
    }
    switch (command) {
        case kSave:
            SaveNow(SaveReason::UserSave);
            break;
        case kNewNote:
            NewNote(std::nullopt);
            break;
        case kNewProject:
            NewProject();
            break;
        case kNextNote:
        case kPreviousNote:
            SelectAdjacentNote(command == kNextNote);
            break;
        case kToggleSidebar:
            ToggleSidebar(*this);
            break;
        case kRename:
            BeginRename(std::nullopt);
            break;
        case kDelete:
            DeleteSelected();
            break;
        case kUndoDelete:
            UndoDelete();
            break;
        case kMoveUp:
        case kMoveDown:
            MoveSelected(command == kMoveUp);
            break;
        case kGoToEditor:
            SetFocus(editor.hwnd());
            break;
        case kZoomIn:
            editor.ZoomIn();
            break;
        case kZoomOut:
            editor.ZoomOut();
            break;
        case kZoomReset:
            editor.ResetFontSize();
            break;
        case kFind:
        case kReplace:
        case kGoToLine:
            if (CanShowFloating(*this)) {
                ShowFloating(command == kFind      ? FindPanel::Mode::Find
                             : command == kReplace ? FindPanel::Mode::Replace
                                                   : FindPanel::Mode::GoToLine);
            }
            break;
        case kFindNext:
        case kFindPrevious:
            FindNext(command == kFindNext);
            break;
        case kClosePanel:
            return CloseFloating();
        case kSwitchFocus:
            SwitchFocus(*this);
            break;
        case kSearchAllNotes:
        case kReplaceAllNotes:
            ShowGlobalView(command == kSearchAllNotes ? GlobalSearchView::Mode::Search
                                                      : GlobalSearchView::Mode::Replace);
            break;
        case kImport:
            if (workspace) RunImportCommand();
            break;
        case kExport:
            if (workspace && workspace->currentNoteId != 0) RunExportCommand();
            break;
        case kBackup:
            if (workspace) RunBackupCommand();
            break;
        case kUndo:
        case kRedo:
        case kCut:
        case kCopy:
        case kPaste:
        case kDuplicate:
        case kSelectAll:
            EditCommand(command, GetFocus());
            break;
        case kExit:
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        default:
            // 57 and 58 only lend the find panel their keys; nothing else is a command.
            break;
    }
    return true;
}

void MainWindow::EditCommand(int32_t command, HWND target) {
    if (!target) return;
    if (target == editor.hwnd()) {
        EditEditor(editor, command);
    } else if (IsEditControl(target)) {
        EditEditBox(target, command);
    } else if (target == sidebar.hwnd() && command == kUndo) {
        UndoDelete();
    }
}

void MainWindow::OnInitMenuPopup(HMENU menu) {
    const HWND focus = GetFocus();
    EditState state;  // greyed unless the focused window says otherwise
    bool canDuplicate = false;
    if (focus && focus == editor.hwnd()) {
        state = editor.GetEditState();
        canDuplicate = true;
    } else if (focus && focus == sidebar.hwnd()) {
        state.canUndo = workspace && !workspace->undoStack.empty();
    } else if (IsEditControl(focus)) {
        state = EditBoxState(focus);
    }
    SetEnabled(menu, IDM_UNDO, state.canUndo);
    SetEnabled(menu, IDM_REDO, state.canRedo);
    SetEnabled(menu, IDM_CUT, state.canCut);
    SetEnabled(menu, IDM_COPY, state.canCopy);
    SetEnabled(menu, IDM_PASTE, state.canPaste);
    SetEnabled(menu, IDM_SELECT_ALL, state.canSelectAll);
    SetEnabled(menu, IDM_DUPLICATE, canDuplicate);
    SetChecked(menu, IDM_WRAP, editor.wrap());
    SetChecked(menu, IDM_SHOW_SIDEBAR, sidebarVisible);
}

}  // namespace lq
