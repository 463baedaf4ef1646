#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "ui/commands/KeyBindings.h"

namespace lq {

// The main menu: a bar with the File, Edit and View popups, their labels from the string table and
// their shortcut texts from the key bindings. Owned by the caller; null when a menu cannot be made.
[[nodiscard]] HMENU BuildMainMenu(HINSTANCE instance);

// Appends one entry per menu id (0 is a separator): the id's label, a tab and the shortcut of its
// command when it has one. The item id of each entry is its menu id.
void AppendMenuItems(HMENU menu, HINSTANCE instance, std::span<const uint32_t> ids);

// The text a menu shows for a shortcut: "Ctrl+", "Shift+", "Alt+" as held, then the key's name
// ("?" for a key without one).
[[nodiscard]] std::wstring FormatShortcut(const Shortcut& shortcut);

// Whether `window` exists and is an edit box (class "Edit", any letter case).
[[nodiscard]] bool IsEditControl(HWND window);

}  // namespace lq
