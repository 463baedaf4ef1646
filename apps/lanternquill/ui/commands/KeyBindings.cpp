#include "ui/commands/KeyBindings.h"

#include <windows.h>

#include <array>

namespace lq {
namespace {

constexpr KeyScope kAny = KeyScope::Any;
constexpr KeyScope kEditor = KeyScope::Editor;
constexpr KeyScope kOther = KeyScope::Other;
constexpr KeyScope kTree = KeyScope::SidebarTree;

constexpr KeyBinding Row(uint32_t key, uint8_t ctrl, uint8_t shift, uint8_t alt, KeyScope scope, uint32_t command,
                         uint8_t menuTextOnly = 0) {
    return KeyBinding{Shortcut{key, ctrl, shift, alt}, scope, command, menuTextOnly};
}

// Columns: key, Ctrl, Shift, Alt, scope, command, menu text only.
constexpr std::array<KeyBinding, 73> kKeyBindings{{
    Row('S', 1, 0, 0, kAny, 0),
    Row('N', 1, 0, 0, kAny, 1),
    Row('N', 1, 1, 0, kAny, 2),
    Row('F', 1, 0, 0, kAny, 37),
    Row('H', 1, 0, 0, kAny, 38),
    Row('R', 1, 0, 0, kAny, 38),
    Row('G', 1, 0, 0, kAny, 39),
    Row('F', 1, 1, 0, kAny, 44),
    Row('H', 1, 1, 0, kAny, 45),
    Row(VK_F3, 0, 0, 0, kAny, 40),
    Row(VK_F3, 0, 1, 0, kAny, 41),
    Row(VK_TAB, 1, 0, 0, kAny, 3),
    Row(VK_TAB, 1, 1, 0, kAny, 4),
    Row('B', 1, 0, 0, kAny, 5),
    Row(VK_F6, 0, 0, 0, kAny, 43),
    Row(VK_F6, 0, 1, 0, kAny, 43),
    Row(VK_ESCAPE, 0, 0, 0, kAny, 42),
    Row(VK_F2, 0, 0, 0, kTree, 6),
    Row(VK_F2, 0, 0, 0, kEditor, 6),
    Row(VK_DELETE, 0, 0, 0, kTree, 7),
    Row('Z', 1, 0, 0, kTree, 8),
    Row(VK_UP, 0, 0, 1, kTree, 9),
    Row(VK_DOWN, 0, 0, 1, kTree, 10),
    Row(VK_RETURN, 0, 0, 0, kTree, 11),
    Row(VK_OEM_PLUS, 1, 0, 0, kAny, 12),
    Row(VK_OEM_PLUS, 1, 1, 0, kAny, 12),
    Row(VK_ADD, 1, 0, 0, kAny, 12),
    Row(VK_OEM_MINUS, 1, 0, 0, kAny, 13),
    Row(VK_OEM_MINUS, 1, 1, 0, kAny, 13),
    Row(VK_SUBTRACT, 1, 0, 0, kAny, 13),
    Row('0', 1, 0, 0, kAny, 14),
    Row(VK_NUMPAD0, 1, 0, 0, kAny, 14),
    Row('Z', 0, 0, 1, kAny, 15),
    Row(VK_RETURN, 0, 0, 0, kEditor, 16),
    Row('J', 1, 0, 0, kEditor, 16),
    Row('M', 1, 0, 0, kEditor, 16),
    Row(VK_RETURN, 0, 1, 0, kEditor, 17),
    Row(VK_RETURN, 1, 0, 0, kEditor, 18),
    Row('I', 1, 0, 0, kEditor, 19),
    Row('C', 1, 0, 0, kEditor, 52),
    Row(VK_INSERT, 1, 0, 0, kEditor, 52),
    Row(VK_F8, 0, 0, 0, kEditor, 52),
    Row(VK_F5, 0, 1, 0, kEditor, 20),
    Row(VK_F7, 0, 1, 0, kEditor, 21),
    Row(VK_F8, 0, 1, 0, kEditor, 22),
    Row('A', 1, 0, 0, kEditor, 55),
    Row('L', 1, 0, 0, kEditor, 23),
    Row(VK_UP, 1, 0, 0, kEditor, 24),
    Row(VK_DOWN, 1, 0, 0, kEditor, 25),
    Row(VK_OEM_COMMA, 1, 0, 0, kEditor, 26),
    Row(VK_OEM_PERIOD, 1, 0, 0, kEditor, 27),
    Row(VK_OEM_COMMA, 1, 1, 0, kEditor, 28),
    Row(VK_OEM_PERIOD, 1, 1, 0, kEditor, 29),
    Row('K', 1, 0, 0, kEditor, 30),
    Row(VK_OEM_4, 1, 0, 0, kEditor, 31),
    Row(VK_OEM_6, 1, 0, 0, kEditor, 32),
    Row(VK_LEFT, 0, 0, 0, kEditor, 33),
    Row(VK_RIGHT, 0, 0, 0, kEditor, 34),
    Row(VK_UP, 0, 0, 0, kEditor, 35),
    Row(VK_UP, 0, 1, 0, kEditor, 35),
    Row(VK_DOWN, 0, 0, 0, kEditor, 36),
    Row(VK_DOWN, 0, 1, 0, kEditor, 36),
    // The component's own undo, redo, cut and paste keys: shown in the menus, acted on by the component.
    Row('Z', 1, 0, 0, kEditor, 49, 1),
    Row('Y', 1, 0, 0, kEditor, 50, 1),
    Row('Z', 1, 1, 0, kEditor, 50, 1),
    Row('X', 1, 0, 0, kEditor, 51, 1),
    Row('V', 1, 0, 0, kEditor, 53, 1),
    Row(VK_F7, 0, 0, 0, kEditor, 51),
    Row(VK_F9, 0, 0, 0, kEditor, 53),
    Row('D', 1, 0, 0, kEditor, 54, 1),
    Row(VK_F4, 0, 0, 1, kAny, 56, 1),
    // The find panel's replace and replace-all buttons read these two.
    Row(VK_RETURN, 0, 0, 0, kOther, 57, 1),
    Row(VK_RETURN, 1, 0, 1, kOther, 58, 1),
}};

constexpr std::array<MenuCommand, 30> kMenuCommands{{
    {1101, 1},  {1102, 2},  {1118, 56}, {1001, 49}, {1002, 50}, {1003, 51}, {1004, 52}, {1005, 53},
    {1007, 54}, {1006, 55}, {1109, 37}, {1110, 38}, {1111, 39}, {1112, 40}, {1113, 41}, {1114, 12},
    {1115, 13}, {1116, 14}, {1117, 15}, {1107, 5},  {1103, 6},  {1104, 7},  {1105, 3},  {1106, 4},
    {1108, 0},  {1119, 46}, {1120, 47}, {1121, 48}, {1122, 44}, {1123, 45},
}};

}  // namespace

std::span<const KeyBinding> KeyBindingTable() noexcept {
    return kKeyBindings;
}

std::span<const MenuCommand> MenuCommandTable() noexcept {
    return kMenuCommands;
}

std::optional<int32_t> CommandForKey(const Shortcut& pressed, KeyScope scope) noexcept {
    if (scope == KeyScope::TreeLabelEdit) return std::nullopt;
    for (const KeyBinding& row : kKeyBindings) {
        if (row.menuTextOnly != 0 || !(row.key == pressed)) continue;
        if (row.scope == KeyScope::Any || row.scope == scope) return static_cast<int32_t>(row.command);
    }
    return std::nullopt;
}

std::optional<int32_t> CommandForMenuId(uint32_t menuId) noexcept {
    for (const MenuCommand& row : kMenuCommands) {
        if (row.menuId == menuId) return static_cast<int32_t>(row.command);
    }
    return std::nullopt;
}

std::optional<Shortcut> ShortcutForCommand(int32_t command) noexcept {
    for (const KeyBinding& row : kKeyBindings) {
        if (static_cast<int32_t>(row.command) == command) return row.key;
    }
    return std::nullopt;
}

}  // namespace lq
