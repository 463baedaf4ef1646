#include "workspace/Workspace.h"

#include "editor/EditorView.h"

namespace lq {

Workspace::Workspace(Database& database, EditorView& editorView)
    : db(database), editor(editorView), notes(database), projects(database), settings(database) {}

Workspace::~Workspace() {
    ReleaseDocuments();
}

void Workspace::TellNoteTextChanged(int64_t noteId) const {
    if (noteTextChanged) noteTextChanged(noteId);
}

std::string Workspace::CurrentTitle() const {
    const NoteListRow* note = tree.FindNote(currentNoteId);
    if (note == nullptr) return {};
    const ProjectNode* project = tree.FindProject(currentProjectId);
    if (project == nullptr) return {};
    return project->name + " / " + note->title;
}

void Workspace::ShowEmptyDocument() {
    auto& call = editor.call();
    // The open note stops being open as its document leaves the editor, before anything else can
    // fail: a note still current under the empty document would have its edits skipped by saves,
    // which write a note no longer shown as a background document.
    const auto attach = [&](void* document) {
        currentNoteId = 0;
        call.SetDocPointer(document);
    };
    call.AutoCCancel();
    if (!emptyDoc) {
        void* document = call.CreateDocument(0, Scintilla::DocumentOption::StylesNone);
        if (document != nullptr) {
            emptyDoc = ScintillaDocRef(editor.hwnd(), document);
            attach(document);
        } else {
            // No document of our own: the component makes a fresh one for the view, and that one
            // is made read-only instead, so no note's document is ever left showing.
            attach(nullptr);
        }
        editor.ApplyDocumentDefaults();
        call.SetReadOnly(true);
    } else {
        attach(emptyDoc.document());
    }
    editor.ResetScrollWidth();
    editor.SetEmptyState(true);
}

void Workspace::ReleaseDocuments() noexcept {
    // The open note's document stays alive in the editor window, which holds its own reference.
    documents.clear();
    emptyDoc.Release();
}

}  // namespace lq
