#include "ui/main/MainWindow.h"

#include <windowsx.h>

#include "resources/ResourceIds.h"
#include "ui/commands/ContextMenus.h"
#include "ui/commands/KeyBindings.h"
#include "workspace/Workspace.h"

// The context menus of the sidebar and the editor, drawn dark like every menu of the program.
namespace lq {
namespace {

// Keeps a tracked menu's owner-drawn records no longer than the menu and destroys the menu, also
// when drawing it set up throws.
class TrackedMenu {
public:
    TrackedMenu(DarkMenu& darkMenu, HMENU menu) noexcept : darkMenu_(darkMenu), menu_(menu) {}
    ~TrackedMenu() {
        darkMenu_.ForgetMenu(menu_);
        DestroyMenu(menu_);
    }
    TrackedMenu(const TrackedMenu&) = delete;
    TrackedMenu& operator=(const TrackedMenu&) = delete;

private:
    DarkMenu& darkMenu_;
    HMENU menu_;
};

}  // namespace

UINT MainWindow::TrackMenu(HMENU menu, POINT screenPoint) {
    if (!menu) return 0;
    TrackedMenu tracked(darkMenu, menu);
    darkMenu.UpdateFont(dpi);
    darkMenu.MakeOwnerDrawn(menu);
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, screenPoint.x,
                                       screenPoint.y, 0, hwnd, nullptr);
    return chosen > 0 ? static_cast<UINT>(chosen) : 0;
}

void MainWindow::ShowTreeContextMenu(const TreeAction& action) {
    UniqueMenu menu = BuildTreeContextMenu(instance, action.item);
    if (!menu) return;
    const UINT chosen = TrackMenu(menu.release(), action.screenPoint);
    // Run once the menu has closed, on the row it was opened for: the selection need not be there
    // any more (a row that cannot be opened gives it back to the open note), and a command that
    // read it would act on another note. No note or project has id 0, so 0 is empty space.
    if (chosen == 0 || !hwnd) return;
    const LPARAM row = action.item ? static_cast<LPARAM>(EncodeTreeItemParam(*action.item)) : 0;
    PostMessageW(hwnd, kTreeMenuChoiceMessage, chosen, row);
}

void MainWindow::RunTreeMenuChoice(UINT menuId, std::optional<TreeItemKey> row) {
    if (!workspace) return;
    // A row that went away meanwhile (deleted by a command that ran first) is not acted on.
    if (row && !(row->isProject ? workspace->tree.FindProject(row->id) != nullptr
                                : workspace->tree.FindNote(row->id) != nullptr)) {
        return;
    }
    switch (menuId) {
        case IDM_NEW_NOTE:
            if (!row) {
                NewNote(std::nullopt);
            } else if (row->isProject) {
                NewNote(row->id);
            } else {
                NewNote(workspace->tree.ProjectOfNote(row->id));
            }
            return;
        case IDM_RENAME:
            if (row) BeginRename(*row);
            return;
        case IDM_DELETE:
            if (row) DeleteItem(*row);
            return;
        default:
            if (const std::optional<int32_t> command = CommandForMenuId(menuId)) ExecuteCommand(*command);
            return;
    }
}

void MainWindow::ShowEditorContextMenu(LPARAM point) {
    HWND editorWindow = editor.hwnd();
    if (!editorWindow) return;
    POINT screenPoint{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (IsKeyboardMenuPoint(point)) {
        // From the keyboard: just below the caret's line.
        auto& call = editor.call();
        const Scintilla::Position caret = call.CurrentPos();
        screenPoint.x = call.PointXFromPosition(caret);
        screenPoint.y = call.PointYFromPosition(caret) + call.TextHeight(call.LineFromPosition(caret));
        ClientToScreen(editorWindow, &screenPoint);
    }
    UniqueMenu menu = BuildEditorContextMenu(instance, editor.GetEditState());
    if (!menu) return;
    const UINT chosen = TrackMenu(menu.release(), screenPoint);
    if (chosen == 0) return;
    // The editor's own commands act on the editor, whatever window has the focus now.
    if (const std::optional<int32_t> command = CommandForMenuId(chosen)) EditCommand(*command, editorWindow);
}

}  // namespace lq
