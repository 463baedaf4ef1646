#include "ui/main/WaitCursor.h"

#include "editor/EditorFailure.h"

#include "ui/main/MainWindow.h"

namespace lq {
namespace {

// The editing component's own cursor choice. Nothing here may throw: a failure of the component
// only leaves its cursor as it was.
void SetEditorCursor(EditorView& editor, Scintilla::CursorShape shape) noexcept {
    if (editor.hwnd() == nullptr) return;
    try {
        (void)RunEditorOperation(editor.call(), [&] { editor.call().SetCursor(shape); });
    } catch (...) {
    }
}

}  // namespace

WaitCursor::WaitCursor(MainWindow& window) noexcept : window_(window) {
    window_.waitCursorShown = true;
    SetEditorCursor(window_.editor, Scintilla::CursorShape::Wait);
    previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

WaitCursor::~WaitCursor() {
    window_.waitCursorShown = false;
    SetEditorCursor(window_.editor, Scintilla::CursorShape::Normal);
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
