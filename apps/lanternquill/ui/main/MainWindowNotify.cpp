#include <windows.h>
#include <windowsx.h>

#include <cstring>

#include "Bench.h"
#include "resources/ResourceIds.h"
#include "ui/commands/ContextMenus.h"
#include "ui/commands/KeyBindings.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowHandlers.h"
#include "workspace/Workspace.h"

namespace lq {
namespace {

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void OnTreeAction(MainWindow& window, const TreeAction& action) {
    Workspace& workspace = *window.workspace;
    if (action.kind != TreeAction::ContextMenu && !action.item) return;
    switch (action.kind) {
        case TreeAction::Select: {
            const bool opened =
                action.item->isProject ? workspace.OpenProject(action.item->id) : workspace.OpenNote(action.item->id);
            const int64_t unreadable = opened ? 0 : workspace.unreadableNoteId;
            // The arrows go on past a note that cannot be read, as stepping through the notes does;
            // stopped on it, they would come back to it at every press.
            const bool steppedPast = unreadable != 0 && action.byKeyboard && window.StepPastUnreadableRow(*action.item);
            // A row that did not open must not stay highlighted over another note's text: what is
            // typed next would go into that note.
            if (!opened && !steppedPast) window.SelectOpenRow();
            window.sidebar.SetOpenNote(workspace.currentNoteId);
            window.UpdateTitle();
            window.UpdateStatus();
            // The click report that follows a mouse selection hands the focus to the editor.
            if (action.byMouse) window.focusEditorAfterTreeAction = true;
            if (unreadable != 0) {
                if (action.byKeyboard) {
                    window.ReportUnreadableNoteOnce(unreadable);
                } else {
                    window.ReportUnreadableNote(unreadable);
                }
            }
            break;
        }
        case TreeAction::ExpandChanged:
            if (action.item->isProject) workspace.SetProjectExpanded(action.item->id, action.expanded);
            break;
        case TreeAction::EndLabelEdit:
            // Completed once the control's notification has returned.
            PostTreeEdit(*action.item, action.newText);
            PostMessageW(window.hwnd, kLabelEditDoneMessage, 0, 0);
            break;
        case TreeAction::ContextMenu:
            window.ShowTreeContextMenu(action);
            break;
        case TreeAction::BeginLabelEdit:
            window.focusEditorAfterTreeAction = false;
            PostMessageW(window.hwnd, kLabelEditRequestMessage, 0,
                         static_cast<LPARAM>(EncodeTreeItemParam(*action.item)));
            break;
        default:
            break;
    }
}

// SCN_MODIFIED: the status total, completion's index, the last edit place, the line-number margin and
// the autosave debounce, in that order.
void OnEditorModified(MainWindow& window, const Scintilla::NotificationData& notification) {
    const int type = static_cast<int>(notification.modificationType);
    const bool inserted = (type & SC_MOD_INSERTTEXT) != 0;
    const bool deleted = (type & SC_MOD_DELETETEXT) != 0;
    if ((inserted || deleted) && window.status.ApplyModification(notification)) InvalidateStatusStrip(window);

    const char* text = notification.text;
    const auto length = static_cast<int64_t>(notification.length);
    // Single typed characters are completion's own business (it learns finished words).
    if (text && length > 1 && inserted && window.completion.built()) {
        window.completion.LearnInsertedText(std::string_view(text, static_cast<size_t>(length)));
    }
    if (text && (inserted || deleted)) {
        const int64_t noteId = window.workspace ? window.workspace->currentNoteId : 0;
        const auto position = static_cast<int64_t>(notification.position);
        window.lastEditPos[noteId] = inserted ? position + length : position;
    }
    if (notification.linesAdded != 0) window.editor.UpdateLineNumberMargin(false);
    // Every edit postpones the save: SetTimer replaces a running timer 1.
    if (window.workspace && window.editor.call().Modify()) {
        SetTimer(window.hwnd, kAutosaveTimerId, kAutosaveDelayMs, nullptr);
    }
}

void OnEditorNotify(MainWindow& window, const Scintilla::NotificationData& notification) {
    switch (static_cast<int>(notification.nmhdr.code)) {
        case SCN_CHARADDED:
            window.completion.OnCharAdded(window.editor, notification.ch, notification.characterSource);
            break;
        case SCN_SAVEPOINTREACHED:
            // A save (or undoing back to the saved text) made the document clean.
            KillTimer(window.hwnd, kAutosaveTimerId);
            break;
        case SCN_DOUBLECLICK:
            window.doubleClicked = true;
            break;
        case SCN_UPDATEUI:
            if (window.status.Update(window.editor.call(), static_cast<int>(notification.updated))) {
                InvalidateStatusStrip(window);
            }
            break;
        case SCN_MODIFIED:
            OnEditorModified(window, notification);
            break;
        case SCN_PAINTED:
            // Filled from the first paint on, in idle slices: a word typed right after start-up
            // finds most of it there.
            window.completion.StartFill();
            if (!window.firstPaintDone) {
                window.firstPaintDone = true;
                if (window.bench) window.bench->Mark("first_paint");
                if (window.closeAfterFirstPaint) PostMessageW(window.hwnd, WM_CLOSE, 0, 0);
            }
            break;
        case SCN_AUTOCCHARDELETED:
            if (window.editor.call().AutoCActive()) window.completion.Update(window.editor);
            break;
        default:
            break;
    }
}

// The move a finished drag left in the tree: stored through the workspace, then mirrored.
void ApplyPendingMove(MainWindow& window) {
    const std::optional<TreeMove> move = window.sidebar.TakePendingMove();
    if (!move || !window.workspace) return;
    const auto index = static_cast<uint64_t>(move->index < 0 ? 0 : move->index);
    const bool moved = move->item.isProject ? window.workspace->MoveProject(move->item.id, index)
                                            : window.workspace->MoveNote(move->item.id, move->projectId, index);
    if (!moved) {
        if (!move->item.isProject && window.workspace->NoteCannotBeRead(move->item.id)) {
            window.TellAboutNote(IDS_UNREADABLE_NOT_MOVED, move->item.id);
        } else {
            window.ReportFailure(IDS_MOVE_FAILED);
        }
        return;
    }
    window.sidebar.Sync(window.workspace->tree, move->item);
    window.UpdateTitle();
}

}  // namespace

LRESULT OnMainWindowNotify(MainWindow& window, WPARAM wParam, LPARAM lParam) {
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (header.hwndFrom && header.hwndFrom == window.menuBar.toolbar()) {
        LRESULT result = 0;
        if (window.menuBar.OnNotify(header, result)) return result;
        return DefWindowProcW(window.hwnd, WM_NOTIFY, wParam, lParam);
    }
    if (header.hwndFrom && header.hwndFrom == window.sidebar.hwnd()) {
        TreeAction action;
        const LRESULT result = window.sidebar.OnNotify(header, action);
        if (window.workspace) OnTreeAction(window, action);
        return result;
    }
    if (header.hwndFrom && header.hwndFrom == window.editor.hwnd()) {
        OnEditorNotify(window, *reinterpret_cast<const Scintilla::NotificationData*>(lParam));
        return 0;
    }
    return DefWindowProcW(window.hwnd, WM_NOTIFY, wParam, lParam);
}

LRESULT OnMainWindowCommand(MainWindow& window, WPARAM wParam, LPARAM lParam) {
    const UINT code = HIWORD(wParam);
    const auto control = reinterpret_cast<HWND>(lParam);
    if (window.globalView && control) {
        GlobalSearchView& view = *window.globalView;
        const bool fromEdit = control == view.queryEdit() || control == view.replaceEdit();
        if (fromEdit && (code == EN_SETFOCUS || code == EN_KILLFOCUS)) {
            // The focus frames around the edits follow the focus.
            window.InvalidateSidebarArea();
            return 0;
        }
        if (control == view.queryEdit() && code == EN_CHANGE) {
            window.findQuery = WindowText(control);
            EnableWindow(view.replaceAllButton(), !window.findQuery.empty());
            if (view.noMatch() || !view.statusText().empty()) {
                view.SetNoMatch(false);
                view.SetStatusText({});
                window.InvalidateSidebarArea();
            }
            return 0;
        }
        if (control == view.replaceEdit() && code == EN_CHANGE) {
            window.replaceText = WindowText(control);
            return 0;
        }
        if (control == view.replaceAllButton() && code == BN_CLICKED) {
            window.ReplaceInAllNotes();
            return 0;
        }
    }
    if (code != 0 || lParam != 0) return DefWindowProcW(window.hwnd, WM_COMMAND, wParam, lParam);
    if (const std::optional<int32_t> command = CommandForMenuId(LOWORD(wParam))) {
        window.ExecuteCommand(*command);
        return 0;
    }
    return DefWindowProcW(window.hwnd, WM_COMMAND, wParam, lParam);
}

void ShowSidebarContextMenu(MainWindow& window, LPARAM lParam) {
    const HWND tree = window.sidebar.hwnd();
    TreeAction action;
    action.kind = TreeAction::ContextMenu;
    action.item = window.sidebar.GetSelection();
    if (!IsKeyboardMenuPoint(lParam)) {
        action.screenPoint = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    } else {
        // From the keyboard: below the caret row's text, else the tree's corner.
        POINT point{0, 0};
        const auto caret = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        RECT text{};
        std::memcpy(&text, &caret, sizeof(caret));  // the message takes the row in the rectangle
        if (caret && SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text))) {
            point = POINT{text.left, text.bottom};
        }
        ClientToScreen(tree, &point);
        action.screenPoint = point;
    }
    window.ShowTreeContextMenu(action);
}

