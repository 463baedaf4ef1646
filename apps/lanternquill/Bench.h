#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lq {

// One start-up timing mark.
struct BenchMark {
    std::string name;  // ASCII
    double ms = 0.0;   // milliseconds since the process was created; -1.0 when that time is unknown
};

// The start-up timing marks of one run, written to the timing file at the end of it. Made by
// wWinMain, borrowed by the start-up and the main window. UI thread only.
class Bench {
public:
    Bench() = default;
    explicit Bench(std::wstring timingPath) : path(std::move(timingPath)) {}

    // Appends a mark with the time since process creation; does nothing while `path` is empty.
    void Mark(const char* name);

    std::wstring path;             // the timing file; empty means timing is off
    std::vector<BenchMark> marks;  // in the order taken
};

// Milliseconds between two FILETIME tick counts (100 ns units); 0.0 when `now` is before `created`.
[[nodiscard]] double ElapsedMilliseconds(unsigned long long created, unsigned long long now) noexcept;

// Writes one "name=ms\n" line per mark (three decimals, LF line ends) to `bench.path`, creating or
// truncating it. Returns false when the file could not be opened, a line could not be written (the
// remaining lines are still tried) or closing failed. The shut-down calls it only when `path` is set.
[[nodiscard]] bool WriteTimingFile(const Bench& bench);

}  // namespace lq
