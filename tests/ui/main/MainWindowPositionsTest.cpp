// Carets and selections the program sets itself (go to last edit, a replace in all notes rewriting
// the open note) and the saves around that replace: keys go through the program's own message loop,
// and what the editor stored is read back from the database.
#include <windows.h>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "resources/ResourceIds.h"
#include "support/KeyPress.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/ResourceString.h"

namespace lq::test {
namespace {

using Mode = GlobalSearchView::Mode;

bool IsValidUtf8(const std::string& bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

// Counts the error dialogs and answers each with OK.
struct CountedDialogs {
    static inline int shown = 0;
    static HRESULT WINAPI Show(const TASKDIALOGCONFIG*, int* button, int*, BOOL*) {
        ++shown;
        if (button != nullptr) *button = IDOK;
        return S_OK;
    }
};

// Leaves the editing component failing (its sticky error status) as the database commits, so the
// first component call after the commit throws.
int FailEditorOnCommit(void* editor) {
    SendMessageW(static_cast<HWND>(editor), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
    return 0;
}

class MainWindowPositionsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        CountedDialogs::shown = 0;
        SetMessageBoxesAllowed(false);
        SetTaskDialogFunction(CountedDialogs::Show);
    }
    void TearDown() override {
        if (db) sqlite3_commit_hook(db->handle(), nullptr, nullptr);
        MainWindowFixture::TearDown();
        SetTaskDialogFunction(nullptr);
        SetMessageBoxesAllowed(true);
    }

    // One note "Plan" in "Work" with this text and view, open in a focused editor.
    void StartWith(const std::string& text, const NoteViewState& view) {
        note = AddNote(AddProject("Work"), "Plan", text, view);
        SetSetting("last.note_id", std::to_string(note));
        Start();
        ASSERT_FALSE(HasFatalFailure());
        main->showMessage = [this](const std::wstring& message) { messages.push_back(message); };
        main->confirm = [](const std::wstring&) { return true; };
        SetFocus(main->editor.hwnd());
        ASSERT_EQ(GetFocus(), main->editor.hwnd());
    }

    // A key pressed in the focused window: posted as the keyboard posts it and handed out by the
    // program's own message loop (pre-translation, translation into WM_CHAR, dispatch).
    void Press(UINT key, Modifiers modifiers = {}) {
        const HWND target = GetFocus();
        HeldKeyboardState held(modifiers, key);
        const LPARAM bits = 1 | (static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
        PostMessageW(target, WM_KEYDOWN, key, bits);
        RunLoopUntilIdle();
        held.ReleaseKey();
        PostMessageW(target, WM_KEYUP, key, bits | (1u << 30) | (1u << 31));
        RunLoopUntilIdle();
    }
    void RunLoopUntilIdle() {
        PostQuitMessage(0);
        (void)main->RunMessageLoop();
    }

    // The replace view with both texts typed, then its button clicked (the question is answered yes);
    // the editor has the focus again afterwards.
    void TypeReplace(const wchar_t* query, const wchar_t* replacement) {
        main->ShowGlobalView(Mode::Replace);
        SetWindowTextW(main->globalView->queryEdit(), query);
        SetWindowTextW(main->globalView->replaceEdit(), replacement);
    }
    void ClickReplaceAll() {
        SendMessageW(main->globalView->replaceAllButton(), BM_CLICK, 0, 0);
        Pump();
        SetFocus(main->editor.hwnd());
    }
    void ReplaceEverywhere(const wchar_t* query, const wchar_t* replacement) {
        TypeReplace(query, replacement);
        ClickReplaceAll();
    }

    int64_t note = 0;
    std::vector<std::wstring> messages;
};

TEST_F(MainWindowPositionsTest, GoingToTheLastEditAfterAReplaceNeverLandsInsideACharacter) {
    StartWith("a\xE6\x97\xA5\xE6\x9C\xAC", NoteViewState{1, 1, 0, 0, 0, 0});  // a日本, caret after a
    Press('Q');
    ASSERT_EQ(EditorText(), "aq\xE6\x97\xA5\xE6\x9C\xAC");
    Press('S', {.ctrl = true});
    ASSERT_EQ(Stored(note).content, "aq\xE6\x97\xA5\xE6\x9C\xAC");

    // The rewrite moves the last edit's byte position into the middle of 日.
    ReplaceEverywhere(L"q", L"");
    ASSERT_EQ(EditorText(), "a\xE6\x97\xA5\xE6\x9C\xAC");
    Press('L', {.ctrl = true});
    Press('X');
    Press('S', {.ctrl = true});

    const std::string stored = Stored(note).content;
    EXPECT_TRUE(IsValidUtf8(stored)) << "stored bytes: " << testing::PrintToString(stored);
    EXPECT_EQ(stored, "ax\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST_F(MainWindowPositionsTest, AStoredLastEditPositionInsideACharacterSnapsBack) {
    StartWith("\xE6\x97\xA5\xE6\x9C\xAC", NoteViewState{0, 0, 0, 0, 0, 0});  // 日本
    // Taken in a text that is no longer there: byte 4 lies inside 本.
    main->lastEditPos[note] = 4;
    Press('L', {.ctrl = true});
    EXPECT_EQ(call().CurrentPos(), 3);
    Press('X');
    EXPECT_EQ(EditorText(), "\xE6\x97\xA5x\xE6\x9C\xAC");
}

TEST_F(MainWindowPositionsTest, ASelectedMatchStaysSelectedWholeAfterItsReplacement) {
    StartWith("alpha beta\r\ngamma", NoteViewState{0, 0, 0, 0, 0, 0});
    main->RunGlobalCount(L"beta");
    main->OpenGlobalHit(0);
    ASSERT_EQ(call().SelectionStart(), 6);
    ASSERT_EQ(call().SelectionEnd(), 10);

    // Longer and multi-byte: the old selection's end would fall inside the replacement.
    ReplaceEverywhere(L"beta", L"日本");
    ASSERT_EQ(EditorText(), "alpha \xE6\x97\xA5\xE6\x9C\xAC\r\ngamma");
    EXPECT_EQ(call().SelectionStart(), 6);
    EXPECT_EQ(call().SelectionEnd(), 12);
    const NoteViewState stored = Stored(note).view;
    EXPECT_EQ(std::min(stored.anchorPos, stored.cursorPos), 6);
    EXPECT_EQ(std::max(stored.anchorPos, stored.cursorPos), 12);

    // The next key replaces the whole selection.
    Press('X');
    Press('S', {.ctrl = true});
    EXPECT_EQ(Stored(note).content, "alpha x\r\ngamma");
}

TEST_F(MainWindowPositionsTest, AComponentFailureAfterTheCommitIsASavedNoteNotAFailedSave) {
    StartWith("one", NoteViewState{3, 3, 0, 0, 0, 0});
    Press('X');
    sqlite3_commit_hook(db->handle(), FailEditorOnCommit, main->editor.hwnd());
    Press('S', {.ctrl = true});
    sqlite3_commit_hook(db->handle(), nullptr, nullptr);

    EXPECT_EQ(Stored(note).content, "onex");
    EXPECT_EQ(CountedDialogs::shown, 0) << "a stored note was reported as not saved";
    EXPECT_FALSE(main->status.saveFailed());
    EXPECT_FALSE(workspace->lastSaveFailed);
    EXPECT_EQ(call().Status(), Scintilla::Status::Ok);
    // Typing goes on and is saved as usual.
    Press('Y');
    Press('S', {.ctrl = true});
    EXPECT_EQ(Stored(note).content, "onexy");
}

TEST_F(MainWindowPositionsTest, AComponentFailureInTheSaveBeforeAReplaceStopsItWithItsMessage) {
    StartWith("one beta", NoteViewState{0, 0, 0, 0, 0, 0});
    Press('X');
    TypeReplace(L"beta", L"delta");
    // The component fails from here on, so the save before the replace meets it before its commit.
    SendMessageW(main->editor.hwnd(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
    // The loops that took the key ended at their quit message, which comes before any timer, so the
    // autosave the key armed has not fired; it may be due by now and would store the text at the next
    // turn of a loop, so what the replace left is looked at before one runs.
    SendMessageW(main->globalView->replaceAllButton(), BM_CLICK, 0, 0);

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], LoadResourceString(GetModuleHandleW(nullptr), IDS_REPLACE_ALL_NOT_SAVED));
    EXPECT_TRUE(main->status.saveFailed());
    EXPECT_EQ(Stored(note).content, "one beta");
    EXPECT_EQ(EditorText(), "xone beta") << "the unsaved text stays in the editor";
    EXPECT_EQ(call().Status(), Scintilla::Status::Ok);
    // The autosave goes on and stores it.
    EXPECT_TRUE(PumpUntil([&] { return Stored(note).content == "xone beta"; }, std::chrono::milliseconds(20000)));
    EXPECT_FALSE(main->status.saveFailed());
    EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace lq::test
