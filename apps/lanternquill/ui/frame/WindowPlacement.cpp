#include "ui/frame/WindowPlacement.h"

#include <array>
#include <limits>

#include "ui/frame/MainWindowGeometry.h"

namespace lq {
namespace {

// One signed decimal at `pos`; none when there is none or it leaves the 32-bit range. `pos` moves
// past it only on success.
std::optional<int32_t> ReadNumber(std::string_view text, size_t& pos) noexcept {
    size_t at = pos;
    const bool negative = at < text.size() && text[at] == '-';
    if (negative) ++at;
    const size_t digitsStart = at;
    int64_t value = 0;
    constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        if (value > kLimit) return std::nullopt;
        ++at;
    }
    if (at == digitsStart) return std::nullopt;
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return std::nullopt;
    pos = at;
    return static_cast<int32_t>(value);
}

}  // namespace

std::string FormatPlacementText(const RECT& normal, bool maximised) {
    return std::to_string(normal.left) + "," + std::to_string(normal.top) + "," + std::to_string(normal.right) + "," +
           std::to_string(normal.bottom) + "," + (maximised ? "1" : "0");
}

std::optional<PlacementValues> ParsePlacementText(std::string_view text) noexcept {
    std::array<int32_t, 5> numbers{};
    size_t count = 0;
    size_t pos = 0;
    while (count < numbers.size()) {
        const std::optional<int32_t> number = ReadNumber(text, pos);
        if (!number) break;
        numbers[count++] = *number;
        if (pos < text.size() && text[pos] == ',') ++pos;
    }
    if (count != numbers.size()) return std::nullopt;
    PlacementValues values;
    values.normal = RECT{numbers[0], numbers[1], numbers[2], numbers[3]};
    values.maximised = numbers[4] != 0;
    return values;
}

bool IsPlacementSizeUsable(const RECT& rect, int32_t dpi) noexcept {
    const int64_t width = static_cast<int64_t>(rect.right) - rect.left;
    return width >= ScaleDip(640, dpi) / 2 && rect.top < rect.bottom;
}

}  // namespace lq
