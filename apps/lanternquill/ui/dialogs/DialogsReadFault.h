#pragma once

#include <windows.h>

namespace lq {

// How long the message may take to appear before the process ends without it.
inline constexpr DWORD kReadFaultMessageAppearsWithinMs = 10000;

// Tells the user that the database file could not be read during a mapped scan and that the program
// closes; nothing typed is lost, because scans map only after a save that went through. Runs on the
// faulting thread inside the fault handler: the dialog is shown by a thread of its own while this one
// waits, so no window procedure of the program (nor the database, which is mid-statement) runs again.
// Returns once the message was closed, or when it did not appear within `appearsWithinMs`.
void ReportMappedReadFault() noexcept;
void ReportMappedReadFault(DWORD appearsWithinMs) noexcept;

}  // namespace lq
