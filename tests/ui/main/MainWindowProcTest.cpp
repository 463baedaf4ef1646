#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>
#include <chrono>

#include "MainWindowFixture.h"
#include "resources/ResourceIds.h"
#include "support/DialogKeys.h"
#include "support/DialogWatcher.h"
#include "ui/commands/KeyBindings.h"

namespace lq::test {
namespace {

using namespace std::chrono_literals;

const std::wstring kCaption = L"Lanternquill";

// Refuses every change of a note's row on the window's own connection, so saves fail and roll back.
constexpr char kRefuseNoteUpdates[] =
    "CREATE TEMP TRIGGER refuse_note_updates BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END;";
constexpr char kAllowNoteUpdates[] = "DROP TRIGGER IF EXISTS temp.refuse_note_updates;";
// Counts the writes of a note's text (the trigger's table lives as long as the connection).
constexpr char kCountContentWrites[] =
    "CREATE TEMP TABLE content_writes (id INTEGER);"
    "CREATE TEMP TRIGGER count_content_writes AFTER UPDATE OF content ON notes "
    "BEGIN INSERT INTO content_writes VALUES (new.id); END;";

// A window with one note open: "Work" / "Plan" holding "one".
class MainWindowProcTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        project = AddProject("Work");
        note = AddNote(project, "Plan", "one");
        SetSetting("last.note_id", std::to_string(note));
    }

    void StartAtEnd(const MainWindowStart& options = {}) {
        Start(options);
        call().DocumentEnd();
    }

    int64_t ContentWrites() { return CountRows("content_writes"); }

    int64_t project = 0;
    int64_t note = 0;
};

TEST_F(MainWindowProcTest, TypingArmsTheTimerAndTheSavePointKillsIt) {
    StartAtEnd();
    EXPECT_FALSE(AutosaveTimerArmed());
    Type("x");
    EXPECT_TRUE(AutosaveTimerArmed());
    call().Undo();  // back to the saved text
    EXPECT_FALSE(call().Modify());
    EXPECT_FALSE(AutosaveTimerArmed());
}

TEST_F(MainWindowProcTest, TheTimerSavesAndIsKilledByTheSave) {
    StartAtEnd();
    Type(" two");
    SendMessageW(hwnd(), WM_TIMER, kAutosaveTimerId, 0);
    EXPECT_EQ(Stored(note).content, "one two");
    EXPECT_FALSE(call().Modify());
    EXPECT_FALSE(AutosaveTimerArmed());
}

TEST_F(MainWindowProcTest, TheTimerWithNothingModifiedSavesNothing) {
    Exec(kCountContentWrites);
    StartAtEnd();
    SendMessageW(hwnd(), WM_TIMER, kAutosaveTimerId, 0);
    EXPECT_EQ(ContentWrites(), 0);
    EXPECT_FALSE(AutosaveTimerArmed());
}

TEST_F(MainWindowProcTest, EveryEditPostponesTheSaveUntilAPause) {
    Exec(kCountContentWrites);
    StartAtEnd();
    // Six edits 150 ms apart span longer than the 800 ms delay; only the pause after them saves.
    for (const char* piece : {" a", " b", " c", " d", " e", " f"}) {
        Type(piece);
        PumpFor(150ms);
    }
    ASSERT_TRUE(PumpUntil([&] { return Stored(note).content == "one a b c d e f"; }));
    EXPECT_EQ(ContentWrites(), 1);
    PumpFor(900ms);
    EXPECT_EQ(ContentWrites(), 1);
}

TEST_F(MainWindowProcTest, TypedKeysReachTheEditorAndAreSaved) {
    StartAtEnd();
    for (const wchar_t c : std::wstring(L" keys")) TypeChar(c);
    EXPECT_EQ(EditorText(), "one keys");
    ASSERT_TRUE(PumpUntil([&] { return Stored(note).content == "one keys"; }));
}

