#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "resources/ResourceIds.h"
#include "support/TestHostWindow.h"
#include "support/editor/EditorTestWindow.h"
#include "ui/commands/MainMenu.h"
#include "ui/main/MainWindow.h"

namespace lq {
namespace {

using test::EnsureEditorClass;
using test::ReadClipboardText;
using test::TestHostWindow;
using test::WriteClipboardText;

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

// A main window object without its window: its editor and an edit box made in a shown host window,
// enough for the edit commands and the menu states, which act on whichever window they are given.
class EditCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.ok());
        ASSERT_TRUE(EnsureEditorClass());
        ASSERT_TRUE(window_.editor.Create(host_.hwnd(), Instance()));
        MoveWindow(window_.editor.hwnd(), 0, 0, 400, 300, FALSE);
        edit_ = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 310, 200, 24, host_.hwnd(),
                                nullptr, Instance(), nullptr);
        button_ = CreateWindowExW(0, L"Button", L"b", WS_CHILD | WS_VISIBLE, 210, 310, 50, 24, host_.hwnd(), nullptr,
                                  Instance(), nullptr);
        ASSERT_TRUE(edit_ && button_);
        ShowWindow(host_.hwnd(), SW_SHOW);
        SetForegroundWindow(host_.hwnd());
    }

    void SetEditorText(const char* text) { window_.editor.SetText(text); }
    std::string EditorText() {
        auto& call = window_.editor.call();
        return call.GetText(call.Length());
    }
    std::wstring EditText() {
        wchar_t buffer[256] = {};
        GetWindowTextW(edit_, buffer, static_cast<int>(std::size(buffer)));
        return buffer;
    }
    std::pair<DWORD, DWORD> EditSelection() {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }

    TestHostWindow host_{640, 400};
    MainWindow window_;
    HWND edit_ = nullptr;
    HWND button_ = nullptr;
};

TEST_F(EditCommandTest, CopyInTheEditorTakesTheCaretLineOrTheSelectionAndLeavesTheCaret) {
    SetEditorText("one\r\ntwo\r\nthree");
    auto& call = window_.editor.call();
    call.SetEmptySelection(6);
    window_.EditCommand(52, window_.editor.hwnd());
    EXPECT_EQ(ReadClipboardText(), L"two\r\n");
    EXPECT_EQ(call.CurrentPos(), 6);

    call.SetSel(5, 8);  // "two", caret at its end
    window_.EditCommand(52, window_.editor.hwnd());
    EXPECT_EQ(ReadClipboardText(), L"two");
    EXPECT_TRUE(call.SelectionEmpty());
    EXPECT_EQ(call.CurrentPos(), 8);

    call.SetSel(8, 5);  // the same text with the caret at its start
    window_.EditCommand(52, window_.editor.hwnd());
    EXPECT_TRUE(call.SelectionEmpty());
    EXPECT_EQ(call.CurrentPos(), 5);
    EXPECT_EQ(EditorText(), "one\r\ntwo\r\nthree");
}

TEST_F(EditCommandTest, CutPasteUndoRedoDuplicateAndSelectAllInTheEditor) {
    SetEditorText("one\r\ntwo\r\nthree");
    auto& call = window_.editor.call();
    const HWND editor = window_.editor.hwnd();

    call.SetEmptySelection(6);
    window_.EditCommand(51, editor);  // nothing selected: the caret's line goes
    EXPECT_EQ(EditorText(), "one\r\nthree");
    EXPECT_EQ(ReadClipboardText(), L"two\r\n");

    window_.EditCommand(49, editor);
    EXPECT_EQ(EditorText(), "one\r\ntwo\r\nthree");
    window_.EditCommand(50, editor);
    EXPECT_EQ(EditorText(), "one\r\nthree");

    ASSERT_TRUE(WriteClipboardText(L"X"));
    call.SetEmptySelection(0);
    window_.EditCommand(53, editor);
    EXPECT_EQ(EditorText(), "Xone\r\nthree");

    call.SetSel(1, 4);
    window_.EditCommand(54, editor);
    EXPECT_EQ(EditorText(), "Xoneone\r\nthree");

    call.SetEmptySelection(3);
    window_.EditCommand(55, editor);
    EXPECT_EQ(call.SelectionStart(), 0);
    EXPECT_EQ(call.SelectionEnd(), call.Length());
}

TEST_F(EditCommandTest, EditBoxesGetTheirOwnMessagesAndOtherWindowsNothing) {
    SetWindowTextW(edit_, L"hello");
    SendMessageW(edit_, EM_SETSEL, 1, 3);
    window_.EditCommand(52, edit_);
    EXPECT_EQ(ReadClipboardText(), L"el");

    window_.EditCommand(51, edit_);
    EXPECT_EQ(EditText(), L"hlo");
    window_.EditCommand(50, edit_);  // an edit box has no redo
    EXPECT_EQ(EditText(), L"hlo");
    window_.EditCommand(49, edit_);
    EXPECT_EQ(EditText(), L"hello");

    ASSERT_TRUE(WriteClipboardText(L"Z"));
    SendMessageW(edit_, EM_SETSEL, 0, 0);
    window_.EditCommand(53, edit_);
    EXPECT_EQ(EditText(), L"Zhello");
    window_.EditCommand(54, edit_);  // nor a duplicate
    EXPECT_EQ(EditText(), L"Zhello");
    window_.EditCommand(55, edit_);
    EXPECT_EQ(EditSelection(), std::make_pair(DWORD{0}, DWORD{6}));

    // Neither a button nor no window at all takes an edit command.
    SetEditorText("text");
    ASSERT_TRUE(WriteClipboardText(L"kept"));
    for (const int32_t command : {49, 50, 51, 52, 53, 54, 55}) {
        window_.EditCommand(command, button_);
        window_.EditCommand(command, nullptr);
    }
    EXPECT_EQ(ReadClipboardText(), L"kept");
    EXPECT_EQ(EditorText(), "text");
    EXPECT_EQ(EditText(), L"Zhello");
}

