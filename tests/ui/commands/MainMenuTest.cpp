#include "ui/commands/MainMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "support/TestHostWindow.h"
#include "support/editor/EditorTestWindow.h"

namespace lq {
namespace {

using test::EnsureEditorClass;
using test::TestHostWindow;

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

struct ShortcutCase {
    Shortcut shortcut;
    const wchar_t* text;
};

TEST(MainMenu, FormatsShortcutsWithModifiersAndKeyNames) {
    const ShortcutCase cases[] = {
        {{VK_OEM_PLUS, 1, 0, 0}, L"Ctrl++"},
        {{VK_OEM_MINUS, 1, 1, 0}, L"Ctrl+Shift+-"},
        {{VK_TAB, 1, 1, 1}, L"Ctrl+Shift+Alt+Tab"},
        {{VK_RETURN, 0, 0, 1}, L"Alt+Enter"},
        {{VK_ESCAPE, 0, 0, 0}, L"Esc"},
        {{VK_INSERT, 1, 0, 0}, L"Ctrl+Ins"},
        {{VK_DELETE, 0, 1, 0}, L"Shift+Del"},
        {{'0', 1, 0, 0}, L"Ctrl+0"},
        {{'9', 0, 0, 0}, L"9"},
        {{'A', 0, 0, 0}, L"A"},
        {{'Z', 0, 0, 1}, L"Alt+Z"},
        {{VK_NUMPAD0, 1, 0, 0}, L"Ctrl+Num 0"},
        {{VK_ADD, 0, 0, 0}, L"Num +"},
        {{VK_SUBTRACT, 0, 0, 0}, L"Num -"},
        {{VK_F1, 0, 0, 0}, L"F1"},
        {{VK_F12, 0, 1, 0}, L"Shift+F12"},
        {{VK_F24, 0, 0, 0}, L"F24"},
        // Keys without a name of their own.
        {{VK_F24 + 1, 0, 0, 0}, L"?"},
        {{VK_OEM_COMMA, 1, 0, 0}, L"Ctrl+?"},
        {{VK_LEFT, 0, 0, 0}, L"?"},
        {{VK_NUMPAD1, 0, 0, 0}, L"?"},
        {{'0' - 1, 0, 0, 0}, L"?"},
        {{'Z' + 1, 0, 0, 0}, L"?"},
        {{0, 0, 0, 0}, L"?"},
    };
    for (const ShortcutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        EXPECT_EQ(FormatShortcut(c.shortcut), c.text);
    }
}

struct Entry {
    UINT id;  // 0: a separator
    std::wstring text;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
    std::string text;
    for (const wchar_t c : entry.text) text += c < 128 ? static_cast<char>(c) : '#';
    *out << entry.id << ":\"" << text << "\"";
}

// Every entry of `menu` as the system keeps it.
std::vector<Entry> ReadEntries(HMENU menu) {
    std::vector<Entry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = buffer;
        info.cch = static_cast<UINT>(std::size(buffer));
        EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        if (info.fType & MFT_SEPARATOR) {
            entries.push_back({0, L""});
        } else {
            entries.push_back({info.wID, buffer});
        }
    }
    return entries;
}

std::wstring PopupLabel(HMENU bar, int index) {
    wchar_t buffer[64] = {};
    GetMenuStringW(bar, static_cast<UINT>(index), buffer, static_cast<int>(std::size(buffer)), MF_BYPOSITION);
    return buffer;
}

class OwnedMenu {
public:
    explicit OwnedMenu(HMENU menu) : menu_(menu) {}
    ~OwnedMenu() {
        if (menu_) DestroyMenu(menu_);
    }
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;
    [[nodiscard]] HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

TEST(MainMenu, BuildsFileEditAndViewWithTheShortcutsOfTheTables) {
    const OwnedMenu bar(BuildMainMenu(Instance()));
    ASSERT_NE(bar.get(), nullptr);
    ASSERT_EQ(GetMenuItemCount(bar.get()), 3);
    EXPECT_EQ(PopupLabel(bar.get(), 0), L"ファイル(&F)");
    EXPECT_EQ(PopupLabel(bar.get(), 1), L"編集(&E)");
    EXPECT_EQ(PopupLabel(bar.get(), 2), L"表示(&V)");

    const std::vector<Entry> file{
        {1101, L"新しいメモ\tCtrl+N"},
        {1102, L"新しいプロジェクト\tCtrl+Shift+N"},
        {0, L""},
        {1119, L"テキストファイルを取り込む..."},
        {1120, L"現在のメモを書き出す..."},
        {1121, L"バックアップを作成..."},
        {0, L""},
        {1118, L"終了\tAlt+F4"},
    };
    const std::vector<Entry> edit{
        {1001, L"元に戻す\tCtrl+Z"},
        {1002, L"やり直す\tCtrl+Y"},
        {0, L""},
        {1003, L"切り取り\tCtrl+X"},
        {1004, L"コピー\tCtrl+C"},
        {1005, L"貼り付け\tCtrl+V"},
        {1006, L"すべて選択\tCtrl+A"},
        {1007, L"複製\tCtrl+D"},
        {0, L""},
        {1109, L"検索\tCtrl+F"},
        {1110, L"置換\tCtrl+H"},
        {0, L""},
        {1122, L"すべてのメモを検索\tCtrl+Shift+F"},
        {1123, L"すべてのメモを置換\tCtrl+Shift+H"},
        {0, L""},
        {1111, L"行へ移動\tCtrl+G"},
    };
    const std::vector<Entry> view{
        {1114, L"文字を大きく\tCtrl++"},     {1115, L"文字を小さく\tCtrl+-"},
        {1116, L"文字サイズを戻す\tCtrl+0"}, {0, L""},
        {1117, L"折り返し\tAlt+Z"},          {1107, L"サイドバーを表示\tCtrl+B"},
    };
    EXPECT_EQ(ReadEntries(GetSubMenu(bar.get(), 0)), file);
    EXPECT_EQ(ReadEntries(GetSubMenu(bar.get(), 1)), edit);
    EXPECT_EQ(ReadEntries(GetSubMenu(bar.get(), 2)), view);
}

TEST(MainMenu, AppendsContextMenuEntriesAfterWhatIsThere) {
    const OwnedMenu menu(CreatePopupMenu());
    ASSERT_NE(menu.get(), nullptr);
    const std::array<uint32_t, 2> first{1101, 1102};
    const std::array<uint32_t, 4> second{0, 1103, 1104, 1105};
    AppendMenuItems(menu.get(), Instance(), first);
    AppendMenuItems(menu.get(), Instance(), second);
    const std::vector<Entry> expected{
        {1101, L"新しいメモ\tCtrl+N"},
        {1102, L"新しいプロジェクト\tCtrl+Shift+N"},
        {0, L""},
        {1103, L"名前を変更\tF2"},
        {1104, L"削除\tDel"},
        {1105, L"\tCtrl+Tab"},  // no label of its own: only the shortcut
    };
    EXPECT_EQ(ReadEntries(menu.get()), expected);
}

TEST(MainMenu, TellsEditBoxesFromOtherWindows) {
    TestHostWindow host;
    ASSERT_TRUE(host.ok());
    ASSERT_TRUE(EnsureEditorClass());
    const auto make = [&](const wchar_t* className) {
        return CreateWindowExW(0, className, L"", WS_CHILD, 0, 0, 10, 10, host.hwnd(), nullptr, Instance(), nullptr);
    };
    const HWND edit = make(L"EDIT");  // the class name is kept as registered: "Edit"
    const HWND button = make(L"Button");
    const HWND editor = make(L"Scintilla");
    const HWND list = make(L"ListBox");
    ASSERT_TRUE(edit && button && editor && list);

    EXPECT_TRUE(IsEditControl(edit));
    EXPECT_FALSE(IsEditControl(button));
    EXPECT_FALSE(IsEditControl(editor));
    EXPECT_FALSE(IsEditControl(list));
    EXPECT_FALSE(IsEditControl(host.hwnd()));
    EXPECT_FALSE(IsEditControl(nullptr));
    DestroyWindow(edit);
    EXPECT_FALSE(IsEditControl(edit));
}

}  // namespace
}  // namespace lq
