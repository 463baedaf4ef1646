#pragma once

#include <windows.h>

namespace lq {

class MainWindow;

// The splitter is one pixel of the main window between the sidebar and the editor, too thin to grab.
// Its hit zone (MainWindow::SplitterRect) reaches a few pixels into both neighbours: there the child
// windows answer the hit test as transparent, so the pointer's shape and every press in the zone
// belong to the main window, and the layout stays as it is. Installed on each window beside the
// splitter (the sidebar tree, the editor, the global search's result list); it removes itself when the
// window is destroyed. False when the subclass cannot be set. The sidebar tree takes the test through
// its own subclass instead (SidebarTree::SetTransparentZone): a second subclass would keep every
// message of its bulk fill on the slow path that its own is lifted for.
bool AttachSplitterZone(HWND neighbour, MainWindow& window) noexcept;

// Whether the screen point lies in the splitter's hit zone.
[[nodiscard]] bool InSplitterZone(const MainWindow& window, POINT screenPoint) noexcept;

}  // namespace lq
