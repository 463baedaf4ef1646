#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/Rows.h"
#include "store/SettingsStore.h"
#include "workspace/CachedDoc.h"
#include "workspace/LoadResult.h"
#include "workspace/ProjectTree.h"
#include "workspace/ReplaceOutcome.h"
#include "workspace/SaveReason.h"
#include "workspace/ScintillaDocRef.h"
#include "workspace/UndoEntry.h"

namespace lq {

class Database;
class EditorView;

// The notes model of the running program: the ordered projects and notes, which note is open, one
// editor document per opened note in a byte-bounded cache, the view state of every note touched in
// this run, and what was last stored of view states, expanded flags and settings, so that SaveAll
// writes exactly what differs in one transaction. One per run, over the open database and the editor
// host, which both outlive it. The shell reads the fields directly. UI thread only.
// Editing-component calls may throw Scintilla::Failure; the operations here do not catch it, but
// never leave a background document attached or the editor's drawing switched off when one passes.
class Workspace {
public:
    // Stores both references and makes the three stores; reads nothing.
    Workspace(Database& database, EditorView& editorView);
    // Gives every document back to the editing component (ReleaseDocuments).
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // --- Loading ---
    // Reads the settings, projects and notes, creates "Inbox" with "Memo" in a database without
    // projects, and opens the start-up note. False: the workspace cannot be used (a listing failed,
    // with its result code, the first-run data could not be stored, or the start-up note could not
    // be opened).
    [[nodiscard]] LoadResult Load();
    // Rebuilds `tree` and `savedExpanded` from the store. False, with nothing changed, when either
    // listing failed: a listing that stops midway is never taken for a short one.
    [[nodiscard]] bool LoadProjects();
    // Completes `lastOpenedNote` for one project from the stored opening times, once per project and
    // load; a note opened in this run keeps precedence. Reads that project's rows only: the opening
    // time lies after the text in each row, so every row read walks its text's pages.
    void LoadLastOpened(int64_t projectId);
    // When `tree` is empty: stores project "Inbox" with note "Memo" in one transaction and only then
    // adds them to `tree`. False when they could not be stored (nothing is then in memory either).
    [[nodiscard]] bool EnsureFirstRunData();
    // "<project> / <title>" of the open note; empty when no note is open.
    [[nodiscard]] std::string CurrentTitle() const;
    // Shows the read-only empty document (made on first use) and sets `currentNoteId` to 0;
    // `currentProjectId` is the caller's to set.
    void ShowEmptyDocument();
    // Releases every cached document and the empty document to the editing component; nothing else
    // changes. Called while the editor window still exists, and again by the destructor.
    void ReleaseDocuments() noexcept;

    // --- Opening notes ---
    // Shows the note in its own cached document (made and filled from the database on first opening)
    // with its view restored. True when it is open (at once when it already was). False, with nothing
    // changed, when the note is not in `tree` or cannot be read (`unreadableNoteId` then names it);
    // false after leaving the previous note and showing the empty document when the editing
    // component cannot make a document.
    bool OpenNote(int64_t noteId);
    // Opens the project's last-opened note, else its first note, else shows the empty document with
    // the project current. False when the project is not in `tree` or its note could not be opened.
    bool OpenProject(int64_t projectId);
    // Leaving the open note: commits a composition, saves if modified (a failure does not stop the
    // switch), and records its view, length, dirty flag and use stamp. Nothing when no note is open.
    void CaptureCurrent();
    // The view of the attached document: caret, anchor, top line and sub-line, x offset (0 while
    // wrapping), and the open note's opening time.
    [[nodiscard]] NoteViewState CaptureViewState();
    // Puts caret, anchor and scroll position back; positions inside a character or between CR and LF
    // move back to the character's start. A caret or anchor outside the document puts both at its end.
    void RestoreViewState(const NoteViewState& view);
    // Attaches a document to the editor and readies the editor to show a note in it.
    void AttachDocument(void* document);
    // Drops a cached document other than the open note's. Callers evict only clean documents or
    // documents whose note is gone or was rewritten in the database.
    void EvictDocument(int64_t noteId);
    // Evicts clean documents, least recently used first, while the cached documents other than the
    // open note's exceed `documentCacheBudget`. Dirty documents are never evicted.
    void TrimDocumentCache();

