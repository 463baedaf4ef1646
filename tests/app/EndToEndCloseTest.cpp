// Closing the whole program while the user is in the middle of something: a name typed in the
// sidebar, a second close while the question about unsaved notes is open, a close from outside (the
// taskbar, "End task") while one of the program's dialogs or menus is open, and the end of the
// Windows session meanwhile.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EndToEndDatabase.h"
#include "EndToEndInput.h"
#include "ProgramFile.h"
#include "ProgramRun.h"
#include "resources/ResourceIds.h"
#include "support/FileBytes.h"
#include "support/LockingConnection.h"
#include "support/SecondDialog.h"
#include "support/SystemInput.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::FindOpenMenu;
using test::ProgramRun;
using test::ProgramWindows;
using test::StoredState;

// Menu ids of the file commands ("ファイル(&F)"), as a click on the entry sends them.
constexpr WPARAM kImportMenuId = 1119;
constexpr WPARAM kExportMenuId = 1120;
constexpr WPARAM kBackupMenuId = 1121;

// The window holding the mouse capture on the thread that owns `window`, or null.
HWND CaptureOnThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndCapture;
}

// The file name box of a common file dialog of another process (under Wine an ordinary dialog).
HWND FileNameBox(HWND dialog) {
    return test::FindDescendant(dialog, L"Edit");
}

// Types a path into a file dialog and accepts it, as the user does.
void ChooseFile(HWND dialog, const std::wstring& path) {
    SendMessageTimeoutW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    test::PressMessageBoxButton(dialog, IDOK);
}

class EndToEndCloseTest : public testing::Test {
protected:
    // A started program whose windows are there, in front, with the editor focused.
    std::optional<ProgramWindows> Start() { return test::StartInFront(run, path); }

    std::unique_ptr<ProgramRun> run;
    test::TempFolder folder;
    std::wstring path = folder.File(L"memo.db");
};

TEST_F(EndToEndCloseTest, ANameBeingTypedInTheSidebarIsStoredByAltF4) {
    const std::optional<ProgramWindows> windows = Start();
    ASSERT_TRUE(windows);
    ASSERT_EQ(GetForegroundWindow(), windows->main) << "keys from the system's input need the window in front";

    // F2 in the editor names the open note; the name is typed but neither Enter nor Esc is pressed.
    ASSERT_TRUE(test::PressChord({VK_F2}));
    HWND labelEdit = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] {
        labelEdit = reinterpret_cast<HWND>(test::SendQuery(windows->tree, TVM_GETEDITCONTROL).value_or(0));
        return labelEdit != nullptr;
    })) << "no label edit for the open note";
    test::PostCharacters(labelEdit, L"買い物");
    ASSERT_TRUE(test::WaitUntil([&] { return test::QueryText(labelEdit) == L"買い物"; }));

    ASSERT_TRUE(test::PressChord({VK_MENU, VK_F4}));
    EXPECT_EQ(run->Wait(30000), std::optional<DWORD>(0));
    const std::optional<StoredState> stored = test::ReadStoredState(path);
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->notes.size(), 1u);
    EXPECT_EQ(stored->notes[0].title, "買い物") << "the typed name was lost";
}

TEST_F(EndToEndCloseTest, ASecondCloseWhileTheUnsavedQuestionIsOpenAsksNothingAndRetrySavesEverything) {
    const std::optional<ProgramWindows> windows = Start();
    ASSERT_TRUE(windows);
    test::PostTyping(windows->editor, L"before");
    ASSERT_TRUE(test::WaitForStoredState(
        path, [](const StoredState& state) { return state.notes.size() == 1 && state.notes[0].content == "before"; },
        10000));

    auto lock = std::make_unique<test::LockingConnection>(path);
    ASSERT_TRUE(lock->locked());
    test::PostTyping(windows->editor, L" 閉じる前");
    PostMessageW(windows->main, WM_CLOSE, 0, 0);
    const HWND question = run->WaitForDialog(20000);
    ASSERT_NE(question, nullptr) << "no question about the unsaved notes";

    // The close box again while the question is open. A close run inside the first one would ask
    // again after its own failed save (2 s of waiting for the lock); leaving without saving there
    // destroyed the window under the first question.
    PostMessageW(windows->main, WM_CLOSE, 0, 0);
    HWND again = nullptr;
    test::WaitUntil([&] { return (again = test::FindOtherDialog(run->processId(), question)) != nullptr; }, 4500);
    EXPECT_EQ(again, nullptr) << "the second close asked again";
    if (again) {
        test::PressTaskDialogButton(again, IDS_EXIT_WITHOUT_SAVING);
        Sleep(300);
    }

    lock.reset();
    test::PressTaskDialogButton(question, IDS_RETRY);
    EXPECT_EQ(run->Wait(30000), std::optional<DWORD>(0));
    const std::optional<StoredState> stored = test::ReadStoredState(path);
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->notes.size(), 1u);
    EXPECT_EQ(stored->notes[0].content, "before 閉じる前");
}

