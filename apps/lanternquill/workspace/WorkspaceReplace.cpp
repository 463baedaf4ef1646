#include "workspace/Workspace.h"

#include "editor/EditorFailure.h"
#include "editor/EditorView.h"
#include "platform/Clock.h"
#include "store/Database.h"
#include "store/MappedReads.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "workspace/ModificationEventsOff.h"
#include "workspace/OneRowChange.h"
#include "workspace/ReplaceText.h"
#include "workspace/WorkspaceSql.h"

namespace lq {
namespace {

// One note to rewrite, built during the scan.
struct PendingReplacement {
    int64_t id = 0;
    std::string text;
    int64_t count = 0;
    int64_t cursorPos = 0;
    int64_t anchorPos = 0;
};

// The stored caret and anchor of a note; none when they cannot be read.
std::optional<std::pair<int64_t, int64_t>> StoredCaret(Database& db, int64_t noteId) {
    Statement* statement = db.Prepare(kNoteCaretSql);
    if (statement == nullptr) return std::nullopt;
    const ScopedReset reset(*statement);
    if (!statement->Reset().BindInt64(1, noteId).Step()) return std::nullopt;
    return std::make_pair(statement->ColumnInt64(0), statement->ColumnInt64(1));
}

// The open note's document could not be given the note's new text, and may hold the old text or
// part of the new one while claiming to be unmodified: the user's next edit would store it over the
// replacement. Drop it and show the note afresh from the database; if even that fails, the empty
// document (with the note's project current) rather than a document that lies.
void ReopenFromDatabase(Workspace& workspace) {
    auto& call = workspace.editor.call();
    const int64_t noteId = workspace.currentNoteId;
    const int64_t projectId = workspace.currentProjectId;
    // Nothing of the old document may be captured or saved on the way.
    workspace.currentNoteId = 0;
    workspace.documents.erase(noteId);
    bool reopened = false;
    (void)RunEditorOperation(call, [&] { reopened = workspace.OpenNote(noteId); });
    if (reopened) return;
    (void)RunEditorOperation(call, [&] { workspace.ShowEmptyDocument(); });
    workspace.currentNoteId = 0;
    workspace.currentProjectId = projectId;
}

}  // namespace

std::optional<ReplaceCount> Workspace::CountInAllNotes(std::string_view query, std::vector<int64_t>* unreadable) {
    ReplaceCount count;
    if (query.empty()) return count;
    const bool scanned = notes.ForEachNoteContaining(
        query,
        [&](int64_t, std::string_view content) {
            const int64_t matches = CountNoCase(content, query);
            if (matches == 0) return;
            count.occurrences += matches;
            ++count.noteCount;
        },
        unreadable);
    if (!scanned) return std::nullopt;
    return count;
}

ReplaceAllOutcome Workspace::ReplaceInAllNotes(std::string_view query, std::string_view replacement,
                                               std::vector<int64_t> unreadable) {
    ReplaceAllOutcome outcome;
    if (query.empty()) return outcome;
    editor.CompleteComposition();
    if (SaveAllCatchingFailure(SaveReason::BeforeBulkOperation) == SaveResult::Failed) {
        outcome.status = ReplaceAllStatus::OpenNoteNotSaved;
        return outcome;
    }

    // A damaged row read inside the transaction forbids its writes (SQLite's rule after a corrupt
    // read), so notes that cannot be read and were not known are found on a first pass that rolls
    // back, and the second passes over them without reading them.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool knownBefore = !unreadable.empty();
        outcome = ReplaceInTransaction(query, replacement, unreadable);
        if (knownBefore || unreadable.empty()) break;
    }
    outcome.unreadableNoteIds = std::move(unreadable);
    return outcome;
}