    // --- Saving ---
    // Writes everything that differs from the database (the open note's text, dirty cached notes,
    // changed views, pending expanded flags, changed settings) in one transaction. Saved: all of it
    // committed and marked saved (every written document at its save point). Failed: nothing stored,
    // nothing marked saved, `lastSaveFailed` set. NothingToSave: nothing touched at all.
    [[nodiscard]] SaveResult SaveAll(SaveReason reason);
    // SaveAll for callers that report the outcome: a component failure is caught and cleared, and
    // the result says what happened to the data. One after the commit leaves everything stored
    // (Saved); one before it is a failed save (Failed, `lastSaveFailed` set).
    [[nodiscard]] SaveResult SaveAllCatchingFailure(SaveReason reason);
    // The six settings as they are now; "last.note_id" is empty with no note open, and the provided
    // settings are present only while their provider is set.
    [[nodiscard]] std::unordered_map<std::string, std::string> CollectSettings();
    // Records a project's expanded flag in `tree`, pending for the next save only while it differs
    // from the stored flag. An unknown project changes nothing.
    void SetProjectExpanded(int64_t projectId, bool expanded);
    // A note is open and its document holds edits not yet stored.
    [[nodiscard]] bool HasUnsavedEditorChanges();
    // The open note or a cached document holds text not yet stored.
    [[nodiscard]] bool HasUnsavedText();

    // --- Creating, renaming and moving ---
    // These write the database first and change `tree` only as far as it accepted the change; they
    // open nothing. Titles and names pass through NormalizeTitle.
    // A new empty note last in the project ("Untitled" when the title is blank); none when the
    // project is not in `tree` or the insert failed.
    [[nodiscard]] std::optional<int64_t> CreateNote(int64_t projectId, std::string_view title);
    // A new expanded project last in order ("Untitled Project" when the name is blank); none on failure.
    [[nodiscard]] std::optional<int64_t> CreateProject(std::string_view name);
    // False, writing nothing, for an item not in `tree` or a blank text; false when no row changed.
    [[nodiscard]] bool RenameNote(int64_t noteId, std::string_view title);
    [[nodiscard]] bool RenameProject(int64_t projectId, std::string_view name);
    // Moves the project to min(index, last position) and stores that order, writing only the rows
    // whose sort order has to change. True at once when it is already there; false, with `tree` as
    // before and nothing stored, when absent or the write failed.
    [[nodiscard]] bool MoveProject(int64_t projectId, uint64_t index);
    // Moves the note to min(index, count of the target's other notes) in the target project and
    // stores the target's order, leaving the rows in their place (a damaged one above all) as they
    // are. The open note takes the target along as current project. False, with `tree` as before and
    // nothing stored, when either is absent or the write failed.
    [[nodiscard]] bool MoveNote(int64_t noteId, int64_t targetProjectId, uint64_t index);
    // One attempt of MoveNote.
    [[nodiscard]] bool TryMoveNote(int64_t noteId, int64_t targetProjectId, uint64_t index);
    // One imported text as a new note last in the project, stored whole or not at all; not opened.
    [[nodiscard]] std::optional<int64_t> ImportNote(int64_t projectId, std::string_view title,
                                                    std::string_view content);
    // Stores the order of the projects in `tree`, rewriting only the rows whose sort order must
    // change for it (PlanSortOrders); the first row that does not change stops it with false. Runs
    // inside the caller's transaction.
    [[nodiscard]] bool StoreProjectOrder();
    // The same for the notes of one project, which also get that project's id; the order stored for
    // `freshNoteId` (a row just written) is not kept. Rows known to be unreadable keep theirs where
    // the order allows; a row that cannot be rewritten joins `unwritableNotes`. False when absent.
    [[nodiscard]] bool StoreNoteOrder(int64_t projectId, int64_t freshNoteId = 0);

    // --- Telling others of changed notes ---
    // Calls `noteTextChanged` (when set) for a note whose text this workspace stored, or that it
    // created, deleted or brought back; after the write is committed.
    void TellNoteTextChanged(int64_t noteId) const;

