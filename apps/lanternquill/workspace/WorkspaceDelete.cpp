#include "workspace/Workspace.h"

#include "editor/EditorView.h"
#include "store/Database.h"
#include "store/MappedReads.h"
#include "store/Statement.h"
#include "workspace/BackgroundDocumentSwap.h"
#include "workspace/OneRowChange.h"
#include "workspace/WorkspaceSql.h"

namespace lq {
namespace {

// The attached document's whole text, copied.
std::string CopyAttachedText(Scintilla::ScintillaCall& call) {
    const Scintilla::Position length = call.Length();
    const auto* text = static_cast<const char*>(call.CharacterPointer());
    return text == nullptr ? std::string() : std::string(text, static_cast<size_t>(length));
}

std::optional<size_t> ProjectIndexOf(const ProjectTree& tree, int64_t projectId) {
    for (size_t i = 0; i < tree.projects.size(); ++i) {
        if (tree.projects[i].id == projectId) return i;
    }
    return std::nullopt;
}

// Every note of the project as whole records in stored order; none when the read failed midway.
std::optional<std::vector<NoteRecord>> ReadProjectNotes(Database& db, int64_t projectId) {
    Statement* statement = db.Prepare(kProjectNoteRecordsSql);
    if (statement == nullptr) return std::nullopt;
    const ScopedReset reset(*statement);
    statement->Reset().BindInt64(1, projectId);
    std::vector<NoteRecord> records;
    while (statement->Step()) records.push_back(NoteStore::ReadNoteRecord(*statement));
    if (!statement->ok()) return std::nullopt;
    return records;
}

}  // namespace

std::string Workspace::ReadCachedDocumentText(int64_t noteId) {
    auto cached = documents.find(noteId);
    if (cached == documents.end()) return {};
    auto& call = editor.call();
    if (noteId == currentNoteId) return CopyAttachedText(call);
    // The swap puts the open note's view back from `viewStates`: make that the view it has now.
    if (currentNoteId != 0) viewStates[currentNoteId] = CaptureViewState();
    BackgroundDocumentSwap swap(*this);
    swap.Attach(cached->second.doc.document());
    std::string text = CopyAttachedText(call);
    swap.Restore();
    return text;
}

void Workspace::CaptureNoteForUndo(NoteRecord& record) {
    if (auto view = viewStates.find(record.id); view != viewStates.end()) record.view = view->second;
    if (record.id == currentNoteId) {
        record.view = CaptureViewState();
        if (editor.call().Modify()) record.content = CopyAttachedText(editor.call());
        return;
    }
    if (auto cached = documents.find(record.id); cached != documents.end() && cached->second.dirty) {
        record.content = ReadCachedDocumentText(record.id);
    }
}

bool Workspace::DeleteNote(int64_t noteId) {
    unreadableNoteId = 0;
    const NoteListRow* row = tree.FindNote(noteId);
    if (row == nullptr) return false;
    const int64_t projectId = row->projectId;
    const ProjectNode* project = tree.FindProject(projectId);
    if (project == nullptr) return false;
    size_t position = 0;
    while (position < project->notes.size() && project->notes[position].id != noteId) ++position;

    const bool wasOpen = noteId == currentNoteId;
    if (wasOpen) editor.CompleteComposition();
    std::optional<NoteRecord> record = notes.GetNoteRecord(noteId);
    if (!record) {
        // Listed, so its row is there but cannot be read: no copy can be kept for undo.
        unreadableNoteId = noteId;
        return false;
    }
    CaptureNoteForUndo(*record);
    const std::optional<int64_t> neighbour = tree.NeighbourNote(noteId);
    LoadLastOpened(projectId);

    if (!ChangeOneRow(db, kDeleteNoteSql, [&](Statement& s) { s.BindInt64(1, noteId); })) return false;

    // Gone from the database: keep the copy first, so nothing that follows can lose it.
    UndoEntry entry;
    entry.projectId = projectId;
    entry.position = position;
    entry.notes.push_back(std::move(*record));
    undoStack.push_back(std::move(entry));
    ForgetDeletedNote(noteId, projectId, wasOpen, neighbour);
    return true;
}

void Workspace::ForgetDeletedNote(int64_t noteId, int64_t projectId, bool wasOpen, std::optional<int64_t> neighbour) {
    TellNoteTextChanged(noteId);
    tree.RemoveNote(noteId);
    viewStates.erase(noteId);
    savedViewStates.erase(noteId);
    if (auto last = lastOpenedNote.find(projectId); last != lastOpenedNote.end() && last->second == noteId) {
        lastOpenedNote.erase(last);
    }
    // Nothing of the deleted note may be captured or saved from here on, and its document goes
    // before anything else is shown, so a component failure there cannot leave it cached.
    if (wasOpen) currentNoteId = 0;
    EvictDocument(noteId);
    if (wasOpen && (!neighbour || !OpenNote(*neighbour))) {
        ShowEmptyDocument();
        currentProjectId = projectId;
    }
}

bool Workspace::DeleteProject(int64_t projectId) {
    const std::optional<size_t> index = ProjectIndexOf(tree, projectId);
    if (!index) return false;
    const bool wasCurrent = projectId == currentProjectId;
    if (wasCurrent) editor.CompleteComposition();

    std::optional<ProjectRecord> project = projects.GetProject(projectId);
    if (!project) return false;
    project->expanded = tree.projects[*index].expanded;
    std::optional<std::vector<NoteRecord>> records;
    {
        // Mapped when nothing typed is pending, as the other reads over many notes' texts are (see
        // MappedReads): a thousand notes' pages read through the file API cost a fifth of a second.
        std::optional<MappedReads> mapped;
        if (!HasUnsavedText()) mapped.emplace(db);
        records = ReadProjectNotes(db, projectId);
    }
    if (!records) return false;
    for (NoteRecord& record : *records) CaptureNoteForUndo(record);
    std::vector<int64_t> noteIds;
    for (const NoteListRow& row : tree.projects[*index].notes) noteIds.push_back(row.id);
    std::optional<int64_t> neighbour;
    if (*index + 1 < tree.projects.size()) {
        neighbour = tree.projects[*index + 1].id;
    } else if (*index > 0) {
        neighbour = tree.projects[*index - 1].id;
    }

    if (!ChangeOneRow(db, kDeleteProjectSql, [&](Statement& s) { s.BindInt64(1, projectId); })) return false;
    for (const NoteRecord& record : *records) TellNoteTextChanged(record.id);

    undoStack.push_back(UndoEntry{true, std::move(*project), 0, *index, std::move(*records)});
    (void)tree.RemoveProject(projectId);
    lastOpenedNote.erase(projectId);
    pendingExpanded.erase(projectId);
    savedExpanded.erase(projectId);
    for (const int64_t id : noteIds) {
        viewStates.erase(id);
        savedViewStates.erase(id);
    }
    if (wasCurrent) currentNoteId = 0;
    for (const int64_t id : noteIds) EvictDocument(id);
    if (wasCurrent) {
        // A last project deleted leaves "Inbox" with "Memo" (a failure here leaves an empty tree).
        (void)EnsureFirstRunData();
        bool opened = neighbour && OpenProject(*neighbour);
        if (!opened) {
            for (const ProjectNode& node : tree.projects) {
                if (node.notes.empty()) continue;
                opened = OpenNote(node.notes.front().id);
                break;
            }
        }
        if (!opened) {
            ShowEmptyDocument();
            currentProjectId = tree.projects.empty() ? 0 : tree.projects.front().id;
        }
    }
    return true;
}

}  // namespace lq
