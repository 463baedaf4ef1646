#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lq {

// The parsed command line. An engaged `bench` may hold an empty path: the run then closes itself
// after its first paint but records nothing.
struct LaunchOptions {
    bool smoke = false;                 // "--smoke": the self-test
    std::optional<std::wstring> bench;  // "--bench PATH": the timing file
    std::optional<std::wstring> db;     // "--db PATH": the database file; never engaged and empty
    bool silent = false;                // "--silent": every dialog as a task dialog without system sounds
};

// Parses the arguments that follow the program name. Options match exactly and case-sensitively;
// "--bench" and "--db" take the next argument whatever it holds, a later value replacing an
// earlier one, and are ignored when nothing follows them. An empty "--db" value is ignored too:
// SQLite would take it for a temporary database that vanishes at exit, with every note in it.
// Everything else is ignored. Never fails.
[[nodiscard]] LaunchOptions ParseLaunchOptions(const std::vector<std::wstring>& arguments);

}  // namespace lq
