#pragma once

#include <cstdint>
#include <vector>

namespace lq {

// Matches of a query in all stored notes.
struct ReplaceCount {
    int64_t occurrences = 0;  // matches in all notes
    int64_t noteCount = 0;    // notes with at least one match

    friend bool operator==(const ReplaceCount&, const ReplaceCount&) = default;
};

enum class ReplaceAllStatus : int32_t {
    Replaced = 0,          // at least one note rewritten and committed
    NothingToDo = 1,       // empty query, or no note contains it
    OpenNoteNotSaved = 2,  // saving beforehand failed; nothing was replaced
    DatabaseFailed = 3,    // begin, scan, an update or commit failed; everything rolled back
};

// What a replace in all notes did. Counts and ids are filled only for Replaced.
struct ReplaceAllOutcome {
    ReplaceAllStatus status = ReplaceAllStatus::NothingToDo;
    int64_t totalReplaced = 0;
    int64_t notesChanged = 0;
    std::vector<int64_t> changedNoteIds;     // ascending
    std::vector<int64_t> unreadableNoteIds;  // notes passed over, neither read nor rewritten (ascending)
};

}  // namespace lq
