#pragma once

// The whole main window over a real database file, for tests of the window and its commands.
//
//   class MainWindowSaveTest : public MainWindowFixture {};
//   TEST_F(MainWindowSaveTest, TypingSavesAfterAPause) {
//       const int64_t project = AddProject("Work");          // rows go in before Start()
//       const int64_t note = AddNote(project, "Plan", "one");
//       SetSetting("last.note_id", std::to_string(note));
//       Start();                                              // created, loaded, tree filled, shown
//       Type(" two");                                         // at the caret, as the user types
//       ASSERT_TRUE(PumpUntil([&] { return Stored(note).content == "one two"; }));
//   }
//
// Start() does what the start-up does between creating the window and its message loop: creates the
// MainWindow (no timing marks), builds the Workspace over the database and the window's editor,
// applies the sidebar settings, loads, attaches the workspace, fills the tree, gives the workspace
// its placement and sidebar providers, and shows the window (RestorePlacement). Messages are only
// handled while a test pumps them. Stop() (also run by TearDown) destroys the window, then the
// workspace, then the MainWindow object, then closes the database; a window the test closed itself
// is simply gone. Dialogs the window shows must be answered by a DialogWatcher.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/Database.h"
#include "store/Rows.h"
#include "support/KeyPress.h"
#include "support/TempFolder.h"
#include "ui/main/MainWindow.h"
#include "workspace/Workspace.h"

namespace lq::test {

// How Start() sets the window up.
struct MainWindowStart {
    int32_t sidebarWidthDip = 250;
    bool sidebarVisible = true;
    std::string placement;  // the "window.placement" text to restore; empty: the start size
    bool show = true;       // false: the window stays hidden (nothing is restored)
};

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates, loads and shows everything; the test stops at the first step that fails.
    void Start(const MainWindowStart& options = {});
    // Destroys the window, the workspace, the window object and the database, in that order.
    void Stop();

    // --- The database, before Start() or through the window's own connection afterwards ---
    int64_t AddProject(const std::string& name);
    // A note with content and stored view, last in its project.
    int64_t AddNote(int64_t projectId, const std::string& title, std::string_view content = {},
                    const NoteViewState& view = {});
    void SetSetting(const std::string& key, const std::string& value);
    // Runs SQL; the test fails when it does not run.
    void Exec(const std::string& sql);
    [[nodiscard]] NoteRecord Stored(int64_t noteId);
    [[nodiscard]] std::optional<std::string> StoredSetting(const char* key);
    [[nodiscard]] int64_t CountRows(const char* table);

    // --- Messages ---
    // Dispatches every message waiting for this thread.
    static void Pump();
    // Pumps (sleeping briefly between rounds) for `duration`.
    static void PumpFor(std::chrono::milliseconds duration);
    // Pumps until `done` holds; false when it still does not after `timeout`.
    static bool PumpUntil(const std::function<bool()>& done,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));
    // What the program's message loop does with every message waiting: the key pre-translation
    // first, then translation and dispatch. Stops at the quit message, which it leaves for Stop().
    void LoopPump();
    // A key pressed in the focused window, posted to the queue as the keyboard does (the modifiers
    // held meanwhile) and taken through the loop with LoopPump.
    void PressInLoop(UINT virtualKey, Modifiers modifiers = {});
    // Characters typed into the focused window, each posted as its translated key and taken
    // through the loop.
    void TypeInLoop(std::wstring_view text);
    // Lets the loop's idle turns fill word completion's index to the end; the test fails when it
    // does not finish in time.
    void FinishWordFill();

    // --- The window ---
    // Resizes the window so that its client area has this size (it never goes below the window's
    // minimum tracking size of 640 x 400 DIP).
    void SetClientSize(int width, int height);
    // A child's rectangle in the main window's client coordinates.
    [[nodiscard]] RECT ChildRect(HWND child) const;
    // Whether the autosave timer is running; asking restarts its 800 ms.
    [[nodiscard]] bool AutosaveTimerArmed();

    // --- The editor ---
    // Inserts UTF-8 text at the caret as typing does (undoable, marks the note modified, notifies).
    void Type(std::string_view text);
    // Sends one character to the editor as the keyboard would (WM_CHAR).
    void TypeChar(wchar_t character);
    [[nodiscard]] std::string EditorText();
    [[nodiscard]] Scintilla::ScintillaCall& call() { return main->editor.call(); }
    [[nodiscard]] HWND hwnd() const { return main ? main->hwnd : nullptr; }

    TempFolder folder;
    std::wstring path;
    std::unique_ptr<Database> db;
    std::unique_ptr<MainWindow> main;
    std::optional<Workspace> workspace;
};

}  // namespace lq::test
