#pragma once

#include <cstdint>

namespace lq {

// The component takes colours as 0xBBGGRR; the palette is written as 0xRRGGBB.
[[nodiscard]] constexpr int ComponentColour(uint32_t rgb) noexcept {
    return static_cast<int>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

// The same colour, fully opaque, for element colours.
[[nodiscard]] constexpr int OpaqueComponentColour(uint32_t rgb) noexcept {
    return static_cast<int>(static_cast<uint32_t>(ComponentColour(rgb)) | 0xFF000000u);
}

inline constexpr uint32_t kEditorTextRgb = 0xD4D4D4;
inline constexpr uint32_t kEditorBackRgb = 0x1E1E1E;
inline constexpr uint32_t kLineNumberTextRgb = 0x858585;
inline constexpr uint32_t kLineNumberBackRgb = 0x1E1E1E;
inline constexpr uint32_t kCaretLineBackRgb = 0x282828;
inline constexpr uint32_t kCaretRgb = 0xAEAFAD;
inline constexpr uint32_t kSelectionBackRgb = 0x264F78;
inline constexpr uint32_t kSelectionTextRgb = 0xFFFFFF;
inline constexpr uint32_t kInactiveSelectionBackRgb = 0x3A3D41;
inline constexpr uint32_t kInactiveSelectionTextRgb = 0xFFFFFF;

}  // namespace lq
