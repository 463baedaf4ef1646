#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstring>
#include <string>

#include "MainWindowFixture.h"
#include "resources/ResourceIds.h"
#include "support/KeyPress.h"
#include "support/editor/EditorTestWindow.h"
#include "ui/commands/MainMenu.h"

namespace lq::test {
namespace {

struct Held {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};
constexpr Held kCtrl{true, false, false};
constexpr Held kShift{false, true, false};
constexpr Held kAlt{false, false, true};
constexpr LPARAM kReleaseBits = (LPARAM{1} << 30) | (LPARAM{1} << 31);

// The main window with one project of two notes, the first open, driven message by message as the
// message loop drives it: every message meets the pre-translation with the focused window's kind,
// and only what it leaves is translated and dispatched.
class MainWindowKeysTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        project = AddProject("Work");
        first = AddNote(project, "Plan", "one\r\ntwo\r\nthree");
        second = AddNote(project, "Ideas", "idea");
        SetSetting("last.note_id", std::to_string(first));
        Start();
        if (HasFatalFailure()) return;
        ReleaseAllKeys();
        FocusEditor();
    }
    void TearDown() override {
        ReleaseAllKeys();
        MainWindowFixture::TearDown();
    }

    static void ReleaseAllKeys() {
        std::array<BYTE, 256> state{};
        SetKeyboardState(state.data());
    }
    static void SetHeld(Held held, UINT key = 0, bool keyDown = false) {
        std::array<BYTE, 256> state{};
        state[VK_CONTROL] = state[VK_LCONTROL] = held.ctrl ? 0x80 : 0;
        state[VK_SHIFT] = state[VK_LSHIFT] = held.shift ? 0x80 : 0;
        state[VK_MENU] = state[VK_LMENU] = held.alt ? 0x80 : 0;
        if (key) state[key] = keyDown ? 0x80 : 0;
        SetKeyboardState(state.data());
    }

    void FocusEditor() {
        SetFocus(main->editor.hwnd());
        ASSERT_EQ(GetFocus(), main->editor.hwnd());
    }
    void FocusTree() {
        SetFocus(main->sidebar.hwnd());
        ASSERT_EQ(GetFocus(), main->sidebar.hwnd());
    }

    // One message through the loop's steps; true when the pre-translation consumed it.
    bool Deliver(MSG message) {
        if (main->PreTranslateMessage(message, main->FocusScope())) return true;
        TranslateMessage(&message);
        DispatchMessageW(&message);
        return false;
    }
    // What the loop would do with everything waiting.
    void LoopPump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) (void)Deliver(message);
    }

    // A key pressed and released in the focused window as the keyboard sends it; true when the
    // press was consumed. The modifiers are held while it happens and released afterwards.
    bool Press(UINT key, Held held = {}) {
        const HWND target = GetFocus();
        SetHeld(held, key, true);
        const UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
        const LPARAM bits = 1 | (static_cast<LPARAM>(scanCode) << 16) | (IsExtendedKey(key) ? (1 << 24) : 0) |
                            (held.alt ? (1 << 29) : 0);
        const bool system = held.alt || key == VK_F10;
        const bool consumed = Deliver({target, system ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN}, key, bits, 0, {}});
        LoopPump();
        SetHeld(held, key, false);
        const MSG up{GetFocus(), system ? UINT{WM_SYSKEYUP} : UINT{WM_KEYUP}, key, bits | kReleaseBits, 0, {}};
        (void)Deliver(up);
        LoopPump();
        ReleaseAllKeys();
        return consumed;
    }

    bool ToEditor(UINT message, WPARAM wParam, LPARAM lParam) {
        return Deliver({main->editor.hwnd(), message, wParam, lParam, 0, {}});
    }
    // The client point of a document position in the editor.
    POINT PointOf(int64_t position) {
        return {static_cast<LONG>(call().PointXFromPosition(position)),
                static_cast<LONG>(call().PointYFromPosition(position))};
    }
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    bool Wheel(int delta, WPARAM keys) {
        return ToEditor(WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))), 0);
    }
    bool CaretFixUpPosted() {
        MSG message;
        return PeekMessageW(&message, main->hwnd, kCaretFixUpMessage, kCaretFixUpMessage, PM_NOREMOVE) != FALSE;
    }

    int64_t project = 0;
    int64_t first = 0;
    int64_t second = 0;
};