TEST_F(MainWindowProcTest, DeactivationSavesAndRemembersTheFocus) {
    StartAtEnd();
    SetFocus(main->sidebar.hwnd());
    Type(" two");
    SendMessageW(hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Stored(note).content, "one two");
    EXPECT_EQ(main->lastFocus, main->sidebar.hwnd());

    // The focus comes back to where it was.
    SetFocus(main->editor.hwnd());
    SendMessageW(hwnd(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), main->sidebar.hwnd());
    // A child that is no longer visible hands the focus to the editor.
    ShowWindow(main->sidebar.hwnd(), SW_HIDE);
    SendMessageW(hwnd(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
}

TEST_F(MainWindowProcTest, DeactivationWhileClosingDoesNotSave) {
    StartAtEnd();
    Type(" two");
    main->closing = true;
    SendMessageW(hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Stored(note).content, "one");
    main->closing = false;
}

TEST_F(MainWindowProcTest, SessionEndAndSuspendSave) {
    struct Case {
        UINT message;
        WPARAM wParam;
        bool saves;
        LRESULT result;
    } cases[] = {
        {WM_ENDSESSION, TRUE, true, 0},
        {WM_ENDSESSION, FALSE, false, 0},
        {WM_POWERBROADCAST, PBT_APMSUSPEND, true, TRUE},
        {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, false, TRUE},
        {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, false, TRUE},
    };
    StartAtEnd();
    std::string expected = "one";
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        const std::string piece = " " + std::to_string(n++);
        Type(piece);
        EXPECT_EQ(SendMessageW(hwnd(), c.message, c.wParam, 0), c.result);
        if (c.saves) expected = EditorText();
        EXPECT_EQ(Stored(note).content, expected);
    }
    EXPECT_EQ(SendMessageW(hwnd(), WM_QUERYENDSESSION, 0, 0), 1);
}

TEST_F(MainWindowProcTest, CloseSavesEverythingAndDestroysTheWindow) {
    MainWindowStart options;
    options.sidebarWidthDip = 300;
    StartAtEnd(options);
    Type(" two");
    const HWND window = hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored(note).content, "one two");
    EXPECT_EQ(StoredSetting("sidebar.width"), "300");
    const std::optional<std::string> placement = StoredSetting("window.placement");
    ASSERT_TRUE(placement);
    EXPECT_EQ(std::count(placement->begin(), placement->end(), ','), 4) << *placement;
}

TEST_F(MainWindowProcTest, CloseWithAFailingSaveCanBeCancelled) {
    StartAtEnd();
    Type(" two");
    Exec(kRefuseNoteUpdates);
    DialogWatcher watcher([](const DialogSnapshot& d) { PressTaskDialogButton(d.window, IDS_CANCEL); }, kCaption);
    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
    const auto seen = watcher.Finish();
    ASSERT_TRUE(seen) << "no question appeared";
    EXPECT_FALSE(watcher.forced());
    EXPECT_EQ(seen->owner, hwnd());
    // Still open with the edit in it, the failure shown, and autosave trying again.
    ASSERT_TRUE(IsWindow(hwnd()));
    EXPECT_FALSE(main->closing);
    EXPECT_EQ(EditorText(), "one two");
    EXPECT_TRUE(main->status.saveFailed());
    EXPECT_TRUE(AutosaveTimerArmed());
    EXPECT_EQ(Stored(note).content, "one");

    Exec(kAllowNoteUpdates);
    const HWND window = hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored(note).content, "one two");
}

TEST_F(MainWindowProcTest, EscapeOnTheUnsavedQuestionKeepsTheWindowOpenWithItsEdits) {
    StartAtEnd();
    Type(" two");
    Exec(kRefuseNoteUpdates);
    std::atomic<bool> escapeAnswered{false};
    DialogWatcher watcher(
        [&](const DialogSnapshot& d) {
            PressEscapeIn(d.window);
            for (int i = 0; i < 150 && IsWindowVisible(d.window); ++i) Sleep(20);
            escapeAnswered = !IsWindowVisible(d.window);
            // Otherwise answered for it, so that a refused Escape fails the test instead of retrying.
            if (!escapeAnswered) PressTaskDialogButton(d.window, IDS_CANCEL);
        },
        kCaption);
    const HWND window = hwnd();
    PostMessageW(window, WM_CLOSE, 0, 0);  // as the close box asks
    Pump();
    const auto seen = watcher.Finish();
    ASSERT_TRUE(seen) << "no question appeared";
    EXPECT_TRUE(escapeAnswered) << "Escape did not answer the question";
    ASSERT_TRUE(IsWindow(window));
    EXPECT_FALSE(main->closing);
    EXPECT_EQ(EditorText(), "one two");
    EXPECT_EQ(Stored(note).content, "one");

    Exec(kAllowNoteUpdates);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored(note).content, "one two");
}

TEST_F(MainWindowProcTest, CloseWithAFailingSaveCanExitWithoutSaving) {
    StartAtEnd();
    Type(" two");
    Exec(kRefuseNoteUpdates);
    DialogWatcher watcher([](const DialogSnapshot& d) { PressTaskDialogButton(d.window, IDS_EXIT_WITHOUT_SAVING); },
                          kCaption);
    const HWND window = hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(watcher.Finish()) << "no question appeared";
    EXPECT_FALSE(watcher.forced());
    EXPECT_FALSE(IsWindow(window));
    Exec(kAllowNoteUpdates);
    EXPECT_EQ(Stored(note).content, "one");
}

