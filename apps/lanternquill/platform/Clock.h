#pragma once

#include <cstdint>

namespace lq {

// Milliseconds since 1970-01-01 00:00 UTC: every time the database stores.
[[nodiscard]] int64_t NowUnixMillis() noexcept;

// The same conversion for a given FILETIME tick count (100 ns since 1601), truncating toward zero.
[[nodiscard]] constexpr int64_t FileTimeTicksToUnixMillis(int64_t ticks) noexcept {
    return (ticks - 116444736000000000ll) / 10000;
}

}  // namespace lq