TEST_F(MainWindowKeysTest, CtrlZIsTheEditorsOwnUndoTheTreesUndoDeleteAndTheLabelEditsOwn) {
    call().SetEmptySelection(call().Length());
    Type("!");
    EXPECT_FALSE(Press('Z', kCtrl)) << "left to the component";
    EXPECT_EQ(EditorText(), "one\r\ntwo\r\nthree") << "the component undid the typing, no control character came";

    FocusTree();
    main->sidebar.Select(TreeItemKey{false, second});
    ASSERT_TRUE(Press(VK_DELETE));
    ASSERT_EQ(CountRows("notes"), 1);
    ASSERT_EQ(workspace->undoStack.size(), 1u);

    // In the label edit box the key is the box's own.
    main->sidebar.Select(TreeItemKey{false, first});
    ASSERT_TRUE(Press(VK_F2));
    Pump();
    ASSERT_EQ(main->FocusScope(), KeyScope::TreeLabelEdit);
    EXPECT_FALSE(Press('Z', kCtrl));
    EXPECT_EQ(CountRows("notes"), 1);
    SendMessageW(main->sidebar.hwnd(), TVM_ENDEDITLABELNOW, TRUE, 0);
    Pump();
    FocusTree();

    EXPECT_TRUE(Press('Z', kCtrl));
    EXPECT_EQ(CountRows("notes"), 2);
    EXPECT_TRUE(workspace->undoStack.empty());
}

TEST_F(MainWindowKeysTest, KeysWithARowRunTheirCommandsAndOthersReachTheComponent) {
    call().SetEmptySelection(5);  // on "two"
    EXPECT_TRUE(Press('C', kCtrl));
    EXPECT_EQ(ReadClipboardText(), L"two\r\n") << "nothing selected: the caret's line";

    call().SetSel(0, 3);
    EXPECT_TRUE(Press('C', kCtrl));
    EXPECT_EQ(ReadClipboardText(), L"one");
    EXPECT_TRUE(call().SelectionEmpty());
    EXPECT_EQ(call().CurrentPos(), 3);

    call().SetSel(0, 3);
    EXPECT_TRUE(Press(VK_F7));  // cut through the dispatcher
    EXPECT_EQ(EditorText(), "\r\ntwo\r\nthree");
    call().SetEmptySelection(call().Length());
    EXPECT_TRUE(Press(VK_F9));
    EXPECT_EQ(EditorText(), "\r\ntwo\r\nthreeone");

    EXPECT_FALSE(Press('X', kCtrl)) << "the component's own cut key";
    EXPECT_EQ(EditorText(), "\r\ntwo\r\n") << "nothing selected: it cut the caret's line";
    EXPECT_TRUE(Press(VK_RETURN, kShift));  // open a line above
    EXPECT_EQ(EditorText(), "\r\ntwo\r\n\r\n");

    const int32_t size = main->editor.fontSize();
    EXPECT_TRUE(Press(VK_OEM_PLUS, kCtrl));
    EXPECT_TRUE(Press(VK_OEM_PLUS, Held{true, true, false}));
    EXPECT_EQ(main->editor.fontSize(), size + 2);
    EXPECT_TRUE(Press('0', kCtrl));
    EXPECT_EQ(main->editor.fontSize(), 16);

    const bool wrap = main->editor.wrap();
    FocusTree();
    EXPECT_TRUE(Press('Z', kAlt)) << "Alt+Z works in any window";
    EXPECT_NE(main->editor.wrap(), wrap);

    EXPECT_FALSE(Press('Q', kCtrl)) << "a key without a row";
}

