#include "ui/find/FindPanelText.h"

#include <algorithm>

namespace lq {
namespace {

constexpr int64_t kLineNumberLimit = 1000000000000;  // 10^12

bool IsBlank(wchar_t c) noexcept {
    return c == L'\t' || c == L' ' || c == L'\x3000';
}

}  // namespace

EditSpan WordDeletionSpan(std::wstring_view text, EditSpan selection, bool forward) noexcept {
    const auto length = static_cast<int64_t>(text.size());
    int64_t start = std::clamp<int64_t>(std::min(selection.start, selection.end), 0, length);
    int64_t end = std::clamp<int64_t>(std::max(selection.start, selection.end), 0, length);
    if (start != end) return {start, end};
    auto at = [&](int64_t i) { return text[static_cast<size_t>(i)]; };
    if (forward) {
        while (end < length && !IsBlank(at(end))) ++end;
        while (end < length && IsBlank(at(end))) ++end;
    } else {
        while (start > 0 && IsBlank(at(start - 1))) --start;
        while (start > 0 && !IsBlank(at(start - 1))) --start;
    }
    return {start, end};
}

int64_t ParseLineNumber(std::wstring_view text) noexcept {
    int64_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        // value ≤ 10^12 here, so value × 10 + 9 stays far inside 64 bits.
        value = std::min(value * 10 + (c - L'0'), kLineNumberLimit);
    }
    return value;
}

int64_t TargetLine(int64_t typed, int64_t lineCount) noexcept {
    return std::clamp<int64_t>(typed, 1, std::max<int64_t>(lineCount, 1));
}

}  // namespace lq
