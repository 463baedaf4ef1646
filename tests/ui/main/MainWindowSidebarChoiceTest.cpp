#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "MainWindowFixture.h"
#include "resources/ResourceIds.h"
#include "support/KeyPress.h"

// The sidebar setting keeps what the user chose with the sidebar toggle, whatever stands in the
// sidebar's place at the moment of a save: the search view, or the tree shown only for a label edit.
namespace lq::test {
namespace {

constexpr Modifiers kCtrl{true, false, false};
constexpr Modifiers kCtrlShift{true, true, false};

class MainWindowSidebarChoiceTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        const int64_t project = AddProject("Work");
        note = AddNote(project, "Plan", "one");
        SetSetting("last.note_id", std::to_string(note));
        Start();
        if (HasFatalFailure()) return;
        SetFocus(main->editor.hwnd());
        ASSERT_EQ(GetFocus(), main->editor.hwnd());
    }

    // A key pressed in the focused window and taken by the window's own message loop: the loop runs
    // until the quit message posted behind the key, so the pre-translation, the translation and the
    // dispatch all see it as they see the keyboard's.
    void PressThroughLoop(UINT key, Modifiers modifiers = {}) {
        const HWND target = GetFocus();
        ASSERT_NE(target, nullptr);
        HeldKeyboardState held(modifiers, key);
        const LPARAM bits = 1 | (static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
        PostMessageW(target, WM_KEYDOWN, key, bits);
        PostMessageW(target, WM_KEYUP, key, bits | (LPARAM{1} << 30) | (LPARAM{1} << 31));
        PostQuitMessage(0);
        (void)main->RunMessageLoop();
        Pump();
    }

    // A menu entry chosen: what the menu strip sends the window.
    void Choose(UINT menuId) {
        SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(menuId, 0), 0);
        Pump();
    }

    [[nodiscard]] HWND LabelEditBox() const { return TreeView_GetEditControl(main->sidebar.hwnd()); }
    [[nodiscard]] bool TreeShown() const { return IsWindowVisible(main->sidebar.hwnd()) != FALSE; }

    void HideSidebarWithItsKey() {
        PressThroughLoop('B', kCtrl);
        ASSERT_FALSE(main->sidebarVisible);
        ASSERT_FALSE(TreeShown());
        PressThroughLoop('S', kCtrl);
        ASSERT_EQ(StoredSetting("sidebar.visible"), "0");
    }

    int64_t note = 0;
};

TEST_F(MainWindowSidebarChoiceTest, TheSearchViewInAHiddenSidebarsPlaceIsSavedAsHidden) {
    HideSidebarWithItsKey();
    PressThroughLoop('F', kCtrlShift);
    ASSERT_TRUE(main->globalViewShown);
    ASSERT_EQ(GetFocus(), main->globalView->queryEdit());
    PressThroughLoop('S', kCtrl);
    EXPECT_EQ(StoredSetting("sidebar.visible"), "0") << "the view stands in the column, the user hid the sidebar";

    PressThroughLoop(VK_ESCAPE);
    EXPECT_FALSE(main->globalViewShown);
    EXPECT_FALSE(TreeShown());
    EXPECT_FALSE(main->sidebarVisible);

    // Shown by the user: saved as shown while the view stands in its place.
    PressThroughLoop('B', kCtrl);
    ASSERT_TRUE(TreeShown());
    PressThroughLoop('F', kCtrlShift);
    ASSERT_TRUE(main->globalViewShown);
    PressThroughLoop('S', kCtrl);
    EXPECT_EQ(StoredSetting("sidebar.visible"), "1");
}

TEST_F(MainWindowSidebarChoiceTest, ALabelEditThatPeeksIsSavedAsHiddenAndEndsHidden) {
    HideSidebarWithItsKey();
    PressThroughLoop(VK_F2);
    ASSERT_NE(LabelEditBox(), nullptr);
    ASSERT_TRUE(TreeShown()) << "the sidebar peeks for the edit";
    Choose(IDM_SAVE);
    EXPECT_EQ(StoredSetting("sidebar.visible"), "0");

    PressThroughLoop(VK_ESCAPE);  // the label edit box's own key
    EXPECT_EQ(LabelEditBox(), nullptr);
    EXPECT_FALSE(TreeShown());
    EXPECT_FALSE(main->sidebarVisible);
}

TEST_F(MainWindowSidebarChoiceTest, TheSearchViewOpenedDuringAPeekLeavesTheSidebarHiddenWhenItCloses) {
    HideSidebarWithItsKey();
    PressThroughLoop(VK_F2);
    ASSERT_NE(LabelEditBox(), nullptr);
    Choose(IDM_SEARCH_ALL_NOTES);
    ASSERT_TRUE(main->globalViewShown);
    EXPECT_EQ(LabelEditBox(), nullptr) << "the edit ended with its box's focus";
    PressThroughLoop('S', kCtrl);
    EXPECT_EQ(StoredSetting("sidebar.visible"), "0");

    PressThroughLoop(VK_ESCAPE);
    EXPECT_FALSE(main->globalViewShown);
    EXPECT_FALSE(TreeShown()) << "the sidebar the user hid came back";
    EXPECT_FALSE(main->sidebarVisible);
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
}

TEST_F(MainWindowSidebarChoiceTest, ALabelEditStartedFromTheSearchViewEndsWithTheSidebarHidden) {
    HideSidebarWithItsKey();
    PressThroughLoop('F', kCtrlShift);
    ASSERT_TRUE(main->globalViewShown);
    SetFocus(main->editor.hwnd());
    PressThroughLoop(VK_F2);  // names the open note: the tree takes the view's place for the edit
    ASSERT_NE(LabelEditBox(), nullptr);
    ASSERT_TRUE(TreeShown());
    Choose(IDM_SAVE);
    EXPECT_EQ(StoredSetting("sidebar.visible"), "0");

    PressThroughLoop(VK_ESCAPE);
    EXPECT_EQ(LabelEditBox(), nullptr);
    EXPECT_FALSE(TreeShown());
    EXPECT_FALSE(main->sidebarVisible);
}

}  // namespace
}  // namespace lq::test