TEST_F(MainWindowKeysTest, TheCompletionListClosesForBoundKeysAndLeavesTabUpAndDownToTheComponent) {
    call().SetEmptySelection(call().Length());
    call().AutoCShow(0, "alpha beta");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_FALSE(Press(VK_DOWN)) << "moves in the list";
    EXPECT_TRUE(call().AutoCActive());
    EXPECT_TRUE(Press(VK_RETURN)) << "closes the list and breaks the line";
    EXPECT_FALSE(call().AutoCActive());
    EXPECT_EQ(EditorText(), "one\r\ntwo\r\nthree\r\n");

    call().AutoCShow(0, "alpha beta");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_FALSE(Press(VK_TAB)) << "the component inserts the chosen word";
    EXPECT_FALSE(call().AutoCActive());
    EXPECT_EQ(EditorText(), "one\r\ntwo\r\nthree\r\nalpha");

    call().AutoCShow(0, "alpha beta");
    call().SetSel(0, 3);
    EXPECT_TRUE(Press(VK_ESCAPE));
    EXPECT_FALSE(call().AutoCActive());
    EXPECT_FALSE(call().SelectionEmpty()) << "Esc only closed the list";
}

TEST_F(MainWindowKeysTest, EscWithNothingToCloseLeavesOnlyTheCaretAndOtherwiseClosesThePanels) {
    call().SetSel(2, 7);
    EXPECT_TRUE(Press(VK_ESCAPE));
    EXPECT_TRUE(call().SelectionEmpty());
    EXPECT_EQ(call().CurrentPos(), 7);

    main->ShowFloating(FindPanel::Mode::Find);
    ASSERT_TRUE(main->findPanel && IsWindowVisible(main->findPanel->hwnd));
    main->ShowGlobalView(GlobalSearchView::Mode::Search);
    ASSERT_TRUE(main->globalViewShown);
    FocusEditor();
    call().SetSel(2, 7);
    (void)Press(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(main->findPanel->hwnd));
    EXPECT_FALSE(main->globalViewShown) << "one Esc closes both panels";
    EXPECT_FALSE(call().SelectionEmpty());
}

TEST_F(MainWindowKeysTest, F6SwitchesBetweenSidebarAndEditorWhileTheSidebarIsShown) {
    EXPECT_TRUE(Press(VK_F6));
    EXPECT_EQ(GetFocus(), main->sidebar.hwnd());
    EXPECT_TRUE(Press(VK_F6, kShift));
    EXPECT_EQ(GetFocus(), main->editor.hwnd());

    main->ShowGlobalView(GlobalSearchView::Mode::Search);
    ASSERT_TRUE(main->globalViewShown);
    FocusEditor();
    EXPECT_TRUE(Press(VK_F6));
    EXPECT_EQ(GetFocus(), main->globalView->queryEdit());
    EXPECT_TRUE(Press(VK_F6));
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    ASSERT_TRUE(main->CloseGlobalView());

    main->SetSidebarVisible(main->sidebarWidthDip, false);
    FocusEditor();
    EXPECT_TRUE(Press(VK_F6));
    EXPECT_EQ(GetFocus(), main->editor.hwnd()) << "no sidebar to go to";
}

TEST_F(MainWindowKeysTest, TheSidebarToggleTakesTheFocusOutOfWhatItHides) {
    FocusTree();
    EXPECT_TRUE(Press('B', kCtrl));
    EXPECT_FALSE(main->sidebarVisible);
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_TRUE(Press('B', kCtrl));
    EXPECT_TRUE(main->sidebarVisible);

    main->ShowGlobalView(GlobalSearchView::Mode::Search);
    ASSERT_TRUE(main->globalViewShown);
    SetFocus(main->globalView->queryEdit());
    ASSERT_EQ(GetFocus(), main->globalView->queryEdit());
    EXPECT_TRUE(Press('B', kCtrl));
    EXPECT_FALSE(main->sidebarVisible);
    EXPECT_EQ(GetFocus(), main->editor.hwnd()) << "never typing into a hidden box";
}

