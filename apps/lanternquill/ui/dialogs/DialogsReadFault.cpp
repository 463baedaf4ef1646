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

}  // namespace

void ReportMappedReadFault() noexcept {
    HANDLE thread = CreateThread(nullptr, 0, ShowReadFault, nullptr, 0, nullptr);
    if (thread == nullptr) return;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

}  // namespace lq
