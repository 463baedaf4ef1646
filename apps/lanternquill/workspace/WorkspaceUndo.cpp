#include "workspace/Workspace.h"

#include <algorithm>

#include "store/Database.h"
#include "store/Transaction.h"

namespace lq {
namespace {

size_t Clamp(uint64_t index, size_t limit) {
    return static_cast<size_t>(std::min<uint64_t>(index, limit));
}

}  // namespace

std::optional<UndoneItem> Workspace::UndoDelete() {
    // A row found unreadable on the way rolls the attempt back; the next one leaves it in place.
    for (;;) {
        const size_t known = unwritableNotes.size();
        std::optional<UndoneItem> undone = TryUndoDelete();
        if (undone || unwritableNotes.size() == known) return undone;
    }
}

std::optional<UndoneItem> Workspace::TryUndoDelete() {
    if (undoStack.empty()) return std::nullopt;
    Transaction transaction(db);
    if (!transaction.begun()) return std::nullopt;
    const UndoEntry& entry = undoStack.back();

    int64_t target = 0;
    if (entry.isProject) {
        const std::optional<int64_t> restored = projects.RestoreProject(entry.project);
        if (!restored) return std::nullopt;
        target = *restored;
    } else if (tree.FindProject(entry.projectId) != nullptr) {
        target = entry.projectId;
    } else if (tree.FindProject(currentProjectId) != nullptr) {
        target = currentProjectId;
    } else if (!tree.projects.empty()) {
        target = tree.projects.front().id;
    } else {
        // No project to put the note into; the entry waits until there is one.
        return std::nullopt;
    }

    std::vector<NoteListRow> rows;
    rows.reserve(entry.notes.size());
    int64_t sortOrder = 0;
    for (const NoteRecord& record : entry.notes) {
        const std::optional<int64_t> id = notes.RestoreNote(record, target, ++sortOrder);
        if (!id) return std::nullopt;
        rows.push_back(NoteListRow{*id, target, record.title, 0, record.view.openedAt});
    }

    if (entry.isProject) {
        tree.InsertProject(ProjectRow{target, entry.project.name, 0, entry.project.expanded},
                           Clamp(entry.position, tree.projects.size()));
        for (const NoteListRow& row : rows) tree.InsertNote(row, SIZE_MAX);
    } else {
        tree.InsertNote(rows.front(), Clamp(entry.position, SIZE_MAX));
    }
    const bool renumbered = entry.isProject ? StoreProjectOrder() : StoreNoteOrder(target, rows.front().id);
    if (!renumbered || !transaction.Commit()) {
        // The guard rolls the rows back; the tree follows.
        if (entry.isProject) {
            (void)tree.RemoveProject(target);
        } else {
            tree.RemoveNote(rows.front().id);
        }
        return std::nullopt;
    }

    for (const NoteListRow& row : rows) TellNoteTextChanged(row.id);
    for (size_t i = 0; i < rows.size(); ++i) savedViewStates[rows[i].id] = entry.notes[i].view;
    if (entry.isProject) {
        savedExpanded[target] = entry.project.expanded;
        const NoteListRow* latest = nullptr;
        for (const NoteListRow& row : rows) {
            if (row.openedAt > 0 && (latest == nullptr || row.openedAt > latest->openedAt)) latest = &row;
        }
        if (latest != nullptr) lastOpenedNote[target] = latest->id;
        if (target != entry.project.id) {
            // Notes deleted from the project before it went follow it to its new id.
            for (UndoEntry& older : undoStack) {
                if (!older.isProject && older.projectId == entry.project.id) older.projectId = target;
            }
        }
    } else if (rows.front().openedAt > 0) {
        // Unless the project remembers another note, the restored one was its last opened.
        LoadLastOpened(target);
        lastOpenedNote.try_emplace(target, rows.front().id);
    }
    const UndoneItem undone{entry.isProject, entry.isProject ? target : rows.front().id};
    undoStack.pop_back();
    return undone;
}

}  // namespace lq
