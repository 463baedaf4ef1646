#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/sidebar/TreeItemKey.h"
#include "workspace/ProjectTree.h"

namespace lq {

// What the note and project commands of the main window decide from values alone: the caption, the
// title of a new note, which note comes next, where a row moves, the deletion notice and what is
// selected after a deletion. No window and no database.

// The caption of the main window: "<project> / <title> — Lanternquill" for an open note, the product
// name alone for an empty current title.
[[nodiscard]] std::wstring WindowTitleText(std::wstring_view currentTitle);

// "2024-03-07": the date part of `date` as a new note's title.
[[nodiscard]] std::string DateTitle(const SYSTEMTIME& date);

// A note and the project that holds it.
struct NoteInProject {
    int64_t noteId = 0;
    int64_t projectId = 0;

    friend bool operator==(const NoteInProject&, const NoteInProject&) = default;
};

// The next (or previous) note after `currentNoteId` on the ring of all notes in tree order, collapsed
// projects included; from the last note forward it wraps to the first and from the first backward to
// the last. With no note open (or one the tree does not hold) forward gives the first note and
// backward the last. None only when the tree has no notes at all.
[[nodiscard]] std::optional<NoteInProject> AdjacentNote(const ProjectTree& tree, int64_t currentNoteId, bool forward);

// The index a row moves to one place up or down among its siblings (the projects, or the notes of
// the note's own project: a note never leaves its project this way). None when the row is not in
// the tree or already first (up) or last (down).
[[nodiscard]] std::optional<uint64_t> MoveTargetIndex(const ProjectTree& tree, TreeItemKey key, bool up);

// The notice shown after a deletion succeeded: the string id with its "%1" (the name or title) and
// its "%2" (a project's note count in plain decimal, empty otherwise).
struct DeletionNotice {
    UINT stringId = 0;
    std::wstring name;
    std::wstring noteCount;

    friend bool operator==(const DeletionNotice&, const DeletionNotice&) = default;
};

// The notice for deleting `key`, read from the tree before the deletion. None when the tree does not
// hold it.
[[nodiscard]] std::optional<DeletionNotice> DeletionNoticeFor(const ProjectTree& tree, TreeItemKey key);

// The row to select once `key` is deleted, read from the tree before the deletion: for a project the
// next project, else the previous one, else none; for a note the next note of its project, else the
// previous one, else the project itself.
[[nodiscard]] std::optional<TreeItemKey> SelectionAfterDelete(const ProjectTree& tree, TreeItemKey key);

// The other notes of the note's project in the order a deletion tries to open one in its place: the
// notes after it, nearest first, then the notes before it, nearest first. The first of them is the
// note SelectionAfterDelete gives; the others stand in when it cannot be read. Empty when the note
// is alone or not in the tree.
[[nodiscard]] std::vector<int64_t> NotesBesideInTurn(const ProjectTree& tree, int64_t noteId);

}  // namespace lq