// One kind of modal loop the program runs, opened and answered from outside as the user would.
struct ModalCase {
    const char* name;
    // Opens it in the running program; the window of the loop (a dialog, a menu), null when none came.
    std::function<HWND(ProgramRun&, const ProgramWindows&)> open;
    // Answers it; the program then goes on with what the answer asked for.
    std::function<void(HWND, const ProgramWindows&)> answer;
    // What the answer did, seen after the program has ended.
    std::function<void(const StoredState&)> check;
};

HWND OpenDialogByMenu(ProgramRun& run, const ProgramWindows& windows, WPARAM menuId) {
    PostMessageW(windows.main, WM_COMMAND, menuId, 0);
    HWND dialog = nullptr;
    test::WaitUntil([&] { return (dialog = test::FindOtherDialog(run.processId(), nullptr)) != nullptr; }, 20000);
    return dialog;
}

// A close from outside while a dialog or menu of the program is open waits until it has been
// answered: the answer is carried out, and then the program closes, saving what was typed. Run
// inside the dialog's loop, the close took the window and the notes away from under the command.
TEST_F(EndToEndCloseTest, ACloseFromOutsideWaitsForTheOpenDialogOrMenuAndThenEndsSavingEverything) {
    const std::wstring imported = folder.File(L"取り込み.txt");
    ASSERT_TRUE(test::WriteFileBytes(imported, "取り込んだ本文"));
    const std::wstring exported = folder.File(L"書き出し.txt");
    const std::wstring backup = folder.File(L"控え.db");

    const std::vector<ModalCase> cases = {
        {"the import dialog",
         [](ProgramRun& r, const ProgramWindows& w) { return OpenDialogByMenu(r, w, kImportMenuId); },
         [&](HWND dialog, const ProgramWindows&) { ChooseFile(dialog, imported); },
         [](const StoredState& state) {
             const NoteRecord* note = state.NoteTitled("取り込み");
             ASSERT_NE(note, nullptr) << "the chosen file was not imported";
             EXPECT_EQ(note->content, "取り込んだ本文");
         }},
        {"the export dialog",
         [](ProgramRun& r, const ProgramWindows& w) { return OpenDialogByMenu(r, w, kExportMenuId); },
         [&](HWND dialog, const ProgramWindows&) { ChooseFile(dialog, exported); },
         [&](const StoredState&) { EXPECT_EQ(test::ReadFileBytes(exported), "閉じる前の一文"); }},
        {"the backup dialog",
         [](ProgramRun& r, const ProgramWindows& w) { return OpenDialogByMenu(r, w, kBackupMenuId); },
         [&](HWND dialog, const ProgramWindows&) { ChooseFile(dialog, backup); },
         [&](const StoredState&) {
             const std::optional<StoredState> copy = test::ReadStoredState(backup);
             ASSERT_TRUE(copy) << "no backup was made";
             ASSERT_EQ(copy->notes.size(), 1u);
             EXPECT_EQ(copy->notes[0].content, "閉じる前の一文");
         }},
        {"the replace-all question",
         [](ProgramRun& r, const ProgramWindows& w) -> HWND {
             if (!test::PressChord({VK_CONTROL, VK_SHIFT, 'H'})) return nullptr;
             test::SearchControls controls;
             if (!test::WaitUntil([&] {
                     controls = test::FindSearchControls(w.main);
                     return controls.query != nullptr && test::FocusOnThreadOf(w.main) == controls.query;
                 })) {
                 return nullptr;
             }
             test::PostCharacters(controls.query, L"一文");
             test::PostCharacters(controls.replacement, L"二文");
             if (!test::WaitUntil([&] { return IsWindowEnabled(controls.button) != FALSE; })) return nullptr;
             if (!test::PressChord({VK_CONTROL, VK_MENU, VK_RETURN})) return nullptr;
             return r.WaitForDialog(20000);
         },
         [](HWND question, const ProgramWindows&) { test::PressTaskDialogButton(question, IDS_REPLACE); },
         [](const StoredState& state) {
             ASSERT_EQ(state.notes.size(), 1u);
             EXPECT_EQ(state.notes[0].content, "閉じる前の二文") << "the confirmed replace did not happen";
         }},
        {"the menu strip's File menu",
         [](ProgramRun& r, const ProgramWindows&) {
             HWND menu = nullptr;
             if (test::PressChord({VK_MENU, 'F'})) {
                 test::WaitUntil([&] { return (menu = FindOpenMenu(r.processId())) != nullptr; }, 20000);
             }
             return menu;
         },
         [](HWND, const ProgramWindows&) { test::PressChord({VK_ESCAPE}); },
         [](const StoredState& state) {
             ASSERT_EQ(state.notes.size(), 1u);
             EXPECT_EQ(state.notes[0].content, "閉じる前の一文");
         }},
        {"a press held on a sidebar row",
         [](ProgramRun&, const ProgramWindows& w) -> HWND {
             // The first row, the open note's project, watched for a drag until the button comes up.
             RECT tree{};
             GetWindowRect(w.tree, &tree);
             const int dpi = static_cast<int>(GetDpiForWindow(w.tree));
             const POINT row{(tree.left + tree.right) / 2, tree.top + MulDiv(12, dpi == 0 ? 96 : dpi, 96)};
             if (!test::SendMouseAt(row, MOUSEEVENTF_LEFTDOWN)) return nullptr;
             // The press is being watched once the tree holds the mouse capture.
             if (!test::WaitUntil([&] { return CaptureOnThreadOf(w.tree) == w.tree; }, 20000)) return nullptr;
             return w.tree;
         },
         [](HWND tree, const ProgramWindows&) {
             RECT area{};
             GetWindowRect(tree, &area);
             const int dpi = static_cast<int>(GetDpiForWindow(tree));
             test::SendMouseAt({(area.left + area.right) / 2, area.top + MulDiv(12, dpi == 0 ? 96 : dpi, 96)},
                               MOUSEEVENTF_LEFTUP);
         },
         [](const StoredState& state) {
             ASSERT_EQ(state.notes.size(), 1u);
             EXPECT_EQ(state.notes[0].content, "閉じる前の一文");
         }},
        {"the editor's context menu",
         [](ProgramRun& r, const ProgramWindows& w) {
             RECT editor{};
             GetWindowRect(w.editor, &editor);
             PostMessageW(w.main, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w.editor),
                          MAKELPARAM(editor.left + 40, editor.top + 40));
             HWND menu = nullptr;
             test::WaitUntil([&] { return (menu = FindOpenMenu(r.processId())) != nullptr; }, 20000);
             return menu;
         },
         [](HWND, const ProgramWindows&) { test::PressChord({VK_ESCAPE}); },
         [](const StoredState& state) {
             ASSERT_EQ(state.notes.size(), 1u);
             EXPECT_EQ(state.notes[0].content, "閉じる前の一文");
         }},
    };

    for (const ModalCase& modal : cases) {
        SCOPED_TRACE(modal.name);
        DeleteFileW(path.c_str());
        const std::optional<ProgramWindows> windows = Start();
        ASSERT_TRUE(windows);
        ASSERT_EQ(GetForegroundWindow(), windows->main) << "keys from the system's input need the window in front";
        test::PostTyping(windows->editor, L"閉じる前の一文");
        ASSERT_TRUE(test::WaitUntil([&] { return test::QueryText(windows->editor) == L"閉じる前の一文"; }));

        const HWND opened = modal.open(*run, *windows);
        ASSERT_NE(opened, nullptr) << "it did not open";
        PostMessageW(windows->main, WM_CLOSE, 0, 0);
        // The close must wait: nothing is asked, the program and what is open stay.
        HWND other = nullptr;
        test::WaitUntil(
            [&] {
                other = test::FindOtherDialog(run->processId(), opened);
                return other != nullptr || !run->Running() || !IsWindow(opened);
            },
            1500);
        EXPECT_TRUE(run->Running()) << "the program ended inside the open loop";
        EXPECT_TRUE(IsWindow(opened)) << "the close took away what was open";
        EXPECT_EQ(other, nullptr) << "a second dialog came over the first";

        // Answered even when it is gone, so no key or button stays down for the next case.
        modal.answer(opened, *windows);
        // The deferred close comes after the answer; the program ends by itself.
        EXPECT_EQ(run->Wait(30000), std::optional<DWORD>(0)) << "the program did not end after the answer";
        const std::optional<StoredState> stored = test::ReadStoredState(path);
        ASSERT_TRUE(stored);
        modal.check(*stored);
        run.reset();
    }
}

