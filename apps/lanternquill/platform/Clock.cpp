#include "platform/Clock.h"

#include <windows.h>

namespace lq {

int64_t NowUnixMillis() noexcept {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    return FileTimeTicksToUnixMillis(ticks);
}

}  // namespace lq
