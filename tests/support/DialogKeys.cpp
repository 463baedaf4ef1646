#include "support/DialogKeys.h"

namespace lq::test {

void PressEscapeIn(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    const HWND target = GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr ? info.hwndFocus : dialog;
    const LPARAM bits = 1 | (static_cast<LPARAM>(MapVirtualKeyW(VK_ESCAPE, MAPVK_VK_TO_VSC)) << 16);
    PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, bits);
    PostMessageW(target, WM_KEYUP, VK_ESCAPE, bits | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

}  // namespace lq::test
