#include <utility>

#include "ui/frame/WindowPlacement.h"
#include "ui/main/MainWindow.h"
#include "workspace/Workspace.h"

namespace lq {

std::string FormatWindowPlacement(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return {};
    const bool maximised = placement.showCmd == SW_MAXIMIZE || IsZoomed(window);
    return FormatPlacementText(placement.rcNormalPosition, maximised);
}

bool MainWindow::SidebarChosenVisible() const {
    return sidebarVisible && !sidebarPeeking && !(globalViewShown && sidebarHiddenBeforeGlobalView);
}

void ProvideWindowSettings(MainWindow& window, Workspace& workspace) {
    workspace.placementProvider = [&window] { return FormatWindowPlacement(window.hwnd); };
    workspace.sidebarProvider = [&window] {
        return std::pair<int32_t, bool>(window.sidebarWidthDip, window.SidebarChosenVisible());
    };
}

void MainWindow::RestorePlacement(std::string_view text) {
    const std::optional<PlacementValues> stored = ParsePlacementText(text);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (stored && GetWindowPlacement(hwnd, &placement) &&
        MonitorFromRect(&stored->normal, MONITOR_DEFAULTTONULL) != nullptr &&
        IsPlacementSizeUsable(stored->normal, dpi)) {
        placement.showCmd = stored->maximised ? SW_MAXIMIZE : SW_SHOWNORMAL;
        placement.rcNormalPosition = stored->normal;
        SetWindowPlacement(hwnd, &placement);
        UpdateWindow(hwnd);
        return;
    }
    // Nothing usable stored: the start size of creation.
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
}

}  // namespace lq
