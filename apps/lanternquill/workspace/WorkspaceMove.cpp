#include "workspace/Workspace.h"

#include <algorithm>

#include "store/Database.h"
#include "store/Transaction.h"
#include "workspace/OneRowChange.h"
#include "workspace/WorkspaceSql.h"

namespace lq {
namespace {

std::optional<size_t> ProjectIndex(const ProjectTree& tree, int64_t projectId) {
    for (size_t i = 0; i < tree.projects.size(); ++i) {
        if (tree.projects[i].id == projectId) return i;
    }
    return std::nullopt;
}

// The note's project index and its position there (first match).
std::optional<std::pair<size_t, size_t>> NotePlace(const ProjectTree& tree, int64_t noteId) {
    for (size_t p = 0; p < tree.projects.size(); ++p) {
        const auto& rows = tree.projects[p].notes;
        for (size_t n = 0; n < rows.size(); ++n) {
            if (rows[n].id == noteId) return std::make_pair(p, n);
        }
    }
    return std::nullopt;
}

size_t ClampIndex(uint64_t index, size_t limit) {
    return static_cast<size_t>(std::min<uint64_t>(index, limit));
}

}  // namespace

bool Workspace::StoreProjectOrder() {
    int64_t position = 0;
    for (const ProjectNode& project : tree.projects) {
        ++position;
        if (!ChangeOneRow(db, kSetProjectOrderSql,
                          [&](Statement& s) { s.BindInt64(1, position).BindInt64(2, project.id); })) {
            return false;
        }
    }
    return true;
}

bool Workspace::StoreNoteOrder(int64_t projectId) {
    const ProjectNode* project = tree.FindProject(projectId);
    if (project == nullptr) return false;
    int64_t position = 0;
    for (const NoteListRow& row : project->notes) {
        ++position;
        if (!ChangeOneRow(db, kSetNoteOrderSql, [&](Statement& s) {
                s.BindInt64(1, projectId).BindInt64(2, position).BindInt64(3, row.id);
            })) {
            return false;
        }
    }
    return true;
}

bool Workspace::MoveProject(int64_t projectId, uint64_t index) {
    const std::optional<size_t> from = ProjectIndex(tree, projectId);
    if (!from) return false;
    const size_t target = ClampIndex(index, tree.projects.size() - 1);
    if (target == *from) return true;

    (void)tree.MoveProject(projectId, target);
    // The guard rolls back whatever began and did not commit.
    Transaction transaction(db);
    if (transaction.begun() && StoreProjectOrder() && transaction.Commit()) return true;
    (void)tree.MoveProject(projectId, *from);
    return false;
}

bool Workspace::MoveNote(int64_t noteId, int64_t targetProjectId, uint64_t index) {
    const auto place = NotePlace(tree, noteId);
    const ProjectNode* target = tree.FindProject(targetProjectId);
    if (!place || target == nullptr) return false;
    const int64_t sourceProjectId = tree.projects[place->first].id;
    const size_t from = place->second;
    if (sourceProjectId == targetProjectId && from == ClampIndex(index, target->notes.size() - 1)) return true;

    (void)tree.MoveNote(noteId, targetProjectId, ClampIndex(index, SIZE_MAX));
    bool stored = false;
    {
        Transaction transaction(db);
        stored = transaction.begun() && StoreNoteOrder(targetProjectId) && transaction.Commit();
    }
    if (!stored) {
        (void)tree.MoveNote(noteId, sourceProjectId, from);
        return false;
    }
    if (sourceProjectId != targetProjectId) {
        if (noteId == currentNoteId) {
            currentProjectId = targetProjectId;
            lastOpenedNote[targetProjectId] = noteId;
        }
        if (auto last = lastOpenedNote.find(sourceProjectId); last != lastOpenedNote.end() && last->second == noteId) {
            lastOpenedNote.erase(last);
        }
    }
    return true;
}

}  // namespace lq
