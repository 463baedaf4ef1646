#include "editor/EditorSearch.h"

#include <algorithm>
#include <functional>
#include <string>

#include "editor/UndoGroup.h"

namespace lq {
namespace {

using Scintilla::FindOption;

constexpr unsigned char FoldAscii(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

struct FoldedEqual {
    bool operator()(char a, char b) const noexcept {
        return FoldAscii(static_cast<unsigned char>(a)) == FoldAscii(static_cast<unsigned char>(b));
    }
};

template <typename Equal>
size_t Search(std::string_view haystack, std::string_view needle, bool last, Equal equal) {
    if (last) {
        const auto it = std::find_end(haystack.begin(), haystack.end(), needle.begin(), needle.end(), equal);
        return it == haystack.end() ? std::string_view::npos : static_cast<size_t>(it - haystack.begin());
    }
    const auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(), equal);
    return it == haystack.end() ? std::string_view::npos : static_cast<size_t>(it - haystack.begin());
}

}  // namespace

bool IsSmartCaseMatchCase(std::string_view text) noexcept {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

void SetSmartCaseSearchFlags(Scintilla::ScintillaCall& call, std::string_view text) {
    call.SetSearchFlags(IsSmartCaseMatchCase(text) ? FindOption::MatchCase : FindOption::None);
}

size_t FindLiteral(std::string_view haystack, std::string_view needle, bool matchCase, bool last) noexcept {
    if (needle.empty() || needle.size() > haystack.size()) return std::string_view::npos;
    if (matchCase) return Search(haystack, needle, last, std::equal_to<char>{});
    return Search(haystack, needle, last, FoldedEqual{});
}

EditorMatch SearchInRange(Scintilla::ScintillaCall& call, std::string_view text, int64_t from, int64_t to) {
    if (text.empty()) return {};
    const int64_t length = call.Length();
    from = std::clamp<int64_t>(from, 0, length);
    to = std::clamp<int64_t>(to, 0, length);
    const int64_t low = std::min(from, to);
    const int64_t high = std::max(from, to);
    if (high - low < static_cast<int64_t>(text.size())) return {};
    const bool matchCase = (static_cast<int>(call.SearchFlags()) & static_cast<int>(FindOption::MatchCase)) != 0;
    const auto* bytes = static_cast<const char*>(call.RangePointer(low, high - low));
    if (!bytes) return {};
    const size_t offset =
        FindLiteral(std::string_view(bytes, static_cast<size_t>(high - low)), text, matchCase, from > to);
    if (offset == std::string_view::npos) return {};
    const int64_t start = low + static_cast<int64_t>(offset);
    const int64_t end = start + static_cast<int64_t>(text.size());
    // As the component's own target search does, so a caller may replace the target next.
    call.SetTargetRange(start, end);
    return {start, end, true};
}

EditorMatch FindInEditor(Scintilla::ScintillaCall& call, std::string_view text, bool forward) {
    if (text.empty()) return {};
    SetSmartCaseSearchFlags(call, text);
    const int64_t length = call.Length();
    const int64_t selectionStart = call.SelectionStart();
    const int64_t selectionEnd = call.SelectionEnd();
    // The wrapped pass reaches across the point it started from, so an occurrence the caret sits
    // inside is found rather than reported missing.
    const auto reach = static_cast<int64_t>(text.size()) - 1;
    EditorMatch match;
    if (forward) {
        match = SearchInRange(call, text, selectionEnd, length);
        if (!match.found) match = SearchInRange(call, text, 0, std::min(length, selectionEnd + reach));
    } else {
        match = SearchInRange(call, text, selectionStart, 0);
        if (!match.found) match = SearchInRange(call, text, length, std::max<int64_t>(0, selectionStart - reach));
    }
    if (match.found) call.SetSel(match.start, match.end);
    return match;
}

int32_t ReplaceAllInEditor(Scintilla::ScintillaCall& call, std::string_view find, std::string_view replacement) {
    // A read-only document would not change, and the search would find the same text forever.
    if (find.empty() || call.ReadOnly()) return 0;
    SetSmartCaseSearchFlags(call, find);
    UndoGroup group(call);
    int64_t from = 0;
    int32_t count = 0;
    while (true) {
        const EditorMatch match = SearchInRange(call, find, from, call.Length());
        if (!match.found) break;
        call.SetTargetRange(match.start, match.end);
        from = match.start + call.ReplaceTarget(replacement);
        ++count;
    }
    return count;
}

}  // namespace lq
