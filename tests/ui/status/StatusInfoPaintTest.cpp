#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/PixelCapture.h"
#include "ui/gdi/GdiObjects.h"
#include "ui/status/StatusInfo.h"
#include "ui/status/StatusLayout.h"
#include "ui/status/StatusTexts.h"

namespace lq {
namespace {

constexpr COLORREF kBackground = RGB(0x25, 0x25, 0x26);
constexpr COLORREF kBorder = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kWarning = RGB(0xF8, 0x51, 0x49);
constexpr COLORREF kText = RGB(0x9D, 0x9D, 0x9D);

constexpr wchar_t kSaveFailed[] = L"保存に失敗";
constexpr wchar_t kNotFound[] = L"見つかりません";

// A capture of the strip with a font drawn without antialiasing, so that every text pixel has the
// text colour exactly.
class MemoryCanvas : public test::PixelCapture {
public:
    MemoryCanvas(int width, int height, int fontPixels)
        : PixelCapture(width, height),
          font_(CreateFontW(-fontPixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma")) {}

    [[nodiscard]] bool ok() const { return PixelCapture::ok() && font_; }
    [[nodiscard]] HFONT font() const { return font_.get(); }

    // The colours other than the background found inside `area`, clipped to the bitmap.
    [[nodiscard]] std::vector<COLORREF> InkIn(const RECT& area) const {
        std::vector<COLORREF> ink;
        for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height()); ++y) {
            for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width()); ++x) {
                if (Pixel(x, y) != kBackground) ink.push_back(Pixel(x, y));
            }
        }
        return ink;
    }
    [[nodiscard]] int TextWidth(std::wstring_view text) const {
        SelectionScope selected(dc(), font_.get());
        SIZE size{};
        GetTextExtentPoint32W(dc(), text.data(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

private:
    UniqueFont font_;
};

bool AllAre(const std::vector<COLORREF>& ink, COLORREF colour) {
    for (const COLORREF c : ink) {
        if (c != colour) return false;
    }
    return true;
}

// Every item's place holds ink of its own colour only, and nothing is drawn between the places.
void ExpectItems(const MemoryCanvas& canvas, const RECT& strip, int dpi, const std::vector<std::wstring>& leftTexts,
                 const std::vector<COLORREF>& leftColours, const std::vector<std::wstring>& rightTexts) {
    std::vector<int> leftWidths;
    for (const auto& text : leftTexts) leftWidths.push_back(canvas.TextWidth(text));
    std::vector<int> rightWidths;
    for (const auto& text : rightTexts) rightWidths.push_back(canvas.TextWidth(text));
    const StatusStripLayout layout = LayoutStatusStrip(strip, dpi, leftWidths, rightWidths);

    std::vector<RECT> places;
    for (size_t i = 0; i < leftTexts.size(); ++i) {
        const std::vector<COLORREF> ink = canvas.InkIn(layout.left[i]);
        EXPECT_FALSE(ink.empty()) << "left item " << i;
        EXPECT_TRUE(AllAre(ink, leftColours[i])) << "left item " << i;
        places.push_back(layout.left[i]);
    }
    for (size_t i = 0; i < rightTexts.size(); ++i) {
        const std::vector<COLORREF> ink = canvas.InkIn(layout.right[i]);
        EXPECT_FALSE(ink.empty()) << "right item " << i;
        EXPECT_TRUE(AllAre(ink, kText)) << "right item " << i;
        places.push_back(layout.right[i]);
    }
    // Below the border, outside every place (one pixel of slack for glyph overhang), no ink.
    for (int x = strip.left; x < strip.right; ++x) {
        bool inside = false;
        for (const RECT& place : places) inside = inside || (x >= place.left - 1 && x <= place.right);
        if (inside) continue;
        EXPECT_TRUE(canvas.InkIn(RECT{x, strip.top + 1, x + 1, strip.bottom}).empty()) << "stray ink at x " << x;
    }
}

TEST(StatusInfoPaint, BackgroundBorderAndTheTextsOfAnEmptyNote) {
    MemoryCanvas canvas(640, 40, 13);
    ASSERT_TRUE(canvas.ok());
    const RECT strip{0, 12, 640, 40};
    StatusInfo status;
    status.Paint(canvas.dc(), strip, canvas.font(), 96, kSaveFailed, kNotFound);

    for (const int x : {0, 1, 320, 639}) {
        EXPECT_EQ(canvas.Pixel(x, 12), kBorder) << x;
        EXPECT_EQ(canvas.Pixel(x, 13), kBackground) << x;
        EXPECT_EQ(canvas.Pixel(x, 39), kBackground) << x;
        EXPECT_EQ(canvas.Pixel(x, 11), RGB(255, 255, 255)) << "above the strip stays untouched, x " << x;
    }
    // The 12-pixel pads stay empty.
    EXPECT_TRUE(canvas.InkIn(RECT{0, 13, 12, 40}).empty());
    EXPECT_TRUE(canvas.InkIn(RECT{628, 13, 640, 40}).empty());

    ExpectItems(canvas, strip, 96, {L"行 1、列 1"}, {kText}, {L"0 文字", L"UTF-8"});
}

TEST(StatusInfoPaint, WarningsInRedThenNoticeAndTheRestInGrey) {
    MemoryCanvas canvas(900, 28, 13);
    ASSERT_TRUE(canvas.ok());
    const RECT strip{0, 0, 900, 28};
    StatusInfo status;
    (void)status.SetSaveFailed(true);
    (void)status.SetNotFound(true);
    (void)status.SetNotice(L"削除しました");
    status.Paint(canvas.dc(), strip, canvas.font(), 96, kSaveFailed, kNotFound);

    ExpectItems(canvas, strip, 96, {kSaveFailed, kNotFound, L"削除しました", L"行 1、列 1"},
                {kWarning, kWarning, kText, kText}, {L"0 文字", L"UTF-8"});
}

TEST(StatusInfoPaint, EmptyTextsTakeNoRoomAndDpiScalesThePads) {
    MemoryCanvas canvas(800, 56, 26);
    ASSERT_TRUE(canvas.ok());
    const RECT strip{0, 0, 800, 56};
    StatusInfo status;
    (void)status.SetNotFound(true);
    // The not-found text did not load: the item is skipped, the position text starts at the pad.
    status.Paint(canvas.dc(), strip, canvas.font(), 192, kSaveFailed, L"");

    EXPECT_TRUE(canvas.InkIn(RECT{0, 1, 24, 56}).empty()) << "24-pixel pad at 192 DPI";
    EXPECT_TRUE(canvas.InkIn(RECT{776, 1, 800, 56}).empty());
    ExpectItems(canvas, strip, 192, {L"行 1、列 1"}, {kText}, {L"0 文字", L"UTF-8"});
}

TEST(StatusInfoPaint, RestoresTheCallersDcAndFallsBackToTheStockFont) {
    MemoryCanvas canvas(400, 28, 13);
    ASSERT_TRUE(canvas.ok());
    const HGDIOBJ callerFont = SelectObject(canvas.dc(), canvas.font());
    SetTextColor(canvas.dc(), RGB(1, 2, 3));
    SetBkMode(canvas.dc(), OPAQUE);
    SetBkColor(canvas.dc(), RGB(4, 5, 6));

    StatusInfo status;
    status.Paint(canvas.dc(), RECT{0, 0, 400, 28}, nullptr, 96, kSaveFailed, kNotFound);

    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_FONT), canvas.font());
    EXPECT_EQ(GetTextColor(canvas.dc()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(canvas.dc()), OPAQUE);
    EXPECT_EQ(GetBkColor(canvas.dc()), RGB(4, 5, 6));
    // The stock font still writes the position text after the pad.
    EXPECT_FALSE(canvas.InkIn(RECT{12, 1, 80, 28}).empty());
    EXPECT_EQ(canvas.Pixel(5, 0), kBorder);
    SelectObject(canvas.dc(), callerFont);
}

}  // namespace
}  // namespace lq
