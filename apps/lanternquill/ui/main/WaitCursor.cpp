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

// The window under the pointer chooses its cursor now, as it would on the next pointer move (the
// I-beam or the wait cursor over the editor, the splitter's arrows). False when the pointer is over
// no window of ours.
bool AskWindowUnderPointer(HWND main) noexcept {
    POINT at{};
    const HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
    if (under == nullptr || main == nullptr || (under != main && !IsChild(main, under))) return false;
    const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
    return true;
}

}  // namespace

WaitCursor::WaitCursor(MainWindow& window) noexcept : window_(window) {
    // Taken first: the editor's own choice below sets the thread's cursor too.
    previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    window_.waitCursorShown = true;
    SetEditorCursor(window_.editor, Scintilla::CursorShape::Wait);
    // Shown at once where the pointer rests, not only once it moves.
    static_cast<void>(AskWindowUnderPointer(window_.hwnd));
}

WaitCursor::~WaitCursor() {
    window_.waitCursorShown = false;
    SetEditorCursor(window_.editor, Scintilla::CursorShape::Normal);
    // Over anything but our windows the cursor from before comes back.
    if (!AskWindowUnderPointer(window_.hwnd)) SetCursor(previous_);
}

}  // namespace lq
