#include "ui/search/GlobalSearchFocus.h"

#include <algorithm>

namespace lq {

std::vector<HWND> BuildFocusRing(HWND queryEdit, HWND replaceEdit, HWND button, HWND list, bool replaceMode,
                                 bool buttonEnabled, bool listHasRows) {
    std::vector<HWND> ring{queryEdit};
    if (replaceMode) {
        ring.push_back(replaceEdit);
        if (buttonEnabled) ring.push_back(button);
    }
    if (listHasRows) ring.push_back(list);
    return ring;
}

HWND NextInFocusRing(std::span<const HWND> ring, HWND from, bool backwards) noexcept {
    if (ring.empty()) return nullptr;
    const auto found = std::find(ring.begin(), ring.end(), from);
    const size_t index = found == ring.end() ? 0 : static_cast<size_t>(found - ring.begin());
    const size_t next = backwards ? (index + ring.size() - 1) % ring.size() : (index + 1) % ring.size();
    return ring[next];
}

}  // namespace lq
