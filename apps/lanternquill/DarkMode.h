#pragma once

#include <cstdint>

namespace lq {

// The first Windows build whose theme library has the process-wide dark-mode switches.
inline constexpr uint32_t kFirstDarkModeBuild = 18362;

// The true Windows build number (RtlGetVersion, which no compatibility shim alters); 0 when unknown.
[[nodiscard]] uint32_t WindowsBuildNumber() noexcept;

// Asks the theme library to draw this process and its menus dark, where the system has the switches
// for it. True when they were called; false, with nothing changed, on older builds or when either
// export is missing. Failing is harmless: the program then runs in the light system style.
bool EnableProcessDarkMode() noexcept;

}  // namespace lq