// A close from outside while the failure of the save before a search across all notes is shown:
// nothing is asked inside that message, the search goes on once it is answered, and the close comes
// after it, saving everything. Run inside the message, the close's own failed save asked whether to
// leave unsaved, and leaving pulled the notes from under the search.
TEST_F(EndToEndCloseTest, ACloseWhileASaveFailureIsShownWaitsForTheSearchBehindIt) {
    const std::optional<ProgramWindows> windows = Start();
    ASSERT_TRUE(windows);
    ASSERT_EQ(GetForegroundWindow(), windows->main) << "keys from the system's input need the window in front";
    test::PostTyping(windows->editor, L"before");
    ASSERT_TRUE(test::WaitForStoredState(
        path, [](const StoredState& state) { return state.notes.size() == 1 && state.notes[0].content == "before"; },
        10000));
    ASSERT_TRUE(test::PressChord({VK_CONTROL, VK_SHIFT, 'F'}));
    test::SearchControls controls;
    ASSERT_TRUE(test::WaitUntil([&] {
        controls = test::FindSearchControls(windows->main);
        return controls.query != nullptr && test::FocusOnThreadOf(windows->main) == controls.query;
    })) << "Ctrl+Shift+F did not open the search view";
    test::PostCharacters(controls.query, L"before");
    ASSERT_TRUE(test::WaitUntil([&] { return test::QueryText(controls.query) == L"before"; }));

    // Another program locks the file; an edit and the search's Enter follow at once, so the first
    // save to fail (and be reported) is the one before the search.
    auto lock = std::make_unique<test::LockingConnection>(path);
    ASSERT_TRUE(lock->locked());
    test::PostCharacters(windows->editor, L" 鍵の間");
    test::PostKey(controls.query, VK_RETURN);
    const HWND message = run->WaitForDialog(20000);
    ASSERT_NE(message, nullptr) << "no message about the failed save";
    test::ExpectDialogShows(message, test::ProgramString(IDS_SAVE_FAILED));

    PostMessageW(windows->main, WM_CLOSE, 0, 0);
    // A close run here would wait out its own save (2 s of busy time) and then ask.
    HWND question = nullptr;
    test::WaitUntil([&] { return (question = test::FindOtherDialog(run->processId(), message)) != nullptr; }, 4500);
    EXPECT_EQ(question, nullptr) << "the close ran inside the message and asked";
    if (question != nullptr) {
        // What a user answering that question did: the program must still not fail.
        test::PressTaskDialogButton(question, IDS_EXIT_WITHOUT_SAVING);
        test::WaitUntil([&] { return !IsWindow(question); }, 5000);
    }
    EXPECT_TRUE(run->Running()) << "the program ended inside the message";

    lock.reset();
    if (IsWindow(message)) test::PressTaskDialogButton(message, IDOK);
    EXPECT_EQ(run->Wait(30000), std::optional<DWORD>(0));
    const std::optional<StoredState> stored = test::ReadStoredState(path);
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->notes.size(), 1u);
    EXPECT_EQ(stored->notes[0].content, "before 鍵の間");
}

