#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/frame/MainWindowGeometry.h"
#include "ui/gdi/GdiObjects.h"
#include "ui/main/MainWindow.h"

namespace lq {
namespace {

constexpr COLORREF kSidebarBack = RGB(0x25, 0x25, 0x26);
constexpr COLORREF kSeparator = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kButtonHotBack = RGB(0x2A, 0x2D, 0x2E);
constexpr COLORREF kButtonInkHot = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kButtonInk = RGB(0xC8, 0xC8, 0xC8);
constexpr COLORREF kEditBack = RGB(60, 60, 60);
constexpr COLORREF kEditBorderFlagged = RGB(248, 81, 73);
constexpr COLORREF kEditBorderFocused = RGB(52, 211, 153);
constexpr COLORREF kEditBorder = RGB(69, 69, 69);

bool Intersects(const RECT& a, const RECT& b) {
    RECT common{};
    return IntersectRect(&common, &a, &b) != FALSE;
}

HFONT FontOrDefault(HFONT font) {
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// One line of text in `colour` on a transparent background, vertically centred; the DC's font,
// colour and background mode are put back afterwards.
void DrawLine(HDC dc, const std::wstring& text, RECT rect, HFONT font, COLORREF colour, UINT extraFormat) {
    SelectionScope selectFont(dc, FontOrDefault(font));
    const COLORREF oldColour = SetTextColor(dc, colour);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | extraFormat);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
}

void PaintGlobalViewFrames(const MainWindow& window, HDC dc) {
    const GlobalSearchView& view = *window.globalView;
    const int32_t corner = 2 * ScaleDip(4, window.dpi);
    FrameEditBorder(window.hwnd, window.dpi, dc, corner, view.queryEdit(), view.noMatch());
    if (view.mode() != GlobalSearchView::Mode::Replace) return;
    FrameEditBorder(window.hwnd, window.dpi, dc, corner, view.replaceEdit(), false);
    view.PaintStatusText(dc);
}

void PaintNewProjectButton(const MainWindow& window, HDC dc, int32_t sidebarWidth, int32_t statusTop) {
    if (window.newProjectHot) FillSolid(dc, window.NewProjectHighlightRect(), kButtonHotBack);
    const COLORREF ink = window.newProjectHot ? kButtonInkHot : kButtonInk;
    const PlusSign sign = PlusSignFor(statusTop, window.dpi);
    FillSolid(dc, sign.horizontal, ink);
    FillSolid(dc, sign.vertical, ink);
    DrawLine(dc, window.newProjectLabel, NewProjectLabelRectFor(sidebarWidth, statusTop, window.dpi), window.uiFont,
             ink, 0);
}

}  // namespace

void MainWindow::Paint(HDC dc, const RECT& paintRect) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const int32_t statusTop = StatusBarTop();

    const RECT strip{0, statusTop, client.right, client.bottom};
    if (Intersects(strip, paintRect)) {
        status.Paint(dc, strip, uiFont, dpi, LoadResourceString(instance, IDS_STATUS_SAVE_FAILED),
                     LoadResourceString(instance, IDS_NOT_FOUND));
    }

    if (!sidebarVisible) return;
    const int32_t width = SidebarWidthPx();
    const int32_t menuHeight = MenuHeight();
    if (!Intersects(RECT{0, menuHeight, width + 1, statusTop}, paintRect)) return;
    FillSolid(dc, RECT{0, menuHeight, width, statusTop}, kSidebarBack);
    FillSolid(dc, RECT{width, menuHeight, width + 1, statusTop}, kSeparator);
    if (globalView && globalViewShown) {
        PaintGlobalViewFrames(*this, dc);
    } else {
        PaintNewProjectButton(*this, dc, width, statusTop);
    }
}

void FrameEditBorder(HWND mainWindow, int32_t dpi, HDC dc, int32_t cornerSize, HWND edit, bool flagged) {
    if (!edit) return;
    RECT frame{};
    GetWindowRect(edit, &frame);
    MapWindowPoints(HWND_DESKTOP, mainWindow, reinterpret_cast<POINT*>(&frame), 2);
    const int32_t across = ScaleDip(6, dpi);
    const int32_t down = ScaleDip(2, dpi) + 1;
    InflateRect(&frame, across, down);

    const COLORREF outline = flagged ? kEditBorderFlagged : (GetFocus() == edit ? kEditBorderFocused : kEditBorder);
    UniqueBrush brush(CreateSolidBrush(kEditBack));
    UniquePen pen(CreatePen(PS_SOLID, 1, outline));
    SelectionScope selectBrush(dc, brush.get());
    SelectionScope selectPen(dc, pen.get());
    RoundRect(dc, frame.left, frame.top, frame.right, frame.bottom, cornerSize, cornerSize);
}

}  // namespace lq
