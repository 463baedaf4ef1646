// The view a note was left with, as the real program shows it again when it starts on that note.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include <sqlite3.h>

#include "EndToEndDatabase.h"
#include "EndToEndInput.h"
#include "ProgramFile.h"
#include "ProgramRun.h"
#include "resources/ResourceIds.h"
#include "support/RawDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::Quoted;
using test::StoredState;

constexpr LRESULT kStoredXOffset = 600;
// At 8 points: more short lines than the editor shows at the window's start size (about 39), fewer
// than it shows at this placement (the whole 1600 x 1000 test screen, about 57), with wide lines after.
constexpr int kShortLines = 48;
constexpr char kTallPlacement[] = "0,0,1600,1000,0";
// On the first wide line, inside the part the offset scrolls into view.
constexpr int64_t kCaret = kShortLines * 7 + 100;
// The component's message numbers, which this executable (outside the program) has no header for.
constexpr UINT kSciGetXOffset = 2398;

// The window comes back taller than it is made, and only the lines it shows beyond the start size are
// wide enough for the stored offset: the offset must be kept for the window as the user sees it.
TEST(EndToEndViewTest, TheStartupNoteComesBackAtItsStoredHorizontalOffsetWithoutWrapping) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    std::string text;
    for (int i = 0; i < kShortLines; ++i) text += "short\r\n";
    for (int i = 0; i < 100; ++i) text += std::string(400, 'w') + "\r\n";
    ASSERT_TRUE(test::MakeDatabaseWithNote(
        path, "Wide", text, NoteViewState{kCaret, kCaret, 0, 0, kStoredXOffset, 1},
        {{"editor.wrap", "0"}, {"editor.font_size", "8"}, {"window.placement", kTallPlacement}}));

    ProgramRun run(L"--silent --db " + Quoted(path));
    ASSERT_TRUE(run.started());
    const std::optional<test::ProgramWindows> windows = test::WaitForProgramWindows(run);
    ASSERT_TRUE(windows);
    EXPECT_TRUE(test::WaitUntil([&] { return test::EditorCaret(windows->editor) == kCaret; }, 5000));
    EXPECT_EQ(test::SendQuery(windows->editor, kSciGetXOffset), std::optional<LRESULT>(kStoredXOffset));

    PostMessageW(windows->main, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Wait(30000), std::optional<DWORD>(0));
    const std::optional<test::StoredState> stored = test::ReadStoredState(path);
    ASSERT_TRUE(stored);
    const NoteRecord* note = stored->NoteTitled("Wide");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->view.xOffset, kStoredXOffset) << "closing stored another view than the one restored";
    EXPECT_EQ(note->view.cursorPos, kCaret);
}

bool IsValidUtf8(const std::string& bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

// A replace in all notes rewrites the open note under its last edit's byte position; going there
// and typing must still store valid UTF-8.
TEST(EndToEndViewTest, GoingToTheLastEditAfterAReplaceInAllNotesStoresValidText) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    ASSERT_TRUE(test::MakeDatabaseWithNote(path, "Memo", "a日本", NoteViewState{1, 1, 0, 0, 0, 1}));
    const auto storedText = [&](const std::string& expected) {
        const std::optional<StoredState> state = test::WaitForStoredState(
            path,
            [&](const StoredState& s) {
                const NoteRecord* note = s.NoteTitled("Memo");
                return note != nullptr && note->content == expected;
            },
            10000);
        const NoteRecord* note = state ? state->NoteTitled("Memo") : nullptr;
        return note != nullptr ? note->content : std::string("(unreadable)");
    };

    ProgramRun run(L"--silent --db " + Quoted(path));
    ASSERT_TRUE(run.started());
    const std::optional<test::ProgramWindows> windows = test::WaitForProgramWindows(run);
    ASSERT_TRUE(windows);
    ASSERT_TRUE(test::WaitUntil([&] { return test::EditorCaret(windows->editor) == 1; }, 5000));
    test::PostKey(windows->editor, 'Q');
    ASSERT_EQ(storedText("aq日本"), "aq日本");

    // Replace "q" by nothing in all notes.
    HWND question = nullptr;
    ASSERT_NO_FATAL_FAILURE(AskToReplaceInAllNotes(run, *windows, L"q", question));
    test::PressTaskDialogButton(question, IDS_REPLACE);
    ASSERT_EQ(storedText("a日本"), "a日本");

    // Back in the editor (a click at the end of the text), Ctrl+L, then "x". The last edit was made in
    // the text before the rewrite, so there is no last edit to go to now, and "x" goes where the
    // click put the caret.
    test::BringToFront(windows->main);
    const LPARAM end = MAKELPARAM(600, 5);
    PostMessageW(windows->editor, WM_LBUTTONDOWN, MK_LBUTTON, end);
    PostMessageW(windows->editor, WM_LBUTTONUP, 0, end);
    ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOnThreadOf(windows->main) == windows->editor; }));
    ASSERT_TRUE(test::PressChord({VK_CONTROL, 'L'}));
    // Through the same input queue, so it comes after Ctrl is released.
    ASSERT_TRUE(test::PressChord({'X'}));
    const std::string stored = storedText("a日本x");
    EXPECT_TRUE(IsValidUtf8(stored)) << testing::PrintToString(stored);
    EXPECT_EQ(stored, "a日本x");

    PostMessageW(windows->main, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Wait(30000), std::optional<DWORD>(0));
}