TEST_F(MainWindowKeysTest, ControlCharactersNeverReachTheNoteAsText) {
    const std::string before = EditorText();
    for (const WPARAM character :
         {WPARAM{0x01}, WPARAM{0x09}, WPARAM{0x0D}, WPARAM{0x1B}, WPARAM{0x1F}, WPARAM{0x7F}}) {
        SCOPED_TRACE(testing::Message() << "character " << character);
        EXPECT_TRUE(ToEditor(WM_CHAR, character, 1));
    }
    EXPECT_EQ(EditorText(), before);
    call().SetEmptySelection(0);
    EXPECT_FALSE(ToEditor(WM_CHAR, L'a', 1));
    EXPECT_FALSE(ToEditor(WM_CHAR, 0x3042, 1));  // あ
    EXPECT_EQ(EditorText(), "a\xE3\x81\x82" + before);
    EXPECT_FALSE(Deliver({main->sidebar.hwnd(), WM_CHAR, 0x01, 1, 0, {}})) << "only the editor's are dropped";
}

TEST_F(MainWindowKeysTest, CtrlWheelZoomsByWholeNotchesAndKeepsTheRemainder) {
    const int32_t size = main->editor.fontSize();
    EXPECT_TRUE(Wheel(360, MK_CONTROL));
    EXPECT_EQ(main->editor.fontSize(), size + 3);
    EXPECT_TRUE(Wheel(100, MK_CONTROL));
    EXPECT_EQ(main->editor.fontSize(), size + 3);
    EXPECT_TRUE(Wheel(20, MK_CONTROL));
    EXPECT_EQ(main->editor.fontSize(), size + 4);
    EXPECT_EQ(main->wheelDelta, 0);
    EXPECT_TRUE(Wheel(-250, MK_CONTROL));
    EXPECT_EQ(main->editor.fontSize(), size + 2);
    EXPECT_EQ(main->wheelDelta, -10);
    EXPECT_FALSE(Wheel(-120, 0)) << "a plain wheel scrolls";
    EXPECT_EQ(main->editor.fontSize(), size + 2);
}

TEST_F(MainWindowKeysTest, TheActivatingClickOnlyFocusesTheEditor) {
    FocusTree();
    call().SetEmptySelection(0);
    const POINT target = PointOf(7);
    main->clickActivated = true;
    EXPECT_TRUE(ToEditor(WM_LBUTTONDOWN, MK_LBUTTON, At(target.x, target.y)));
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_FALSE(main->clickActivated);
    EXPECT_TRUE(main->swallowUntilButtonUp);
    EXPECT_TRUE(ToEditor(WM_MOUSEMOVE, MK_LBUTTON, At(target.x + 20, target.y)));
    EXPECT_TRUE(ToEditor(WM_LBUTTONUP, 0, At(target.x + 20, target.y)));
    EXPECT_FALSE(main->swallowUntilButtonUp);
    EXPECT_FALSE(ToEditor(WM_MOUSEMOVE, 0, At(target.x, target.y)));
    EXPECT_EQ(call().CurrentPos(), 0) << "neither caret nor selection moved";
    EXPECT_TRUE(call().SelectionEmpty());

    main->clickActivated = true;
    EXPECT_TRUE(ToEditor(WM_RBUTTONDOWN, MK_RBUTTON, At(target.x, target.y)));
    EXPECT_FALSE(main->swallowUntilButtonUp);

    // Anything else first forgets the activation.
    main->clickActivated = true;
    main->swallowUntilButtonUp = true;
    EXPECT_FALSE(Deliver({main->sidebar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1), 0, {}}));
    EXPECT_FALSE(main->clickActivated);
    EXPECT_FALSE(main->swallowUntilButtonUp);
    (void)Deliver({main->sidebar.hwnd(), WM_LBUTTONUP, 0, At(1, 1), 0, {}});
}