void FixCaretAfterClick(MainWindow& window) {
    auto& call = window.editor.call();
    const auto anchor = static_cast<int64_t>(call.Anchor());
    const auto caret = static_cast<int64_t>(call.CurrentPos());
    // Only when nothing moved the selection since the click, and the caret is at its end.
    if (anchor != window.pendingAnchor || caret != window.pendingCaret || caret <= anchor) return;
    call.SetSelection(anchor, caret);
    call.ChooseCaretX();
}

void OnSidebarReport(MainWindow& window, WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case kSidebarReportAddNote:
            // A project's plus button.
            if ((lParam & 1) != 0) window.NewNote(static_cast<int64_t>(lParam) >> 1);
            break;
        case kSidebarReportPressHandled:
            if (window.focusEditorAfterTreeAction || lParam != 0) {
                window.focusEditorAfterTreeAction = false;
                const HWND labelEdit =
                    reinterpret_cast<HWND>(SendMessageW(window.sidebar.hwnd(), TVM_GETEDITCONTROL, 0, 0));
                if (!labelEdit) SetFocus(window.editor.hwnd());
            }
            break;
        case kSidebarReportDragEnded:
            ApplyPendingMove(window);
            // Dropped, cancelled or dropped where nothing can move: the editor gets the focus back.
            SetFocus(window.editor.hwnd());
            break;
        default:
            break;
    }
}

}  // namespace lq
