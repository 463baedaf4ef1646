#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/Rows.h"

namespace lq {

// Where a query stands in a text, in UTF-16 code units; (0, 0) means no match.
struct TextMatch {
    uint64_t position = 0;
    uint64_t length = 0;

    friend bool operator==(const TextMatch&, const TextMatch&) = default;
};

// One result row of the search across all notes, as the list draws it.
struct GlobalSearchRow {
    std::wstring title;
    std::wstring projectName;
    std::wstring snippet;  // white space collapsed
    TextMatch titleMatch;
    TextMatch snippetMatch;
};

// Folds a snippet onto one line: every run of tab, line feed, carriage return and space becomes one
// space, and white space at either end is dropped.
[[nodiscard]] std::wstring CollapseWhiteSpace(std::wstring_view text);

// The first place where `query` stands in `text`, comparing code units with only A-Z folded to a-z,
// as the search across all notes matches; (0, 0) when the query is empty or absent.
[[nodiscard]] TextMatch FindFirstNoCase(std::wstring_view text, std::wstring_view query) noexcept;

// The row for one hit: its texts in UTF-16, the snippet collapsed, and where `query` stands in the
// title and in the collapsed snippet.
[[nodiscard]] GlobalSearchRow MakeGlobalSearchRow(const SearchHit& hit, std::wstring_view query);

}  // namespace lq
