#include "ui/dialogs/DialogsReadFault.h"

#include <windows.h>

#include "resources/ResourceIds.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/ResourceString.h"

namespace lq {
namespace {

DWORD WINAPI ShowReadFault(void*) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ShowMessage(nullptr, instance, LoadResourceString(instance, IDS_DATABASE_READ_FAULT), MessageKind::Error);
    return 0;
}

BOOL CALLBACK NoteVisible(HWND window, LPARAM shown) {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<bool*>(shown) = true;
    return FALSE;
}

bool ThreadShowsAWindow(DWORD threadId) {
    bool shown = false;
    EnumThreadWindows(threadId, NoteVisible, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

}  // namespace

void ReportMappedReadFault() noexcept {
    ReportMappedReadFault(kReadFaultMessageAppearsWithinMs);
}

void ReportMappedReadFault(DWORD appearsWithinMs) noexcept {
    HANDLE thread = CreateThread(nullptr, 0, ShowReadFault, nullptr, 0, nullptr);
    if (thread == nullptr) return;
    // The faulting thread may hold a lock the new one needs to start or to draw (the loader's, the
    // heap's): then no message comes, and waiting for it would leave a frozen window instead of an
    // ended program. So the wait ends when the message has not been on screen for a while: before it
    // first appeared, after `appearsWithinMs`; once it was seen, soon after it went.
    constexpr DWORD kAfterClosedMs = 2000;
    const DWORD threadId = GetThreadId(thread);
    bool seen = false;
    ULONGLONG lastShown = GetTickCount64();
    while (WaitForSingleObject(thread, 50) == WAIT_TIMEOUT) {
        const ULONGLONG now = GetTickCount64();
        if (ThreadShowsAWindow(threadId)) {
            seen = true;
            lastShown = now;
        } else if (now - lastShown > (seen ? kAfterClosedMs : appearsWithinMs)) {
            break;
        }
    }
    CloseHandle(thread);
}

}  // namespace lq
