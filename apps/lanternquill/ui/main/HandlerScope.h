#pragma once

namespace lq {

class MainWindow;

// Marks the window's own code as running for as long as the scope lives. A handler that shows a
// dialog, tracks a menu or watches a drag runs a message loop of its own, and that loop delivers
// what comes from outside, a WM_CLOSE from the taskbar or from "End task" among it. Run there, the
// close would destroy the window and let the notes go under the handler, which goes on using them
// when its dialog returns. So a close that arrives while any scope is open only notes itself
// (MainWindow::DeferCloseWhileBusy); the outermost scope posts it again as it ends, once nothing of
// the window's is left on the stack. The end-session save is never deferred: the session may end
// before the dialog returns.
class HandlerScope {
public:
    explicit HandlerScope(MainWindow& window) noexcept;
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    MainWindow& window_;
};

// Lifts the current handler's mark for the default processing at its end: what the system does
// there (the close box, Alt+F4's system command, moving or sizing the window) is no code of ours
// that goes on afterwards, so a close it sends may run at once, as in any program.
class DefaultProcessingScope {
public:
    explicit DefaultProcessingScope(MainWindow& window) noexcept;
    ~DefaultProcessingScope();
    DefaultProcessingScope(const DefaultProcessingScope&) = delete;
    DefaultProcessingScope& operator=(const DefaultProcessingScope&) = delete;

private:
    MainWindow& window_;
};

}  // namespace lq
