#include "ui/main/HandlerScope.h"

#include <windows.h>

#include "ui/main/MainWindow.h"

namespace lq {

HandlerScope::HandlerScope(MainWindow& window) noexcept : window_(window) {
    ++window_.handlersRunning;
}

HandlerScope::~HandlerScope() {
    if (--window_.handlersRunning > 0 || !window_.closeDeferred) return;
    window_.closeDeferred = false;
    // Posted, not run here: it then comes through the message loop like any close, with nothing of
    // ours below it. A window destroyed meanwhile has nothing left to close.
    if (window_.hwnd != nullptr && IsWindow(window_.hwnd)) PostMessageW(window_.hwnd, WM_CLOSE, 0, 0);
}

DefaultProcessingScope::DefaultProcessingScope(MainWindow& window) noexcept : window_(window) {
    --window_.handlersRunning;
}

DefaultProcessingScope::~DefaultProcessingScope() {
    ++window_.handlersRunning;
}

bool MainWindow::DeferCloseWhileBusy() noexcept {
    // A close that is already asking about unsaved notes answers this one too.
    if (closeRunning) return true;
    if (handlersRunning <= 0) return false;
    closeDeferred = true;
    return true;
}

}  // namespace lq
