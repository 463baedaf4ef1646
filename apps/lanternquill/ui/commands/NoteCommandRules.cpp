#include "ui/commands/NoteCommandRules.h"

#include <cstdio>
#include <vector>

#include "platform/TextConversion.h"
#include "resources/ResourceIds.h"

namespace lq {
namespace {

constexpr wchar_t kCaptionProduct[] = L"Lanternquill";
constexpr wchar_t kCaptionSeparator[] = L" \u2014 ";

// Where a key sits: its index among its siblings and how many siblings there are (itself included).
struct SiblingPlace {
    size_t index = 0;
    size_t count = 0;
    const ProjectNode* project = nullptr;  // the project row itself, or the note's project
};

std::optional<SiblingPlace> PlaceOf(const ProjectTree& tree, TreeItemKey key) {
    const auto& projects = tree.projects;
    for (size_t p = 0; p < projects.size(); ++p) {
        if (key.isProject) {
            if (projects[p].id == key.id) return SiblingPlace{p, projects.size(), &projects[p]};
            continue;
        }
        const auto& notes = projects[p].notes;
        for (size_t n = 0; n < notes.size(); ++n) {
            if (notes[n].id == key.id) return SiblingPlace{n, notes.size(), &projects[p]};
        }
    }
    return std::nullopt;
}

}  // namespace

std::wstring WindowTitleText(std::wstring_view currentTitle) {
    if (currentTitle.empty()) return kCaptionProduct;
    std::wstring caption(currentTitle);
    caption += kCaptionSeparator;
    caption += kCaptionProduct;
    return caption;
}

std::string DateTitle(const SYSTEMTIME& date) {
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d", static_cast<int>(date.wYear), static_cast<int>(date.wMonth),
                  static_cast<int>(date.wDay));
    return text;
}

std::optional<NoteInProject> AdjacentNote(const ProjectTree& tree, int64_t currentNoteId, bool forward) {
    std::vector<NoteInProject> ring;
    std::optional<size_t> current;
    for (const ProjectNode& project : tree.projects) {
        for (const NoteListRow& note : project.notes) {
            if (!current && currentNoteId != 0 && note.id == currentNoteId) current = ring.size();
            ring.push_back({note.id, project.id});
        }
    }
    if (ring.empty()) return std::nullopt;
    if (!current) return forward ? ring.front() : ring.back();
    if (forward) return ring[(*current + 1) % ring.size()];
    return ring[*current == 0 ? ring.size() - 1 : *current - 1];
}

std::optional<uint64_t> MoveTargetIndex(const ProjectTree& tree, TreeItemKey key, bool up) {
    const std::optional<SiblingPlace> place = PlaceOf(tree, key);
    if (!place) return std::nullopt;
    if (up) {
        if (place->index == 0) return std::nullopt;
        return place->index - 1;
    }
    if (place->index + 1 >= place->count) return std::nullopt;
    return place->index + 1;
}

std::optional<DeletionNotice> DeletionNoticeFor(const ProjectTree& tree, TreeItemKey key) {
    if (key.isProject) {
        const ProjectNode* project = tree.FindProject(key.id);
        if (project == nullptr) return std::nullopt;
        if (project->notes.empty()) return DeletionNotice{IDS_EMPTY_PROJECT_DELETED, Utf8ToUtf16(project->name), {}};
        return DeletionNotice{IDS_PROJECT_WITH_NOTES_DELETED, Utf8ToUtf16(project->name),
                              std::to_wstring(project->notes.size())};
    }
    const NoteListRow* note = tree.FindNote(key.id);
    if (note == nullptr) return std::nullopt;
    return DeletionNotice{IDS_NOTE_DELETED, Utf8ToUtf16(note->title), {}};
}

std::optional<TreeItemKey> SelectionAfterDelete(const ProjectTree& tree, TreeItemKey key) {
    const std::optional<SiblingPlace> place = PlaceOf(tree, key);
    if (!place) return std::nullopt;
    if (key.isProject) {
        const auto& projects = tree.projects;
        if (place->index + 1 < projects.size()) return TreeItemKey{true, projects[place->index + 1].id};
        if (place->index > 0) return TreeItemKey{true, projects[place->index - 1].id};
        return std::nullopt;
    }
    if (const std::optional<int64_t> neighbour = tree.NeighbourNote(key.id)) return TreeItemKey{false, *neighbour};
    return TreeItemKey{true, place->project->id};
}

std::vector<int64_t> NotesBesideInTurn(const ProjectTree& tree, int64_t noteId) {
    std::vector<int64_t> order;
    const std::optional<int64_t> projectId = tree.ProjectOfNote(noteId);
    const ProjectNode* project = projectId ? tree.FindProject(*projectId) : nullptr;
    if (project == nullptr) return order;
    const auto& notes = project->notes;
    size_t at = 0;
    while (at < notes.size() && notes[at].id != noteId) ++at;
    if (at == notes.size()) return order;
    for (size_t i = at + 1; i < notes.size(); ++i) order.push_back(notes[i].id);
    for (size_t i = at; i > 0; --i) order.push_back(notes[i - 1].id);
    return order;
}

}  // namespace lq
