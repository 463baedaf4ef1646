#include "support/editor/EditorTestWindow.h"

#include <cstring>
#include <mutex>

#include "editor/EditorClass.h"

namespace lq::test {
namespace {

constexpr wchar_t kHostClass[] = L"Lanternquill.TestHost";

bool RegisterClassesOnce(HINSTANCE instance) {
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [&] {
        WNDCLASSEXW host{};
        host.cbSize = sizeof(host);
        host.lpfnWndProc = EditorTestWindow::StaticWndProc;
        host.hInstance = instance;
        host.lpszClassName = kHostClass;
        registered = RegisterEditorClass(instance) && RegisterClassExW(&host) != 0;
    });
    return registered;
}

// Opens the clipboard, retrying briefly: another process (the X clipboard bridge) may hold it.
bool OpenClipboardWithRetry(HWND owner) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(10);
    }
    return false;
}

}  // namespace

EditorTestWindow::EditorTestWindow(int clientWidth, int clientHeight) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterClassesOnce(instance)) return;
    host_ = CreateWindowExW(0, kHostClass, L"editor test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 100, 100,
                            nullptr, nullptr, instance, this);
    if (!host_) return;
    if (!view_.Create(host_, instance)) return;
    Resize(clientWidth, clientHeight);
    created_ = true;
}

EditorTestWindow::~EditorTestWindow() {
    if (host_) DestroyWindow(host_);
    PumpMessages();
}

void EditorTestWindow::Resize(int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(host_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(host_, &client);
    MoveWindow(view_.hwnd(), 0, 0, client.right, client.bottom, FALSE);
}

void EditorTestWindow::PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void EditorTestWindow::PressKey(UINT virtualKey, Modifiers modifiers) {
    PressKeyIn(view_.hwnd(), virtualKey, modifiers);
}

std::string EditorTestWindow::Text() {
    auto& call = view_.call();
    return call.GetText(call.Length());
}

LRESULT CALLBACK EditorTestWindow::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<EditorTestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->WndProc(hwnd, message, wParam, lParam);
}

LRESULT EditorTestWindow::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && onNotify) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == view_.hwnd()) onNotify(*reinterpret_cast<const Scintilla::NotificationData*>(lParam));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        host_ = nullptr;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool EnsureEditorClass() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    return GetClassInfoExW(instance, L"Scintilla", &info) || RegisterEditorClass(instance);
}

std::wstring ReadClipboardText() {
    if (!OpenClipboardWithRetry(nullptr)) return {};
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool ClipboardHasLineMarker() {
    const UINT format = RegisterClipboardFormatW(L"MSDEVLineSelect");
    return format != 0 && IsClipboardFormatAvailable(format);
}

bool WriteClipboardText(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboardWithRetry(nullptr)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) GlobalFree(memory);
    return placed;
}

}  // namespace lq::test
