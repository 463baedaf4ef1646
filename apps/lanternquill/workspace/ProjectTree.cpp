#include "workspace/ProjectTree.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <utility>

namespace lq {

namespace {

ProjectNode NodeFromRow(ProjectRow row) {
    return ProjectNode{row.id, std::move(row.name), row.sortOrder, row.expanded, {}};
}

template <typename Vector>
auto ClampedPosition(Vector& vector, size_t index) {
    return vector.begin() + static_cast<std::ptrdiff_t>(std::min(index, vector.size()));
}

}  // namespace

void ProjectTree::Rebuild(std::vector<ProjectRow> projectRows, const std::vector<NoteListRow>& notes) {
    projects.clear();
    projects.reserve(projectRows.size());
    std::unordered_map<int64_t, size_t> positionById;
    positionById.reserve(projectRows.size());
    for (ProjectRow& row : projectRows) {
        positionById.try_emplace(row.id, projects.size());
        projects.push_back(NodeFromRow(std::move(row)));
    }
    for (const NoteListRow& note : notes) {
        const auto found = positionById.find(note.projectId);
        if (found != positionById.end()) projects[found->second].notes.push_back(note);
    }
}

const NoteListRow* ProjectTree::FindNote(int64_t noteId) const noexcept {
    for (const ProjectNode& project : projects) {
        for (const NoteListRow& note : project.notes) {
            if (note.id == noteId) return &note;
        }
    }
    return nullptr;
}

const ProjectNode* ProjectTree::FindProject(int64_t projectId) const noexcept {
    for (const ProjectNode& project : projects) {
        if (project.id == projectId) return &project;
    }
    return nullptr;
}

ProjectNode* ProjectTree::ProjectById(int64_t projectId) noexcept {
    return const_cast<ProjectNode*>(std::as_const(*this).FindProject(projectId));
}

std::optional<int64_t> ProjectTree::ProjectOfNote(int64_t noteId) const noexcept {
    const NoteListRow* note = FindNote(noteId);
    if (note == nullptr) return std::nullopt;
    return note->projectId;
}

std::optional<int64_t> ProjectTree::NeighbourNote(int64_t noteId) const noexcept {
    for (const ProjectNode& project : projects) {
        const auto& notes = project.notes;
        for (size_t i = 0; i < notes.size(); ++i) {
            if (notes[i].id != noteId) continue;
            if (i + 1 < notes.size()) return notes[i + 1].id;
            if (i > 0) return notes[i - 1].id;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void ProjectTree::AppendProject(const ProjectRow& row) {
    projects.push_back(NodeFromRow(row));
}

void ProjectTree::InsertProject(const ProjectRow& row, size_t index) {
    projects.insert(ClampedPosition(projects, index), NodeFromRow(row));
}

size_t ProjectTree::RemoveProject(int64_t projectId) {
    return static_cast<size_t>(
        std::erase_if(projects, [projectId](const ProjectNode& project) { return project.id == projectId; }));
}

bool ProjectTree::MoveProject(int64_t projectId, size_t index) {
    const auto found = std::find_if(projects.begin(), projects.end(),
                                    [projectId](const ProjectNode& project) { return project.id == projectId; });
    if (found == projects.end()) return false;
    ProjectNode node = std::move(*found);
    projects.erase(found);
    projects.insert(ClampedPosition(projects, index), std::move(node));
    return true;
}

void ProjectTree::InsertNote(const NoteListRow& row, size_t index) {
    ProjectNode* target = ProjectById(row.projectId);
    if (target == nullptr) return;
    target->notes.insert(ClampedPosition(target->notes, index), row);
}

void ProjectTree::RemoveNote(int64_t noteId) {
    for (ProjectNode& project : projects) {
        std::erase_if(project.notes, [noteId](const NoteListRow& note) { return note.id == noteId; });
    }
}

bool ProjectTree::MoveNote(int64_t noteId, int64_t targetProjectId, size_t index) {
    ProjectNode* target = ProjectById(targetProjectId);
    if (target == nullptr) return false;
    for (ProjectNode& project : projects) {
        const auto found = std::find_if(project.notes.begin(), project.notes.end(),
                                        [noteId](const NoteListRow& note) { return note.id == noteId; });
        if (found == project.notes.end()) continue;
        NoteListRow row = std::move(*found);
        project.notes.erase(found);
        row.projectId = targetProjectId;
        // Only notes vectors changed, so `target` still points at its node.
        target->notes.insert(ClampedPosition(target->notes, index), std::move(row));
        return true;
    }
    return false;
}

}  // namespace lq
