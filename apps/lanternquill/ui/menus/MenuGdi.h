#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "ui/gdi/GdiObjects.h"

namespace lq {

// The width in pixels of one line of `text` in `font` (the stock GUI font when null), measured on
// the screen's device context; 0 when it cannot be measured.
[[nodiscard]] int32_t MeasureTextWidth(HFONT font, std::wstring_view text) noexcept;

}  // namespace lq
