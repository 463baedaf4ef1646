#include "ui/commands/KeyBindings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <set>
#include <utility>

namespace lq {
namespace {

constexpr uint8_t Y = 1;
constexpr uint8_t N = 0;

struct KeyCase {
    Shortcut key;
    KeyScope scope;
    std::optional<int32_t> command;
};

// One row of the key table as the users' documentation lists it: key code, Ctrl, Shift, Alt, where it
// applies, command, and whether it only lends its text to the menus.
struct ExpectedBinding {
    uint32_t key;
    uint8_t ctrl;
    uint8_t shift;
    uint8_t alt;
    KeyScope scope;
    uint32_t command;
    uint8_t menuTextOnly;
};

constexpr KeyScope kAny = KeyScope::Any;
constexpr KeyScope kEd = KeyScope::Editor;
constexpr KeyScope kOther = KeyScope::Other;
constexpr KeyScope kTree = KeyScope::SidebarTree;

// Written out from the documented table with the raw key codes, so that a wrong code, modifier,
// scope, command or flag in any row of the program's table, or two rows swapped, shows here.
// clang-format off
constexpr ExpectedBinding kExpectedBindings[] = {
    {0x53, Y, N, N, kAny, 0, N},    {0x4E, Y, N, N, kAny, 1, N},    {0x4E, Y, Y, N, kAny, 2, N},
    {0x46, Y, N, N, kAny, 37, N},   {0x48, Y, N, N, kAny, 38, N},   {0x52, Y, N, N, kAny, 38, N},
    {0x47, Y, N, N, kAny, 39, N},   {0x46, Y, Y, N, kAny, 44, N},   {0x48, Y, Y, N, kAny, 45, N},
    {0x72, N, N, N, kAny, 40, N},   {0x72, N, Y, N, kAny, 41, N},   {0x09, Y, N, N, kAny, 3, N},
    {0x09, Y, Y, N, kAny, 4, N},    {0x42, Y, N, N, kAny, 5, N},    {0x75, N, N, N, kAny, 43, N},
    {0x75, N, Y, N, kAny, 43, N},   {0x1B, N, N, N, kAny, 42, N},   {0x71, N, N, N, kTree, 6, N},
    {0x71, N, N, N, kEd, 6, N},     {0x2E, N, N, N, kTree, 7, N},   {0x5A, Y, N, N, kTree, 8, N},
    {0x26, N, N, Y, kTree, 9, N},   {0x28, N, N, Y, kTree, 10, N},  {0x0D, N, N, N, kTree, 11, N},
    {0xBB, Y, N, N, kAny, 12, N},   {0xBB, Y, Y, N, kAny, 12, N},   {0x6B, Y, N, N, kAny, 12, N},
    {0xBD, Y, N, N, kAny, 13, N},   {0xBD, Y, Y, N, kAny, 13, N},   {0x6D, Y, N, N, kAny, 13, N},
    {0x30, Y, N, N, kAny, 14, N},   {0x60, Y, N, N, kAny, 14, N},   {0x5A, N, N, Y, kAny, 15, N},
    {0x0D, N, N, N, kEd, 16, N},    {0x4A, Y, N, N, kEd, 16, N},    {0x4D, Y, N, N, kEd, 16, N},
    {0x0D, N, Y, N, kEd, 17, N},    {0x0D, Y, N, N, kEd, 18, N},    {0x49, Y, N, N, kEd, 19, N},
    {0x43, Y, N, N, kEd, 52, N},    {0x2D, Y, N, N, kEd, 52, N},    {0x77, N, N, N, kEd, 52, N},
    {0x74, N, Y, N, kEd, 20, N},    {0x76, N, Y, N, kEd, 21, N},    {0x77, N, Y, N, kEd, 22, N},
    {0x41, Y, N, N, kEd, 55, N},    {0x4C, Y, N, N, kEd, 23, N},    {0x26, Y, N, N, kEd, 24, N},
    {0x28, Y, N, N, kEd, 25, N},    {0xBC, Y, N, N, kEd, 26, N},    {0xBE, Y, N, N, kEd, 27, N},
    {0xBC, Y, Y, N, kEd, 28, N},    {0xBE, Y, Y, N, kEd, 29, N},    {0x4B, Y, N, N, kEd, 30, N},
    {0xDB, Y, N, N, kEd, 31, N},    {0xDD, Y, N, N, kEd, 32, N},    {0x25, N, N, N, kEd, 33, N},
    {0x27, N, N, N, kEd, 34, N},    {0x26, N, N, N, kEd, 35, N},    {0x26, N, Y, N, kEd, 35, N},
    {0x28, N, N, N, kEd, 36, N},    {0x28, N, Y, N, kEd, 36, N},    {0x5A, Y, N, N, kEd, 49, Y},
    {0x59, Y, N, N, kEd, 50, Y},    {0x5A, Y, Y, N, kEd, 50, Y},    {0x58, Y, N, N, kEd, 51, Y},
    {0x56, Y, N, N, kEd, 53, Y},    {0x76, N, N, N, kEd, 51, N},    {0x78, N, N, N, kEd, 53, N},
    {0x44, Y, N, N, kEd, 54, Y},    {0x73, N, N, Y, kAny, 56, Y},   {0x0D, N, N, N, kOther, 57, Y},
    {0x0D, Y, N, Y, kOther, 58, Y},
};

// The menu table: menu id, command, in the documented order.
constexpr std::pair<uint32_t, uint32_t> kExpectedMenuCommands[] = {
    {1101, 1},  {1102, 2},  {1118, 56}, {1001, 49}, {1002, 50}, {1003, 51}, {1004, 52}, {1005, 53},
    {1007, 54}, {1006, 55}, {1109, 37}, {1110, 38}, {1111, 39}, {1112, 40}, {1113, 41}, {1114, 12},
    {1115, 13}, {1116, 14}, {1117, 15}, {1107, 5},  {1103, 6},  {1104, 7},  {1105, 3},  {1106, 4},
    {1108, 0},  {1119, 46}, {1120, 47}, {1121, 48}, {1122, 44}, {1123, 45},
};
// clang-format on

TEST(KeyBindings, TheKeyTableHoldsEveryDocumentedRowInItsOrder) {
    const auto table = KeyBindingTable();
    ASSERT_EQ(table.size(), std::size(kExpectedBindings));
    for (size_t i = 0; i < table.size(); ++i) {
        const KeyBinding& row = table[i];
        const ExpectedBinding& expected = kExpectedBindings[i];
        SCOPED_TRACE(testing::Message() << "row " << (i + 1));
        EXPECT_EQ(row.key.key, expected.key);
        EXPECT_EQ(row.key.ctrl, expected.ctrl);
        EXPECT_EQ(row.key.shift, expected.shift);
        EXPECT_EQ(row.key.alt, expected.alt);
        EXPECT_EQ(row.scope, expected.scope);
        EXPECT_EQ(row.command, expected.command);
        EXPECT_EQ(row.menuTextOnly, expected.menuTextOnly);
    }
}

TEST(KeyBindings, TheMenuTableGivesEveryDocumentedIdItsCommandInOrder) {
    const auto table = MenuCommandTable();
    ASSERT_EQ(table.size(), std::size(kExpectedMenuCommands));
    for (size_t i = 0; i < table.size(); ++i) {
        const auto [menuId, command] = kExpectedMenuCommands[i];
        SCOPED_TRACE(testing::Message() << "row " << (i + 1) << ", menu id " << menuId);
        EXPECT_EQ(table[i].menuId, menuId);
        EXPECT_EQ(table[i].command, command);
        EXPECT_EQ(CommandForMenuId(menuId), static_cast<int32_t>(command));
    }
}

TEST(KeyBindings, KeyPressesFindTheFirstMatchingRowOfTheirScope) {
    const KeyCase cases[] = {
        // Ctrl+Z: the component's own undo in the editor, undo-delete in the tree, the box's own in a label edit.
        {{'Z', Y, N, N}, KeyScope::Editor, std::nullopt},
        {{'Z', Y, N, N}, KeyScope::SidebarTree, 8},
        {{'Z', Y, N, N}, KeyScope::TreeLabelEdit, std::nullopt},
        {{'Z', Y, N, N}, KeyScope::Other, std::nullopt},
        {{'Z', Y, Y, N}, KeyScope::Editor, std::nullopt},
        {{'Y', Y, N, N}, KeyScope::Editor, std::nullopt},
        // Cut, paste and duplicate reach the component directly; F7 and F9 go through the dispatcher.
        {{'X', Y, N, N}, KeyScope::Editor, std::nullopt},
        {{'V', Y, N, N}, KeyScope::Editor, std::nullopt},
        {{'D', Y, N, N}, KeyScope::Editor, std::nullopt},
        {{VK_F7, N, N, N}, KeyScope::Editor, 51},
        {{VK_F9, N, N, N}, KeyScope::Editor, 53},
        {{'C', Y, N, N}, KeyScope::Editor, 52},
        {{'C', Y, N, N}, KeyScope::Other, std::nullopt},
        {{VK_INSERT, Y, N, N}, KeyScope::Editor, 52},
        {{VK_F8, N, N, N}, KeyScope::Editor, 52},
        {{VK_F8, N, Y, N}, KeyScope::Editor, 22},
        // The system's Alt+F4 and the find panel's Enter keys are menu texts only.
        {{VK_F4, N, N, Y}, KeyScope::Editor, std::nullopt},
        {{VK_F4, N, N, Y}, KeyScope::Other, std::nullopt},
        {{VK_RETURN, N, N, N}, KeyScope::Other, std::nullopt},
        {{VK_RETURN, Y, N, Y}, KeyScope::Other, std::nullopt},
        // Enter: new line in the editor, go to the editor from the tree, shifted variants by their rows.
        {{VK_RETURN, N, N, N}, KeyScope::Editor, 16},
        {{VK_RETURN, N, N, N}, KeyScope::SidebarTree, 11},
        {{VK_RETURN, N, Y, N}, KeyScope::Editor, 17},
        {{VK_RETURN, Y, N, N}, KeyScope::Editor, 18},
        {{VK_RETURN, Y, N, N}, KeyScope::SidebarTree, std::nullopt},
        // Modifiers match exactly.
        {{'S', Y, N, N}, KeyScope::Other, 0},
        {{'S', Y, Y, N}, KeyScope::Other, std::nullopt},
        {{'S', Y, N, Y}, KeyScope::Other, std::nullopt},
        {{'S', N, N, N}, KeyScope::Other, std::nullopt},
        {{'N', Y, N, N}, KeyScope::Editor, 1},
        {{'N', Y, Y, N}, KeyScope::Editor, 2},
        // Zoom in with or without Shift on the main keyboard, and on the keypad.
        {{VK_OEM_PLUS, Y, N, N}, KeyScope::Editor, 12},
        {{VK_OEM_PLUS, Y, Y, N}, KeyScope::SidebarTree, 12},
        {{VK_ADD, Y, N, N}, KeyScope::Other, 12},
        {{VK_ADD, Y, Y, N}, KeyScope::Other, std::nullopt},
        {{VK_OEM_MINUS, Y, Y, N}, KeyScope::Editor, 13},
        {{VK_NUMPAD0, Y, N, N}, KeyScope::Editor, 14},
        {{'Z', N, N, Y}, KeyScope::SidebarTree, 15},
        // Scoped rows.
        {{VK_F2, N, N, N}, KeyScope::SidebarTree, 6},
        {{VK_F2, N, N, N}, KeyScope::Editor, 6},
        {{VK_F2, N, N, N}, KeyScope::Other, std::nullopt},
        {{VK_DELETE, N, N, N}, KeyScope::SidebarTree, 7},
        {{VK_DELETE, N, N, N}, KeyScope::Editor, std::nullopt},
        {{VK_UP, N, N, Y}, KeyScope::SidebarTree, 9},
        {{VK_DOWN, N, N, Y}, KeyScope::SidebarTree, 10},
        {{VK_UP, N, N, Y}, KeyScope::Editor, std::nullopt},
        {{VK_UP, N, N, N}, KeyScope::Editor, 35},
        {{VK_UP, N, Y, N}, KeyScope::Editor, 35},
        {{VK_UP, Y, N, N}, KeyScope::Editor, 24},
        {{VK_UP, N, N, N}, KeyScope::SidebarTree, std::nullopt},
        {{VK_LEFT, N, N, N}, KeyScope::Editor, 33},
        {{VK_LEFT, N, Y, N}, KeyScope::Editor, std::nullopt},
        {{VK_OEM_COMMA, Y, Y, N}, KeyScope::Editor, 28},
        {{VK_OEM_6, Y, N, N}, KeyScope::Editor, 32},
        // Keys of scope Any work everywhere but in the label edit box.
        {{VK_ESCAPE, N, N, N}, KeyScope::Other, 42},
        {{VK_ESCAPE, N, N, N}, KeyScope::TreeLabelEdit, std::nullopt},
        {{VK_F6, N, Y, N}, KeyScope::SidebarTree, 43},
        {{VK_TAB, Y, Y, N}, KeyScope::Editor, 4},
        {{VK_TAB, N, N, N}, KeyScope::Editor, std::nullopt},
        {{'H', Y, N, N}, KeyScope::Other, 38},
        {{'R', Y, N, N}, KeyScope::Other, 38},
        {{'H', Y, Y, N}, KeyScope::Other, 45},
        {{VK_F3, N, Y, N}, KeyScope::Editor, 41},
        {{'Q', Y, N, N}, KeyScope::Editor, std::nullopt},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        EXPECT_EQ(CommandForKey(c.key, c.scope), c.command);
    }
}

TEST(KeyBindings, NoTwoMatchableRowsCompeteForOneKeyAndScope) {
    // Every matchable row must be reachable: an earlier row of the same key and scope (or of scope Any)
    // would shadow it for ever.
    const auto table = KeyBindingTable();
    ASSERT_EQ(table.size(), 73u);
    for (size_t i = 0; i < table.size(); ++i) {
        const KeyBinding& row = table[i];
        if (row.menuTextOnly) continue;
        const KeyScope lookIn = row.scope == KeyScope::Any ? KeyScope::Other : row.scope;
        SCOPED_TRACE(testing::Message() << "row " << (i + 1));
        EXPECT_EQ(CommandForKey(row.key, lookIn), static_cast<int32_t>(row.command));
    }
}

TEST(KeyBindings, MenuIdsGiveTheirCommands) {
    // clang-format off
    const std::pair<uint32_t, std::optional<int32_t>> cases[] = {
        {1101, 1},  {1102, 2},  {1118, 56}, {1001, 49}, {1007, 54}, {1006, 55}, {1114, 12},
        {1117, 15}, {1107, 5},  {1103, 6},  {1104, 7},  {1119, 46}, {1123, 45},
        // In no menu, yet a WM_COMMAND with them still runs their command.
        {1105, 3},  {1106, 4},  {1108, 0},  {1112, 40}, {1113, 41},
        {0, std::nullopt}, {1000, std::nullopt}, {1124, std::nullopt}, {2000, std::nullopt},
    };
    // clang-format on
    for (const auto& [menuId, command] : cases) {
        SCOPED_TRACE(testing::Message() << "menu id " << menuId);
        EXPECT_EQ(CommandForMenuId(menuId), command);
    }
    std::set<uint32_t> ids;
    for (const MenuCommand& row : MenuCommandTable()) ids.insert(row.menuId);
    EXPECT_EQ(MenuCommandTable().size(), 30u);
    EXPECT_EQ(ids.size(), 30u) << "a menu id appears twice";
}

TEST(KeyBindings, MenusShowTheFirstRowOfACommandWhateverItsScopeAndFlag) {
    const std::pair<int32_t, std::optional<Shortcut>> cases[] = {
        {49, Shortcut{'Z', Y, N, N}},  // menu text only
        {50, Shortcut{'Y', Y, N, N}},  // Ctrl+Y before Ctrl+Shift+Z
        {51, Shortcut{'X', Y, N, N}},  // the text-only Ctrl+X before F7
        {52, Shortcut{'C', Y, N, N}},
        {56, Shortcut{VK_F4, N, N, Y}},
        {57, Shortcut{VK_RETURN, N, N, N}},  // what the find panel reads
        {58, Shortcut{VK_RETURN, Y, N, Y}},
        {6, Shortcut{VK_F2, N, N, N}},
        {12, Shortcut{VK_OEM_PLUS, Y, N, N}},
        {38, Shortcut{'H', Y, N, N}},
        {46, std::nullopt},
        {47, std::nullopt},
        {48, std::nullopt},
        {11, Shortcut{VK_RETURN, N, N, N}},
    };
    for (const auto& [command, shortcut] : cases) {
        SCOPED_TRACE(testing::Message() << "command " << command);
        EXPECT_EQ(ShortcutForCommand(command), shortcut);
    }
}

}  // namespace
}  // namespace lq
