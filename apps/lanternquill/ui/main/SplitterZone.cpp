#include "ui/main/SplitterZone.h"

#include <windowsx.h>

#include <commctrl.h>

#include "ui/main/MainWindow.h"

namespace lq {
namespace {

// The windows' own subclasses use id 1.
constexpr UINT_PTR kSplitterZoneSubclassId = 2;

LRESULT CALLBACK SplitterZoneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR refData) {
    if (message == WM_NCHITTEST) {
        const auto& window = *reinterpret_cast<const MainWindow*>(refData);
        if (InSplitterZone(window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) return HTTRANSPARENT;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SplitterZoneProc, kSplitterZoneSubclassId);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool InSplitterZone(const MainWindow& window, POINT screenPoint) noexcept {
    const RECT zone = window.SplitterRect();
    return window.hwnd && ScreenToClient(window.hwnd, &screenPoint) && PtInRect(&zone, screenPoint);
}

bool AttachSplitterZone(HWND neighbour, MainWindow& window) noexcept {
    return neighbour != nullptr && SetWindowSubclass(neighbour, SplitterZoneProc, kSplitterZoneSubclassId,
                                                     reinterpret_cast<DWORD_PTR>(&window)) != FALSE;
}

}  // namespace lq
