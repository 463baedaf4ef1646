#include "Bench.h"

#include <windows.h>

#include <cstdio>

namespace lq {

namespace {

unsigned long long Ticks(const FILETIME& time) noexcept {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

double ElapsedMilliseconds(unsigned long long created, unsigned long long now) noexcept {
    if (now < created) return 0.0;
    return static_cast<double>(now - created) / 10000.0;
}

void Bench::Mark(const char* name) {
    if (path.empty()) return;
    FILETIME creation{}, exitTime{}, kernel{}, user{};
    double ms = -1.0;
    if (GetProcessTimes(GetCurrentProcess(), &creation, &exitTime, &kernel, &user)) {
        FILETIME now{};
        GetSystemTimePreciseAsFileTime(&now);
        ms = ElapsedMilliseconds(Ticks(creation), Ticks(now));
    }
    marks.push_back(BenchMark{name, ms});
}

bool WriteTimingFile(const Bench& bench) {
    // Binary mode: each line ends with a single LF. The runtime's locale is never changed, so the
    // decimal separator is '.'.
    FILE* file = _wfopen(bench.path.c_str(), L"wb");
    if (file == nullptr) return false;
    bool ok = true;
    for (const BenchMark& mark : bench.marks) {
        if (std::fprintf(file, "%s=%.3f\n", mark.name.c_str(), mark.ms) < 0) ok = false;
    }
    if (std::fclose(file) != 0) ok = false;
    return ok;
}

}  // namespace lq
