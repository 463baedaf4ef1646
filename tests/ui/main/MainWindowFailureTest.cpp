// Editing-component failures met on the way from a keystroke to the database: a handler that fails
// part-way must neither close the window unsaved nor leave an edit with no save ahead of it.
#include <gtest/gtest.h>

#include <utility>

#include "MainWindowFixture.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/Dialogs.h"

namespace lq::test {
namespace {

// Stands in for TaskDialogIndirect: counts the dialogs and answers each at once, a question with a
// cancel button with that button (after leaving the component failing, when asked to), anything
// else with OK.
struct AnsweredDialogs {
    static inline int shown = 0;
    static inline HWND leaveFailureIn = nullptr;
    static HRESULT WINAPI Show(const TASKDIALOGCONFIG* config, int* button, int*, BOOL*) {
        ++shown;
        int answer = IDOK;
        for (UINT i = 0; i < config->cButtons; ++i) {
            if (config->pButtons[i].nButtonID == IDS_CANCEL) answer = IDS_CANCEL;
        }
        if (answer == IDS_CANCEL && leaveFailureIn) {
            SendMessageW(std::exchange(leaveFailureIn, nullptr), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
        }
        if (button != nullptr) *button = answer;
        return S_OK;
    }
};

// Refuses every change of a note's row on the window's own connection, so saves fail and roll back.
constexpr char kRefuseNoteUpdates[] =
    "CREATE TEMP TRIGGER refuse_note_updates BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END;";
constexpr char kAllowNoteUpdates[] = "DROP TRIGGER IF EXISTS temp.refuse_note_updates;";

// A window with one note open, "Work" / "Plan" holding "one", the caret at its end.
class MainWindowFailureTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) return;
        AnsweredDialogs::shown = 0;
        AnsweredDialogs::leaveFailureIn = nullptr;
        SetMessageBoxesAllowed(false);
        SetTaskDialogFunction(AnsweredDialogs::Show);
        const int64_t project = AddProject("Work");
        note = AddNote(project, "Plan", "one");
        SetSetting("last.note_id", std::to_string(note));
        Start();
        if (HasFatalFailure()) return;
        call().DocumentEnd();
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        SetTaskDialogFunction(nullptr);
        SetMessageBoxesAllowed(true);
    }

    // The component's sticky error status, as its own failures or a message sent to it directly
    // leave it: every later call through the wrapper throws until it is cleared.
    void LeaveComponentFailure() { SendMessageW(main->editor.hwnd(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0); }

    int64_t note = 0;
};

TEST_F(MainWindowFailureTest, AFailureAfterTheClosingQuestionKeepsTheWindowOpenWithItsEdits) {
    Type(" two");
    Exec(kRefuseNoteUpdates);
    // The question is answered "cancel" while the component is failing again, so the handling after
    // the answer throws.
    AnsweredDialogs::leaveFailureIn = main->editor.hwnd();
    const HWND window = hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(AnsweredDialogs::shown, 1) << "one question, and nothing else";
    ASSERT_TRUE(IsWindow(window)) << "the window was destroyed unsaved";
    EXPECT_FALSE(main->closing);
    EXPECT_EQ(EditorText(), "one two");
    EXPECT_TRUE(AutosaveTimerArmed());

    // Closing is over: deactivation saves again, and a later close saves and closes.
    Exec(kAllowNoteUpdates);
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Stored(note).content, "one two");
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindowFailureTest, AnAutosaveTickThatFailsTriesAgain) {
    Type(" two");
    LeaveComponentFailure();
    SendMessageW(hwnd(), WM_TIMER, kAutosaveTimerId, 0);
    EXPECT_EQ(call().Status(), Scintilla::Status::Ok);
    EXPECT_TRUE(AutosaveTimerArmed());
    EXPECT_TRUE(PumpUntil([&] { return Stored(note).content == "one two"; }));
}

TEST_F(MainWindowFailureTest, AnEditWhoseNotificationFailsIsStillSaved) {
    LeaveComponentFailure();
    // As a paste from the menu: the text goes in, and its notification meets the failure.
    SendMessageW(main->editor.hwnd(), SCI_REPLACESEL, 0, reinterpret_cast<LPARAM>(" two"));
    EXPECT_EQ(EditorText(), "one two");
    EXPECT_TRUE(AutosaveTimerArmed());
    EXPECT_TRUE(PumpUntil([&] { return Stored(note).content == "one two"; }));
}

}  // namespace
}  // namespace lq::test
