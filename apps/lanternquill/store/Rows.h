#pragma once

#include <cstdint>
#include <string>

namespace lq {

// Rows read from the store hold copies: nothing refers to SQLite memory after an operation returns.
// Ids and times are int64 (times in Unix milliseconds); text is UTF-8.

// The editor view of a note, kept in six columns of table notes.
struct NoteViewState {
    int64_t cursorPos = 0;
    int64_t anchorPos = 0;
    int64_t firstVisibleDocLine = 0;
    int64_t firstVisibleSubLine = 0;
    int64_t xOffset = 0;
    int64_t openedAt = 0;  // 0: never opened

    friend bool operator==(const NoteViewState&, const NoteViewState&) = default;
};

struct ProjectRow {
    int64_t id = 0;
    std::string name;
    int64_t sortOrder = 0;
    bool expanded = true;
};

struct ProjectRecord {
    int64_t id = 0;
    std::string name;
    bool expanded = true;
    int64_t createdAt = 0;
    int64_t updatedAt = 0;
};

struct NoteListRow {
    int64_t id = 0;
    int64_t projectId = 0;
    std::string title;
    int64_t sortOrder = 0;
    // 0 as listed; filled only when undo restores a deleted note.
    int64_t openedAt = 0;
};

struct SearchHit {
    int64_t noteId = 0;
    std::string projectName;
    std::string title;
    std::string snippet;
    bool inContent = false;
};

struct NoteRecord {
    int64_t id = 0;
    int64_t projectId = 0;
    std::string title;
    std::string content;
    NoteViewState view;
    int64_t createdAt = 0;
    int64_t updatedAt = 0;
};

struct LoadedNote {
    int64_t id = 0;
    int64_t projectId = 0;
    std::string title;
    std::string content;
    NoteViewState view;
};

}  // namespace lq
