#include <gtest/gtest.h>

#include <cstdint>

#include "MainWindowFixture.h"
#include "support/PixelCapture.h"

namespace lq::test {
namespace {

constexpr COLORREF kUnpainted = RGB(255, 0, 255);

// The main window's own painting (WM_PRINTCLIENT) over magenta, so what the window did not paint can
// be told apart.
class ClientPicture : public PixelCapture {
public:
    ClientPicture(HWND window, int width, int height) : PixelCapture(width, height, kUnpainted) { Print(window); }
};

#define EXPECT_COLOUR(expected, actual) EXPECT_EQ(Hex(expected), Hex(actual))

class MainWindowPaintTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        Start();
        SetClientSize(1000, 600);
        ASSERT_EQ(main->dpi, 96) << "the pixels below are written for 96 DPI";
    }

    void MakeGlobalView(GlobalSearchView::Mode mode) {
        main->globalView = std::make_unique<GlobalSearchView>();
        ASSERT_TRUE(main->globalView->Create(hwnd(), GetModuleHandleW(nullptr), main->dpi, {}));
        main->globalView->SetMode(mode);
        main->globalViewShown = true;
        main->SetSidebarVisible(250, true);
    }

    // The frame around an edit: its top edge's middle and the fill just inside it.
    struct FrameSample {
        COLORREF edge;
        COLORREF fill;
    };
    FrameSample SampleFrame(const ClientPicture& picture, HWND edit) {
        const RECT box = ChildRect(edit);
        const int middle = (box.left + box.right) / 2;
        const int top = box.top - 3;  // 2 DIP + 1 above the box
        return FrameSample{picture.Pixel(middle, top), picture.Pixel(middle, top + 1)};
    }
};

TEST_F(MainWindowPaintTest, SidebarColumnAndSeparator) {
    ClientPicture picture(hwnd(), 1000, 600);
    EXPECT_COLOUR(RGB(0x25, 0x25, 0x26), picture.Pixel(5, 100));
    EXPECT_COLOUR(RGB(0x25, 0x25, 0x26), picture.Pixel(249, 571));
    EXPECT_COLOUR(RGB(0x33, 0x33, 0x33), picture.Pixel(250, 31));
    EXPECT_COLOUR(RGB(0x33, 0x33, 0x33), picture.Pixel(250, 571));
    // The editor's place and the menu strip are left to those windows.
    EXPECT_COLOUR(kUnpainted, picture.Pixel(251, 100));
    EXPECT_COLOUR(kUnpainted, picture.Pixel(500, 10));
    // The status strip is painted across the whole width.
    EXPECT_NE(picture.Pixel(5, 590), kUnpainted);
    EXPECT_NE(picture.Pixel(995, 590), kUnpainted);
}

TEST_F(MainWindowPaintTest, NewProjectButtonInkAndHighlight) {
    {
        ClientPicture picture(hwnd(), 1000, 600);
        // Plus sign centred on y 558: bars at x 12..23 and y 553..564.
        EXPECT_COLOUR(RGB(0xC8, 0xC8, 0xC8), picture.Pixel(17, 558));
        EXPECT_COLOUR(RGB(0xC8, 0xC8, 0xC8), picture.Pixel(12, 558));
        EXPECT_COLOUR(RGB(0xC8, 0xC8, 0xC8), picture.Pixel(17, 553));
        EXPECT_COLOUR(RGB(0x25, 0x25, 0x26), picture.Pixel(12, 553));
        EXPECT_COLOUR(RGB(0x25, 0x25, 0x26), picture.Pixel(9, 548));
        // The label is drawn right of the plus sign.
        EXPECT_LT(picture.CountOf(RECT{31, 544, 238, 572}, RGB(0x25, 0x25, 0x26)), (238 - 31) * 28);
    }
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 558));
    ASSERT_TRUE(main->newProjectHot);
    {
        ClientPicture picture(hwnd(), 1000, 600);
        EXPECT_COLOUR(RGB(0xFF, 0xFF, 0xFF), picture.Pixel(17, 558));
        EXPECT_COLOUR(RGB(0x2A, 0x2D, 0x2E), picture.Pixel(9, 548));
        EXPECT_COLOUR(RGB(0x2A, 0x2D, 0x2E), picture.Pixel(12, 553));
        // Outside the highlight the sidebar stays as it was.
        EXPECT_COLOUR(RGB(0x25, 0x25, 0x26), picture.Pixel(240, 550));
    }
}

TEST_F(MainWindowPaintTest, HiddenSidebarPaintsNoColumn) {
    main->SetSidebarVisible(250, false);
    ClientPicture picture(hwnd(), 1000, 600);
    EXPECT_COLOUR(kUnpainted, picture.Pixel(5, 100));
    EXPECT_COLOUR(kUnpainted, picture.Pixel(250, 100));
    EXPECT_COLOUR(kUnpainted, picture.Pixel(17, 558));
    EXPECT_NE(picture.Pixel(5, 590), kUnpainted);
}

TEST_F(MainWindowPaintTest, GlobalViewInSearchModeFramesTheQueryOnly) {
    MakeGlobalView(GlobalSearchView::Mode::Search);
    main->globalView->SetStatusText(L"3 件");
    {
        ClientPicture picture(hwnd(), 1000, 600);
        const FrameSample frame = SampleFrame(picture, main->globalView->queryEdit());
        EXPECT_COLOUR(RGB(69, 69, 69), frame.edge);
        EXPECT_COLOUR(RGB(60, 60, 60), frame.fill);
        // No new-project button while the view stands there.
        EXPECT_COLOUR(RGB(0x25, 0x25, 0x26), picture.Pixel(17, 558));
        EXPECT_EQ(picture.CountOf(RECT{0, 36, 250, 572}, RGB(0x9D, 0x9D, 0x9D)), 0);
    }
    main->globalView->SetNoMatch(true);
    {
        ClientPicture picture(hwnd(), 1000, 600);
        EXPECT_COLOUR(RGB(248, 81, 73), SampleFrame(picture, main->globalView->queryEdit()).edge);
    }
    main->globalView->SetNoMatch(false);
    SetFocus(main->globalView->queryEdit());
    {
        ClientPicture picture(hwnd(), 1000, 600);
        EXPECT_COLOUR(RGB(52, 211, 153), SampleFrame(picture, main->globalView->queryEdit()).edge);
    }
}

TEST_F(MainWindowPaintTest, GlobalViewInReplaceModeFramesBothAndShowsTheMessage) {
    MakeGlobalView(GlobalSearchView::Mode::Replace);
    main->globalView->SetNoMatch(true);
    main->globalView->SetStatusText(L"置換しました WWW");
    const RECT statusRect = main->globalView->statusRect();
    ASSERT_GT(statusRect.right, statusRect.left);
    ClientPicture picture(hwnd(), 1000, 600);
    EXPECT_COLOUR(RGB(248, 81, 73), SampleFrame(picture, main->globalView->queryEdit()).edge);
    // The replacement box is never flagged.
    const FrameSample replace = SampleFrame(picture, main->globalView->replaceEdit());
    EXPECT_COLOUR(RGB(69, 69, 69), replace.edge);
    EXPECT_COLOUR(RGB(60, 60, 60), replace.fill);
    EXPECT_GT(picture.CountOf(statusRect, RGB(0x9D, 0x9D, 0x9D)), 0);
}

}  // namespace
}  // namespace lq::test
