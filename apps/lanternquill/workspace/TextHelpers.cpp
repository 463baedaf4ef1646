#include "workspace/TextHelpers.h"

namespace lq {

namespace {

constexpr bool IsContinuationByte(unsigned char byte) noexcept {
    return (byte & 0xC0) == 0x80;
}

constexpr unsigned char FoldAscii(unsigned char byte) noexcept {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

}  // namespace

std::optional<std::string> NormalizeTitle(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\n\r");
    if (first == std::string_view::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(" \t\n\r");
    const std::string_view trimmed = text.substr(first, last - first + 1);

    std::string title;
    title.reserve(trimmed.size() < 4 * kMaxTitleCodePoints ? trimmed.size() : 4 * kMaxTitleCodePoints);
    size_t codePoints = 0;
    for (const char c : trimmed) {
        const auto byte = static_cast<unsigned char>(c);
        if (!IsContinuationByte(byte) && ++codePoints > kMaxTitleCodePoints) break;
        title.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
    }
    return title;
}

uint64_t FindNoCase(std::string_view haystack, std::string_view needle, uint64_t start) noexcept {
    constexpr uint64_t kNoPosition = ~uint64_t{0};
    if (needle.empty() || needle.size() > haystack.size()) return kNoPosition;
    const uint64_t lastStart = haystack.size() - needle.size();
    if (start > lastStart) return kNoPosition;
    for (uint64_t i = start; i <= lastStart; ++i) {
        size_t k = 0;
        while (k < needle.size() && FoldAscii(static_cast<unsigned char>(haystack[i + k])) ==
                                        FoldAscii(static_cast<unsigned char>(needle[k]))) {
            ++k;
        }
        if (k == needle.size()) return i;
    }
    return kNoPosition;
}

std::wstring FormatThousands(int64_t value) {
    // Negate in unsigned arithmetic: the smallest int64 has no positive counterpart.
    uint64_t magnitude = static_cast<uint64_t>(value);
    if (value < 0) magnitude = ~magnitude + 1;

    wchar_t buffer[32];
    size_t pos = sizeof(buffer) / sizeof(buffer[0]);
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) buffer[--pos] = L',';
        buffer[--pos] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (value < 0) buffer[--pos] = L'-';
    return std::wstring(buffer + pos, buffer + sizeof(buffer) / sizeof(buffer[0]));
}

}  // namespace lq
