// Closing the window and the end of the Windows session: the last save must take everything the user
// was in the middle of, and a close that arrives while the closing question is open must not run a
// second close inside the first.
#include <gtest/gtest.h>

#include <windows.h>

#include <imm.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "MainWindowNotesFixture.h"
#include "resources/ResourceIds.h"
#include "support/DialogWatcher.h"
#include "support/SecondDialog.h"
#include "support/StoreDatabase.h"
#include "support/TestHostWindow.h"
#include "ui/commands/KeyBindings.h"

namespace lq::test {
namespace {

using namespace std::chrono_literals;

const std::wstring kCaption = L"Lanternquill";
constexpr uint32_t kExitCommand = 56;

// Refuses every change of a note's row on the window's own connection, so saves fail and roll back.
constexpr char kRefuseNoteUpdates[] =
    "CREATE TEMP TRIGGER refuse_note_updates BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END;";
constexpr char kAllowNoteUpdates[] = "DROP TRIGGER IF EXISTS temp.refuse_note_updates;";

// The typed name: "Plan 日本".
const std::wstring kTypedName = L"Plan \u65E5\u672C";
const std::string kTypedNameUtf8 = "Plan \xE6\x97\xA5\xE6\x9C\xAC";

// A window with one note open, "Work" / "Plan" holding "one", the caret at its end.
class MainWindowCloseTest : public MainWindowNotesFixture {
protected:
    void SetUp() override {
        MainWindowNotesFixture::SetUp();
        project = AddProject("Work");
        note = AddNote(project, "Plan", "one");
        SetSetting("last.note_id", std::to_string(note));
    }
    void StartAtEnd() {
        Start();
        call().DocumentEnd();
    }
    // After a case closed the window: the same database again, the note as it was.
    void Reopen() {
        Stop();
        db = OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr);
        Exec("UPDATE notes SET title = 'Plan', content = 'one'");
    }

