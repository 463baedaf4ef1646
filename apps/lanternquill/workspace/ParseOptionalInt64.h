#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lq {

// A stored number as the program writes it: the whole text must be an optional '-' and one or more
// digits 0-9, nothing before or after (no '+', no spaces), within the signed 64-bit range. An absent
// text, and anything else, gives none.
[[nodiscard]] std::optional<int64_t> ParseOptionalInt64(std::string_view text) noexcept;
[[nodiscard]] std::optional<int64_t> ParseOptionalInt64(const std::optional<std::string>& text) noexcept;

}  // namespace lq
