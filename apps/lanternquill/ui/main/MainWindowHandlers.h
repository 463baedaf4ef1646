#pragma once

#include <windows.h>

#include <cstdint>

namespace lq {

class MainWindow;

// The window procedure's handlers that live in files of their own; each returns the message's
// result. Only MainWindow::WndProc calls them.

// WM_NOTIFY from the menu strip, the sidebar tree and the editor.
LRESULT OnMainWindowNotify(MainWindow& window, WPARAM wParam, LPARAM lParam);
// WM_COMMAND: the global search view's controls, then menu entries.
LRESULT OnMainWindowCommand(MainWindow& window, WPARAM wParam, LPARAM lParam);
// WM_CONTEXTMENU from the sidebar tree.
void ShowSidebarContextMenu(MainWindow& window, LPARAM lParam);
// WM_APP+3: the caret goes to the start of the selection a double click or a line click made.
void FixCaretAfterClick(MainWindow& window);
// WM_APP+20: the sidebar tree's click and drag reports.
void OnSidebarReport(MainWindow& window, WPARAM wParam, LPARAM lParam);

// The splitter and the new-project button: WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP,
// WM_CAPTURECHANGED, WM_MOUSELEAVE.
void OnMainWindowMouse(MainWindow& window, UINT message, LPARAM lParam);
// WM_SETCURSOR: true when the splitter's cursor was set.
bool SetSplitterCursor(MainWindow& window, LPARAM lParam);

// The status strip's area, repainted without erasing.
void InvalidateStatusStrip(MainWindow& window);

}  // namespace lq
