#include <windows.h>
#include <windowsx.h>

#include <array>
#include <exception>

#include "editor/EditorFailure.h"
#include "ui/commands/KeyBindings.h"
#include "ui/main/MainWindow.h"

namespace lq {
namespace {

constexpr int32_t kCommandZoomIn = 12;
constexpr int32_t kCommandZoomOut = 13;
constexpr int32_t kCommandClosePanel = 42;
constexpr int32_t kWheelStep = WHEEL_DELTA;

bool IsDown(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

bool IsButtonPress(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

bool IsKeyPress(UINT message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

// A left press that is a plain click in the line-number margin (no Shift, Ctrl or Alt).
bool IsPlainMarginPress(EditorView& editor, const MSG& message) {
    const int x = GET_X_LPARAM(message.lParam);
    return x < editor.call().MarginWidthN(0) && (message.wParam & (MK_SHIFT | MK_CONTROL)) == 0 && !IsDown(VK_MENU);
}

// Whether the selection is exactly one whole line with its line end (or up to the end of the last line).
bool SelectionIsWholeLine(Scintilla::ScintillaCall& call) {
    const int64_t start = call.SelectionStart();
    const int64_t end = call.SelectionEnd();
    const Scintilla::Line line = call.LineFromPosition(start);
    if (start != call.PositionFromLine(line)) return false;
    if (line + 1 == call.LineCount()) return end == call.Length();
    return end == call.PositionFromLine(line + 1);
}

// The component's rectangular selection is its Alt+drag: the press is handed to it as one with Alt
// held and Ctrl up, and the real keyboard state comes back at once.
void PressAsAltDrag(HWND editor, const MSG& message) {
    std::array<BYTE, 256> saved{};
    if (!GetKeyboardState(saved.data())) return;
    std::array<BYTE, 256> altDrag = saved;
    altDrag[VK_CONTROL] = altDrag[VK_LCONTROL] = altDrag[VK_RCONTROL] = 0;
    altDrag[VK_MENU] = altDrag[VK_LMENU] = 0x80;
    SetKeyboardState(altDrag.data());
    SendMessageW(editor, WM_LBUTTONDOWN, message.wParam & ~static_cast<WPARAM>(MK_CONTROL), message.lParam);
    SetKeyboardState(saved.data());
}

// The mouse rules for the editor and its control characters; true when the message is consumed.
bool PreTranslateEditorInput(MainWindow& window, const MSG& message) {
    EditorView& editor = window.editor;
    const bool onEditor = message.hwnd && message.hwnd == editor.hwnd();

    switch (message.message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // The click that activated the window only gives the editor the focus.
            if (window.clickActivated && onEditor &&
                (message.message == WM_LBUTTONDOWN || message.message == WM_RBUTTONDOWN)) {
                window.clickActivated = false;
                window.swallowUntilButtonUp = message.message == WM_LBUTTONDOWN;
                SetFocus(editor.hwnd());
                return true;
            }
            window.clickActivated = false;
            window.swallowUntilButtonUp = false;
            break;
        default:
            break;
    }
    if (!onEditor) return false;

    if (window.swallowUntilButtonUp && (message.message == WM_MOUSEMOVE || message.message == WM_LBUTTONUP)) {
        if (message.message == WM_LBUTTONUP) window.swallowUntilButtonUp = false;
        return true;
    }

    switch (message.message) {
        case WM_LBUTTONDOWN: {
            window.marginClick = IsPlainMarginPress(editor, message);
            const bool ctrlClickInText = (message.wParam & MK_CONTROL) != 0 && (message.wParam & MK_SHIFT) == 0 &&
                                         !IsDown(VK_MENU) &&
                                         GET_X_LPARAM(message.lParam) >= editor.call().MarginWidthN(0);
            if (!ctrlClickInText) return false;
            PressAsAltDrag(editor.hwnd(), message);
            return true;
        }
        case WM_LBUTTONUP: {
            auto& call = editor.call();
            if ((window.marginClick && SelectionIsWholeLine(call)) || window.doubleClicked) {
                window.pendingAnchor = call.Anchor();
                window.pendingCaret = call.CurrentPos();
                PostMessageW(window.hwnd, kCaretFixUpMessage, 0, 0);
            }
            window.marginClick = false;
            window.doubleClicked = false;
            return false;
        }
        case WM_RBUTTONDOWN:
            // The component never sees the right press, so it leaves its selection alone.
            SetFocus(editor.hwnd());
            return true;
        case WM_CHAR:
            // Control characters act through their key-down, never as text in the note.
            return message.wParam < 32 || message.wParam == 127;
        case WM_MOUSEWHEEL:
            if ((GET_KEYSTATE_WPARAM(message.wParam) & MK_CONTROL) == 0) return false;
            // The remainder below one notch carries over to the next wheel message.
            window.wheelDelta += GET_WHEEL_DELTA_WPARAM(message.wParam);
            while (window.wheelDelta >= kWheelStep) {
                window.wheelDelta -= kWheelStep;
                window.ExecuteCommand(kCommandZoomIn);
            }
            while (window.wheelDelta <= -kWheelStep) {
                window.wheelDelta += kWheelStep;
                window.ExecuteCommand(kCommandZoomOut);
            }
            return true;
        default:
            return false;
    }
}

// A key press resolved through the key-binding table; true when it is consumed.
bool PreTranslateKey(MainWindow& window, const MSG& message, KeyScope scope) {
    const auto key = static_cast<uint32_t>(message.wParam);
    const Shortcut pressed{key, static_cast<uint8_t>(IsDown(VK_CONTROL)), static_cast<uint8_t>(IsDown(VK_SHIFT)),
                           static_cast<uint8_t>(IsDown(VK_MENU))};
    const bool noModifier = !pressed.ctrl && !pressed.shift && !pressed.alt;

    // Undo and redo in the middle of a composition would tear the text being composed.
    if (scope == KeyScope::Editor && pressed.ctrl && !pressed.alt && (key == 'Y' || key == 'Z') &&
        window.editor.IsComposing()) {
        return true;
    }
    if (scope == KeyScope::TreeLabelEdit) return false;

    const std::optional<int32_t> command = CommandForKey(pressed, scope);
    if (scope == KeyScope::Editor) {
        auto& call = window.editor.call();
        if (call.AutoCActive()) {
            if (noModifier && key == VK_ESCAPE) {
                call.AutoCCancel();
                return true;
            }
            if (noModifier && (key == VK_UP || key == VK_DOWN)) return false;
            if (!command) return false;
            call.AutoCCancel();
        } else if (!command) {
            return false;
        }
        switch (*command) {
            case 51:
            case 52:
            case 53:
            case 55:
                window.EditCommand(*command, window.editor.hwnd());
                return true;
            default:
                break;
        }
    } else if (!command) {
        return false;
    }

    if (*command == kCommandClosePanel && scope == KeyScope::Editor && !window.CloseFloating()) {
        // Nothing to close: Esc leaves only the caret.
        auto& call = window.editor.call();
        call.Cancel();
        call.SetEmptySelection(call.CurrentPos());
        return true;
    }
    return window.ExecuteCommand(*command);
}

bool PreTranslate(MainWindow& window, const MSG& message, KeyScope scope) {
    // A row hanging on the pointer takes every key first: none may reach the menu bar, a command or
    // the note.
    if (window.sidebar.TakeKeyDuringDrag(message)) return true;
    if (window.menuBar.PreTranslateKey(message)) return true;
    if (IsKeyPress(message.message) || IsButtonPress(message.message)) {
        // Status notices last until the next key or click.
        window.SetNotFound(false);
        window.SetStatusMessage({});
    }
    if (PreTranslateEditorInput(window, message)) return true;
    if (IsKeyPress(message.message)) return PreTranslateKey(window, message, scope);
    return false;
}

}  // namespace

bool MainWindow::PreTranslateMessage(const MSG& message, KeyScope scope) {
    // A failure status the component kept from earlier work (its own, or that of a message sent to it
    // directly) is not this key's or click's: left standing, it would make the first check below
    // throw and the user's key would be lost.
    if (IsKeyPress(message.message) || IsButtonPress(message.message)) editor.RecoverFromFailure();
    // The message loop has no guard of its own: a component failure in a command run from here is
    // cleared so the editor keeps working, and the key that caused it goes no further.
    try {
        return PreTranslate(*this, message, scope);
    } catch (const Scintilla::Failure&) {
        editor.RecoverFromFailure();
        return true;
    } catch (const std::exception&) {
        return true;
    }
}

}  // namespace lq
