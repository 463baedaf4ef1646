#pragma once

namespace lq {

// The process exit codes: what RunApp returns and wWinMain hands back to the system.
enum class ExitCode : int {
    Ok = 0,                     // the message loop ended, another instance was activated, or the self-test passed
    EditorClassFailed = 9,      // the editing component's window class could not be registered
    WindowClassFailed = 10,     // "Lanternquill.Main" or "Lanternquill.Find" could not be registered
    WindowCreateFailed = 11,    // the main window could not be created
    BenchWriteFailed = 12,      // the timing file could not be written (replaces any other code)
    NoDatabase = 13,            // no database was opened
    WorkspaceLoadFailed = 14,   // the workspace could not load
    SmokeSaveFailed = 15,       // self-test: saving the typed text failed
    SmokeCheckFailed = 16,      // self-test: the saved text was not found again
    InstanceNotReachable = 17,  // another process holds the database but its window could not be reached in time
    DatabaseReadFault = 18,     // the disk failed under a mapped scan; the user was told, nothing was unsaved
};

[[nodiscard]] constexpr int ToInt(ExitCode code) noexcept {
    return static_cast<int>(code);
}

}  // namespace lq
