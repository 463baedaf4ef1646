#include "workspace/Workspace.h"

#include <algorithm>
#include <unordered_map>

#include "store/Database.h"
#include "store/ResultCodes.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "workspace/OneRowChange.h"
#include "workspace/SortOrderPlan.h"
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

// id -> sort_order of the rows `sql` gives (bound to ?1 = `parameter` when it has one); none when
// the read failed midway.
std::optional<std::unordered_map<int64_t, int64_t>> ReadStoredOrders(Database& db, const char* sql, int64_t parameter) {
    Statement* statement = db.Prepare(sql);
    if (statement == nullptr) return std::nullopt;
    const ScopedReset reset(*statement);
    statement->Reset();
    if (parameter != 0) statement->BindInt64(1, parameter);
    std::unordered_map<int64_t, int64_t> orders;
    while (statement->Step()) orders.emplace(statement->ColumnInt64(0), statement->ColumnInt64(1));
    if (!statement->ok()) return std::nullopt;
    return orders;
}

std::optional<int64_t> StoredOrderOf(const std::unordered_map<int64_t, int64_t>& stored, int64_t id) {
    const auto found = stored.find(id);
    if (found == stored.end()) return std::nullopt;
    return found->second;
}

}  // namespace

bool Workspace::StoreProjectOrder() {
    const std::optional<std::unordered_map<int64_t, int64_t>> stored = ReadStoredOrders(db, kProjectOrdersSql, 0);
    if (!stored) return false;
    std::vector<SortOrderSlot> slots;
    slots.reserve(tree.projects.size());
    for (const ProjectNode& project : tree.projects) slots.push_back(SortOrderSlot{StoredOrderOf(*stored, project.id)});
    const std::vector<int64_t> orders = PlanSortOrders(slots);
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].stored == orders[i]) continue;
        const int64_t id = tree.projects[i].id;
        if (!ChangeOneRow(db, kSetProjectOrderSql, [&](Statement& s) { s.BindInt64(1, orders[i]).BindInt64(2, id); })) {
            return false;
        }
    }
    return true;
}

bool Workspace::StoreNoteOrder(int64_t projectId, int64_t freshNoteId) {
    const ProjectNode* project = tree.FindProject(projectId);
    if (project == nullptr) return false;
    const std::optional<std::unordered_map<int64_t, int64_t>> stored = ReadStoredOrders(db, kNoteOrdersSql, projectId);
    if (!stored) return false;
    std::vector<SortOrderSlot> slots;
    slots.reserve(project->notes.size());
    for (const NoteListRow& row : project->notes) {
        const bool damaged = row.id == unreadableNoteId || unwritableNotes.contains(row.id);
        slots.push_back(SortOrderSlot{row.id == freshNoteId ? std::nullopt : StoredOrderOf(*stored, row.id), damaged});
    }
    const std::vector<int64_t> orders = PlanSortOrders(slots);
    for (size_t i = 0; i < slots.size(); ++i) {
        // A note in its place keeps its row as it is (a note moved in from another project is never
        // in its place: it has no stored order here).
        if (slots[i].stored == orders[i]) continue;
        const int64_t id = project->notes[i].id;
        if (!ChangeOneRow(db, kSetNoteOrderSql,
                          [&](Statement& s) { s.BindInt64(1, projectId).BindInt64(2, orders[i]).BindInt64(3, id); })) {
            // Remembered, so that a new attempt leaves this row where it is if it can.
            if (IsUnreadableDataCode(db.LastErrorCode())) unwritableNotes.insert(id);
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
    // A row found unreadable on the way rolls the attempt back; the next one leaves it in place.
    for (;;) {
        const size_t known = unwritableNotes.size();
        if (TryMoveNote(noteId, targetProjectId, index)) return true;
        if (unwritableNotes.size() == known) return false;
    }
}

bool Workspace::TryMoveNote(int64_t noteId, int64_t targetProjectId, uint64_t index) {
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
