#include "support/SystemInput.h"

#include <atomic>
#include <thread>

#include "support/KeyPress.h"

namespace lq::test {
namespace {

INPUT KeyInput(UINT virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (down ? 0 : KEYEVENTF_KEYUP) | (IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// The script being run; thread timers carry no data of their own.
struct Script {
    const std::vector<std::function<void()>>* steps = nullptr;
    size_t next = 0;
};
Script* g_script = nullptr;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR timer, DWORD) {
    Script* script = g_script;
    if (!script) return;
    if (script->next < script->steps->size()) {
        (*script->steps)[script->next++]();
        return;
    }
    KillTimer(nullptr, timer);
    PostQuitMessage(0);
}

}  // namespace

bool BringToForeground(HWND window) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        if (GetForegroundWindow() == window && GetActiveWindow() == window) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        SetForegroundWindow(window);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool SendKey(UINT virtualKey, bool down) {
    INPUT input = KeyInput(virtualKey, down);
    return SendInput(1, &input, sizeof(input)) == 1;
}

bool SendKeys(std::initializer_list<UINT> virtualKeys) {
    std::vector<INPUT> inputs;
    for (const UINT key : virtualKeys) inputs.push_back(KeyInput(key, true));
    for (auto key = std::rbegin(virtualKeys); key != std::rend(virtualKeys); ++key)
        inputs.push_back(KeyInput(*key, false));
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool SendMouseAt(POINT screen, DWORD button) {
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65536, width) + (65536 / width) / 2;
    input.mi.dy = MulDiv(screen.y, 65536, height) + (65536 / height) / 2;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    return SendInput(1, &input, sizeof(input)) == 1;
}

void ReleaseTestKeys() {
    for (const UINT key : {VK_MENU, VK_CONTROL, VK_SHIFT, VK_F10}) {
        if (GetAsyncKeyState(static_cast<int>(key)) < 0) SendKey(key, false);
    }
    BYTE state[256] = {};
    SetKeyboardState(state);
}

bool RunInputScript(const std::vector<std::function<void()>>& steps, const std::function<void()>& loop,
                    std::chrono::milliseconds timeout) {
    Script script{&steps, 0};
    g_script = &script;
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> done{false};
    std::atomic<bool> timedOut{false};
    std::thread watchdog([&] {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (!done) {
            if (std::chrono::steady_clock::now() >= end && !timedOut) {
                timedOut = true;
                PostThreadMessageW(thread, WM_QUIT, 0, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, ScriptTick);
    loop();
    KillTimer(nullptr, timer);
    done = true;
    watchdog.join();
    g_script = nullptr;
    return !timedOut && script.next == steps.size();
}

}  // namespace lq::test
