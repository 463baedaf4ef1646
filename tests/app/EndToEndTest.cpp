// The whole program used as a user would: keys typed into its editor, its own saving, closing and
// starting again, a new note from the keyboard, and a database another program keeps locked. What it
// did is read back from its windows and, through a second connection, from its database file.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <regex>
#include <string>

#include "EndToEndDatabase.h"
#include "EndToEndInput.h"
#include "EndToEndScreenshot.h"
#include "ProgramFile.h"
#include "ProgramRun.h"
#include "resources/ResourceIds.h"
#include "support/LockingConnection.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::ProgramWindows;
using test::StoredState;

// What is typed (each "\n" is the Enter key), how the editor holds it, and how the note stores it:
// ASCII, Japanese and a character outside the BMP, which arrives as two WM_CHAR units.
constexpr wchar_t kTyped[] = L"Lantern notes\n日本語のメモ\U0001F3EE";
constexpr wchar_t kShown[] = L"Lantern notes\r\n日本語のメモ\U0001F3EE";
constexpr char kStored[] = "Lantern notes\r\n日本語のメモ\U0001F3EE";
// After Home and two steps right on the second line: "Lantern notes\r\n" is 15 bytes, "日本" 6.
constexpr LRESULT kCaretAfterMoving = 21;

constexpr wchar_t kFirstCaption[] = L"Inbox / Memo \u2014 Lanternquill";

std::string TodayTitle() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16] = {};
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// The stored content of the note with that title, or none.
std::optional<std::string> ContentOf(const StoredState& state, const std::string& title) {
    const NoteRecord* note = state.NoteTitled(title);
    if (note == nullptr) return std::nullopt;
    return note->content;
}

// The placement text the program stores for a window with this placement.
std::string PlacementText(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return {};
    const RECT& r = placement.rcNormalPosition;
    const bool maximised = placement.showCmd == SW_MAXIMIZE || IsZoomed(window);
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "," + (maximised ? "1" : "0");
}

// Red text of the status strip's warning (#F85149), where the strip is on screen.
int WarningPixelsInStatusStrip(HWND main) {
    const std::optional<test::Screenshot> shot = test::Screenshot::OfClientArea(main);
    if (!shot) return -1;
    const UINT dpi = GetDpiForWindow(main);
    const RECT strip{0, shot->height() - MulDiv(28, dpi == 0 ? 96 : static_cast<int>(dpi), 96), shot->width() / 2,
                     shot->height()};
    return shot->CountNear(strip, RGB(0xF8, 0x51, 0x49), 24);
}

class EndToEndTest : public testing::Test {
protected:
    // A started program whose windows are there, with the editor focused as the user finds it.
    std::optional<ProgramWindows> Start(std::unique_ptr<ProgramRun>& run) { return test::StartInFront(run, path); }

    // Closes the main window as its close box does; the exit code, none when the program hung.
    static std::optional<DWORD> Close(ProgramRun& run, HWND main) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return run.Wait(30000);
    }

    test::TempFolder folder;
    std::wstring path = folder.File(L"memo.db");
};

