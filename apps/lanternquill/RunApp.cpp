#include "RunApp.h"

#include "ExitCode.h"

namespace lq {

// Provisional: the start-up and shut-down (database, windows, message loop) land here. For now a
// run only ends the way every full shut-down ends: with the timing file when one was asked for.
int RunApp(HINSTANCE /*instance*/, const LaunchOptions& /*options*/, Bench& bench) {
    ExitCode code = ExitCode::Ok;
    if (!bench.path.empty() && !WriteTimingFile(bench)) code = ExitCode::BenchWriteFailed;
    return ToInt(code);
}

}  // namespace lq
