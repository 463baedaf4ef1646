// SidebarTree: custom drawing. The control paints its lines and expand buttons and its own text
// invisibly (in the background colour); every row's content is painted over that afterwards.
#include "ui/sidebar/SidebarTree.h"

#include <algorithm>

#include "ui/gdi/GdiObjects.h"

namespace lq {
namespace {

constexpr COLORREF kRowBackground = RGB(37, 37, 38);
constexpr COLORREF kSelectedHighlight = RGB(55, 55, 61);
constexpr COLORREF kHoveredHighlight = RGB(42, 45, 46);
constexpr COLORREF kProjectText = RGB(216, 216, 216);
constexpr COLORREF kNoteText = RGB(200, 200, 200);
constexpr COLORREF kBrightText = RGB(255, 255, 255);
constexpr COLORREF kAccent = RGB(52, 211, 153);
constexpr COLORREF kPlusNormal = RGB(138, 138, 138);
constexpr COLORREF kPlusHovered = RGB(255, 255, 255);
constexpr COLORREF kPlusPressed = RGB(180, 180, 180);
constexpr int kTextBufferLength = 512;

}  // namespace

LRESULT SidebarTree::OnCustomDraw(NMTVCUSTOMDRAW& draw) noexcept {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW | (dropTarget_.valid ? CDRF_NOTIFYPOSTPAINT : 0);
        case CDDS_POSTPAINT:
            if (dropTarget_.valid) DrawDropMark(draw.nmcd.hdc);
            return CDRF_DODEFAULT;
        case CDDS_ITEMPREPAINT: {
            drawingSelected_ = (draw.nmcd.uItemState & CDIS_SELECTED) != 0;
            FillSolid(draw.nmcd.hdc, RECT{0, draw.nmcd.rc.top, GetWidth(), draw.nmcd.rc.bottom}, kRowBackground);
            // The control draws no selection or hot state of its own, and its text vanishes.
            draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT);
            draw.clrText = kRowBackground;
            draw.clrTextBk = kRowBackground;
            return CDRF_NOTIFYPOSTPAINT;
        }
        case CDDS_ITEMPOSTPAINT:
            DrawItem(draw);
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
    }
}

void SidebarTree::DrawDropMark(HDC dc) const noexcept {
    if (dropTarget_.into) {
        UniqueBrush accent(CreateSolidBrush(kAccent));
        if (accent) FrameRect(dc, &dropTarget_.mark, accent.get());
    } else {
        FillSolid(dc, dropTarget_.mark, kAccent);
    }
}

bool SidebarTree::ShowsCollapsedOpenNote(HTREEITEM projectItem) const noexcept {
    if (openNoteId_ == 0) return false;
    if (TreeView_GetItemState(hwnd_, projectItem, TVIS_EXPANDED) & TVIS_EXPANDED) return false;
    HTREEITEM openRow = FindItem({false, openNoteId_});
    return openRow && Relative(openRow, TVGN_PARENT) == projectItem;
}

void SidebarTree::DrawItem(const NMTVCUSTOMDRAW& draw) noexcept {
    const auto item = reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec);
    const TreeItemKey key = DecodeTreeItemParam(static_cast<int64_t>(draw.nmcd.lItemlParam));
    const HDC dc = draw.nmcd.hdc;
    TreeItemLayout layout;
    if (!ItemLayout(item, key.isProject, layout)) return;
    const auto dip = [this](int value) { return static_cast<LONG>(MulDiv(value, dpi_, 96)); };

    FillSolid(dc, RECT{layout.highlight.left, layout.row.top, layout.row.right, layout.row.bottom}, kRowBackground);
    const bool hovered = item == hotItem_ && hotPart_ == TreeHitPart::Label;
    const bool editing = item == editItem_;  // the edit box stands there: no highlight, marker or glyph
    if (!editing) {
        if (drawingSelected_) {
            FillSolid(dc, layout.highlight, kSelectedHighlight);
        } else if (hovered) {
            FillSolid(dc, layout.highlight, kHoveredHighlight);
        }
    }

    wchar_t text[kTextBufferLength] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = kTextBufferLength;
    if (!TreeView_GetItem(hwnd_, &query)) text[0] = L'\0';

    const bool openNote = !key.isProject && openNoteId_ != 0 && key.id == openNoteId_;
    const COLORREF colour = openNote || hovered ? kBrightText : key.isProject ? kProjectText : kNoteText;
    HFONT font = key.isProject && boldFont_ ? boldFont_.get() : font_.get();
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (layout.textDraw.left < layout.textDraw.right) {
        SavedDcState saved(dc);
        SelectObject(dc, font);
        SetTextColor(dc, colour);
        SetBkMode(dc, TRANSPARENT);
        RECT area = layout.textDraw;
        DrawTextW(dc, text, -1, &area, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    }
    if (editing) return;

    // The open note's marker; a collapsed project shows it for the open note it hides.
    if (openNote || (key.isProject && ShowsCollapsedOpenNote(item))) {
        const LONG left = layout.text.left - (key.isProject ? dip(3) : dip(6));
        FillSolid(dc, RECT{left, layout.highlight.top, left + dip(2), layout.highlight.bottom}, kAccent);
    }

    if (key.isProject) {
        const RECT& button = layout.addButton;
        const LONG cx = (button.left + button.right) / 2;
        const LONG cy = (button.top + button.bottom) / 2;
        const LONG length = dip(10) | 1;  // odd, so the bars cross on one centre pixel
        const LONG thickness = std::max(1, MulDiv(3, dpi_, 192));
        const COLORREF ink = item == pressedAddItem_                                  ? kPlusPressed
                             : item == hotItem_ && hotPart_ == TreeHitPart::AddButton ? kPlusHovered
                                                                                      : kPlusNormal;
        const LONG barLeft = cx - length / 2;
        const LONG barTop = cy - thickness / 2;
        FillSolid(dc, RECT{barLeft, barTop, barLeft + length, barTop + thickness}, ink);
        const LONG stemLeft = cx - thickness / 2;
        const LONG stemTop = cy - length / 2;
        FillSolid(dc, RECT{stemLeft, stemTop, stemLeft + thickness, stemTop + length}, ink);
    }
}

}  // namespace lq
