#include "editor/CharBoundary.h"

#include <algorithm>

namespace lq {
namespace {

bool IsContinuation(unsigned char byte) noexcept {
    return (byte & 0xC0) == 0x80;
}

// The length a lead byte announces; 0 for a byte that cannot begin a character.
size_t SequenceLength(unsigned char byte) noexcept {
    if (byte < 0x80) return 1;
    if (byte >= 0xC2 && byte <= 0xDF) return 2;
    if (byte >= 0xE0 && byte <= 0xEF) return 3;
    if (byte >= 0xF0 && byte <= 0xF4) return 4;
    return 0;
}

}  // namespace

size_t CharBoundaryAtOrBefore(std::string_view bytes, size_t offset) noexcept {
    if (offset == 0 || offset >= bytes.size()) return offset;
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (at(offset) == '\n' && at(offset - 1) == '\r') return offset - 1;
    if (!IsContinuation(at(offset))) return offset;
    for (size_t back = 1; back <= 3 && back <= offset; ++back) {
        const unsigned char byte = at(offset - back);
        if (IsContinuation(byte)) continue;
        const size_t length = SequenceLength(byte);
        if (length <= back) return offset;
        // The character must be complete for the editor to take it as one.
        const size_t start = offset - back;
        if (start + length > bytes.size()) return offset;
        for (size_t i = start + 1; i < start + length; ++i) {
            if (!IsContinuation(at(i))) return offset;
        }
        return start;
    }
    return offset;
}

Scintilla::Position SnapToCharacter(Scintilla::ScintillaCall& call, Scintilla::Position position) {
    using Scintilla::Position;
    // The widest character is four bytes, so three on each side decide where a position may stand.
    constexpr Position kReach = 3;
    const Position length = call.Length();
    position = std::clamp<Position>(position, 0, length);
    if (position == 0 || position == length) return position;
    const Position start = std::max<Position>(0, position - kReach);
    const Position end = std::min(length, position + kReach + 1);
    const auto* bytes = static_cast<const char*>(call.RangePointer(start, end - start));
    if (bytes == nullptr) return position;
    const std::string_view around(bytes, static_cast<size_t>(end - start));
    return start + static_cast<Position>(CharBoundaryAtOrBefore(around, static_cast<size_t>(position - start)));
}

}  // namespace lq
