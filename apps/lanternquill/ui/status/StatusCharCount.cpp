#include "ui/status/StatusCharCount.h"

namespace lq {

int64_t CountStatusCharacters(std::string_view utf8) noexcept {
    int64_t count = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        // Branch-free, so that recounting a large note stays a tight loop.
        count += static_cast<int64_t>(byte != '\r' && byte != '\n' && (byte & 0xC0) != 0x80);
    }
    return count;
}

}  // namespace lq
