#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "ExitCode.h"
#include "InstanceMutex.h"

namespace lq {

// What FindInstanceWindowProc looks for and what it found.
struct InstanceWindowSearch {
    uint64_t key = 0;
    HWND found = nullptr;
};

// The EnumWindows test: a top-level window of class "Lanternquill.Main" whose "Lanternquill.Instance"
// property holds the key. Stores it and returns FALSE to stop; TRUE to go on. `search` points to an
// InstanceWindowSearch.
BOOL CALLBACK FindInstanceWindowProc(HWND window, LPARAM search);

// The second process's side, after the file's mutex turned out to exist: looks for the running
// instance's window at once and then every 50 ms for about a second and asks it to come to the front
// (never waiting more than 2 s on a hung one). Ok once it was asked, except that an instance whose
// mutex could not even be opened must also take the message: one with higher rights may refuse it.
// Without a window, the mutex is waited on once more for a short while: an instance whose window is
// gone is closing its database. None when it came free and is now held here (the start-up goes on);
// otherwise InstanceNotReachable, after telling the user that the program is already running.
[[nodiscard]] std::optional<ExitCode> ActivateRunningInstance(HINSTANCE instance, uint64_t key, InstanceMutex& mutex);

}  // namespace lq
