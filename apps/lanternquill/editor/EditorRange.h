#pragma once

#include <cstdint>

namespace lq {

// A byte range of the editor's UTF-8 document: [start, end).
struct EditorRange {
    int64_t start = 0;
    int64_t end = 0;
    friend bool operator==(const EditorRange&, const EditorRange&) = default;
};

// What a search in the editor found: the byte range of the match, when found.
struct EditorMatch {
    int64_t start = 0;
    int64_t end = 0;
    bool found = false;
    friend bool operator==(const EditorMatch&, const EditorMatch&) = default;
};

}  // namespace lq