ReplaceAllOutcome Workspace::ReplaceInTransaction(std::string_view query, std::string_view replacement,
                                                  std::vector<int64_t>& unreadable) {
    ReplaceAllOutcome outcome;
    outcome.status = ReplaceAllStatus::DatabaseFailed;
    const bool knownBefore = !unreadable.empty();
    Transaction transaction(db);
    if (!transaction.begun()) return outcome;

    // Every new text is built during the one scan, before the first update. The carets are carried
    // to the same line and column of the new text here, while the old text is at hand, so a stored
    // position never points into a character or a line break the rewrite moved.
    std::vector<PendingReplacement> pending;
    bool caretsRead = true;
    // Everything is saved, and the scan only reads: the file may be mapped for it (see MappedReads).
    // The updates below write through the file API, unmapped.
    std::optional<MappedReads> mapped(std::in_place, db);
    const bool scanned = notes.ForEachNoteContaining(
        query,
        [&](int64_t id, std::string_view content) {
            ReplaceResult result = ReplaceAllNoCase(content, query, replacement);
            if (result.count == 0) return;
            const auto caret = StoredCaret(db, id);
            if (!caret) {
                caretsRead = false;
                return;
            }
            PendingReplacement& made = pending.emplace_back();
            made.id = id;
            made.text = std::move(result.text);
            made.count = result.count;
            const CarriedSelection carried =
                CarrySelection(content, made.text, query, replacement, caret->second, caret->first);
            made.cursorPos = carried.caret;
            made.anchorPos = carried.anchor;
        },
        &unreadable);
    mapped.reset();
    if (!scanned || !caretsRead) return outcome;
    // Found only now, by a read of the damaged row: this transaction may not write.
    if (!knownBefore && !unreadable.empty()) return outcome;
    if (pending.empty()) {
        outcome.status = ReplaceAllStatus::NothingToDo;
        return outcome;
    }

    const int64_t now = NowUnixMillis();
    for (const PendingReplacement& note : pending) {
        if (!ChangeOneRow(db, kReplaceNoteContentSql, [&](Statement& s) {
                s.BindText(1, note.text)
                    .BindInt64(2, note.cursorPos)
                    .BindInt64(3, note.anchorPos)
                    .BindInt64(4, now)
                    .BindInt64(5, note.id);
            })) {
            return outcome;
        }
    }
    if (!transaction.Commit()) return outcome;

    // Stored: memory follows before any editor call.
    outcome.status = ReplaceAllStatus::Replaced;
    for (const PendingReplacement& note : pending) TellNoteTextChanged(note.id);
    const PendingReplacement* open = nullptr;
    for (const PendingReplacement& note : pending) {
        outcome.totalReplaced += note.count;
        ++outcome.notesChanged;
        outcome.changedNoteIds.push_back(note.id);
        for (auto* views : {&viewStates, &savedViewStates}) {
            if (auto view = views->find(note.id); view != views->end()) {
                view->second.cursorPos = note.cursorPos;
                view->second.anchorPos = note.anchorPos;
            }
        }
        if (note.id == currentNoteId) {
            open = &note;
        } else {
            EvictDocument(note.id);
        }
    }

    if (open != nullptr) {
        auto& call = editor.call();
        const bool shown = RunEditorOperation(call, [&] {
            NoteViewState view = CaptureViewState();
            view.cursorPos = open->cursorPos;
            view.anchorPos = open->anchorPos;
            {
                // The stored text shown again is no edit of the user's.
                const ModificationEventsOff quiet(call);
                editor.SetText(open->text);
            }
            if (auto cached = documents.find(currentNoteId); cached != documents.end()) {
                cached->second.lengthBytes = static_cast<int64_t>(open->text.size());
            }
            RestoreViewState(view);
            viewStates[currentNoteId] = view;
            savedViewStates[currentNoteId] = view;
        });
        // The replacement is stored whatever the editor does now; only the document must not be
        // left holding the old or a partial text at its save point.
        if (!shown) ReopenFromDatabase(*this);
    }
    return outcome;
}

}  // namespace lq