    // --- Deleting and undoing ---
    // Deletes the note at once, keeping it (with unsaved text and view) on `undoStack`. The open note
    // gives way to its neighbour in the project, else the empty document. False, with nothing
    // changed, when it is not in `tree` or cannot be read (`unreadableNoteId` then names it) or deleted.
    [[nodiscard]] bool DeleteNote(int64_t noteId);
    // Whether the note is listed but its row cannot be read (`unreadableNoteId` then names it); false
    // for a note with a cached document. Reads the whole row: for explaining a failure, not for
    // every step.
    [[nodiscard]] bool NoteCannotBeRead(int64_t noteId);
    // For a note whose row cannot be read: whether deleting it would go through, found by deleting it
    // in a transaction that is then rolled back. A damaged row often cannot even be deleted, as the
    // pages it holds must be walked to free them.
    [[nodiscard]] bool CanDeleteWithoutUndo(int64_t noteId);
    // Deletes a note that cannot be kept for undo (its row cannot be read), in a transaction of its
    // own: nothing goes onto `undoStack`. The rest is as DeleteNote. False with nothing changed when
    // it is not in `tree` or the deletion did not go through whole.
    [[nodiscard]] bool DeleteWithoutUndo(int64_t noteId);
    // What follows a note's deletion once it is committed: the fill is told, the note leaves the tree
    // and every map, and an open note gives way to `neighbour` (else the empty document).
    void ForgetDeletedNote(int64_t noteId, int64_t projectId, bool wasOpen, std::optional<int64_t> neighbour);
    // Deletes the project with its notes, keeping them for undo. When it was current, its neighbour
    // project is opened (a last deletion leaves a new "Inbox" with "Memo"). False with nothing changed
    // when it is not in `tree` or cannot be read or deleted.
    [[nodiscard]] bool DeleteProject(int64_t projectId);
    // Restores the newest deletion under its old ids where free, at its old position, in one
    // transaction; opens nothing. None, with the entry kept and nothing changed, when the stack is
    // empty or anything failed.
    [[nodiscard]] std::optional<UndoneItem> UndoDelete();
    // One attempt of UndoDelete.
    [[nodiscard]] std::optional<UndoneItem> TryUndoDelete();
    // Makes a row read from the store hold what the user last had: the view in memory, and the
    // unsaved text of the open note or of a dirty cached document.
    void CaptureNoteForUndo(NoteRecord& record);
    // The text of the note's cached document, read out of sight; the editor shows what it showed
    // before, with its view. Empty when the note has no cached document.
    [[nodiscard]] std::string ReadCachedDocumentText(int64_t noteId);

    // --- Counting and replacing in all notes ---
    // Matches of the query in the stored texts (ASCII letters folded); (0, 0) for an empty query,
    // none when the scan failed.
    // Given `unreadable`, notes whose text cannot be read are passed over and listed there.
    [[nodiscard]] std::optional<ReplaceCount> CountInAllNotes(std::string_view query,
                                                              std::vector<int64_t>* unreadable = nullptr);
    // Saves everything dirty, then rewrites every note holding the query in one transaction; the open
    // note's editor shows the new text with its caret on the same line and column, other rewritten
    // notes' cached documents are released and their stored carets carried over the same way. On any
    // failure nothing is changed anywhere (what the save beforehand wrote stays written). Notes known
    // to be unreadable (`unreadable`, as the count found them) are passed over without being read.
    [[nodiscard]] ReplaceAllOutcome ReplaceInAllNotes(std::string_view query, std::string_view replacement,
                                                      std::vector<int64_t> unreadable = {});
    // One attempt of the above after its save: passes over the notes `unreadable` lists and adds those it meets.
    [[nodiscard]] ReplaceAllOutcome ReplaceInTransaction(std::string_view query, std::string_view replacement,
                                                         std::vector<int64_t>& unreadable);

    // --- Fields ---
    Database& db;
    EditorView& editor;
    NoteStore notes;
    ProjectStore projects;
    SettingsStore settings;
    std::function<std::string()> placementProvider;
    std::function<std::pair<int32_t, bool>()> sidebarProvider;
    // Told of every committed change to a note's text or existence (the word completion's fill,
    // which reads every note, keeps up through it). Titles, order, views and projects' own rows are
    // not texts and are not told.
    std::function<void(int64_t noteId)> noteTextChanged;
    ProjectTree tree;
    int64_t currentNoteId = 0;
    int64_t currentProjectId = 0;
    std::unordered_map<int64_t, int64_t> lastOpenedNote;
    std::unordered_set<int64_t> lastOpenedLoaded;  // projects LoadLastOpened has read
    std::unordered_map<int64_t, CachedDoc> documents;
    ScintillaDocRef emptyDoc;
    uint64_t useCounter = 0;
    int64_t documentCacheBudget = kDefaultDocumentCacheBudget;
    std::unordered_map<int64_t, NoteViewState> viewStates;
    std::unordered_map<int64_t, NoteViewState> savedViewStates;
    std::unordered_map<int64_t, bool> pendingExpanded;
    std::unordered_map<int64_t, bool> savedExpanded;
    std::unordered_map<std::string, std::string> savedSettings;
    int64_t unreadableNoteId = 0;  // the note the last OpenNote, OpenProject or DeleteNote could not read; 0 for none
    std::unordered_set<int64_t> unwritableNotes;  // notes whose row could not be rewritten in this run
    bool lastSaveFailed = false;
    uint64_t savesCommitted = 0;  // SaveAll's commits in this run
    bool saveFailureReported = false;
    std::vector<UndoEntry> undoStack;  // newest last; no limit, lost at exit

    static constexpr int64_t kDefaultDocumentCacheBudget = 64ll * 1024 * 1024;
};

}  // namespace lq
