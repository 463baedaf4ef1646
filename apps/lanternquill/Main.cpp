// The process entry: the command line becomes LaunchOptions, the first timing mark is taken, and
// RunApp's result is the exit code.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Bench.h"
#include "LaunchOptions.h"
#include "RunApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
    // The runtime's own splitting of the command line; entry 0 is the program name.
    std::vector<std::wstring> arguments;
    if (__wargv != nullptr) {
        for (int i = 1; i < __argc; ++i) arguments.emplace_back(__wargv[i] != nullptr ? __wargv[i] : L"");
    }
    const lq::LaunchOptions options = lq::ParseLaunchOptions(arguments);
    lq::Bench bench(options.bench.value_or(std::wstring()));
    bench.Mark("process_entry");
    return lq::RunApp(instance, options, bench);
}