TEST_F(MainWindowProcTest, CloseWithAFailingSaveRetriesUntilItSaves) {
    StartAtEnd();
    Type(" two");
    Exec(kRefuseNoteUpdates);
    sqlite3* connection = db->handle();
    std::atomic<int> allowed{-1};
    // The question is answered on the watcher's thread; the window's thread is blocked in it.
    DialogWatcher watcher(
        [&](const DialogSnapshot& d) {
            allowed = sqlite3_exec(connection, kAllowNoteUpdates, nullptr, nullptr, nullptr);
            PressTaskDialogButton(d.window, IDS_RETRY);
        },
        kCaption);
    const HWND window = hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(watcher.Finish()) << "no question appeared";
    EXPECT_FALSE(watcher.forced());
    EXPECT_EQ(allowed, SQLITE_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored(note).content, "one two");
}

TEST_F(MainWindowProcTest, AnEditorFailureInTheClosingSaveAsksInsteadOfClosing) {
    StartAtEnd();
    Type(" two");
    // Every editor call of the save now throws: that save failed, and closing must not go on unasked.
    SendMessageW(main->editor.hwnd(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
    DialogWatcher watcher([](const DialogSnapshot& d) { PressTaskDialogButton(d.window, IDS_CANCEL); }, kCaption);
    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(watcher.Finish()) << "no question appeared";
    ASSERT_TRUE(IsWindow(hwnd()));
    EXPECT_EQ(call().Status(), Scintilla::Status::Ok);
    EXPECT_EQ(EditorText(), "one two");
    const HWND window = hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Stored(note).content, "one two");
}

TEST_F(MainWindowProcTest, ClosesItselfAfterTheFirstPaintWhenAsked) {
    MainWindowStart options;
    options.show = false;
    Start(options);
    main->closeAfterFirstPaint = true;
    main->firstPaintDone = false;
    const HWND window = hwnd();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_TRUE(main->firstPaintDone);
}

TEST_F(MainWindowProcTest, SplitterDragStoresTheClampedWidth) {
    Start();
    SetClientSize(1000, 600);
    ASSERT_EQ(main->dpi, 96);
    SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(250, 300));
    ASSERT_TRUE(main->draggingSplitter);
    EXPECT_EQ(GetCapture(), hwnd());
    SendMessageW(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(700, 300));
    EXPECT_EQ(main->sidebarWidthDip, 700);  // as dragged while the drag runs
    EXPECT_EQ(ChildRect(main->sidebar.hwnd()).right, 400);
    SendMessageW(hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(700, 300));
    EXPECT_FALSE(main->draggingSplitter);
    EXPECT_EQ(main->sidebarWidthDip, 400);  // what was shown
    EXPECT_NE(GetCapture(), hwnd());

    // Left of the window: the minimum.
    SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 300));
    ASSERT_TRUE(main->draggingSplitter);
    SendMessageW(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-50, 300));
    EXPECT_EQ(main->sidebarWidthDip, 160);
    SendMessageW(hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(-50, 300));
    EXPECT_EQ(main->sidebarWidthDip, 160);

    // Losing the capture ends the drag where it was.
    SendMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(160, 300));
    SendMessageW(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 300));
    ReleaseCapture();
    EXPECT_FALSE(main->draggingSplitter);
    EXPECT_EQ(main->sidebarWidthDip, 300);
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(350, 300));
    EXPECT_EQ(main->sidebarWidthDip, 300);
}

TEST_F(MainWindowProcTest, SplitterCursor) {
    Start();
    SetClientSize(1000, 600);
    POINT onSplitter{250, 300};
    ClientToScreen(hwnd(), &onSplitter);
    ASSERT_TRUE(SetCursorPos(onSplitter.x, onSplitter.y));
    EXPECT_EQ(SendMessageW(hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(SendMessageW(hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE)),
              0);
}

TEST_F(MainWindowProcTest, NewProjectButtonHover) {
    Start();
    SetClientSize(1000, 600);
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 558));
    EXPECT_TRUE(main->newProjectHot);
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 500));
    EXPECT_FALSE(main->newProjectHot);
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 558));
    SendMessageW(hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(main->newProjectHot);

    // Hidden under the global view.
    main->globalView = std::make_unique<GlobalSearchView>();
    ASSERT_TRUE(main->globalView->Create(hwnd(), GetModuleHandleW(nullptr), main->dpi, {}));
    main->globalViewShown = true;
    main->SetSidebarVisible(250, true);
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 558));
    EXPECT_FALSE(main->newProjectHot);
}

