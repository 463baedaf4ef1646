#include "workspace/Workspace.h"

#include "editor/EditorView.h"

namespace lq {

Workspace::Workspace(Database& database, EditorView& editorView)
    : db(database), editor(editorView), notes(database), projects(database), settings(database) {}

Workspace::~Workspace() {
    ReleaseDocuments();
}

std::string Workspace::CurrentTitle() const {
    const NoteListRow* note = tree.FindNote(currentNoteId);
    if (note == nullptr) return {};
    const ProjectNode* project = tree.FindProject(currentProjectId);
    if (project == nullptr) return {};
    return project->name + " / " + note->title;
}

void Workspace::ShowEmptyDocument() {
    // First: should the editor fail below, the note's document must not pass for the empty one,
    // and a note no longer shown must count as a background document, which saves still write.
    currentNoteId = 0;
    auto& call = editor.call();
    call.AutoCCancel();
    if (!emptyDoc) {
        void* document = call.CreateDocument(0, Scintilla::DocumentOption::StylesNone);
        if (document != nullptr) {
            emptyDoc = ScintillaDocRef(editor.hwnd(), document);
            call.SetDocPointer(document);
        } else {
            // No document of our own: the component makes a fresh one for the view, and that one
            // is made read-only instead, so no note's document is ever left showing.
            call.SetDocPointer(nullptr);
        }
        editor.ApplyDocumentDefaults();
        call.SetReadOnly(true);
    } else {
        call.SetDocPointer(emptyDoc.document());
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
