#include "workspace/Workspace.h"

#include <algorithm>

#include "platform/Clock.h"
#include "store/Database.h"
#include "store/Transaction.h"
#include "workspace/OneRowChange.h"
#include "workspace/TextHelpers.h"
#include "workspace/WorkspaceSql.h"

namespace lq {
namespace {

constexpr char kDefaultNoteTitle[] = "Untitled";
constexpr char kDefaultProjectName[] = "Untitled Project";

NoteListRow* FindNoteRow(ProjectTree& tree, int64_t noteId) {
    for (ProjectNode& project : tree.projects) {
        for (NoteListRow& row : project.notes) {
            if (row.id == noteId) return &row;
        }
    }
    return nullptr;
}

ProjectNode* FindProjectNode(ProjectTree& tree, int64_t projectId) {
    auto found = std::find_if(tree.projects.begin(), tree.projects.end(),
                              [&](const ProjectNode& node) { return node.id == projectId; });
    return found == tree.projects.end() ? nullptr : &*found;
}

}  // namespace

std::optional<int64_t> Workspace::CreateNote(int64_t projectId, std::string_view title) {
    if (tree.FindProject(projectId) == nullptr) return std::nullopt;
    const std::string stored = NormalizeTitle(title).value_or(kDefaultNoteTitle);
    const std::optional<int64_t> id = notes.InsertNote(projectId, stored, NowUnixMillis());
    if (!id) return std::nullopt;
    TellNoteTextChanged(*id);
    tree.InsertNote(NoteListRow{*id, projectId, stored, 0, 0}, SIZE_MAX);
    return id;
}

std::optional<int64_t> Workspace::CreateProject(std::string_view name) {
    const std::string stored = NormalizeTitle(name).value_or(kDefaultProjectName);
    const std::optional<int64_t> id = projects.InsertProject(stored, NowUnixMillis());
    if (!id) return std::nullopt;
    tree.AppendProject(ProjectRow{*id, stored, 0, true});
    savedExpanded[*id] = true;
    return id;
}

bool Workspace::RenameNote(int64_t noteId, std::string_view title) {
    const std::optional<std::string> stored = NormalizeTitle(title);
    NoteListRow* row = FindNoteRow(tree, noteId);
    if (!stored || row == nullptr) return false;
    const int64_t now = NowUnixMillis();
    if (!ChangeOneRow(db, kRenameNoteSql,
                      [&](Statement& s) { s.BindText(1, *stored).BindInt64(2, now).BindInt64(3, noteId); })) {
        return false;
    }
    row->title = *stored;
    return true;
}

bool Workspace::RenameProject(int64_t projectId, std::string_view name) {
    const std::optional<std::string> stored = NormalizeTitle(name);
    ProjectNode* node = FindProjectNode(tree, projectId);
    if (!stored || node == nullptr) return false;
    const int64_t now = NowUnixMillis();
    if (!ChangeOneRow(db, kRenameProjectSql,
                      [&](Statement& s) { s.BindText(1, *stored).BindInt64(2, now).BindInt64(3, projectId); })) {
        return false;
    }
    node->name = *stored;
    return true;
}

std::optional<int64_t> Workspace::ImportNote(int64_t projectId, std::string_view title, std::string_view content) {
    if (tree.FindProject(projectId) == nullptr) return std::nullopt;
    const std::string stored = NormalizeTitle(title).value_or(kDefaultNoteTitle);
    const int64_t now = NowUnixMillis();
    // Both statements or neither: a note left with empty content would look imported and be empty.
    Transaction transaction(db);
    if (!transaction.begun()) return std::nullopt;
    const std::optional<int64_t> id = notes.InsertNote(projectId, stored, now);
    if (!id || !notes.SaveNote(*id, content, NoteViewState{}, now) || !transaction.Commit()) return std::nullopt;
    TellNoteTextChanged(*id);
    tree.InsertNote(NoteListRow{*id, projectId, stored, 0, 0}, SIZE_MAX);
    return id;
}

}  // namespace lq
