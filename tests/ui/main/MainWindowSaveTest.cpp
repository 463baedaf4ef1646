// Saving on request and the OneDrive warning, on the whole main window over a real database file.
// Dialogs are read through the task-dialog seam (the silent style), so nothing waits on screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "platform/DatabasePaths.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/ResourceString.h"

namespace lq::test {
namespace {

struct ShownMessage {
    HWND owner = nullptr;
    std::wstring content;
};

// Stands in for TaskDialogIndirect and records each dialog as it is asked for.
struct RecordedDialogs {
    static inline std::vector<ShownMessage> shown;
    static HRESULT WINAPI Show(const TASKDIALOGCONFIG* config, int* button, int*, BOOL*) {
        shown.push_back({config->hwndParent, config->pszContent != nullptr ? config->pszContent : L""});
        if (button != nullptr) *button = IDOK;
        return S_OK;
    }
};

std::wstring Text(UINT id) {
    return LoadResourceString(GetModuleHandleW(nullptr), id);
}

class MainWindowSaveTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        RecordedDialogs::shown.clear();
        SetMessageBoxesAllowed(false);
        SetTaskDialogFunction(RecordedDialogs::Show);
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        SetTaskDialogFunction(nullptr);
        SetMessageBoxesAllowed(true);
    }

