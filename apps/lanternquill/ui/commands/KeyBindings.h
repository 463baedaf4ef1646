#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "ui/commands/KeyScope.h"

namespace lq {

// A key with its modifiers; each modifier is 0 or 1 and must match exactly.
struct Shortcut {
    uint32_t key = 0;  // virtual-key code
    uint8_t ctrl = 0;
    uint8_t shift = 0;
    uint8_t alt = 0;

    friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

// One row of the key-binding table. A menuTextOnly row only lends its shortcut text to the menus (the
// editing component or the system acts on the key itself) and is never matched against a key press.
struct KeyBinding {
    Shortcut key;
    KeyScope scope = KeyScope::Any;
    uint32_t command = 0;
    uint8_t menuTextOnly = 0;
};

// One row of the menu table: the menu id (also the string id of its label) and its command.
struct MenuCommand {
    uint32_t menuId = 0;
    uint32_t command = 0;
};

// The two constant tables, in their order: lookups take the first row that fits.
[[nodiscard]] std::span<const KeyBinding> KeyBindingTable() noexcept;
[[nodiscard]] std::span<const MenuCommand> MenuCommandTable() noexcept;

// The command of the first binding that a key press matches in `scope` (rows of scope Any match
// everywhere but in the tree's label edit box); none when no row fits.
[[nodiscard]] std::optional<int32_t> CommandForKey(const Shortcut& pressed, KeyScope scope) noexcept;

// The command of a menu entry (or of a WM_COMMAND id); none for an id that is in no row.
[[nodiscard]] std::optional<int32_t> CommandForMenuId(uint32_t menuId) noexcept;

// The first binding of a command whatever its scope and menuTextOnly flag: the shortcut the menus show.
[[nodiscard]] std::optional<Shortcut> ShortcutForCommand(int32_t command) noexcept;

}  // namespace lq
