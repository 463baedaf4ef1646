#include "ui/main/WaitCursor.h"

#include "editor/ScintillaHeaders.h"

#include "ui/main/MainWindow.h"

namespace lq {
namespace {

// The editing component's own cursor choice, by message: nothing here may throw.
void SetEditorCursor(HWND editor, int shape) noexcept {
    if (editor != nullptr) SendMessageW(editor, SCI_SETCURSOR, static_cast<WPARAM>(shape), 0);
}

}  // namespace

WaitCursor::WaitCursor(MainWindow& window) noexcept : window_(window) {
    window_.waitCursorShown = true;
    SetEditorCursor(window_.editor.hwnd(), SC_CURSORWAIT);
    previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

WaitCursor::~WaitCursor() {
    window_.waitCursorShown = false;
    SetEditorCursor(window_.editor.hwnd(), SC_CURSORNORMAL);
    // The window under the pointer chooses again (the I-beam over the editor, the splitter's arrows);
    // over anything else the cursor from before comes back.
    POINT at{};
    const HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
    if (under != nullptr && window_.hwnd != nullptr && (under == window_.hwnd || IsChild(window_.hwnd, under))) {
        const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
    } else {
        SetCursor(previous_);
    }
}

}  // namespace lq