    // Every write of a note's row (text or view) is refused until AllowNoteWrites.
    void RefuseNoteWrites() {
        Exec("CREATE TRIGGER refuse_notes BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    void AllowNoteWrites() { Exec("DROP TRIGGER refuse_notes"); }

    // Whether the autosave timer runs; the answer stops it, so each check starts from a stopped timer.
    bool TimerArmed() { return KillTimer(hwnd(), kAutosaveTimerId) != FALSE; }

    // A note is open with an edit the timer would save; the timer the edit armed is stopped.
    void TypeAndStopTimer(const std::string& text) {
        Type(text);
        (void)TimerArmed();
    }

    // How many save-failure messages were shown, each owned by the main window.
    size_t SaveFailureMessages() {
        size_t count = 0;
        for (const ShownMessage& message : RecordedDialogs::shown) {
            if (message.content != Text(IDS_SAVE_FAILED)) continue;
            EXPECT_EQ(message.owner, hwnd());
            ++count;
        }
        return count;
    }
};

TEST_F(MainWindowSaveTest, WithoutAWorkspaceNothingHappens) {
    const int64_t project = AddProject("Work");
    const int64_t note = AddNote(project, "Plan", "one");
    Start();
    TypeAndStopTimer("x");
    RefuseNoteWrites();
    main->SetWorkspace(nullptr);
    (void)main->status.SetSaveFailed(true);

    main->SaveNow(SaveReason::Timer);
    EXPECT_TRUE(RecordedDialogs::shown.empty());
    EXPECT_TRUE(main->status.saveFailed());  // not touched either
    EXPECT_FALSE(TimerArmed());
    EXPECT_FALSE(workspace->lastSaveFailed);
    AllowNoteWrites();
    EXPECT_EQ(Stored(note).content, "one");
}

TEST_F(MainWindowSaveTest, NothingToSaveArmsNoTimerAndShowsNothing) {
    Start();
    main->SaveNow(SaveReason::UserSave);  // the opening time of the start-up note
    (void)TimerArmed();
    main->SaveNow(SaveReason::UserSave);
    EXPECT_FALSE(TimerArmed());
    EXPECT_FALSE(main->status.saveFailed());
    EXPECT_TRUE(RecordedDialogs::shown.empty());
}

TEST_F(MainWindowSaveTest, ARunOfFailuresIsReportedOnceAndRetriedOnEveryTick) {
    const int64_t project = AddProject("Work");
    const int64_t note = AddNote(project, "Plan", "one");
    Start();
    TypeAndStopTimer("a");
    RefuseNoteWrites();

    main->SaveNow(SaveReason::Timer);
    EXPECT_EQ(SaveFailureMessages(), 1u);
    EXPECT_TRUE(main->status.saveFailed());
    EXPECT_TRUE(workspace->saveFailureReported);
    EXPECT_TRUE(TimerArmed());

    main->SaveNow(SaveReason::Timer);
    EXPECT_EQ(SaveFailureMessages(), 1u);
    EXPECT_TRUE(TimerArmed());

    // A successful save clears the indicator, and the next failure is news again.
    AllowNoteWrites();
    main->SaveNow(SaveReason::Timer);
    EXPECT_FALSE(main->status.saveFailed());
    EXPECT_FALSE(TimerArmed());
    EXPECT_EQ(Stored(note).content, "aone");

    TypeAndStopTimer("b");
    RefuseNoteWrites();
    main->SaveNow(SaveReason::BeforeBulkOperation);
    EXPECT_EQ(SaveFailureMessages(), 2u);
    EXPECT_TRUE(main->status.saveFailed());
    EXPECT_TRUE(TimerArmed());
    AllowNoteWrites();
}

// A call of the editing component fails as the save begins (the status is set as a failing call
// sets it, so the save's first call throws): the save counts as failed, nothing is stored, and it is
// reported and retried like any other failure, with the editor working again for the retry.
TEST_F(MainWindowSaveTest, AComponentFailureInsideTheSaveIsAFailedSave) {
    const int64_t project = AddProject("Work");
    const int64_t note = AddNote(project, "Plan", "one");
    Start();
    TypeAndStopTimer("a");
    SendMessageW(main->editor.hwnd(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);

    EXPECT_NO_THROW(main->SaveNow(SaveReason::Timer));
    EXPECT_EQ(SaveFailureMessages(), 1u);
    EXPECT_TRUE(workspace->lastSaveFailed);
    EXPECT_TRUE(main->status.saveFailed());
    EXPECT_TRUE(TimerArmed());
    EXPECT_EQ(Stored(note).content, "one");

    main->SaveNow(SaveReason::Timer);
    EXPECT_FALSE(main->status.saveFailed());
    EXPECT_EQ(Stored(note).content, "aone");
}

TEST_F(MainWindowSaveTest, EndOfSessionAndSuspendFailSilentlyAndLeaveTheReportToTheNextSave) {
    const int64_t project = AddProject("Work");
    AddNote(project, "Plan", "one");
    Start();
    for (const SaveReason quiet : {SaveReason::EndSession, SaveReason::Suspend}) {
        SCOPED_TRACE(static_cast<int>(quiet));
        const size_t before = SaveFailureMessages();
        TypeAndStopTimer("q");
        RefuseNoteWrites();
        main->SaveNow(quiet);
        EXPECT_EQ(SaveFailureMessages(), before);
        EXPECT_TRUE(main->status.saveFailed());
        EXPECT_FALSE(workspace->saveFailureReported);
        EXPECT_TRUE(TimerArmed());

        main->SaveNow(SaveReason::Deactivated);
        EXPECT_EQ(SaveFailureMessages(), before + 1);
        AllowNoteWrites();
        main->SaveNow(SaveReason::Timer);
        EXPECT_FALSE(main->status.saveFailed());
    }
}

TEST_F(MainWindowSaveTest, AFailureWithNoNoteOpenIsReportedButArmsNoTimer) {
    AddProject("Empty");  // no notes: the start-up shows the empty document
    Start();
    ASSERT_EQ(workspace->currentNoteId, 0);
    // What is pending now is settings only; the store refuses them.
    Exec("CREATE TRIGGER refuse_settings BEFORE INSERT ON settings BEGIN SELECT RAISE(ABORT, 'refused'); END");
    Exec("CREATE TRIGGER refuse_changes BEFORE UPDATE ON settings BEGIN SELECT RAISE(ABORT, 'refused'); END");
    (void)TimerArmed();
    main->SaveNow(SaveReason::Timer);
    EXPECT_EQ(SaveFailureMessages(), 1u);
    EXPECT_TRUE(main->status.saveFailed());
    EXPECT_FALSE(TimerArmed());
}

class MainWindowOneDriveTest : public MainWindowSaveTest {
protected:
    // The database's folder stands for a OneDrive folder.
    std::vector<std::wstring> Roots() const { return {NormalizePath(folder.path().wstring())}; }
    size_t Warnings() const {
        size_t count = 0;
        for (const ShownMessage& message : RecordedDialogs::shown) {
            // Named as the file was opened, not as the upper-cased path tested.
            const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
            if (message.content == LoadResourceString(GetModuleHandleW(nullptr), IDS_ONEDRIVE_WARNING, name)) ++count;
        }
        return count;
    }
};

TEST_F(MainWindowOneDriveTest, WarnsOnceAndRemembersItInTheDatabase) {
    Start();
    const std::wstring database = NormalizePath(path);
    EXPECT_TRUE(main->WarnIfInOneDrive(database, Roots()));
    ASSERT_EQ(Warnings(), 1u);
    EXPECT_EQ(RecordedDialogs::shown.back().owner, hwnd());
    EXPECT_EQ(StoredSetting("warning.onedrive"), std::optional<std::string>("1"));
    // Written at once, not left to the next save.
    EXPECT_FALSE(workspace->savedSettings.contains("warning.onedrive"));

    EXPECT_FALSE(main->WarnIfInOneDrive(database, Roots()));
    EXPECT_EQ(Warnings(), 1u);
}

// The warning comes with the window shown, before the message loop runs: a close that the warning's
// own loop delivers (the taskbar, "End task") waits until the warning is done, then closes.
TEST_F(MainWindowOneDriveTest, ACloseDuringTheWarningWaitsForItAndThenCloses) {
    Start();
    main->showMessage = [this](const std::wstring&) { SendMessageW(hwnd(), WM_CLOSE, 0, 0); };
    EXPECT_TRUE(main->WarnIfInOneDrive(NormalizePath(path), Roots()));
    EXPECT_TRUE(hwnd() != nullptr && IsWindow(hwnd())) << "the window was closed inside the warning";
    EXPECT_EQ(StoredSetting("warning.onedrive"), std::optional<std::string>("1"));
    EXPECT_TRUE(PumpUntil([&] { return hwnd() == nullptr; })) << "the close that waited was dropped";
}

TEST_F(MainWindowOneDriveTest, AnyStoredValueMeansTheUserWasTold) {
    for (const char* value : {"", "0"}) {
        SetSetting("warning.onedrive", value);
        if (!main) Start();
        EXPECT_FALSE(main->WarnIfInOneDrive(NormalizePath(path), Roots())) << value;
        EXPECT_EQ(StoredSetting("warning.onedrive"), std::optional<std::string>(value));
    }
    EXPECT_EQ(Warnings(), 0u);
}

TEST_F(MainWindowOneDriveTest, NoWarningOutsideOneDriveOrWithoutAWorkspace) {
    Start();
    // The root itself is not inside it; a sibling folder whose name starts the same is not either.
    EXPECT_FALSE(main->WarnIfInOneDrive(Roots()[0], Roots()));
    EXPECT_FALSE(main->WarnIfInOneDrive(Roots()[0] + L"X\\MEMO.DB", Roots()));
    EXPECT_FALSE(main->WarnIfInOneDrive(NormalizePath(path), {}));
    main->SetWorkspace(nullptr);
    EXPECT_FALSE(main->WarnIfInOneDrive(NormalizePath(path), Roots()));
    EXPECT_EQ(Warnings(), 0u);
    EXPECT_EQ(StoredSetting("warning.onedrive"), std::nullopt);
}

}  // namespace
}  // namespace lq::test
