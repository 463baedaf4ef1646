#pragma once

#include <windows.h>

#include "Bench.h"
#include "LaunchOptions.h"

namespace lq {

// Runs the whole program on the UI thread, from the parsed command line to the process exit code
// (an ExitCode value). Called once, by wWinMain, which owns `options` and `bench` for the run.
[[nodiscard]] int RunApp(HINSTANCE instance, const LaunchOptions& options, Bench& bench);

}  // namespace lq
