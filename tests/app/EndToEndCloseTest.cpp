// Closing the whole program while the user is in the middle of something: a name typed in the
// sidebar, or a second close while the question about unsaved notes is open.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "EndToEndDatabase.h"
#include "EndToEndInput.h"
#include "ProgramRun.h"
#include "resources/ResourceIds.h"
#include "support/LockingConnection.h"
#include "support/SecondDialog.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramWindows;
using test::StoredState;

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

}  // namespace
}  // namespace lq
