// The view a note was left with, as the real program shows it again when it starts on that note.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "EndToEndDatabase.h"
#include "EndToEndInput.h"
#include "ProgramFile.h"
#include "ProgramRun.h"
#include "resources/ResourceIds.h"
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

// The child of `parent` with that class and text, or null.
HWND FindChildWithText(HWND parent, const wchar_t* className, const std::wstring& text) {
    for (HWND child = FindWindowExW(parent, nullptr, className, nullptr); child != nullptr;
         child = FindWindowExW(parent, child, className, nullptr)) {
        if (test::QueryText(child) == text) return child;
    }
    return nullptr;
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

    // Replace "q" by nothing in all notes: the view's query box has the focus when it opens.
    PostMessageW(windows->main, WM_COMMAND, IDM_REPLACE_ALL_NOTES, 0);
    HWND query = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] {
        query = test::FocusOnThreadOf(windows->main);
        return query != nullptr && query != windows->editor;
    }));
    test::PostCharacters(query, L"q");
    const HWND button = FindChildWithText(windows->main, L"Button", ProgramString(IDS_REPLACE_ALL));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(test::WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }));
    PostMessageW(button, BM_CLICK, 0, 0);
    const HWND question = run.WaitForDialog(20000);
    ASSERT_NE(question, nullptr) << "no question before replacing";
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

}  // namespace
}  // namespace lq
