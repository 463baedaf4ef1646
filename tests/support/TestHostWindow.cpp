#include "support/TestHostWindow.h"

#include <mutex>

namespace lq::test {
namespace {

constexpr wchar_t kClassName[] = L"Lanternquill.TestHostWindow";

bool RegisterOnce(HINSTANCE instance) {
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [&] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = TestHostWindow::StaticWndProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        registered = RegisterClassExW(&windowClass) != 0;
    });
    return registered;
}

}  // namespace

TestHostWindow::TestHostWindow(int clientWidth, int clientHeight) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterOnce(instance)) return;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    CreateWindowExW(0, kClassName, L"test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, frame.right - frame.left,
                    frame.bottom - frame.top, nullptr, nullptr, instance, this);
}

TestHostWindow::~TestHostWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    PumpMessages();
}

void TestHostWindow::PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK TestHostWindow::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TestHostWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TestHostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (self->handler) {
        try {
            if (std::optional<LRESULT> result = self->handler(hwnd, message, wParam, lParam)) return *result;
        } catch (...) {
            // A failing test's handler must not unwind through the system's window code.
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace lq::test
