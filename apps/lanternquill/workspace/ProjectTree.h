#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/Rows.h"

namespace lq {

// One project as the sidebar shows it: the fields of its ProjectRow, then its notes in display order.
struct ProjectNode {
    int64_t id = 0;
    std::string name;
    int64_t sortOrder = 0;
    bool expanded = true;
    std::vector<NoteListRow> notes;
};

// The in-memory order of projects and of the notes inside each. Positions are the order; the
// sortOrder numbers in the rows are carried but never consulted. Lookups walk projects, then notes,
// in order and take the first match. Index arguments are clamped, so a very large index appends.
// Any change invalidates references into `projects`. UI thread only.
class ProjectTree {
public:
    // Read directly by the workspace and the sidebar, in display order.
    std::vector<ProjectNode> projects;

    // Replaces the whole tree with the projects in the given order, each with its notes in the order
    // of `notes`. Notes of a project not among `projectRows` are dropped; of projects with a repeated
    // id, the first receives the notes.
    void Rebuild(std::vector<ProjectRow> projectRows, const std::vector<NoteListRow>& notes);

    // The first row with that note id, or null. Valid until the tree changes.
    [[nodiscard]] const NoteListRow* FindNote(int64_t noteId) const noexcept;
    // The first node with that project id, or null. Valid until the tree changes.
    [[nodiscard]] const ProjectNode* FindProject(int64_t projectId) const noexcept;
    // The project id held by the note's row.
    [[nodiscard]] std::optional<int64_t> ProjectOfNote(int64_t noteId) const noexcept;
    // The note after this one in its project, else the one before; none when it is alone or absent.
    // Never a note of another project.
    [[nodiscard]] std::optional<int64_t> NeighbourNote(int64_t noteId) const noexcept;

    // Appends a project with no notes.
    void AppendProject(const ProjectRow& row);
    // Inserts a project with no notes at min(index, project count).
    void InsertProject(const ProjectRow& row, size_t index);
    // Removes every project with that id (with its notes); returns how many went.
    size_t RemoveProject(int64_t projectId);
    // Moves the first project with that id to min(index, count of the others). False when absent.
    bool MoveProject(int64_t projectId, size_t index);

    // Inserts the row into the first project with row.projectId at min(index, its note count);
    // ignored when there is no such project.
    void InsertNote(const NoteListRow& row, size_t index);
    // Removes every row with that note id, in every project.
    void RemoveNote(int64_t noteId);
    // Moves the note (first match) into the target project at min(index, count of the target's other
    // notes) and sets its project id. False, with nothing changed, when the note or target is absent.
    bool MoveNote(int64_t noteId, int64_t targetProjectId, size_t index);

private:
    [[nodiscard]] ProjectNode* ProjectById(int64_t projectId) noexcept;
};

}  // namespace lq
