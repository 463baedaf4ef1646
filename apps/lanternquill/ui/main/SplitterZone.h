#pragma once

#include <windows.h>

namespace lq {

class MainWindow;

// The splitter is one pixel of the main window between the sidebar and the editor, too thin to grab.
// Its hit zone (MainWindow::SplitterRect) reaches a few pixels into both neighbours: there the child
// windows answer the hit test as transparent, so the pointer's shape and every press in the zone
// belong to the main window, and the layout stays as it is. Installed on each window beside the
// splitter (the sidebar tree, the editor, the global search's result list); it removes itself when the
// window is destroyed. False when the subclass cannot be set.
bool AttachSplitterZone(HWND neighbour, MainWindow& window) noexcept;

}  // namespace lq
