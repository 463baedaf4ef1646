#pragma once

#include <windows.h>

namespace lq {

class MainWindow;

// The wait cursor over the whole window while one long step runs on the UI thread (a backup of a
// large file takes seconds): set at once, kept by the window's WM_SETCURSOR and by the editor, which
// chooses its own cursor, and given back to the window under the pointer when the scope ends, so it
// is gone before any message about the result is shown.
class WaitCursor {
public:
    explicit WaitCursor(MainWindow& window) noexcept;
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    MainWindow& window_;
    HCURSOR previous_ = nullptr;
};

}  // namespace lq
