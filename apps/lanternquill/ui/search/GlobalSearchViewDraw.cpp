#include "ui/search/GlobalSearchView.h"

#include "ui/gdi/GdiObjects.h"
#include "ui/search/GlobalSearchLayout.h"
#include "ui/search/HighlightedText.h"

namespace lq {
namespace {

constexpr COLORREF kPanel = RGB(0x25, 0x25, 0x26);
constexpr COLORREF kSelectedRow = RGB(0x37, 0x37, 0x3D);
constexpr COLORREF kButtonFace = RGB(0x3C, 0x3C, 0x3C);
constexpr COLORREF kButtonBorder = RGB(0x45, 0x45, 0x45);
constexpr COLORREF kFocusBorder = RGB(0x34, 0xD3, 0x99);
constexpr COLORREF kButtonText = RGB(0xCC, 0xCC, 0xCC);
constexpr COLORREF kDisabledText = RGB(0x6E, 0x6E, 0x6E);
constexpr COLORREF kTitleText = RGB(0xC8, 0xC8, 0xC8);
constexpr COLORREF kDimText = RGB(0x70, 0x70, 0x70);
constexpr COLORREF kMatchText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kStatusText = RGB(0x9D, 0x9D, 0x9D);

}  // namespace

bool GlobalSearchView::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem == nullptr) return false;
    if (item.hwndItem == replaceAllButton_) {
        DrawButton(item);
        return true;
    }
    if (item.hwndItem == resultList_) {
        DrawRow(item);
        return true;
    }
    return false;
}

void GlobalSearchView::PaintStatusText(HDC dc) const {
    if (statusText_.empty() || statusRect_.right <= statusRect_.left) return;
    SavedDcState state(dc);
    // The font the layout measured the text with, so the wrapped lines fill exactly their place.
    SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, kStatusText);
    SetBkMode(dc, TRANSPARENT);
    RECT rect = statusRect_;
    const UINT format =
        statusWraps_ ? kGlobalSearchWrappedStatusFormat : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    DrawTextW(dc, statusText_.c_str(), static_cast<int>(statusText_.size()), &rect, format);
}

void GlobalSearchView::DrawButton(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    FillSolid(dc, rect, kPanel);

    // Declared before the saved state, so they are deleted only after the DC let go of them.
    UniqueBrush face(CreateSolidBrush((item.itemState & ODS_SELECTED) ? kSelectedRow : kButtonFace));
    UniquePen border(CreatePen(PS_SOLID, 1, (item.itemState & ODS_FOCUS) ? kFocusBorder : kButtonBorder));
    SavedDcState state(dc);
    if (face) SelectObject(dc, face.get());
    if (border) SelectObject(dc, border.get());
    const int corner = 2 * MulDiv(4, static_cast<int>(dpi_), 96);
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);

    wchar_t text[64] = {};
    const int length = GetWindowTextW(item.hwndItem, text, 64);
    SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, (item.itemState & ODS_DISABLED) ? kDisabledText : kButtonText);
    RECT textRect = rect;
    DrawTextW(dc, text, length, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void GlobalSearchView::DrawRow(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    FillSolid(dc, rect, (item.itemState & ODS_SELECTED) ? kSelectedRow : kPanel);
    // An empty list with the focus asks for item -1; a stale index draws only the background.
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= rows_.size()) return;
    const GlobalSearchRow& row = rows_[item.itemID];

    SavedDcState state(dc);
    SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const GlobalSearchRowBands bands = ComputeRowBands(rect, dpi_);
    const int titleEnd = DrawHighlightedText(dc, bands.title, row.title, row.titleMatch, kTitleText, kMatchText);
    if (titleEnd + bands.projectGap < bands.title.right) {
        const RECT project{titleEnd + bands.projectGap, bands.title.top, bands.title.right, bands.title.bottom};
        DrawHighlightedText(dc, project, row.projectName, TextMatch{}, kDimText, kDimText);
    }
    DrawHighlightedText(dc, bands.snippet, row.snippet, row.snippetMatch, kDimText, kMatchText);
}

}  // namespace lq
