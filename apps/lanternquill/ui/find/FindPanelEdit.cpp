#include "ui/find/FindPanel.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "ui/commands/KeyBindings.h"
#include "ui/find/FindPanelText.h"

namespace lq {
namespace {

constexpr UINT_PTR kEditSubclassId = 1;
// The find panel's replace and replace-all shortcuts: command codes that only name a key.
constexpr int32_t kReplaceCommand = 57;
constexpr int32_t kReplaceAllCommand = 58;

bool IsKeyDown(int virtualKey) noexcept {
    return GetKeyState(virtualKey) < 0;
}

Shortcut HeldWith(uint32_t key) noexcept {
    return Shortcut{key, static_cast<uint8_t>(IsKeyDown(VK_CONTROL)), static_cast<uint8_t>(IsKeyDown(VK_SHIFT)),
                    static_cast<uint8_t>(IsKeyDown(VK_MENU))};
}

bool IsBoundTo(int32_t command, const Shortcut& pressed) noexcept {
    const std::optional<Shortcut> bound = ShortcutForCommand(command);
    return bound && *bound == pressed;
}

std::wstring TextOf(HWND edit) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

void DeleteWordInEdit(HWND edit, bool forward) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) {
        const EditSpan span = WordDeletionSpan(TextOf(edit), EditSpan{start, end}, forward);
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(span.start), static_cast<LPARAM>(span.end));
    }
    // TRUE: one step the edit's own undo takes back.
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
}

// A C callback: nothing may be thrown through it (the owner's callback, a failed allocation), so a
// message that throws counts as handled.
LRESULT CALLBACK FindPanel::EditSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR panel) {
    try {
        return reinterpret_cast<FindPanel*>(panel)->OnEditMessage(edit, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT FindPanel::OnEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            // The frames show which edit has the focus.
            if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(edit, EditSubclassProc, kEditSubclassId);
            for (HWND* own : {&findEdit, &replaceEdit, &lineEdit}) {
                if (*own == edit) *own = nullptr;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (wParam == VK_RETURN) {
                if (OnEnter(edit, message)) return 0;
                break;
            }
            if (message == WM_SYSKEYDOWN) break;
            if (wParam == VK_TAB && mode == Mode::Replace) {
                SetFocus(edit == findEdit ? replaceEdit : findEdit);
                return 0;
            }
            if (IsKeyDown(VK_CONTROL)) {
                if (wParam == VK_BACK || wParam == VK_DELETE) {
                    DeleteWordInEdit(edit, wParam == VK_DELETE);
                    return 0;
                }
                if (wParam == 'A') {
                    SendMessageW(edit, EM_SETSEL, 0, -1);
                    return 0;
                }
            }
            break;
        case WM_CHAR:
            // Ctrl+A, Tab, Ctrl+Enter, Enter and Ctrl+Backspace act through their key-down and put
            // nothing into a one-line edit.
            if (wParam == 0x01 || wParam == 0x09 || wParam == 0x0A || wParam == 0x0D || wParam == 0x7F) return 0;
            // Digits only in the line edit; the other control characters (Backspace, the clipboard
            // keys) still reach it.
            if (edit == lineEdit && ((wParam >= 0x20 && wParam <= 0x2F) || wParam > 0x39)) return 0;
            break;
        default:
            break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

bool FindPanel::OnEnter(HWND edit, UINT message) {
    if (mode == Mode::GoToLine) {
        Raise(Action::GoToLine);
        return true;
    }
    const Shortcut pressed = HeldWith(VK_RETURN);
    if (mode == Mode::Replace) {
        if (IsBoundTo(kReplaceAllCommand, pressed)) {
            if (HasFindText()) Raise(Action::ReplaceAll);
            return true;
        }
        if (edit == replaceEdit && IsBoundTo(kReplaceCommand, pressed)) {
            if (HasFindText()) Raise(Action::Replace);
            return true;
        }
    }
    // Alt+Enter and the like are the system's.
    if (message == WM_SYSKEYDOWN) return false;
    // Raised whatever the find text holds: the owner ignores an empty query.
    Raise(pressed.shift ? Action::FindPrevious : Action::FindNext);
    return true;
}

}  // namespace lq
