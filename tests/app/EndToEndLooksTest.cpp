// How the program looks when it starts: a picture of its main window taken from the screen, saved in
// the build folder for people to look at, and a few of its pixels checked against the dark palette.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "EndToEndInput.h"
#include "EndToEndScreenshot.h"
#include "ProgramRun.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::Quoted;

constexpr COLORREF kPanel = RGB(0x25, 0x25, 0x26);
constexpr COLORREF kEditorBackground = RGB(0x1E, 0x1E, 0x1E);
constexpr COLORREF kBorder = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kSecondaryText = RGB(0x9D, 0x9D, 0x9D);

int Scaled(int value, UINT dpi) {
    return MulDiv(value, dpi == 0 ? 96 : static_cast<int>(dpi), 96);
}

TEST(EndToEndLooksTest, TheMainWindowStartsDarkWithItsSidebarEditorAndStatusStrip) {
    test::TempFolder folder;
    ProgramRun run(L"--silent --db " + Quoted(folder.File(L"memo.db")));
    const std::optional<test::ProgramWindows> windows = test::WaitForProgramWindows(run);
    ASSERT_TRUE(windows);
    test::BringToFront(windows->main);
    // Give the first paint of every part time to reach the screen.
    Sleep(500);
    const std::optional<test::Screenshot> shot = test::Screenshot::OfClientArea(windows->main);
    ASSERT_TRUE(shot);
    EXPECT_TRUE(shot->SaveBmp(test::ScreenshotFolder() + L"\\main-window-at-start.bmp"));

    const UINT dpi = GetDpiForWindow(windows->main);
    const RECT tree = test::RectIn(windows->main, windows->tree);
    const RECT editor = test::RectIn(windows->main, windows->editor);
    const int statusTop = shot->height() - Scaled(28, dpi);
    ASSERT_GT(tree.right, tree.left);
    ASSERT_GT(editor.right, editor.left);

    struct Probe {
        const char* what;
        int x;
        int y;
        COLORREF colour;
    };
    const Probe probes[] = {
        // Below the two rows of a new file's tree, and in the gap the window paints above it.
        {"the sidebar tree's background", (tree.left + tree.right) / 2, tree.bottom - 4, kPanel},
        {"the sidebar column above the tree", 3, tree.top - 2, kPanel},
        {"the line between sidebar and editor", editor.left - 1, (editor.top + editor.bottom) / 2, kBorder},
        // The empty note has one line; far below it only the background shows.
        {"the editor's background", editor.right - 30, editor.bottom - 10, kEditorBackground},
        {"the status strip's top line", shot->width() / 2, statusTop, kBorder},
        {"the status strip", shot->width() / 2, statusTop + 3, kPanel},
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(test::ColourText(shot->Pixel(probe.x, probe.y)), test::ColourText(probe.colour))
            << probe.what << " at (" << probe.x << ", " << probe.y << ")";
    }
    // The strip shows its texts ("行 1、列 1", "0 文字", "UTF-8") in the secondary grey.
    const RECT strip{0, statusTop + 1, shot->width(), shot->height()};
    EXPECT_GT(shot->CountNear(strip, kSecondaryText, 8), 0) << "no text in the status strip";
    // Light pixels belong to text and marks only; a part left with a pale default background would
    // make far more of them.
    const RECT client{0, 0, shot->width(), shot->height()};
    const int light = shot->CountNear(client, RGB(0xE0, 0xE0, 0xE0), 0x1F);
    EXPECT_LT(light, shot->width() * shot->height() / 100) << light << " light pixels in a dark window";

    PostMessageW(windows->main, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Wait(30000), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace lq