TEST_F(MainWindowKeysTest, CtrlClickInTheTextStartsARectangularSelectionButNotInTheMargin) {
    const int margin = call().MarginWidthN(0);
    ASSERT_GT(margin, 0);
    const POINT from = PointOf(1);
    const POINT to = PointOf(9);  // "two": two lines further down, further right
    SetHeld(kCtrl);
    EXPECT_TRUE(ToEditor(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, At(from.x, from.y)));
    std::array<BYTE, 256> state{};
    GetKeyboardState(state.data());
    EXPECT_TRUE(state[VK_CONTROL] & 0x80) << "the keyboard state is back";
    EXPECT_FALSE(state[VK_MENU] & 0x80);
    (void)ToEditor(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, At(to.x, to.y));
    (void)ToEditor(WM_LBUTTONUP, MK_CONTROL, At(to.x, to.y));
    EXPECT_TRUE(call().SelectionIsRectangle());

    call().SetEmptySelection(0);
    EXPECT_FALSE(ToEditor(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, At(margin / 2, from.y))) << "passed on unchanged";
    EXPECT_FALSE(main->marginClick) << "a Ctrl+click is no plain margin click";
    (void)ToEditor(WM_LBUTTONUP, MK_CONTROL, At(margin / 2, from.y));
    EXPECT_FALSE(call().SelectionIsRectangle());
    EXPECT_FALSE(CaretFixUpPosted());
}

TEST_F(MainWindowKeysTest, AWholeLineClickInTheMarginOrADoubleClickAsksForTheCaretFixUp) {
    const int margin = call().MarginWidthN(0);
    const POINT line = PointOf(5);  // "two"
    EXPECT_FALSE(ToEditor(WM_LBUTTONDOWN, MK_LBUTTON, At(margin / 2, line.y + 2)));
    EXPECT_TRUE(main->marginClick);
    EXPECT_FALSE(ToEditor(WM_LBUTTONUP, 0, At(margin / 2, line.y + 2)));
    ASSERT_EQ(call().SelectionStart(), 5) << "the component selected the line";
    EXPECT_EQ(main->pendingAnchor, call().Anchor());
    EXPECT_EQ(main->pendingCaret, call().CurrentPos());
    EXPECT_TRUE(CaretFixUpPosted());
    EXPECT_FALSE(main->marginClick);
    Pump();

    main->pendingAnchor = main->pendingCaret = -1;
    const POINT text = PointOf(2);
    EXPECT_FALSE(ToEditor(WM_LBUTTONDOWN, MK_LBUTTON, At(text.x, text.y + 2)));
    EXPECT_FALSE(main->marginClick);
    EXPECT_FALSE(ToEditor(WM_LBUTTONUP, 0, At(text.x, text.y + 2)));
    EXPECT_FALSE(CaretFixUpPosted()) << "a plain click in the text";
    EXPECT_EQ(main->pendingCaret, -1);

    main->doubleClicked = true;
    EXPECT_FALSE(ToEditor(WM_LBUTTONUP, 0, At(text.x, text.y + 2)));
    EXPECT_TRUE(CaretFixUpPosted());
    EXPECT_FALSE(main->doubleClicked);
    Pump();
}

TEST_F(MainWindowKeysTest, ARightPressInTheEditorOnlyFocusesIt) {
    FocusTree();
    call().SetSel(0, 3);
    EXPECT_TRUE(ToEditor(WM_RBUTTONDOWN, MK_RBUTTON, At(PointOf(8).x, PointOf(8).y)));
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_EQ(call().SelectionStart(), 0);
    EXPECT_EQ(call().SelectionEnd(), 3);
}

TEST_F(MainWindowKeysTest, NoticesLastUntilTheNextKeyOrClick) {
    main->SetStatusMessage(L"notice");
    main->SetNotFound(true);
    EXPECT_FALSE(Deliver({main->editor.hwnd(), WM_KEYUP, 'A', 0xC0000001, 0, {}}));
    EXPECT_EQ(main->status.notice(), L"notice") << "a release is no press";
    (void)Press(VK_SHIFT);
    EXPECT_TRUE(main->status.notice().empty());
    EXPECT_FALSE(main->status.notFound());

    main->SetStatusMessage(L"notice");
    (void)Deliver({main->sidebar.hwnd(), WM_MBUTTONDOWN, MK_MBUTTON, At(1, 1), 0, {}});
    EXPECT_TRUE(main->status.notice().empty());
}

