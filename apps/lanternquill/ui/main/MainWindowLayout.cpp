#include "ui/frame/MainWindowGeometry.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowHandlers.h"
#include "ui/menus/MenuGdi.h"

namespace lq {
namespace {

RECT ClientRectOf(HWND window) {
    RECT client{};
    if (window) GetClientRect(window, &client);
    return client;
}

}  // namespace

int32_t MainWindow::MenuHeight() const {
    return MenuStripHeight(menuBar.toolbar() != nullptr, menuBar.dpi());
}

int32_t MainWindow::StatusBarTop() const {
    return StatusTopFor(ClientRectOf(hwnd).bottom, dpi);
}

int32_t MainWindow::SidebarWidthPx() const {
    return SidebarPixelWidth(sidebarWidthDip, dpi, ClientRectOf(hwnd).right);
}

RECT MainWindow::SplitterRect() const {
    if (!sidebarVisible) return RECT{};
    return SplitterRectFor(SidebarWidthPx(), MenuHeight(), StatusBarTop(), dpi);
}

RECT MainWindow::NewProjectButtonRect() const {
    if (!sidebarVisible) return RECT{};
    return NewProjectButtonRectFor(SidebarWidthPx(), StatusBarTop(), dpi);
}

RECT MainWindow::NewProjectHighlightRect() const {
    const int32_t labelWidth = MeasureTextWidth(uiFont, newProjectLabel);
    return NewProjectHighlightRectFor(SidebarWidthPx(), StatusBarTop(), labelWidth, dpi);
}

RECT MainWindow::StatusStripRect() const {
    const RECT client = ClientRectOf(hwnd);
    return RECT{0, StatusBarTop(), client.right, client.bottom};
}

void MainWindow::Layout() {
    if (!hwnd) return;
    const RECT client = ClientRectOf(hwnd);
    const int32_t top = MenuHeight();
    const int32_t bottom = StatusBarTop();

    if (HWND strip = menuBar.toolbar()) MoveWindow(strip, 0, 0, client.right, top, TRUE);

    int32_t editorLeft = 0;
    if (sidebarVisible && sidebar.hwnd()) {
        const int32_t width = SidebarWidthPx();
        const TreeBand band = TreeBandFor(top, bottom, dpi);
        MoveWindow(sidebar.hwnd(), 0, band.top, width, band.height, TRUE);
        if (globalView) globalView->Layout(RECT{0, band.top, width, bottom});
        editorLeft = width + 1;  // one pixel of separator line
    }

    if (HWND editorWindow = editor.hwnd()) {
        const int32_t width = client.right - editorLeft;
        const int32_t height = bottom - top;
        MoveWindow(editorWindow, editorLeft, top, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
        if (findPanel) {
            RECT host{};
            GetWindowRect(editorWindow, &host);
            MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&host), 2);
            findPanel->SetHostRect(host);
        }
    }
}

void InvalidateStatusStrip(MainWindow& window) {
    if (!window.hwnd) return;
    const RECT strip = window.StatusStripRect();
    InvalidateRect(window.hwnd, &strip, FALSE);
}

}  // namespace lq
