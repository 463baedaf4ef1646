#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lq {

// The "window.placement" setting: the restored rectangle (left, top, right, bottom) and whether the
// window is maximised, as "left,top,right,bottom,0|1" in plain decimals.
struct PlacementValues {
    RECT normal{};
    bool maximised = false;
};

[[nodiscard]] std::string FormatPlacementText(const RECT& normal, bool maximised);

// Reads up to five signed 32-bit decimals from the start of `text`, each optionally followed by one
// ","; reading stops at the first place where no number can be read, or at a number that leaves the
// 32-bit range. None unless exactly five were read (anything after the fifth is ignored). A fifth
// number other than 0 means maximised.
[[nodiscard]] std::optional<PlacementValues> ParsePlacementText(std::string_view text) noexcept;

// Whether a stored rectangle is worth restoring at `dpi`, apart from lying on a monitor: at least
// half the minimum window width wide, and not upside down.
[[nodiscard]] bool IsPlacementSizeUsable(const RECT& rect, int32_t dpi) noexcept;

}  // namespace lq