// The end of the Windows session does not wait for an open dialog: what was typed is in the file
// when the session's last message has been answered, while the dialog is still open.
TEST_F(EndToEndCloseTest, TheSessionsEndSavesAtOnceWhileADialogIsOpen) {
    const std::optional<ProgramWindows> windows = Start();
    ASSERT_TRUE(windows);
    const HWND dialog = OpenDialogByMenu(*run, *windows, kImportMenuId);
    ASSERT_NE(dialog, nullptr) << "the import dialog did not open";

    // The editor is disabled under the dialog but still handles the characters posted to it. The
    // autosave would store them 800 ms later too, so only a save that came before that counts; under
    // heavy load a later try gets another chance.
    bool shown = false;
    for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
        const std::wstring word = L"終" + std::to_wstring(attempt);
        const std::wstring before = test::QueryText(windows->editor);
        test::PostCharacters(windows->editor, word);
        ASSERT_TRUE(test::WaitUntil([&] { return test::QueryText(windows->editor) == before + word; }));
        const ULONGLONG typed = GetTickCount64();
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutW(windows->main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer), 0);
        EXPECT_NE(answer, 0u) << "the program refused the session's end";
        ASSERT_NE(SendMessageTimeoutW(windows->main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &answer), 0);
        const std::optional<StoredState> stored = test::ReadStoredState(path);
        if (GetTickCount64() - typed >= 700) continue;  // the autosave may have done it
        ASSERT_TRUE(stored);
        ASSERT_EQ(stored->notes.size(), 1u);
        std::string expected;
        for (int i = 0; i <= attempt; ++i) expected += "終" + std::to_string(i);
        EXPECT_EQ(stored->notes[0].content, expected) << "the session's end did not save what was typed";
        shown = true;
    }
    EXPECT_TRUE(shown) << "every try took longer than the autosave's delay";
    EXPECT_TRUE(IsWindow(dialog)) << "the dialog did not stay open";

    test::PressMessageBoxButton(dialog, IDCANCEL);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(dialog); }));
    PostMessageW(windows->main, WM_CLOSE, 0, 0);
    EXPECT_EQ(run->Wait(30000), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace lq
