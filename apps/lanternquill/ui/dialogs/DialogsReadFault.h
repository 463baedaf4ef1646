#pragma once

namespace lq {

// Tells the user that the database file could not be read during a mapped scan and that the program
// closes; nothing typed is lost, because scans map only after a save that went through. Runs on the
// faulting thread inside the fault handler: the dialog is shown by a thread of its own while this one
// waits, so no window procedure of the program (nor the database, which is mid-statement) runs again.
void ReportMappedReadFault() noexcept;

}  // namespace lq
