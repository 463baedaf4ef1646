#include "ui/search/GlobalSearchText.h"

#include "platform/TextConversion.h"

namespace lq {
namespace {

bool IsCollapsedSpace(wchar_t unit) noexcept {
    return unit == L'\t' || unit == L'\n' || unit == L'\r' || unit == L' ';
}

wchar_t FoldAscii(wchar_t unit) noexcept {
    return (unit >= L'A' && unit <= L'Z') ? static_cast<wchar_t>(unit - L'A' + L'a') : unit;
}

}  // namespace

std::wstring CollapseWhiteSpace(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    bool pendingSpace = false;
    for (const wchar_t unit : text) {
        if (IsCollapsedSpace(unit)) {
            // Only a space between two pieces of text survives.
            pendingSpace = !result.empty();
            continue;
        }
        if (pendingSpace) result.push_back(L' ');
        pendingSpace = false;
        result.push_back(unit);
    }
    return result;
}

TextMatch FindFirstNoCase(std::wstring_view text, std::wstring_view query) noexcept {
    if (query.empty() || query.size() > text.size()) return {};
    const size_t last = text.size() - query.size();
    for (size_t start = 0; start <= last; ++start) {
        size_t i = 0;
        while (i < query.size() && FoldAscii(text[start + i]) == FoldAscii(query[i])) ++i;
        if (i == query.size()) return {start, query.size()};
    }
    return {};
}

GlobalSearchRow MakeGlobalSearchRow(const SearchHit& hit, std::wstring_view query) {
    GlobalSearchRow row;
    row.title = Utf8ToUtf16(hit.title);
    row.projectName = Utf8ToUtf16(hit.projectName);
    row.snippet = CollapseWhiteSpace(Utf8ToUtf16(hit.snippet));
    row.titleMatch = FindFirstNoCase(row.title, query);
    row.snippetMatch = FindFirstNoCase(row.snippet, query);
    return row;
}

}  // namespace lq
