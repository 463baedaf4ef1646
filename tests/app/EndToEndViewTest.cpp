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
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/SettingsStore.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::Quoted;

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
    int64_t noteId = 0;
    {
        std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr);
        const std::optional<int64_t> project = ProjectStore(*db).InsertProject("Inbox", 1);
        ASSERT_TRUE(project);
        const std::optional<int64_t> note = NoteStore(*db).InsertNote(*project, "Wide", 1);
        ASSERT_TRUE(note);
        noteId = *note;
        std::string text;
        for (int i = 0; i < kShortLines; ++i) text += "short\r\n";
        for (int i = 0; i < 100; ++i) text += std::string(400, 'w') + "\r\n";
        ASSERT_TRUE(NoteStore(*db).SaveNote(noteId, text, NoteViewState{kCaret, kCaret, 0, 0, kStoredXOffset, 1}, 1));
        SettingsStore settings(*db);
        ASSERT_TRUE(settings.SetSetting("editor.wrap", "0"));
        ASSERT_TRUE(settings.SetSetting("editor.font_size", "8"));
        ASSERT_TRUE(settings.SetSetting("last.note_id", std::to_string(noteId)));
        ASSERT_TRUE(settings.SetSetting("window.placement", kTallPlacement));
    }

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

}  // namespace
}  // namespace lq