    int64_t project = 0;
    int64_t note = 0;
};

// The editor's input context, released however the test leaves.
class InputContext {
public:
    explicit InputContext(HWND window) : window_(window), context_(ImmGetContext(window)) {}
    ~InputContext() {
        if (context_) ImmReleaseContext(window_, context_);
    }
    InputContext(const InputContext&) = delete;
    InputContext& operator=(const InputContext&) = delete;
    [[nodiscard]] HIMC get() const { return context_; }

private:
    HWND window_;
    HIMC context_;
};

// A second close (the close button pressed again, Alt+F4, a second exit command) arrives while the
// question of the first is open, and the question is then answered. A close that ran inside the
// first would ask again; that question is answered "exit without saving", which destroyed the window
// under the first one.
TEST_F(MainWindowCloseTest, ACloseWhileTheClosingQuestionIsOpenDoesNotRunASecondClose) {
    struct Case {
        const char* name;
        int answer;
        bool closes;
    } cases[] = {
        {"retry", IDS_RETRY, true},
        {"cancel", IDS_CANCEL, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(StartAtEnd());
        Type(" two");
        Exec(kRefuseNoteUpdates);
        const HWND window = hwnd();
        sqlite3* connection = db->handle();

        // Posted after the second close, so by the time it is handled the close has been too.
        std::atomic<bool> marked{false};
        TestHostWindow marker;
        ASSERT_TRUE(marker.ok());
        marker.handler = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_APP) marked = true;
            return std::nullopt;
        };

        std::atomic<bool> askedAgain{false};
        std::atomic<int> allowed{-1};
        DialogWatcher watcher(
            [&](const DialogSnapshot& d) {
                PostMessageW(window, WM_CLOSE, 0, 0);
                PostMessageW(marker.hwnd(), WM_APP, 0, 0);
                const auto end = std::chrono::steady_clock::now() + 3s;
                while (!marked && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(5ms);
                if (HWND second = FindOtherDialog(GetCurrentProcessId(), d.window)) {
                    askedAgain = true;
                    PressTaskDialogButton(second, IDS_EXIT_WITHOUT_SAVING);
                    std::this_thread::sleep_for(200ms);
                }
                allowed = sqlite3_exec(connection, kAllowNoteUpdates, nullptr, nullptr, nullptr);
                PressTaskDialogButton(d.window, c.answer);
            },
            kCaption);
        SendMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(watcher.Finish()) << "no question appeared";
        EXPECT_FALSE(watcher.forced());
        EXPECT_TRUE(marked);
        EXPECT_FALSE(askedAgain) << "the second close asked its own question";
        EXPECT_EQ(allowed, SQLITE_OK);
        Pump();

        if (c.closes) {
            EXPECT_FALSE(IsWindow(window));
            EXPECT_EQ(main->hwnd, nullptr);
            EXPECT_EQ(main->workspace, nullptr);
            EXPECT_EQ(Stored(note).content, "one two");
        } else {
            ASSERT_TRUE(IsWindow(window));
            EXPECT_FALSE(main->closing);
            EXPECT_EQ(EditorText(), "one two");
            EXPECT_TRUE(AutosaveTimerArmed());
            // The close is over: the next one saves and closes.
            SendMessageW(window, WM_CLOSE, 0, 0);
            EXPECT_FALSE(IsWindow(window));
            EXPECT_EQ(Stored(note).content, "one two");
        }
        ASSERT_NO_FATAL_FAILURE(Reopen());
    }
}

// The ways the window closes or Windows ends the session while a name is being typed in the
// sidebar's label editor: the typed name is stored, as Enter would have stored it.
TEST_F(MainWindowCloseTest, ANameBeingTypedIsStoredWhenTheWindowClosesOrTheSessionEnds) {
    enum class Way { AltF4, CloseButton, ExitCommand, SessionEnd };
    struct Case {
        const char* name;
        Way way;
    } cases[] = {
        {"Alt+F4", Way::AltF4},
        {"close button", Way::CloseButton},
        {"exit command", Way::ExitCommand},
        {"end of the session", Way::SessionEnd},
    };
    std::optional<uint32_t> exitMenuId;
    for (const MenuCommand& row : MenuCommandTable()) {
        if (row.command == kExitCommand) exitMenuId = row.menuId;
    }
    ASSERT_TRUE(exitMenuId);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(StartAtEnd());
        SetFocus(main->editor.hwnd());
        PressInLoop(VK_F2);
        const HWND edit = EditBox();
        ASSERT_NE(edit, nullptr) << "F2 opened no label edit";
        ASSERT_EQ(GetFocus(), edit);
        TypeInLoop(kTypedName);
        EXPECT_EQ(Stored(note).title, "Plan") << "renamed before the close";
        const HWND window = hwnd();
        switch (c.way) {
            case Way::AltF4:
                PressInLoop(VK_F4, {false, false, true});
                break;
            case Way::CloseButton:
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                LoopPump();
                break;
            case Way::ExitCommand:
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(*exitMenuId, 0), 0);
                LoopPump();
                break;
            case Way::SessionEnd:
                EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), 1);
                SendMessageW(window, WM_ENDSESSION, TRUE, 0);
                break;
        }
        if (c.way != Way::SessionEnd) {
            EXPECT_FALSE(IsWindow(window));
        }
        EXPECT_EQ(Stored(note).title, kTypedNameUtf8);
        ASSERT_NO_FATAL_FAILURE(Reopen());
    }
}

// An input-method composition in the editor (Wine's built-in input method lets a test set one):
// the closing and the end-of-session saves commit it first and store the composed text.
TEST_F(MainWindowCloseTest, ACompositionInProgressIsCompletedBeforeTheClosingAndSessionEndSaves) {
    struct Case {
        const char* name;
        bool sessionEnd;
    } cases[] = {
        {"close", false},
        {"end of the session", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(StartAtEnd());
        const HWND editor = main->editor.hwnd();
        SetFocus(editor);
        Type(" two ");
        {
            InputContext context(editor);
            ASSERT_NE(context.get(), nullptr);
            std::wstring composing = L"\u65E5\u672C";
            ASSERT_TRUE(ImmSetCompositionStringW(context.get(), SCS_SETSTR, composing.data(),
                                                 static_cast<DWORD>(composing.size() * sizeof(wchar_t)), nullptr, 0));
        }
        ASSERT_TRUE(main->editor.IsComposing()) << "no composition could be started";
        const HWND window = hwnd();
        if (c.sessionEnd) {
            EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), 1);
            SendMessageW(window, WM_ENDSESSION, TRUE, 0);
            // The composed text is committed and stored; nothing stays waiting for a later save.
            EXPECT_FALSE(main->editor.IsComposing());
            EXPECT_FALSE(call().Modify());
        } else {
            SendMessageW(window, WM_CLOSE, 0, 0);
            EXPECT_FALSE(IsWindow(window));
        }
        EXPECT_EQ(Stored(note).content, "one two \xE6\x97\xA5\xE6\x9C\xAC");
        ASSERT_NO_FATAL_FAILURE(Reopen());
    }
}

}  // namespace
}  // namespace lq::test
