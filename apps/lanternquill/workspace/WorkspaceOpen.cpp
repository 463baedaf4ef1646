#include "workspace/Workspace.h"

#include <optional>

#include "editor/EditorFailure.h"
#include "editor/EditorView.h"
#include "platform/Clock.h"
#include "workspace/ModificationEventsOff.h"

namespace lq {
namespace {

// A note that is not completely shown must leave nothing half-made behind when a component failure
// passes: a new document never filled would later pass for the note's text (and be saved over it),
// and a document attached under another note's id would be written into that note's row. So on that
// way out the new document goes and the empty document is shown.
class OpeningGuard {
public:
    explicit OpeningGuard(Workspace& workspace) noexcept : workspace_(workspace) {}
    ~OpeningGuard() {
        if (done_) return;
        if (newNote_ != 0) workspace_.documents.erase(newNote_);
        auto& call = workspace_.editor.call();
        for (int attempt = 0; attempt < 2; ++attempt) {
            // The failure's status is sticky; clear it so the empty document can be shown.
            ClearComponentFailure(call);
            try {
                workspace_.ShowEmptyDocument();
                break;
            } catch (...) {
            }
        }
        ClearComponentFailure(call);
        workspace_.currentNoteId = 0;
    }
    OpeningGuard(const OpeningGuard&) = delete;
    OpeningGuard& operator=(const OpeningGuard&) = delete;

    void Created(int64_t noteId) noexcept { newNote_ = noteId; }
    void Done() noexcept { done_ = true; }

private:
    Workspace& workspace_;
    int64_t newNote_ = 0;
    bool done_ = false;
};

}  // namespace

void Workspace::AttachDocument(void* document) {
    auto& call = editor.call();
    call.AutoCCancel();
    call.SetDocPointer(document);
    editor.ResetScrollWidth();
    editor.SetEmptyState(false);
    editor.UpdateLineNumberMargin(false);
}

void Workspace::CaptureCurrent() {
    if (currentNoteId == 0) return;
    editor.CompleteComposition();
    auto& call = editor.call();
    // A failed save does not hold the user back: the edits stay in the document, marked dirty below.
    if (call.Modify()) (void)SaveAll(SaveReason::SwitchingNote);
    viewStates[currentNoteId] = CaptureViewState();
    if (auto found = documents.find(currentNoteId); found != documents.end()) {
        found->second.lengthBytes = call.Length();
        found->second.dirty = call.Modify();
        found->second.lastUse = ++useCounter;
    }
}

bool Workspace::OpenNote(int64_t noteId) {
    unreadableNoteId = 0;
    if (noteId != 0 && noteId == currentNoteId) return true;
    const NoteListRow* row = tree.FindNote(noteId);
    if (row == nullptr) return false;
    const int64_t projectId = row->projectId;

    std::optional<LoadedNote> loaded;
    if (!documents.contains(noteId)) {
        loaded = notes.GetNoteForEditor(noteId);
        if (!loaded) {
            // The sidebar lists the note, so its row is there but cannot be read (a damaged page).
            // Nothing is left or saved: the open note stays open and its text stays where it was.
            unreadableNoteId = noteId;
            return false;
        }
    }

    CaptureCurrent();

    auto& call = editor.call();
    OpeningGuard guard(*this);
    NoteViewState view;
    if (auto cached = documents.find(noteId); cached != documents.end()) {
        AttachDocument(cached->second.doc.document());
        cached->second.lastUse = ++useCounter;
        if (auto current = viewStates.find(noteId); current != viewStates.end()) {
            view = current->second;
        } else {
            view = savedViewStates[noteId];
        }
    } else {
        const auto length = static_cast<Scintilla::Position>(loaded->content.size());
        void* document = call.CreateDocument(length + 1, Scintilla::DocumentOption::StylesNone);
        if (document == nullptr) {
            guard.Done();
            ShowEmptyDocument();
            currentProjectId = projectId;
            return false;
        }
        CachedDoc entry;
        entry.doc = ScintillaDocRef(editor.hwnd(), document);
        entry.lengthBytes = length;
        entry.lastUse = ++useCounter;
        documents.insert_or_assign(noteId, std::move(entry));
        guard.Created(noteId);
        AttachDocument(document);
        editor.ApplyDocumentDefaults();
        {
            const ModificationEventsOff quiet(call);
            editor.SetText(loaded->content);
        }
        // The view read above may be older than the one in memory: the note's view, captured when it
        // was last left, can have been stored by the save of the note just left, after that read.
        // Memory is never older than the database, so it wins where it knows the note.
        savedViewStates.try_emplace(noteId, loaded->view);
        const auto current = viewStates.find(noteId);
        view = current != viewStates.end() ? current->second : loaded->view;
    }

    currentNoteId = noteId;
    currentProjectId = projectId;
    view.openedAt = NowUnixMillis();
    viewStates[noteId] = view;
    lastOpenedNote[projectId] = noteId;
    RestoreViewState(view);
    guard.Done();
    TrimDocumentCache();
    return true;
}

bool Workspace::OpenProject(int64_t projectId) {
    unreadableNoteId = 0;
    const ProjectNode* project = tree.FindProject(projectId);
    if (project == nullptr) return false;
    LoadLastOpened(projectId);
    if (auto last = lastOpenedNote.find(projectId); last != lastOpenedNote.end()) {
        // The note may have moved to another project since it was last opened here.
        const NoteListRow* row = tree.FindNote(last->second);
        if (row != nullptr && row->projectId == projectId) return OpenNote(last->second);
    }
    if (!project->notes.empty()) return OpenNote(project->notes.front().id);

    CaptureCurrent();
    ShowEmptyDocument();
    currentProjectId = projectId;
    TrimDocumentCache();
    return true;
}

void Workspace::EvictDocument(int64_t noteId) {
    if (noteId == currentNoteId) return;
    documents.erase(noteId);
}

void Workspace::TrimDocumentCache() {
    for (;;) {
        int64_t total = 0;
        const std::pair<const int64_t, CachedDoc>* oldestClean = nullptr;
        for (const auto& entry : documents) {
            if (entry.first == currentNoteId) continue;
            total += entry.second.lengthBytes;
            if (!entry.second.dirty && (oldestClean == nullptr || entry.second.lastUse < oldestClean->second.lastUse)) {
                oldestClean = &entry;
            }
        }
        // Dirty documents hold the only copy of their edits: over budget they stay.
        if (total <= documentCacheBudget || oldestClean == nullptr) return;
        EvictDocument(oldestClean->first);
    }
}

}  // namespace lq
