#include "SingleInstance.h"

#include <cwchar>
#include <string>

#include "resources/ResourceIds.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/ResourceString.h"

namespace lq {
namespace {

constexpr ULONGLONG kSearchTimeMs = 1000;
constexpr DWORD kSearchIntervalMs = 50;
constexpr UINT kActivateTimeoutMs = 2000;

}  // namespace

BOOL CALLBACK FindInstanceWindowProc(HWND window, LPARAM search) {
    auto& record = *reinterpret_cast<InstanceWindowSearch*>(search);
    wchar_t className[32] = {};
    if (GetClassNameW(window, className, 32) == 0 || std::wcscmp(className, kMainWindowClass) != 0) return TRUE;
    // The property's handle value is the instance key itself, all 64 bits of it.
    if (reinterpret_cast<uintptr_t>(GetPropW(window, kInstanceProperty)) != record.key) return TRUE;
    record.found = window;
    return FALSE;
}

ExitCode ActivateRunningInstance(HINSTANCE instance, uint64_t key) {
    const ULONGLONG deadline = GetTickCount64() + kSearchTimeMs;
    InstanceWindowSearch search;
    search.key = key;
    for (;;) {
        EnumWindows(FindInstanceWindowProc, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) break;
        Sleep(kSearchIntervalMs);
        if (GetTickCount64() >= deadline) break;
    }
    if (search.found == nullptr) {
        // The other process holds the file but is still starting (or hung before showing its window).
        ShowMessage(nullptr, instance, LoadResourceString(instance, IDS_ALREADY_RUNNING), MessageKind::Information);
        return ExitCode::InstanceNotReachable;
    }
    // Only a process that may take the foreground itself can hand that right on; the running
    // instance then raises its own window.
    DWORD processId = 0;
    GetWindowThreadProcessId(search.found, &processId);
    if (processId != 0) AllowSetForegroundWindow(processId);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(search.found, ActivateMessageId(), 0, 0, SMTO_ABORTIFHUNG, kActivateTimeoutMs, &answer);
    return ExitCode::Ok;
}

}  // namespace lq
