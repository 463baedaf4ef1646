#include "SingleInstance.h"

#include <cwchar>
#include <string>

#include "resources/ResourceIds.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/main/MainWindow.h"

namespace lq {
namespace {

constexpr ULONGLONG kSearchTimeMs = 1000;
constexpr DWORD kSearchIntervalMs = 50;
constexpr UINT kActivateTimeoutMs = 2000;
// Long enough for a closing instance to close its database, short enough for a hung one.
constexpr DWORD kTakeOverWaitMs = 1500;

// The running instance's window, searched for at once and then every 50 ms for about a second; null
// when none turned up.
HWND FindInstanceWindow(uint64_t key) {
    const ULONGLONG deadline = GetTickCount64() + kSearchTimeMs;
    InstanceWindowSearch search;
    search.key = key;
    for (;;) {
        EnumWindows(FindInstanceWindowProc, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        Sleep(kSearchIntervalMs);
        if (GetTickCount64() >= deadline) return nullptr;
    }
}

// Lets the running instance take the foreground and asks it to come to the front. False when the
// message did not arrive: the instance is hung, or runs with higher rights and refuses it.
bool AskToComeToFront(HWND window) {
    // Only a process that may take the foreground itself can hand that right on; the running
    // instance then raises its own window.
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != 0) AllowSetForegroundWindow(processId);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, ActivateMessageId(), 0, 0, SMTO_ABORTIFHUNG, kActivateTimeoutMs, &answer) != 0;
}

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

std::optional<ExitCode> ActivateRunningInstance(HINSTANCE instance, uint64_t key, InstanceMutex& mutex) {
    const HWND found = FindInstanceWindow(key);
    if (found != nullptr) {
        if (AskToComeToFront(found) || mutex.held()) return ExitCode::Ok;
    } else if (mutex.TakeOver(kTakeOverWaitMs)) {
        return std::nullopt;
    }
    // Still starting, hung, or out of this process's reach: the user learns that it runs.
    ShowMessage(nullptr, instance, LoadResourceString(instance, IDS_ALREADY_RUNNING), MessageKind::Information);
    return ExitCode::InstanceNotReachable;
}

}  // namespace lq
