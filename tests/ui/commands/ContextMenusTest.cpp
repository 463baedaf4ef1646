#include "ui/commands/ContextMenus.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/TextConversion.h"
#include "resources/ResourceIds.h"

namespace lq {
namespace {

// One entry as the menu holds it: its id (0 for a separator), its text and whether it is greyed.
struct Entry {
    UINT id = 0;
    std::wstring text;
    bool greyed = false;

    friend bool operator==(const Entry&, const Entry&) = default;
    friend void PrintTo(const Entry& entry, std::ostream* out) {
        *out << entry.id << " \"" << Utf16ToUtf8(entry.text) << "\"" << (entry.greyed ? " greyed" : "");
    }
};

std::vector<Entry> Entries(HMENU menu) {
    std::vector<Entry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        // Whether a separator counts as greyed differs between systems; it cannot be chosen either way.
        entries.push_back(
            {separator ? 0u : info.wID, separator ? L"" : text, !separator && (info.fState & MFS_GRAYED) != 0});
    }
    return entries;
}

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

TEST(ContextMenusTest, SidebarMenuOnAProjectRowHasFourEnabledEntries) {
    UniqueMenu menu = BuildTreeContextMenu(Instance(), TreeItemKey{true, 1});
    ASSERT_TRUE(menu);
    EXPECT_EQ(Entries(menu.get()), (std::vector<Entry>{{IDM_NEW_NOTE, L"新しいメモ\tCtrl+N", false},
                                                       {IDM_NEW_PROJECT, L"新しいプロジェクト\tCtrl+Shift+N", false},
                                                       {IDM_RENAME, L"名前を変更\tF2", false},
                                                       {IDM_DELETE, L"削除\tDel", false}}));
}

TEST(ContextMenusTest, SidebarMenuOnANoteRowHasNoNewProject) {
    UniqueMenu menu = BuildTreeContextMenu(Instance(), TreeItemKey{false, 10});
    ASSERT_TRUE(menu);
    EXPECT_EQ(Entries(menu.get()), (std::vector<Entry>{{IDM_NEW_NOTE, L"新しいメモ\tCtrl+N", false},
                                                       {IDM_RENAME, L"名前を変更\tF2", false},
                                                       {IDM_DELETE, L"削除\tDel", false}}));
}

TEST(ContextMenusTest, SidebarMenuOnEmptySpaceGreysRenameAndDelete) {
    UniqueMenu menu = BuildTreeContextMenu(Instance(), std::nullopt);
    ASSERT_TRUE(menu);
    const std::vector<Entry> entries = Entries(menu.get());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_FALSE(entries[0].greyed);
    EXPECT_FALSE(entries[1].greyed);
    EXPECT_EQ(entries[2].id, static_cast<UINT>(IDM_RENAME));
    EXPECT_TRUE(entries[2].greyed);
    EXPECT_EQ(entries[3].id, static_cast<UINT>(IDM_DELETE));
    EXPECT_TRUE(entries[3].greyed);
}

TEST(ContextMenusTest, EditorMenuFollowsTheEditState) {
    EditState state;
    state.canUndo = true;
    state.canCopy = true;
    state.canSelectAll = true;
    UniqueMenu menu = BuildEditorContextMenu(Instance(), state);
    ASSERT_TRUE(menu);
    EXPECT_EQ(Entries(menu.get()), (std::vector<Entry>{{IDM_UNDO, L"元に戻す\tCtrl+Z", false},
                                                       {IDM_REDO, L"やり直す\tCtrl+Y", true},
                                                       {0, L"", false},
                                                       {IDM_CUT, L"切り取り\tCtrl+X", true},
                                                       {IDM_COPY, L"コピー\tCtrl+C", false},
                                                       {IDM_PASTE, L"貼り付け\tCtrl+V", true},
                                                       {0, L"", false},
                                                       {IDM_SELECT_ALL, L"すべて選択\tCtrl+A", false}}));

    // Every flag on its own enables exactly its entry.
    const std::pair<bool EditState::*, UINT> flags[] = {
        {&EditState::canUndo, IDM_UNDO}, {&EditState::canRedo, IDM_REDO},   {&EditState::canCut, IDM_CUT},
        {&EditState::canCopy, IDM_COPY}, {&EditState::canPaste, IDM_PASTE}, {&EditState::canSelectAll, IDM_SELECT_ALL},
    };
    for (const auto& [flag, id] : flags) {
        EditState only;
        only.*flag = true;
        UniqueMenu single = BuildEditorContextMenu(Instance(), only);
        ASSERT_TRUE(single);
        for (const Entry& entry : Entries(single.get())) {
            if (entry.id == 0) continue;
            EXPECT_EQ(entry.greyed, entry.id != id) << "flag of " << id << ", entry " << entry.id;
        }
    }
}

}  // namespace
}  // namespace lq
