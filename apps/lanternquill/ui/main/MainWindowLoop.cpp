// The program's one message loop: every message meets the key pre-translation first; there is no
// accelerator table and no dialog-message handling.
#include <windows.h>

#include <commctrl.h>

#include <chrono>

#include "ui/main/HandlerScope.h"
#include "ui/main/MainWindow.h"

namespace lq {
namespace {

// Long enough to make headway, short enough that a key pressed meanwhile is not felt.
constexpr std::chrono::milliseconds kIdleSlice{4};

}  // namespace

int MainWindow::RunMessageLoop() {
    MSG message{};
    for (;;) {
        while (RunIdleWork()) {
        }
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 0;
        // The keys' commands and the child windows' handlers are the window's own code as much as
        // its procedure is (which marks itself): a close their dialogs' loops deliver must wait.
        const bool toMainWindow = message.hwnd != nullptr && message.hwnd == hwnd;
        bool consumed = false;
        {
            const HandlerScope handling(*this);
            try {
                consumed = PreTranslateMessage(message, FocusScope());
            } catch (...) {
                // Nothing may leave the loop and end the program with notes unsaved; a key whose
                // handling failed goes no further.
                consumed = true;
            }
            if (!consumed && !toMainWindow) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        if (consumed || !toMainWindow) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool MainWindow::RunIdleWork() {
    if (!workspace || !completion.filling()) return false;
    // Idle means nothing waits: input, posted and sent messages, paint and timers all go first.
    MSG waiting{};
    if (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE)) return false;
    try {
        const FillProgress progress = completion.FillSlice(std::chrono::steady_clock::now() + kIdleSlice);
        if (completion.built()) SetPropW(hwnd, kWordsFilledProperty, reinterpret_cast<HANDLE>(1));
        return progress == FillProgress::More;
    } catch (...) {
        // An editor failure while reading the open note's text: try again on the next idle turn.
        return false;
    }
}

KeyScope MainWindow::FocusScope() const {
    const HWND focus = GetFocus();
    if (focus == nullptr) return KeyScope::Other;
    if (focus == editor.hwnd()) return KeyScope::Editor;
    const HWND tree = sidebar.hwnd();
    if (tree == nullptr) return KeyScope::Other;
    if (focus == tree) return KeyScope::SidebarTree;
    const HWND labelEdit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0));
    if (labelEdit != nullptr && focus == labelEdit) return KeyScope::TreeLabelEdit;
    return KeyScope::Other;
}

}  // namespace lq
