// The context menus of the sidebar and the editor, tracked for real and answered with keys.
#include <gtest/gtest.h>

#include <vector>

#include "MainWindowNotesFixture.h"
#include "resources/ResourceIds.h"

namespace lq::test {
namespace {

// What the open menu looked like, and the keys that answer it. A thread timer does both once the
// menu's own loop runs; a second one ends any menu still open, so none outlives its test.
struct MenuAnswer {
    std::vector<UINT> keys;  // posted once the menu is up; empty: cancel with EndMenu
    bool seen = false;
    RECT rect{};
    int itemCount = -1;
    std::vector<bool> greyed;
};
MenuAnswer* answer = nullptr;
HWND answerTarget = nullptr;

void CALLBACK AnswerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (!answer || !menuWindow || !IsWindowVisible(menuWindow)) return;
    KillTimer(nullptr, timer);
    answer->seen = true;
    GetWindowRect(menuWindow, &answer->rect);
    if (HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0))) {
        answer->itemCount = GetMenuItemCount(menu);
        for (int i = 0; i < answer->itemCount; ++i) {
            answer->greyed.push_back((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0);
        }
    }
    if (answer->keys.empty()) {
        EndMenu();
        return;
    }
    for (UINT key : answer->keys) {
        PostMessageW(answerTarget, WM_KEYDOWN, key, 0);
        PostMessageW(answerTarget, WM_KEYUP, key, 0xC0000000);
    }
}

void CALLBACK EndStrayMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EndMenu();
}

class MainWindowContextMenuTest : public MainWindowNotesFixture {
protected:
    void SetUp() override {
        MainWindowNotesFixture::SetUp();
        answer = &menu_;
    }
    void TearDown() override {
        answer = nullptr;
        MainWindowNotesFixture::TearDown();
    }
    // Arms the timers for the next menu the test opens.
    void AnswerWith(std::vector<UINT> keys) {
        menu_ = MenuAnswer{};
        menu_.keys = std::move(keys);
        answerTarget = hwnd();
        SetTimer(nullptr, 0, 20, AnswerMenu);
        strayTimer_ = SetTimer(nullptr, 0, 3000, EndStrayMenu);
    }
    void Disarm() { KillTimer(nullptr, strayTimer_); }
    // The WM_COMMAND the menu posted, if any, taken off the queue.
    std::optional<WPARAM> TakePostedCommand() {
        MSG message;
        if (!PeekMessageW(&message, hwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE)) return std::nullopt;
        return message.wParam;
    }

    MenuAnswer menu_;
    UINT_PTR strayTimer_ = 0;
};

TEST_F(MainWindowContextMenuTest, TrackMenuReturnsTheChoiceAndDestroysTheMenu) {
    Start();
    const size_t records = main->darkMenu.itemCount();
    const auto track = [&](std::vector<UINT> keys) {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, 41, L"first");
        AppendMenuW(menu, MF_STRING, 42, L"second");
        AnswerWith(std::move(keys));
        const UINT chosen = main->TrackMenu(menu, POINT{100, 100});
        Disarm();
        EXPECT_TRUE(menu_.seen);
        EXPECT_FALSE(IsMenu(menu));
        EXPECT_EQ(main->darkMenu.itemCount(), records);  // the owner-drawn records went with it
        return chosen;
    };
    EXPECT_EQ(track({}), 0u);
    EXPECT_EQ(track({VK_UP, VK_RETURN}), 42u);
}

TEST_F(MainWindowContextMenuTest, SidebarMenuOnANoteRunsTheChosenCommandAfterItCloses) {
    const int64_t project = AddProject("P");
    const int64_t first = AddNote(project, "first");
    const int64_t second = AddNote(project, "second");
    SetSetting("last.note_id", std::to_string(first));
    Start();
    main->sidebar.Select({false, second});  // a right click selects the row before the menu opens

    TreeAction action;
    action.kind = TreeAction::ContextMenu;
    action.item = TreeItemKey{false, second};
    action.screenPoint = POINT{120, 140};
    AnswerWith({VK_UP, VK_RETURN});  // the last entry: delete
    main->ShowTreeContextMenu(action);
    Disarm();
    EXPECT_EQ(menu_.itemCount, 3);
    EXPECT_EQ(menu_.greyed, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(menu_.rect.left, 120);
    EXPECT_EQ(menu_.rect.top, 140);
    EXPECT_EQ(workspace->tree.FindProject(project)->notes.size(), 2u);  // nothing ran inside the menu

    ASSERT_TRUE(PumpUntil([&] { return workspace->tree.FindNote(second) == nullptr; }));
    EXPECT_EQ(main->status.notice(), L"「second」を削除しました（Ctrl+Z で元に戻す）");
}

TEST_F(MainWindowContextMenuTest, SidebarMenuOnEmptySpaceGreysRenameAndDelete) {
    Start();
    TreeAction action;
    action.kind = TreeAction::ContextMenu;
    action.screenPoint = POINT{50, 60};
    AnswerWith({});
    main->ShowTreeContextMenu(action);
    Disarm();
    EXPECT_EQ(menu_.itemCount, 4);
    EXPECT_EQ(menu_.greyed, (std::vector<bool>{false, false, true, true}));
    EXPECT_FALSE(TakePostedCommand());
}

TEST_F(MainWindowContextMenuTest, EditorMenuFromTheKeyboardOpensBelowTheCaretAndActsOnTheEditor) {
    const int64_t project = AddProject("P");
    const int64_t note = AddNote(project, "n", "line one\r\nline two\r\nline three");
    SetSetting("last.note_id", std::to_string(note));
    Start();
    call().GotoPos(call().PositionFromLine(1) + 4);
    SetFocus(tree());  // the sidebar has the focus: the commands still go to the editor

    const Scintilla::Position caret = call().CurrentPos();
    POINT expected{call().PointXFromPosition(caret),
                   call().PointYFromPosition(caret) + call().TextHeight(call().LineFromPosition(caret))};
    ClientToScreen(main->editor.hwnd(), &expected);

    AnswerWith({VK_UP, VK_RETURN});  // the last entry: select all
    main->ShowEditorContextMenu(static_cast<LPARAM>(-1));
    Disarm();
    EXPECT_EQ(menu_.itemCount, 8);
    EXPECT_EQ(menu_.rect.left, expected.x);
    EXPECT_EQ(menu_.rect.top, expected.y);
    // The states follow the editor: nothing to undo or redo yet, and a text to select.
    ASSERT_EQ(menu_.greyed.size(), 8u);
    const EditState state = main->editor.GetEditState();
    EXPECT_FALSE(state.canUndo);
    EXPECT_TRUE(menu_.greyed[0]);
    EXPECT_TRUE(menu_.greyed[1]);
    EXPECT_EQ(menu_.greyed[3], !state.canCut);
    EXPECT_EQ(menu_.greyed[4], !state.canCopy);
    EXPECT_FALSE(menu_.greyed[7]);
    EXPECT_EQ(call().SelectionStart(), 0);
    EXPECT_EQ(call().SelectionEnd(), call().Length());
    EXPECT_EQ(GetFocus(), tree());
}

TEST_F(MainWindowContextMenuTest, EditorMenuAtAMousePointKeepsThePoint) {
    Start();
    AnswerWith({});
    main->ShowEditorContextMenu(MAKELPARAM(200, 210));
    Disarm();
    EXPECT_EQ(menu_.rect.left, 200);
    EXPECT_EQ(menu_.rect.top, 210);
}

}  // namespace
}  // namespace lq::test