TEST_F(EndToEndTest, TypedTextSavesItselfAndTheNextStartResumesWhereItWasLeft) {
    std::string placement;
    int64_t noteId = 0;
    {
        SCOPED_TRACE("the first run, on a new file");
        std::unique_ptr<ProgramRun> run;
        const std::optional<ProgramWindows> windows = Start(run);
        ASSERT_TRUE(windows) << "no main window with an editor and a sidebar tree";
        EXPECT_EQ(test::FocusOnThreadOf(windows->main), windows->editor) << "the editor has the focus at start";
        EXPECT_EQ(test::Caption(windows->main), kFirstCaption);

        test::PostTyping(windows->editor, kTyped);
        EXPECT_TRUE(test::WaitUntil([&] { return test::QueryText(windows->editor) == kShown; }))
            << "the editor shows: " << testing::PrintToString(test::QueryText(windows->editor));

        // No save is asked for: the pause after typing saves by itself.
        const std::optional<StoredState> saved = test::WaitForStoredState(
            path, [](const StoredState& state) { return ContentOf(state, "Memo") == std::string(kStored); }, 10000);
        ASSERT_TRUE(saved);
        ASSERT_EQ(ContentOf(*saved, "Memo"), std::string(kStored)) << "the pause did not save the typing";
        ASSERT_EQ(saved->notes.size(), 1u);
        noteId = saved->notes[0].id;

        test::PostKey(windows->editor, VK_HOME);
        test::PostKey(windows->editor, VK_RIGHT, 2);
        EXPECT_TRUE(test::WaitUntil([&] { return test::EditorCaret(windows->editor) == kCaretAfterMoving; }));
        // Hidden through the View menu, so the next run must bring the sidebar back hidden.
        PostMessageW(windows->main, WM_COMMAND, IDM_SHOW_SIDEBAR, 0);
        EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(windows->tree); }));

        placement = PlacementText(windows->main);
        EXPECT_EQ(Close(*run, windows->main), std::optional<DWORD>(0));
    }
    {
        const std::optional<StoredState> stored = test::ReadStoredState(path);
        ASSERT_TRUE(stored);
        ASSERT_EQ(stored->notes.size(), 1u);
        const NoteRecord& note = stored->notes[0];
        EXPECT_EQ(note.content, kStored);
        EXPECT_EQ(note.view.cursorPos, kCaretAfterMoving);
        EXPECT_EQ(note.view.anchorPos, kCaretAfterMoving);
        EXPECT_NE(note.view.openedAt, 0);
        EXPECT_EQ(stored->Setting("last.note_id"), std::optional<std::string>(std::to_string(noteId)));
        EXPECT_FALSE(placement.empty());
        EXPECT_EQ(stored->Setting("window.placement"), std::optional<std::string>(placement));
        EXPECT_EQ(stored->Setting("sidebar.visible"), std::optional<std::string>("0"));
        EXPECT_EQ(stored->Setting("sidebar.width"), std::optional<std::string>("250"));
    }
    {
        SCOPED_TRACE("the second run, on the same file");
        std::unique_ptr<ProgramRun> run;
        const std::optional<ProgramWindows> windows = Start(run);
        ASSERT_TRUE(windows);
        EXPECT_EQ(test::Caption(windows->main), kFirstCaption);
        EXPECT_EQ(test::QueryText(windows->editor), kShown);
        EXPECT_EQ(test::EditorCaret(windows->editor), std::optional<LRESULT>(kCaretAfterMoving));
        EXPECT_EQ(test::EditorAnchor(windows->editor), std::optional<LRESULT>(kCaretAfterMoving));
        EXPECT_FALSE(IsWindowVisible(windows->tree)) << "the sidebar was hidden when the last run ended";
        EXPECT_EQ(PlacementText(windows->main), placement);

        // Typing goes on where the caret was left.
        test::PostCharacters(windows->editor, L"語");
        const std::optional<StoredState> saved = test::WaitForStoredState(
            path, [](const StoredState& state) { return ContentOf(state, "Memo") != std::string(kStored); }, 10000);
        ASSERT_TRUE(saved);
        EXPECT_EQ(ContentOf(*saved, "Memo"), std::string("Lantern notes\r\n日本語語のメモ\U0001F3EE"));
        EXPECT_EQ(Close(*run, windows->main), std::optional<DWORD>(0));
    }
}

