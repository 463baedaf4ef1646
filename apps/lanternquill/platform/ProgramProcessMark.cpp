#include "platform/ProgramProcessMark.h"

#include <windows.h>

#include <string>

namespace lq {
namespace {

std::wstring MarkName(uint32_t processId) {
    return L"Local\\Lanternquill-Process-" + std::to_wstring(processId);
}

}  // namespace

void MarkThisProcessAsProgram() noexcept {
    // Never closed: the system closes it when the process ends, and the mark goes with it.
    static const HANDLE mark = CreateEventW(nullptr, TRUE, FALSE, MarkName(GetCurrentProcessId()).c_str());
    (void)mark;
}

bool IsMarkedAsProgram(uint32_t processId) noexcept {
    const HANDLE mark = OpenEventW(SYNCHRONIZE, FALSE, MarkName(processId).c_str());
    if (mark != nullptr) {
        CloseHandle(mark);
        return true;
    }
    // It exists, but this process may not open it.
    return GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace lq