TEST_F(MainWindowProcTest, DpiChangeRescalesEverything) {
    Start();
    RECT suggested{40, 30, 1540, 930};
    SendMessageW(hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(main->dpi, 144);
    EXPECT_EQ(main->sidebar.dpi(), 144);
    EXPECT_EQ(main->menuBar.dpi(), 144);
    EXPECT_EQ(main->editor.dpi(), 144);
    EXPECT_NE(main->uiFont, nullptr);
    RECT window{};
    GetWindowRect(hwnd(), &window);
    EXPECT_TRUE(EqualRect(&window, &suggested));
    EXPECT_EQ(main->MenuHeight(), 45);
    const RECT tree = ChildRect(main->sidebar.hwnd());
    EXPECT_EQ(tree.top, 45 + 9);
    EXPECT_EQ(tree.right, 375);  // 250 DIP at 144 DPI
    EXPECT_EQ((tree.bottom - tree.top) % 42, 0);
    EXPECT_EQ(ChildRect(main->editor.hwnd()).left, 376);
    MINMAXINFO limits{};
    SendMessageW(hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 960);
    EXPECT_EQ(limits.ptMinTrackSize.y, 600);
}

TEST_F(MainWindowProcTest, MinimumSizeAndErasing) {
    Start();
    MINMAXINFO limits{};
    EXPECT_EQ(SendMessageW(hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits)), 0);
    EXPECT_EQ(limits.ptMinTrackSize.x, 640);
    EXPECT_EQ(limits.ptMinTrackSize.y, 400);
    HDC dc = GetDC(hwnd());
    EXPECT_EQ(SendMessageW(hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ReleaseDC(hwnd(), dc);
}

TEST_F(MainWindowProcTest, TheActivationMessageRestoresTheWindow) {
    Start();
    const UINT id = ActivateMessageId();
    ASSERT_NE(id, 0u);
    EXPECT_EQ(id, RegisterWindowMessageW(L"Lanternquill.Activate"));
    ShowWindow(hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(hwnd()));
    EXPECT_EQ(SendMessageW(hwnd(), id, 0, 0), 1);
    EXPECT_FALSE(IsIconic(hwnd()));
    EXPECT_TRUE(IsWindowVisible(hwnd()));
}

TEST_F(MainWindowProcTest, CaretMovesToTheSelectionStartAfterADoubleClick) {
    StartAtEnd();
    call().SetText("hello world");
    struct Case {
        int64_t caret, anchor, pendingCaret, pendingAnchor;
        int64_t caretAfter, anchorAfter;
    } cases[] = {
        {5, 0, 5, 0, 0, 5},  // the word selected, caret at its end: swapped
        {5, 0, 5, 1, 5, 0},  // the selection changed since the click: left alone
        {0, 5, 0, 5, 0, 5},  // the caret already at the start
        {3, 3, 3, 3, 3, 3},  // no selection
        {11, 6, 11, 6, 6, 11},
    };
    for (const Case& c : cases) {
        call().SetSelection(c.caret, c.anchor);
        main->pendingCaret = c.pendingCaret;
        main->pendingAnchor = c.pendingAnchor;
        SendMessageW(hwnd(), kCaretFixUpMessage, 0, 0);
        EXPECT_EQ(call().CurrentPos(), c.caretAfter) << c.caret << "/" << c.anchor;
        EXPECT_EQ(call().Anchor(), c.anchorAfter) << c.caret << "/" << c.anchor;
    }
}

TEST_F(MainWindowProcTest, AnEditorFailureInAHandlerIsContainedAndCleared) {
    StartAtEnd();
    SendMessageW(main->editor.hwnd(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
    // The caret fix-up talks to the editor, which now throws; the window procedure must not let it out.
    EXPECT_EQ(SendMessageW(hwnd(), kCaretFixUpMessage, 0, 0), 0);
    EXPECT_EQ(call().Status(), Scintilla::Status::Ok);
    Type(" after");
    EXPECT_EQ(EditorText(), "one after");
    EXPECT_TRUE(AutosaveTimerArmed());
}

TEST_F(MainWindowProcTest, TreeReportsHandTheFocusToTheEditor) {
    Start();
    SetFocus(main->sidebar.hwnd());
    SendMessageW(hwnd(), kSidebarReportMessage, 2, 0);
    EXPECT_EQ(GetFocus(), main->sidebar.hwnd());  // nothing asked for it

    main->focusEditorAfterTreeAction = true;
    SendMessageW(hwnd(), kSidebarReportMessage, 2, 0);
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_FALSE(main->focusEditorAfterTreeAction);

    SetFocus(main->sidebar.hwnd());
    SendMessageW(hwnd(), kSidebarReportMessage, 2, 1);
    EXPECT_EQ(GetFocus(), main->editor.hwnd());

    // The end of a drag, even one that moved nothing.
    SetFocus(main->sidebar.hwnd());
    SendMessageW(hwnd(), kSidebarReportMessage, 3, 0);
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
}

TEST_F(MainWindowProcTest, SelectingATreeRowOpensIt) {
    const int64_t second = AddNote(project, "Later", "second text");
    StartAtEnd();
    const HTREEITEM row = main->sidebar.FindItem(TreeItemKey{false, second});
    ASSERT_NE(row, nullptr);
    SendMessageW(main->sidebar.hwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(row));
    EXPECT_EQ(workspace->currentNoteId, second);
    EXPECT_EQ(EditorText(), "second text");
    EXPECT_EQ(main->sidebar.openNoteId(), second);
    EXPECT_FALSE(main->focusEditorAfterTreeAction);  // not by mouse

    const HTREEITEM projectRow = main->sidebar.FindItem(TreeItemKey{true, project});
    ASSERT_NE(projectRow, nullptr);
    SendMessageW(main->sidebar.hwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(projectRow));
    EXPECT_EQ(workspace->currentProjectId, project);
    EXPECT_EQ(workspace->currentNoteId, second);  // the project's last-opened note
}

TEST_F(MainWindowProcTest, EditsRecordTheirPlacePerNote) {
    StartAtEnd();
    call().GotoPos(1);
    Type("abc");
    EXPECT_EQ(main->lastEditPos[note], 4);
    call().SetSelection(2, 1);
    call().ReplaceSel("");
    EXPECT_EQ(main->lastEditPos[note], 1);
    EXPECT_EQ(main->status.totalChars(), 5);  // "oabcne" less one
}

TEST_F(MainWindowProcTest, EditAndListColours) {
    Start();
    HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    EXPECT_EQ(SendMessageW(hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), 0), brush);
    EXPECT_EQ(GetTextColor(dc), RGB(0xCC, 0xCC, 0xCC));
    EXPECT_EQ(GetBkColor(dc), RGB(0x3C, 0x3C, 0x3C));
    EXPECT_EQ(GetDCBrushColor(dc), RGB(0x3C, 0x3C, 0x3C));
    EXPECT_EQ(SendMessageW(hwnd(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), 0), brush);
    EXPECT_EQ(GetBkColor(dc), RGB(0x25, 0x25, 0x26));
    EXPECT_EQ(GetDCBrushColor(dc), RGB(0x25, 0x25, 0x26));
    DeleteDC(dc);
}

TEST_F(MainWindowProcTest, GlobalViewEditsFeedTheSharedTexts) {
    Start();
    main->globalView = std::make_unique<GlobalSearchView>();
    ASSERT_TRUE(main->globalView->Create(hwnd(), GetModuleHandleW(nullptr), main->dpi, {}));
    GlobalSearchView& view = *main->globalView;
    view.SetNoMatch(true);
    view.SetStatusText(L"0 件");
    SetWindowTextW(view.queryEdit(), L"needle");
    EXPECT_EQ(main->findQuery, L"needle");
    EXPECT_TRUE(IsWindowEnabled(view.replaceAllButton()));
    EXPECT_FALSE(view.noMatch());
    EXPECT_TRUE(view.statusText().empty());
    SetWindowTextW(view.queryEdit(), L"");
    EXPECT_EQ(main->findQuery, L"");
    EXPECT_FALSE(IsWindowEnabled(view.replaceAllButton()));
    SetWindowTextW(view.replaceEdit(), L"thread");
    EXPECT_EQ(main->replaceText, L"thread");
}

TEST_F(MainWindowProcTest, MenuEntriesRunTheirCommands) {
    Start();
    // The sidebar toggle's entry.
    std::optional<uint32_t> toggleId;
    for (const MenuCommand& row : MenuCommandTable()) {
        if (row.command == 5) {
            toggleId = row.menuId;
            break;
        }
    }
    ASSERT_TRUE(toggleId);
    ASSERT_TRUE(main->sidebarVisible);
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(*toggleId, 0), 0);
    EXPECT_FALSE(main->sidebarVisible);
    // A notification code or a control is no menu entry.
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(*toggleId, 1), 0);
    EXPECT_FALSE(main->sidebarVisible);
}

}  // namespace
}  // namespace lq::test
