#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>

#include "editor/EditorView.h"
#include "ui/sidebar/TreeItemKey.h"

namespace lq {

// Sole owner of a menu handle: destroys the menu unless released.
struct MenuDestroyer {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

// The entries of the sidebar's context menu: on a note row new note, rename and delete; on a project
// row or on empty space new project as well.
[[nodiscard]] std::span<const uint32_t> TreeContextMenuIds(bool onNoteRow) noexcept;
// The entries of the editor's context menu (0 is a separator).
[[nodiscard]] std::span<const uint32_t> EditorContextMenuIds() noexcept;

// Whether the point of a WM_CONTEXTMENU is the keyboard's: both coordinates -1. A 64-bit program may
// get them packed in the low half only, so the whole value is never compared with -1.
[[nodiscard]] bool IsKeyboardMenuPoint(LPARAM point) noexcept;

// The sidebar's context menu for the row under the click (none: empty space, where rename and delete
// are greyed). Labels carry their shortcut texts. Null when it cannot be made.
[[nodiscard]] UniqueMenu BuildTreeContextMenu(HINSTANCE instance, std::optional<TreeItemKey> item);

// The editor's context menu: undo, redo | cut, copy, paste | select all, each greyed unless the
// editor's state allows it. Null when it cannot be made.
[[nodiscard]] UniqueMenu BuildEditorContextMenu(HINSTANCE instance, const EditState& state);

}  // namespace lq