// The enabled and checked states of the entries of `menu`.
struct MenuStates {
    HMENU menu;
    [[nodiscard]] bool Enabled(UINT id) const {
        return (GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    [[nodiscard]] bool Checked(UINT id) const { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
};

class MenuStateTest : public EditCommandTest {
protected:
    void SetUp() override {
        EditCommandTest::SetUp();
        if (HasFatalFailure()) return;
        menu_ = CreatePopupMenu();
        ASSERT_NE(menu_, nullptr);
        const std::array<uint32_t, 10> ids{IDM_UNDO,       IDM_REDO,      IDM_CUT,  IDM_COPY,         IDM_PASTE,
                                           IDM_SELECT_ALL, IDM_DUPLICATE, IDM_WRAP, IDM_SHOW_SIDEBAR, IDM_FIND};
        AppendMenuItems(menu_, Instance(), ids);
    }
    void TearDown() override {
        if (menu_) DestroyMenu(menu_);
    }
    // The seven edit entries' enabled flags, in the order undo, redo, cut, copy, paste, select all, duplicate.
    std::array<bool, 7> EditEntries() {
        const MenuStates states{menu_};
        return {states.Enabled(IDM_UNDO),     states.Enabled(IDM_REDO),  states.Enabled(IDM_CUT),
                states.Enabled(IDM_COPY),     states.Enabled(IDM_PASTE), states.Enabled(IDM_SELECT_ALL),
                states.Enabled(IDM_DUPLICATE)};
    }

    HMENU menu_ = nullptr;
};

TEST_F(MenuStateTest, TheEditorsStateEnablesTheEditEntries) {
    ASSERT_TRUE(WriteClipboardText(L"x"));
    SetEditorText("");
    SetFocus(window_.editor.hwnd());
    ASSERT_EQ(GetFocus(), window_.editor.hwnd());
    window_.OnInitMenuPopup(menu_);
    EXPECT_EQ(EditEntries(), (std::array<bool, 7>{false, false, false, false, true, false, true}));

    window_.editor.call().AddText(3, "abc");  // undoable, and text to cut, copy and select
    window_.OnInitMenuPopup(menu_);
    EXPECT_EQ(EditEntries(), (std::array<bool, 7>{true, false, true, true, true, true, true}));

    window_.editor.call().Undo();
    window_.OnInitMenuPopup(menu_);
    EXPECT_EQ(EditEntries(), (std::array<bool, 7>{false, true, false, false, true, false, true}));
    EXPECT_TRUE(MenuStates{menu_}.Enabled(IDM_FIND)) << "entries without a rule stay as they were";
}

TEST_F(MenuStateTest, AnEditBoxAnswersForItselfAndOtherWindowsGreyEverything) {
    SetWindowTextW(edit_, L"hello");
    SetFocus(edit_);
    ASSERT_EQ(GetFocus(), edit_);
    SendMessageW(edit_, EM_SETSEL, 2, 2);
    ASSERT_TRUE(WriteClipboardText(L"x"));
    window_.OnInitMenuPopup(menu_);
    EXPECT_EQ(EditEntries(), (std::array<bool, 7>{false, false, false, false, true, true, false}));

    SendMessageW(edit_, EM_SETSEL, 1, 4);
    SendMessageW(edit_, WM_CUT, 0, 0);
    window_.OnInitMenuPopup(menu_);
    EXPECT_EQ(EditEntries(), (std::array<bool, 7>{true, false, false, false, true, true, false}));
    SendMessageW(edit_, EM_SETSEL, 0, 1);
    window_.OnInitMenuPopup(menu_);
    EXPECT_EQ(EditEntries(), (std::array<bool, 7>{true, false, true, true, true, true, false}));

    SetFocus(button_);
    ASSERT_EQ(GetFocus(), button_);
    window_.OnInitMenuPopup(menu_);
    EXPECT_EQ(EditEntries(), (std::array<bool, 7>{}));
}

TEST_F(MenuStateTest, WrapAndSidebarEntriesAreCheckedAsTheyAre) {
    window_.editor.SetWrap(true);
    window_.sidebarVisible = false;
    window_.OnInitMenuPopup(menu_);
    EXPECT_TRUE(MenuStates{menu_}.Checked(IDM_WRAP));
    EXPECT_FALSE(MenuStates{menu_}.Checked(IDM_SHOW_SIDEBAR));

    window_.editor.SetWrap(false);
    window_.sidebarVisible = true;
    window_.OnInitMenuPopup(menu_);
    EXPECT_FALSE(MenuStates{menu_}.Checked(IDM_WRAP));
    EXPECT_TRUE(MenuStates{menu_}.Checked(IDM_SHOW_SIDEBAR));
}

}  // namespace
}  // namespace lq