TEST_F(EndToEndTest, CtrlNMakesANoteThatTakesTheTypedNameAndText) {
    std::unique_ptr<ProgramRun> run;
    const std::optional<ProgramWindows> windows = Start(run);
    ASSERT_TRUE(windows);
    ASSERT_EQ(GetForegroundWindow(), windows->main) << "keys from the system's input need the window in front";

    // Ctrl+N through the system's input: the program reads Ctrl with GetKeyState, which posted
    // messages cannot set.
    ASSERT_TRUE(test::PressChord({VK_CONTROL, 'N'}));
    const std::string today = TodayTitle();
    const std::optional<StoredState> created = test::WaitForStoredState(
        path, [](const StoredState& state) { return state.notes.size() == 2; }, 10000);
    ASSERT_TRUE(created);
    ASSERT_EQ(created->notes.size(), 2u) << "Ctrl+N made no note";
    const NoteRecord* dated = created->NoteTitled(today);
    ASSERT_NE(dated, nullptr) << "the new note is named with today's date";
    const int64_t newId = dated->id;
    EXPECT_EQ(dated->projectId, created->notes[0].projectId);
    EXPECT_TRUE(test::WaitUntil([&] {
        return test::Caption(windows->main) == L"Inbox / " + Wide(today) + L" \u2014 Lanternquill";
    })) << testing::PrintToString(test::Caption(windows->main));

    // The new note's name is being edited in the sidebar: what is typed there names it.
    HWND labelEdit = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] {
        labelEdit = reinterpret_cast<HWND>(test::SendQuery(windows->tree, TVM_GETEDITCONTROL).value_or(0));
        return labelEdit != nullptr;
    })) << "no label edit for the new note";
    ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOnThreadOf(windows->main) == labelEdit; }));
    ASSERT_TRUE(test::TypeThroughInput(L"買い物\n"));
    const std::optional<StoredState> named = test::WaitForStoredState(
        path, [](const StoredState& state) { return state.NoteTitled("買い物") != nullptr; }, 10000);
    ASSERT_TRUE(named);
    ASSERT_NE(named->NoteTitled("買い物"), nullptr) << "the typed name was not stored";
    EXPECT_EQ(named->NoteTitled("買い物")->id, newId);
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows->main) == L"Inbox / 買い物 \u2014 Lanternquill"; }))
        << testing::PrintToString(test::Caption(windows->main));

    // The editor now holds the new note, so its typing goes there and not into "Memo".
    ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOnThreadOf(windows->main) == windows->editor; }))
        << "the editor has no focus after the name";
    ASSERT_TRUE(test::TypeThroughInput(L"牛乳\nパン"));
    const std::optional<StoredState> typed = test::WaitForStoredState(
        path, [](const StoredState& state) { return ContentOf(state, "買い物") == std::string("牛乳\r\nパン"); },
        10000);
    ASSERT_TRUE(typed);
    EXPECT_EQ(ContentOf(*typed, "買い物"), std::string("牛乳\r\nパン"));
    EXPECT_EQ(ContentOf(*typed, "Memo"), std::string());

    EXPECT_EQ(Close(*run, windows->main), std::optional<DWORD>(0));
    const std::optional<StoredState> stored = test::ReadStoredState(path);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->notes.size(), 2u);
    EXPECT_EQ(stored->Setting("last.note_id"), std::optional<std::string>(std::to_string(newId)));
}

TEST_F(EndToEndTest, ASidebarHiddenWithItsKeyStaysHiddenAfterClosingWithTheSearchViewOpen) {
    {
        SCOPED_TRACE("the first run");
        std::unique_ptr<ProgramRun> run;
        const std::optional<ProgramWindows> windows = Start(run);
        ASSERT_TRUE(windows);
        ASSERT_EQ(GetForegroundWindow(), windows->main) << "keys from the system's input need the window in front";
        ASSERT_TRUE(test::PressChord({VK_CONTROL, 'B'}));
        ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(windows->tree); })) << "Ctrl+B did not hide it";
        // The search across all notes takes the hidden sidebar's place until it is closed.
        ASSERT_TRUE(test::PressChord({VK_CONTROL, VK_SHIFT, 'F'}));
        ASSERT_TRUE(test::WaitUntil([&] {
            const HWND focus = test::FocusOnThreadOf(windows->main);
            return focus != nullptr && focus != windows->editor && IsWindowVisible(focus);
        })) << "the search view did not open";
        EXPECT_EQ(Close(*run, windows->main), std::optional<DWORD>(0));
    }
    const std::optional<StoredState> stored = test::ReadStoredState(path);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Setting("sidebar.visible"), std::optional<std::string>("0"));
    {
        SCOPED_TRACE("the second run");
        std::unique_ptr<ProgramRun> run;
        const std::optional<ProgramWindows> windows = Start(run);
        ASSERT_TRUE(windows);
        EXPECT_FALSE(IsWindowVisible(windows->tree)) << "the sidebar the user hid came back";
        EXPECT_EQ(Close(*run, windows->main), std::optional<DWORD>(0));
    }
}

