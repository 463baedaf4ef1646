#pragma once

#include <windows.h>

#include <cstdint>

namespace lq {

// One sidebar row: a project or a note, by its row id in the database.
struct TreeItemKey {
    bool isProject = false;
    int64_t id = 0;

    friend bool operator==(const TreeItemKey&, const TreeItemKey&) = default;
};

// The 64-bit item parameter of a row (also the lParam of the main window's sidebar messages):
// id × 2 + 1 for a project, id × 2 for a note. Computed in unsigned arithmetic so no id overflows
// into undefined behaviour; ids beyond ±2^62 do not survive the round trip (see IsEncodableTreeId).
[[nodiscard]] constexpr int64_t EncodeTreeItemParam(TreeItemKey key) noexcept {
    return static_cast<int64_t>((static_cast<uint64_t>(key.id) << 1) | (key.isProject ? 1u : 0u));
}

// Bit 0 is the kind; the rest, shifted right arithmetically, is the id.
[[nodiscard]] constexpr TreeItemKey DecodeTreeItemParam(int64_t param) noexcept {
    return TreeItemKey{(param & 1) != 0, param >> 1};
}

// True when the id comes back unchanged from its parameter, so two rows never share one.
[[nodiscard]] constexpr bool IsEncodableTreeId(int64_t id) noexcept {
    return DecodeTreeItemParam(EncodeTreeItemParam({false, id})).id == id;
}

}  // namespace lq
