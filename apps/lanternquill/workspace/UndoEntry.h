#pragma once

#include <cstdint>
#include <vector>

#include "store/Rows.h"

namespace lq {

// A deleted note or project kept in memory so that the deletion can be undone, with the text and
// view the user last had (unsaved edits included).
struct UndoEntry {
    bool isProject = false;
    // The deleted project, its expanded flag as the user last saw it; an empty record for a note.
    ProjectRecord project;
    // Note entry: the project it goes back to (kept up to date when that project is restored under a
    // new id); project entry: 0.
    int64_t projectId = 0;
    // Index of the note among its project's notes, or of the project in the tree, when deleted.
    uint64_t position = 0;
    // Note entry: the one note; project entry: all its notes in stored order.
    std::vector<NoteRecord> notes;
};

// What an undo restored: the project's id, or the note's id (either may be new when the old one was
// taken meanwhile).
struct UndoneItem {
    bool isProject = false;
    int64_t id = 0;

    friend bool operator==(const UndoneItem&, const UndoneItem&) = default;
};

}  // namespace lq
