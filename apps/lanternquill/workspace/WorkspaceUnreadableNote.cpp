#include "editor/EditorView.h"
#include "store/Database.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "workspace/OneRowChange.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceSql.h"

// A note whose row cannot be read: finding out, and deleting it. No copy of it can be kept, so its
// deletion puts nothing onto the undo stack: the undo command must never promise a text it does not
// have.
namespace lq {
namespace {

// The DELETE inside `transaction`. A damaged row can fail part-way through freeing its pages, and
// such a statement is not always undone by itself: only the transaction's rollback puts every page
// back, so the caller commits only a deletion that went through whole.
bool DeleteInside(Database& db, const Transaction& transaction, int64_t noteId) {
    return transaction.begun() && ChangeOneRow(db, kDeleteNoteSql, [&](Statement& s) { s.BindInt64(1, noteId); });
}

}  // namespace

bool Workspace::NoteCannotBeRead(int64_t noteId) {
    if (tree.FindNote(noteId) == nullptr || documents.contains(noteId)) return false;
    if (notes.GetNoteForEditor(noteId)) return false;
    unreadableNoteId = noteId;
    return true;
}

bool Workspace::CanDeleteWithoutUndo(int64_t noteId) {
    if (tree.FindNote(noteId) == nullptr) return false;
    const Transaction trial(db);  // rolled back on leaving
    return DeleteInside(db, trial, noteId);
}

bool Workspace::DeleteWithoutUndo(int64_t noteId) {
    const NoteListRow* row = tree.FindNote(noteId);
    if (row == nullptr) return false;
    const int64_t projectId = row->projectId;
    const bool wasOpen = noteId == currentNoteId;
    if (wasOpen) editor.CompleteComposition();
    const std::optional<int64_t> neighbour = tree.NeighbourNote(noteId);
    LoadLastOpened(projectId);
    {
        Transaction transaction(db);
        if (!DeleteInside(db, transaction, noteId) || !transaction.Commit()) return false;
    }

    tree.RemoveNote(noteId);
    viewStates.erase(noteId);
    savedViewStates.erase(noteId);
    if (auto last = lastOpenedNote.find(projectId); last != lastOpenedNote.end() && last->second == noteId) {
        lastOpenedNote.erase(last);
    }
    if (wasOpen) currentNoteId = 0;
    EvictDocument(noteId);
    if (wasOpen && (!neighbour || !OpenNote(*neighbour))) {
        ShowEmptyDocument();
        currentProjectId = projectId;
    }
    return true;
}

}  // namespace lq
