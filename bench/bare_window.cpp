// The yardstick of the start-up benchmark: a bare top-level window with one editing component child
// and nothing else. Run as "bare_window.exe PATH", it writes "first_paint=MS" (milliseconds since
// process creation, as the program's own timing file has it) to PATH after the editor's first paint
// and closes itself.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Scintilla.h"
#include "editor/EditorClass.h"

namespace {

std::wstring g_timingPath;
bool g_painted = false;

double MillisSinceProcessCreation() {
    FILETIME creation{}, exitTime{}, kernel{}, user{}, now{};
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exitTime, &kernel, &user)) return -1.0;
    GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(creation)) / 10000.0;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (HWND child = GetWindow(hwnd, GW_CHILD)) MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == SCN_PAINTED && !g_painted) {
                g_painted = true;
                const double ms = MillisSinceProcessCreation();
                if (FILE* file = _wfopen(g_timingPath.c_str(), L"wb")) {
                    std::fprintf(file, "first_paint=%.3f\n", ms);
                    std::fclose(file);
                }
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 2) return 2;
    g_timingPath = arguments[1];
    LocalFree(arguments);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW host{};
    host.cbSize = sizeof(host);
    host.lpfnWndProc = HostProc;
    host.hInstance = instance;
    host.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    host.lpszClassName = L"Lanternquill.BareWindow";
    if (!lq::RegisterEditorClass(instance) || !RegisterClassExW(&host)) return 3;
    HWND window = CreateWindowExW(0, host.lpszClassName, L"bare", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 1200, 800, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 4;
    if (!CreateWindowExW(0, L"Scintilla", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr, instance, nullptr)) {
        return 5;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return g_painted ? 0 : 6;
}