// A stored caret that the text does not have opens the note with a plain caret at its end, and an
// anchor it does not have falls onto the caret, so the first key adds to the text instead of
// replacing it; positions the text has keep their selection.
TEST(EndToEndViewTest, AStoredPositionOutsideTheTextLeavesACaretAndNoSelection) {
    struct Case {
        int64_t caret;
        int64_t anchor;
        LRESULT shownCaret;
        LRESULT shownAnchor;
        const char* afterTyping;
    };
    // "héllo" is six bytes.
    const Case cases[] = {
        {999, -5, 6, 6, "h\xC3\xA9lloq"},
        {-1, 999, 6, 6, "h\xC3\xA9lloq"},
        {3, 999, 3, 3, "h\xC3\xA9qllo"},  // the caret is in range: it stays, the anchor falls onto it
        {4, 1, 4, 1, "hqlo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("stored caret " + std::to_string(c.caret) + ", anchor " + std::to_string(c.anchor));
        test::TempFolder folder;
        const std::wstring path = folder.File(L"memo.db");
        ASSERT_TRUE(
            test::MakeDatabaseWithNote(path, "Memo", "h\xC3\xA9llo", NoteViewState{c.caret, c.anchor, 0, 0, 0, 1}));

        ProgramRun run(L"--silent --db " + Quoted(path));
        const std::optional<test::ProgramWindows> windows = test::WaitForProgramWindows(run);
        ASSERT_TRUE(windows);
        EXPECT_TRUE(test::WaitUntil(
            [&] {
                return test::EditorCaret(windows->editor) == c.shownCaret &&
                       test::EditorAnchor(windows->editor) == c.shownAnchor;
            },
            5000))
            << "caret " << test::EditorCaret(windows->editor).value_or(-1) << ", anchor "
            << test::EditorAnchor(windows->editor).value_or(-1);

        test::PostCharacters(windows->editor, L"q");
        const std::optional<StoredState> stored = test::WaitForStoredState(path, [&](const StoredState& state) {
            const NoteRecord* note = state.NoteTitled("Memo");
            return note != nullptr && note->content == c.afterTyping;
        });
        ASSERT_TRUE(stored);
        const NoteRecord* note = stored->NoteTitled("Memo");
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->content, c.afterTyping);
        PostMessageW(windows->main, WM_CLOSE, 0, 0);
        EXPECT_EQ(run.Wait(30000), std::optional<DWORD>(0));
    }
}

// A note whose project is gone is not in the sidebar and not in the search's list: counting and
// replacing in all notes leave it alone too, so the question counts only what the user can reach.
TEST(EndToEndViewTest, ReplaceInAllNotesCountsAndRewritesOnlyNotesTheSidebarLists) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    ASSERT_TRUE(test::MakeDatabaseWithNote(path, "Seen", "needle one", NoteViewState{}));
    {
        // A plain connection does not enforce the projects' foreign key, as an older program or
        // another tool may not have.
        std::unique_ptr<Database> db = test::OpenRawDatabase(path);
        ASSERT_NE(db, nullptr);
        ASSERT_EQ(sqlite3_exec(db->handle(),
                               "INSERT INTO notes (project_id, title, content, sort_order, created_at, updated_at) "
                               "VALUES (999, 'Orphan', 'needle two needle', 1, 0, 0)",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
    }
    int64_t orphan = 0;
    {
        std::unique_ptr<Database> db = test::OpenRawDatabase(path);
        ASSERT_NE(db, nullptr);
        ASSERT_TRUE(db->QueryInt64("SELECT id FROM notes WHERE title = 'Orphan'", orphan));
    }

    ProgramRun run(L"--silent --db " + Quoted(path));
    const std::optional<test::ProgramWindows> windows = test::WaitForProgramWindows(run);
    ASSERT_TRUE(windows);
    HWND question = nullptr;
    ASSERT_NO_FATAL_FAILURE(AskToReplaceInAllNotes(run, *windows, L"needle", question));
    std::wstring expected = ProgramString(IDS_CONFIRM_REPLACE_ALL);
    expected.replace(expected.find(L"%1"), 2, L"1");
    expected.replace(expected.find(L"%2"), 2, L"1");
    test::ExpectDialogShows(question, expected);
    test::PressTaskDialogButton(question, IDS_REPLACE);

    const std::optional<StoredState> stored = test::WaitForStoredState(path, [](const StoredState& state) {
        const NoteRecord* note = state.NoteTitled("Seen");
        return note != nullptr && note->content == " one";
    });
    ASSERT_TRUE(stored);
    ASSERT_NE(stored->NoteTitled("Seen"), nullptr);
    EXPECT_EQ(stored->NoteTitled("Seen")->content, " one");
    PostMessageW(windows->main, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Wait(30000), std::optional<DWORD>(0));
    EXPECT_EQ(test::ReadNoteContent(path, orphan), std::optional<std::string>("needle two needle"));
}

}  // namespace
}  // namespace lq
