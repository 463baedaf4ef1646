#pragma once

// What the benchmark programs share: a millisecond clock, and a hidden top-level window holding the
// editor, sized like a main window's editing area.
#include <windows.h>

#include <chrono>

#include "editor/EditorClass.h"
#include "editor/EditorView.h"

namespace lq::bench {

using Clock = std::chrono::steady_clock;

inline double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class EditorHost {
public:
    EditorHost() {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW host{};
        host.cbSize = sizeof(host);
        host.lpfnWndProc = DefWindowProcW;
        host.hInstance = instance;
        host.lpszClassName = L"Lanternquill.BenchHost";
        if (!RegisterEditorClass(instance) || !RegisterClassExW(&host)) return;
        hwnd_ = CreateWindowExW(0, host.lpszClassName, L"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 800,
                                nullptr, nullptr, instance, nullptr);
        if (!hwnd_ || !view.Create(hwnd_, instance)) return;
        MoveWindow(view.hwnd(), 0, 0, 980, 760, FALSE);
        ok = true;
    }
    ~EditorHost() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    EditorHost(const EditorHost&) = delete;
    EditorHost& operator=(const EditorHost&) = delete;

    EditorView view;
    bool ok = false;

private:
    HWND hwnd_ = nullptr;
};

}  // namespace lq::bench
