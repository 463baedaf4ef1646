#include "ui/search/GlobalSearchView.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "GlobalSearchViewFixture.h"
#include "support/PixelCapture.h"
#include "ui/search/GlobalSearchLayout.h"
#include "ui/search/HighlightedText.h"

namespace lq {
namespace {

using test::Hex;
using test::MakeHits;
using test::PixelCapture;
using Mode = GlobalSearchView::Mode;

constexpr COLORREF kPanel = RGB(0x25, 0x25, 0x26);
constexpr COLORREF kSelectedRow = RGB(0x37, 0x37, 0x3D);

bool Reddish(COLORREF c) {
    return GetRValue(c) > 60 && GetRValue(c) > 2 * GetGValue(c) && GetRValue(c) > 2 * GetBValue(c);
}
bool Greenish(COLORREF c) {
    return GetGValue(c) > 60 && GetGValue(c) > 2 * GetRValue(c) && GetGValue(c) > 2 * GetBValue(c);
}

int TextWidth(HDC dc, std::wstring_view text) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

// Red text with a green match on black, in the stock GUI font.
class HighlightCanvas : public PixelCapture {
public:
    HighlightCanvas() : PixelCapture(400, 24, RGB(0, 0, 0)) {
        previousFont_ = SelectObject(dc(), GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc(), TRANSPARENT);
    }
    ~HighlightCanvas() { SelectObject(dc(), previousFont_); }
    int Draw(const RECT& rect, std::wstring_view text, TextMatch match) {
        return DrawHighlightedText(dc(), rect, text, match, RGB(255, 0, 0), RGB(0, 255, 0));
    }

private:
    HGDIOBJ previousFont_;
};

TEST(GlobalSearchViewHighlight, DrawsThePiecesSideBySideInTheirColours) {
    HighlightCanvas canvas;
    ASSERT_TRUE(canvas.ok());
    const std::wstring text = L"plain MATCH tail";
    const RECT rect{10, 0, 390, 24};
    const int end = canvas.Draw(rect, text, TextMatch{6, 5});
    const int prefix = TextWidth(canvas.dc(), L"plain ");
    const int match = TextWidth(canvas.dc(), L"MATCH");
    EXPECT_EQ(end, 10 + TextWidth(canvas.dc(), text));

    const int matchLeft = 10 + prefix, matchRight = matchLeft + match;
    EXPECT_TRUE(canvas.Any(RECT{10, 0, matchLeft - 1, 24}, Reddish));
    EXPECT_FALSE(canvas.Any(RECT{10, 0, matchLeft - 1, 24}, Greenish));
    EXPECT_TRUE(canvas.Any(RECT{matchLeft, 0, matchRight, 24}, Greenish));
    EXPECT_FALSE(canvas.Any(RECT{matchLeft + 1, 0, matchRight - 1, 24}, Reddish));
    EXPECT_TRUE(canvas.Any(RECT{matchRight + 1, 0, end, 24}, Reddish));
    EXPECT_FALSE(canvas.Any(RECT{end + 2, 0, 400, 24}, [](COLORREF c) { return c != RGB(0, 0, 0); }));
    EXPECT_FALSE(canvas.Any(RECT{0, 0, 10, 24}, [](COLORREF c) { return c != RGB(0, 0, 0); }));

    EXPECT_EQ(canvas.Draw(RECT{5, 0, 100, 24}, L"", TextMatch{0, 3}), 5);
}

TEST(GlobalSearchViewHighlight, AMatchBeyondTheVisibleWidthIsCutOffWithThePieceBeforeIt) {
    HighlightCanvas canvas;
    ASSERT_TRUE(canvas.ok());
    const std::wstring text = std::wstring(80, L'x') + L" needle";
    const RECT rect{0, 0, 120, 24};
    EXPECT_EQ(canvas.Draw(rect, text, TextMatch{81, 6}), 120);
    EXPECT_TRUE(canvas.Any(rect, Reddish));
    EXPECT_FALSE(canvas.Any(RECT{0, 0, 400, 24}, Greenish));
    EXPECT_FALSE(canvas.Any(RECT{121, 0, 400, 24}, [](COLORREF c) { return c != RGB(0, 0, 0); }));

    // A match that itself passes the edge is drawn as far as it fits, and nothing after it.
    HighlightCanvas second;
    const std::wstring long_match = L"ab" + std::wstring(80, L'y') + L" tail";
    EXPECT_EQ(second.Draw(rect, long_match, TextMatch{2, 80}), 120);
    EXPECT_TRUE(second.Any(rect, Greenish));
    EXPECT_FALSE(second.Any(RECT{121, 0, 400, 24}, [](COLORREF c) { return c != RGB(0, 0, 0); }));
}

class GlobalSearchViewDrawTest : public test::GlobalSearchViewFixture {
protected:
    // Draws item `itemID` of `control` in `state` over a canvas of the given size.
    void Draw(PixelCapture& canvas, HWND control, UINT itemID, UINT state, int width, int height) {
        DRAWITEMSTRUCT item{};
        item.CtlType = control == view_.resultList() ? ODT_LISTBOX : ODT_BUTTON;
        item.itemID = itemID;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = control;
        item.hDC = canvas.dc();
        item.rcItem = RECT{0, 0, width, height};
        EXPECT_TRUE(view_.OnDrawItem(item));
    }
};

TEST_F(GlobalSearchViewDrawTest, ButtonFaceBorderAndTextFollowItsState) {
    ASSERT_TRUE(CreateView());
    struct Case {
        UINT state;
        COLORREF face;
        COLORREF border;
        int textBrightness;
    };
    const Case cases[] = {
        {0, RGB(0x3C, 0x3C, 0x3C), RGB(0x45, 0x45, 0x45), 0xCC},
        {ODS_SELECTED, RGB(0x37, 0x37, 0x3D), RGB(0x45, 0x45, 0x45), 0xCC},
        {ODS_FOCUS, RGB(0x3C, 0x3C, 0x3C), RGB(0x34, 0xD3, 0x99), 0xCC},
        {ODS_DISABLED, RGB(0x3C, 0x3C, 0x3C), RGB(0x45, 0x45, 0x45), 0x6E},
    };
    for (const Case& c : cases) {
        PixelCapture canvas(120, 24, RGB(255, 0, 255));
        ASSERT_TRUE(canvas.ok());
        Draw(canvas, view_.replaceAllButton(), 0, c.state, 120, 24);
        EXPECT_EQ(canvas.Pixel(0, 0), kPanel) << "corner outside the rounding, state " << c.state;
        EXPECT_EQ(canvas.Pixel(0, 12), c.border) << Hex(canvas.Pixel(0, 12)) << " state " << c.state;
        EXPECT_EQ(canvas.Pixel(60, 0), c.border) << Hex(canvas.Pixel(60, 0)) << " state " << c.state;
        EXPECT_EQ(canvas.Pixel(3, 12), c.face) << Hex(canvas.Pixel(3, 12)) << " state " << c.state;
        // The label is centred and no brighter than its colour.
        const int brightest = canvas.Brightest(RECT{20, 4, 100, 20});
        EXPECT_GT(brightest, 0x50) << "state " << c.state;
        EXPECT_LE(brightest, c.textBrightness) << "state " << c.state;
        EXPECT_GE(brightest, c.textBrightness - 0x20) << "state " << c.state;
    }
}

TEST_F(GlobalSearchViewDrawTest, RowBackgroundShowsTheSelectionAndStaleRowsDrawNothingElse) {
    ASSERT_TRUE(CreateView());
    view_.SetResults(MakeHits({"Title"}), L"");
    struct Case {
        UINT itemID;
        UINT state;
        COLORREF background;
        bool text;
    };
    const Case cases[] = {
        {0, 0, kPanel, true},
        {0, ODS_SELECTED, kSelectedRow, true},
        {1, 0, kPanel, false},
        {static_cast<UINT>(-1), ODS_FOCUS, kPanel, false},
        {static_cast<UINT>(-1), ODS_SELECTED, kSelectedRow, false},
    };
    for (const Case& c : cases) {
        PixelCapture canvas(250, 52, RGB(255, 0, 255));
        ASSERT_TRUE(canvas.ok());
        Draw(canvas, view_.resultList(), c.itemID, c.state, 250, 52);
        EXPECT_EQ(canvas.Pixel(0, 0), c.background) << c.itemID;
        EXPECT_EQ(canvas.Pixel(249, 51), c.background) << c.itemID;
        const bool drawn = canvas.Any(RECT{0, 0, 250, 52}, [&](COLORREF p) { return p != c.background; });
        EXPECT_EQ(drawn, c.text) << c.itemID;
    }
}

TEST_F(GlobalSearchViewDrawTest, RowShowsTitleThenProjectAndTheSnippetWithMatchesBrighter) {
    ASSERT_TRUE(CreateView());
    view_.SetResults(MakeHits({"abc XYZ"}), L"xyz");  // snippet "about abc XYZ"
    PixelCapture canvas(300, 52, RGB(255, 0, 255));
    ASSERT_TRUE(canvas.ok());
    Draw(canvas, view_.resultList(), 0, 0, 300, 52);

    HGDIOBJ previous = SelectObject(canvas.dc(), view_.font());
    const int titleLeft = 12;
    const int matchLeft = titleLeft + TextWidth(canvas.dc(), L"abc ");
    const int titleEnd = titleLeft + TextWidth(canvas.dc(), L"abc XYZ");
    const int projectLeft = titleEnd + 8;
    const int projectEnd = projectLeft + TextWidth(canvas.dc(), L"Work");
    const int snippetMatchLeft = titleLeft + TextWidth(canvas.dc(), L"about abc ");
    SelectObject(canvas.dc(), previous);

    const RECT titleBand{0, 4, 300, 26};
    const RECT snippetBand{0, 26, 300, 48};
    // Title: grey before the match, white in it.
    EXPECT_LE(canvas.Brightest(RECT{titleLeft, titleBand.top, matchLeft - 2, titleBand.bottom}), 0xC8);
    EXPECT_GE(canvas.Brightest(RECT{titleLeft, titleBand.top, matchLeft - 2, titleBand.bottom}), 0x90);
    EXPECT_GE(canvas.Brightest(RECT{matchLeft, titleBand.top, titleEnd, titleBand.bottom}), 0xF0);
    // A gap, then the project name in dim grey, then nothing.
    EXPECT_FALSE(canvas.Any(RECT{titleEnd + 2, titleBand.top, projectLeft - 1, titleBand.bottom},
                            [](COLORREF p) { return p != kPanel; }));
    const int project = canvas.Brightest(RECT{projectLeft, titleBand.top, projectEnd, titleBand.bottom});
    EXPECT_GT(project, 0x40);
    EXPECT_LE(project, 0x70);
    EXPECT_FALSE(canvas.Any(RECT{projectEnd + 2, 0, 300, 52}, [](COLORREF p) { return p != kPanel; }));
    // Snippet: dim, the match white.
    EXPECT_LE(canvas.Brightest(RECT{titleLeft, snippetBand.top, snippetMatchLeft - 2, snippetBand.bottom}), 0x70);
    EXPECT_GE(canvas.Brightest(RECT{snippetMatchLeft, snippetBand.top, 300, snippetBand.bottom}), 0xF0);
    // Nothing inside the side padding.
    EXPECT_FALSE(canvas.Any(RECT{0, 0, titleLeft - 1, 52}, [](COLORREF p) { return p != kPanel; }));
}

TEST_F(GlobalSearchViewDrawTest, ATitleTooWideForTheRowLeavesNoRoomForTheProject) {
    ASSERT_TRUE(CreateView());
    view_.SetResults(MakeHits({"a title far too long to fit in this narrow row"}), L"");
    PixelCapture canvas(120, 52, RGB(255, 0, 255));
    ASSERT_TRUE(canvas.ok());
    Draw(canvas, view_.resultList(), 0, 0, 120, 52);
    // The title band's text stays title grey to its very end (no dim project name after it) and
    // nothing is drawn in the right padding.
    const int tail = canvas.Brightest(RECT{80, 4, 108, 26});
    EXPECT_GT(tail, 0x90);
    EXPECT_FALSE(canvas.Any(RECT{109, 0, 120, 52}, [](COLORREF p) { return p != kPanel; }));
}

TEST_F(GlobalSearchViewDrawTest, TheButtonLeavesItsBackgroundToItsDrawing) {
    ASSERT_TRUE(CreateView());
    // The system's erase would paint the pale button face, which shows wherever it outlives the
    // drawing (a list moving under the button as the replacement row comes in carries it along).
    PixelCapture canvas(120, 24, RGB(255, 0, 255));
    ASSERT_TRUE(canvas.ok());
    SetWindowPos(view_.replaceAllButton(), nullptr, 0, 0, 120, 24, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_NE(SendMessageW(view_.replaceAllButton(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0), 0);
    EXPECT_EQ(canvas.CountOf(RECT{0, 0, 120, 24}, RGB(255, 0, 255)), 120 * 24);
}

// Pixels that are not the panel colour: the ink of text drawn on it.
int InkOn(const PixelCapture& canvas, const RECT& area) {
    int ink = 0;
    for (const COLORREF colour : canvas.Colours(area)) {
        if (colour != kPanel) ink += canvas.CountOf(area, colour);
    }
    return ink;
}

TEST_F(GlobalSearchViewDrawTest, TheStatusTextIsDrawnWholeBesideTheButtonOrWrappedBelowIt) {
    ASSERT_TRUE(CreateView());
    view_.SetMode(Mode::Replace);
    const RECT area{0, 0, 250, 400};
    view_.Layout(area);
    for (const std::wstring& text :
         {std::wstring(L"12件 / 3個のメモ"), std::wstring(L"1,234件 / 56個のメモを置換しました")}) {
        view_.SetStatusText(text);
        PixelCapture shown(250, 400, kPanel);
        ASSERT_TRUE(shown.ok());
        view_.PaintStatusText(shown.dc());
        // The same text on one unbounded line, in the same font.
        PixelCapture whole(1000, 60, kPanel);
        ASSERT_TRUE(whole.ok());
        const HGDIOBJ previous = SelectObject(whole.dc(), view_.font());
        SetTextColor(whole.dc(), RGB(0x9D, 0x9D, 0x9D));
        SetBkMode(whole.dc(), TRANSPARENT);
        RECT line{0, 0, 1000, 60};
        DrawTextW(whole.dc(), text.c_str(), static_cast<int>(text.size()), &line, DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(whole.dc(), previous);

        const int expected = InkOn(whole, RECT{0, 0, 1000, 60});
        ASSERT_GT(expected, 0);
        EXPECT_NEAR(InkOn(shown, view_.statusRect()), expected, expected / 50) << testing::PrintToString(text);
        EXPECT_EQ(InkOn(shown, RECT{0, 0, 250, 400}), InkOn(shown, view_.statusRect())) << "ink outside its place";
    }
    // No text, or no place for it: nothing is drawn.
    view_.SetStatusText({});
    PixelCapture empty(250, 400, kPanel);
    view_.PaintStatusText(empty.dc());
    EXPECT_EQ(InkOn(empty, RECT{0, 0, 250, 400}), 0);
}

TEST_F(GlobalSearchViewDrawTest, ItemsOfOtherControlsAreNotDrawn) {
    ASSERT_TRUE(CreateView());
    PixelCapture canvas(50, 20, RGB(255, 0, 255));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = host_.hwnd();
    item.hDC = canvas.dc();
    item.rcItem = RECT{0, 0, 50, 20};
    EXPECT_FALSE(view_.OnDrawItem(item));
    item.hwndItem = nullptr;
    EXPECT_FALSE(view_.OnDrawItem(item));
    EXPECT_EQ(canvas.Pixel(10, 10), RGB(255, 0, 255));

    // A view that was never created draws nothing either.
    GlobalSearchView bare;
    EXPECT_FALSE(bare.OnDrawItem(DRAWITEMSTRUCT{}));
}

}  // namespace
}  // namespace lq