TEST_F(MainWindowKeysTest, TheFindPanelsReplaceKeysAreNoCommands) {
    const std::string before = EditorText();
    const HWND focus = GetFocus();
    EXPECT_TRUE(main->ExecuteCommand(57));
    EXPECT_TRUE(main->ExecuteCommand(58));
    EXPECT_TRUE(main->ExecuteCommand(999));
    Pump();
    EXPECT_EQ(EditorText(), before);
    EXPECT_EQ(GetFocus(), focus);
    EXPECT_FALSE(main->findPanel && IsWindowVisible(main->findPanel->hwnd));
}

TEST_F(MainWindowKeysTest, AComponentFailureLeftFromEarlierWorkIsClearedAndCostsNoKeystroke) {
    // The component's failure in an earlier message (its own, or one sent to it directly) leaves its
    // sticky status behind; the next key or click is not to blame and still does its work.
    const auto leaveFailure = [&] { SendMessageW(main->editor.hwnd(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0); };
    call().SetEmptySelection(0);
    leaveFailure();
    EXPECT_TRUE(Press(VK_RETURN)) << "a key with a row: its command";
    EXPECT_EQ(call().Status(), Scintilla::Status::Ok);
    EXPECT_EQ(EditorText(), "\r\none\r\ntwo\r\nthree");

    leaveFailure();
    EXPECT_FALSE(Press('X', kCtrl)) << "a key without a row: the component's own cut";
    EXPECT_EQ(EditorText(), "\r\ntwo\r\nthree");

    const POINT at = PointOf(call().Length());
    leaveFailure();
    EXPECT_FALSE(ToEditor(WM_LBUTTONDOWN, MK_LBUTTON, At(at.x, at.y))) << "a click reaches the component";
    (void)ToEditor(WM_LBUTTONUP, 0, At(at.x, at.y));
    EXPECT_EQ(call().Status(), Scintilla::Status::Ok);
}

TEST_F(MainWindowKeysTest, FindReplaceAndGoToLineWaitForAnOpenNote) {
    workspace->ShowEmptyDocument();
    for (const int32_t command : {37, 38, 39}) EXPECT_TRUE(main->ExecuteCommand(command));
    EXPECT_FALSE(main->findPanel && IsWindowVisible(main->findPanel->hwnd));

    ASSERT_TRUE(workspace->OpenNote(first));
    EXPECT_TRUE(main->ExecuteCommand(39));
    ASSERT_TRUE(main->findPanel);
    EXPECT_TRUE(IsWindowVisible(main->findPanel->hwnd));
}

TEST_F(MainWindowKeysTest, ExitAsksTheWindowToCloseAndGoToEditorFocusesIt) {
    FocusTree();
    EXPECT_TRUE(main->ExecuteCommand(11));
    EXPECT_EQ(GetFocus(), main->editor.hwnd());

    EXPECT_TRUE(main->ExecuteCommand(56));
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, main->hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << "posted, not run at once";
    EXPECT_TRUE(IsWindow(main->hwnd));
}

TEST_F(MainWindowKeysTest, TheTreeOffersUndoOnlyForADeletionToUndo) {
    HMENU menu = CreatePopupMenu();
    ASSERT_NE(menu, nullptr);
    const std::array<uint32_t, 7> ids{IDM_UNDO, IDM_REDO, IDM_CUT, IDM_COPY, IDM_PASTE, IDM_SELECT_ALL, IDM_DUPLICATE};
    AppendMenuItems(menu, GetModuleHandleW(nullptr), ids);
    const auto enabled = [&](UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) == 0; };

    FocusTree();
    main->OnInitMenuPopup(menu);
    for (const uint32_t id : ids) EXPECT_FALSE(enabled(id)) << id;

    main->sidebar.Select(TreeItemKey{false, second});
    ASSERT_TRUE(Press(VK_DELETE));
    FocusTree();
    main->OnInitMenuPopup(menu);
    EXPECT_TRUE(enabled(IDM_UNDO));
    for (const uint32_t id : ids) {
        if (id == IDM_UNDO) continue;
        EXPECT_FALSE(enabled(id)) << id;
    }
    DestroyMenu(menu);
}

}  // namespace
}  // namespace lq::test
