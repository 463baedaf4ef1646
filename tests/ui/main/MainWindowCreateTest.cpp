#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "ui/frame/MainWindowGeometry.h"

namespace lq::test {
namespace {

class MainWindowCreateTest : public MainWindowFixture {};

TEST_F(MainWindowCreateTest, StartsWithItsChildrenAndTheStartupNote) {
    const int64_t project = AddProject("Work");
    const int64_t note = AddNote(project, "Plan", "first line");
    SetSetting("last.note_id", std::to_string(note));
    Start();

    ASSERT_TRUE(IsWindow(hwnd()));
    wchar_t className[64] = {};
    GetClassNameW(hwnd(), className, 64);
    EXPECT_STREQ(className, L"Lanternquill.Main");
    EXPECT_TRUE(IsWindowVisible(hwnd()));
    EXPECT_EQ(GetMenu(hwnd()), nullptr);  // the menu lives in the strip only
    const LONG_PTR style = GetWindowLongPtrW(hwnd(), GWL_STYLE);
    EXPECT_EQ(style & WS_CLIPCHILDREN, WS_CLIPCHILDREN);

    EXPECT_EQ(GetParent(main->editor.hwnd()), hwnd());
    EXPECT_EQ(GetParent(main->sidebar.hwnd()), hwnd());
    EXPECT_EQ(GetParent(main->menuBar.toolbar()), hwnd());
    EXPECT_EQ(workspace->currentNoteId, note);
    EXPECT_EQ(EditorText(), "first line");
    EXPECT_EQ(main->sidebar.ItemCount(), 2u);
    EXPECT_EQ(main->newProjectLabel, L"プロジェクト");
    EXPECT_TRUE(main->showMessage);
    EXPECT_TRUE(main->confirm);
    EXPECT_NE(main->mainMenu, nullptr);
}

TEST_F(MainWindowCreateTest, DestroyingReleasesTheWorkspaceAndQuits) {
    Start();
    const HWND window = hwnd();
    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(main->workspace, nullptr);
    EXPECT_EQ(main->uiFont, nullptr);
    EXPECT_EQ(main->mainMenu, nullptr);
    EXPECT_EQ(main->hwnd, nullptr);
    MSG message{};
    bool quit = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) quit = quit || message.message == WM_QUIT;
    EXPECT_TRUE(quit);
    // Every document went back to the editing component while the editor still existed.
    EXPECT_TRUE(workspace->documents.empty());
}

TEST_F(MainWindowCreateTest, AWindowNeverOutlivesItsObject) {
    // As after a creation that stopped halfway: the object goes while its window still stands.
    auto orphan = std::make_unique<MainWindow>();
    ASSERT_TRUE(orphan->Create(GetModuleHandleW(nullptr), nullptr, false));
    const HWND window = orphan->hwnd;
    orphan.reset();
    EXPECT_FALSE(IsWindow(window));
    Pump();
}

}  // namespace
}  // namespace lq::test
