#include "ui/main/MainWindow.h"

#include <windowsx.h>

#include "ui/commands/ContextMenus.h"
#include "ui/commands/KeyBindings.h"

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
    // Run like a menu choice, once the menu has closed; the right-clicked row is already selected.
    if (chosen != 0 && hwnd) PostMessageW(hwnd, WM_COMMAND, chosen, 0);
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