TEST_F(EndToEndTest, ASaveBlockedByAnotherProgramIsReportedOnceAndNothingTypedIsLost) {
    std::unique_ptr<ProgramRun> run;
    const std::optional<ProgramWindows> windows = Start(run);
    ASSERT_TRUE(windows);
    test::PostTyping(windows->editor, L"before the lock");
    ASSERT_TRUE(test::WaitForStoredState(
        path, [](const StoredState& state) { return ContentOf(state, "Memo") == std::string("before the lock"); },
        10000));

    auto lock = std::make_unique<test::LockingConnection>(path);
    ASSERT_TRUE(lock->locked());
    test::PostTyping(windows->editor, L"\n鍵の間に書いた");

    // The save after the pause waits out its busy time, fails, and tells the user.
    const HWND message = run->WaitForDialog(20000);
    ASSERT_NE(message, nullptr) << "no message about the failed save";
    const std::vector<std::wstring> texts = test::DialogTexts(message);
    if (!texts.empty()) {  // Windows draws a task dialog's texts itself
        bool shown = false;
        for (const std::wstring& text : texts) shown = shown || text == ProgramString(IDS_SAVE_FAILED);
        EXPECT_TRUE(shown) << "the message is not the save failure";
    }
    test::PressTaskDialogButton(message, IDOK);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(message) || !IsWindowVisible(message); }, 10000));
    // The failure stays shown in the status strip while the file is locked.
    test::BringToFront(windows->main);
    EXPECT_TRUE(test::WaitUntil([&] { return WarningPixelsInStatusStrip(windows->main) > 0; }, 10000))
        << "\"" << testing::PrintToString(ProgramString(IDS_STATUS_SAVE_FAILED)) << "\" is not shown";
    if (const std::optional<test::Screenshot> shot = test::Screenshot::OfClientArea(windows->main)) {
        (void)shot->SaveBmp(test::ScreenshotFolder() + L"\\main-window-save-failed.bmp");
    }
    // The saves that keep failing while the lock lasts do not ask again.
    EXPECT_EQ(run->WaitForDialog(3500), nullptr) << "a second message for the same run of failures";

    lock.reset();
    test::PostCharacters(windows->editor, L"。");
    const std::string everything = "before the lock\r\n鍵の間に書いた。";
    const std::optional<StoredState> saved = test::WaitForStoredState(
        path, [&](const StoredState& state) { return ContentOf(state, "Memo") == everything; }, 15000);
    ASSERT_TRUE(saved);
    EXPECT_EQ(ContentOf(*saved, "Memo"), everything) << "typing from the locked time was lost";
    EXPECT_TRUE(test::WaitUntil([&] { return WarningPixelsInStatusStrip(windows->main) == 0; }, 10000))
        << "the failure is still shown after a good save";
    EXPECT_EQ(run->WaitForDialog(200), nullptr);

    EXPECT_EQ(Close(*run, windows->main), std::optional<DWORD>(0));
    const std::optional<StoredState> stored = test::ReadStoredState(path);
    ASSERT_TRUE(stored);
    EXPECT_EQ(ContentOf(*stored, "Memo"), everything);
}

}  // namespace
}  // namespace lq
