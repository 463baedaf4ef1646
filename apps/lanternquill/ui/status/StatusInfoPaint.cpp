#include <string>
#include <vector>

#include "ui/gdi/GdiObjects.h"
#include "ui/status/StatusInfo.h"
#include "ui/status/StatusLayout.h"
#include "ui/status/StatusTexts.h"

namespace lq {
namespace {

constexpr COLORREF kStatusBackground = RGB(0x25, 0x25, 0x26);
constexpr COLORREF kStatusBorder = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kStatusWarning = RGB(0xF8, 0x51, 0x49);
constexpr COLORREF kStatusText = RGB(0x9D, 0x9D, 0x9D);

struct StripItem {
    std::wstring_view text;
    COLORREF colour;
};

std::vector<int> MeasureItems(HDC hdc, const std::vector<StripItem>& items) {
    std::vector<int> widths;
    widths.reserve(items.size());
    for (const StripItem& item : items) {
        SIZE size{};
        GetTextExtentPoint32W(hdc, item.text.data(), static_cast<int>(item.text.size()), &size);
        widths.push_back(size.cx);
    }
    return widths;
}

void DrawItems(HDC hdc, const std::vector<StripItem>& items, const std::vector<RECT>& places) {
    for (size_t i = 0; i < items.size(); ++i) {
        RECT place = places[i];
        SetTextColor(hdc, items[i].colour);
        DrawTextW(hdc, items[i].text.data(), static_cast<int>(items[i].text.size()), &place,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_NOCLIP);
    }
}

}  // namespace

void StatusInfo::Paint(HDC hdc, const RECT& strip, HFONT font, int dpi, std::wstring_view saveFailureText,
                       std::wstring_view notFoundText) const {
    // Puts back the font, colours and background mode this changes in the caller's DC.
    SavedDcState saved(hdc);

    FillSolid(hdc, strip, kStatusBackground);
    FillSolid(hdc, RECT{strip.left, strip.top, strip.right, strip.top + 1}, kStatusBorder);
    SetBkMode(hdc, TRANSPARENT);
    SelectObject(hdc, font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));

    const std::wstring position = PositionText();
    const std::wstring selection = SelectionText();
    const std::wstring total = TotalText();

    std::vector<StripItem> left;
    const auto addLeft = [&left](std::wstring_view text, COLORREF colour) {
        if (!text.empty()) left.push_back(StripItem{text, colour});
    };
    if (saveFailed_) addLeft(saveFailureText, kStatusWarning);
    if (notFound_) addLeft(notFoundText, kStatusWarning);
    addLeft(notice_, kStatusText);
    addLeft(position, kStatusText);
    addLeft(selection, kStatusText);
    if (overtype_) addLeft(kStatusOvertypeText, kStatusText);

    const std::vector<StripItem> right{{total, kStatusText}, {kStatusEncodingText, kStatusText}};

    const std::vector<int> leftWidths = MeasureItems(hdc, left);
    const std::vector<int> rightWidths = MeasureItems(hdc, right);
    const StatusStripLayout layout = LayoutStatusStrip(strip, dpi, leftWidths, rightWidths);
    DrawItems(hdc, left, layout.left);
    DrawItems(hdc, right, layout.right);
}

}  // namespace lq
