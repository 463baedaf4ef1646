#pragma once

#include <windows.h>

#include <cstdint>

#include "ExitCode.h"

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

// The second process's side: looks for the running instance's window at once and then every 50 ms for
// about a second, lets it take the foreground and asks it to come to the front (never waiting more
// than 2 s on a hung one). Ok once it was asked; InstanceNotReachable, after telling the user that the
// program is already running, when no window turned up in time.
[[nodiscard]] ExitCode ActivateRunningInstance(HINSTANCE instance, uint64_t key);

}  // namespace lq
