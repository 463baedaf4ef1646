#include <windows.h>
#include <windowsx.h>

#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowHandlers.h"

namespace lq {
namespace {

// The command code of "new project".
constexpr int32_t kNewProjectCommand = 2;

bool Contains(const RECT& rect, POINT point) {
    return PtInRect(&rect, point) != FALSE;
}

RECT HoverArea(const MainWindow& window) {
    // The button is not painted while the global view stands in the sidebar's place.
    if (window.globalView && window.globalViewShown && window.sidebarVisible) return RECT{};
    return window.NewProjectButtonRect();
}

void OnMouseMove(MainWindow& window, POINT point) {
    const RECT hover = HoverArea(window);
    const bool inside = Contains(hover, point);
    if (inside != window.newProjectHot) {
        window.newProjectHot = inside;
        InvalidateRect(window.hwnd, &hover, FALSE);
        if (inside) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window.hwnd, 0};
            TrackMouseEvent(&track);
        }
    }
    if (!window.draggingSplitter) return;
    const int32_t x = point.x < 0 ? 0 : point.x;
    const int32_t widthDip = MulDiv(x, 96, window.dpi);
    window.sidebarWidthDip = widthDip < 160 ? 160 : widthDip;
    window.Layout();
    InvalidateRect(window.hwnd, nullptr, FALSE);
}

}  // namespace

void OnMainWindowMouse(MainWindow& window, UINT message, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_LBUTTONDOWN:
            if (Contains(window.SplitterRect(), point)) {
                window.draggingSplitter = true;
                SetCapture(window.hwnd);
            } else if (Contains(window.NewProjectButtonRect(), point)) {
                window.ExecuteCommand(kNewProjectCommand);
            }
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(window, point);
            break;
        case WM_LBUTTONUP:
            if (window.draggingSplitter) {
                window.draggingSplitter = false;
                ReleaseCapture();
                // What is stored is the width actually shown, clamped to the window.
                window.sidebarWidthDip = MulDiv(window.SidebarWidthPx(), 96, window.dpi);
            }
            break;
        case WM_CAPTURECHANGED:
            window.draggingSplitter = false;
            break;
        case WM_MOUSELEAVE:
            if (window.newProjectHot) {
                window.newProjectHot = false;
                const RECT button = window.NewProjectButtonRect();
                InvalidateRect(window.hwnd, &button, FALSE);
            }
            break;
        default:
            break;
    }
}

bool SetSplitterCursor(MainWindow& window, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return false;
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !ScreenToClient(window.hwnd, &cursor)) return false;
    if (!Contains(window.SplitterRect(), cursor)) return false;
    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
    return true;
}

}  // namespace lq
