#include "ui/commands/ContextMenus.h"

#include <windowsx.h>

#include <array>

#include "resources/ResourceIds.h"
#include "ui/commands/MainMenu.h"

namespace lq {
namespace {

constexpr std::array<uint32_t, 4> kProjectOrSpaceIds{IDM_NEW_NOTE, IDM_NEW_PROJECT, IDM_RENAME, IDM_DELETE};
constexpr std::array<uint32_t, 3> kNoteRowIds{IDM_NEW_NOTE, IDM_RENAME, IDM_DELETE};
constexpr std::array<uint32_t, 8> kEditorIds{IDM_UNDO, IDM_REDO, 0, IDM_CUT, IDM_COPY, IDM_PASTE, 0, IDM_SELECT_ALL};

void SetEnabled(HMENU menu, UINT id, bool enabled) noexcept {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

bool IsKeyboardMenuPoint(LPARAM point) noexcept {
    return GET_X_LPARAM(point) == -1 && GET_Y_LPARAM(point) == -1;
}

std::span<const uint32_t> TreeContextMenuIds(bool onNoteRow) noexcept {
    if (onNoteRow) return kNoteRowIds;
    return kProjectOrSpaceIds;
}

std::span<const uint32_t> EditorContextMenuIds() noexcept {
    return kEditorIds;
}

UniqueMenu BuildTreeContextMenu(HINSTANCE instance, std::optional<TreeItemKey> item) {
    UniqueMenu owned(CreatePopupMenu());
    HMENU menu = owned.get();
    if (!menu) return nullptr;
    AppendMenuItems(menu, instance, TreeContextMenuIds(item && !item->isProject));
    if (!item) {
        SetEnabled(menu, IDM_RENAME, false);
        SetEnabled(menu, IDM_DELETE, false);
    }
    return owned;
}

UniqueMenu BuildEditorContextMenu(HINSTANCE instance, const EditState& state) {
    UniqueMenu owned(CreatePopupMenu());
    HMENU menu = owned.get();
    if (!menu) return nullptr;
    AppendMenuItems(menu, instance, EditorContextMenuIds());
    SetEnabled(menu, IDM_UNDO, state.canUndo);
    SetEnabled(menu, IDM_REDO, state.canRedo);
    SetEnabled(menu, IDM_CUT, state.canCut);
    SetEnabled(menu, IDM_COPY, state.canCopy);
    SetEnabled(menu, IDM_PASTE, state.canPaste);
    SetEnabled(menu, IDM_SELECT_ALL, state.canSelectAll);
    return owned;
}

}  // namespace lq
