#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "StoredOrder.h"
#include "WorkspaceFixture.h"
#include "support/LockingConnection.h"
#include "support/StatementTrace.h"

namespace lq {

void PrintTo(const UndoneItem& item, std::ostream* out) {
    *out << (item.isProject ? "project " : "note ") << item.id;
}

namespace test {
namespace {

using Orders = std::vector<std::pair<int64_t, int64_t>>;

class WorkspaceDeleteTest : public WorkspaceFixture {
protected:
    // Projects p1 (a, b, c; a open), p2 (d), p3 (e).
    Workspace& LoadProjects() {
        p1 = AddProject("p1");
        p2 = AddProject("p2");
        p3 = AddProject("p3");
        a = AddNote(p1, "a", "alpha");
        b = AddNote(p1, "b", "beta");
        c = AddNote(p1, "c", "gamma");
        d = AddNote(p2, "d", "delta");
        e = AddNote(p3, "e", "epsilon");
        Workspace& ws = LoadWorkspace();
        EXPECT_EQ(ws.currentNoteId, a);
        return ws;
    }

    bool Exists(int64_t noteId) { return CountRows(("notes WHERE id = " + std::to_string(noteId)).c_str()) == 1; }

    int64_t p1 = 0, p2 = 0, p3 = 0, a = 0, b = 0, c = 0, d = 0, e = 0;
};

TEST_F(WorkspaceDeleteTest, DeletingTheOpenNoteWithUnsavedTypingAndUndoingBringsBackTheTypedTextAndCaret) {
    Workspace& ws = LoadProjects();
    ASSERT_TRUE(ws.OpenNote(b));
    call().DocumentEnd();
    Type(" typed");  // not saved
    ASSERT_EQ(Stored(b).content, "beta");

    ASSERT_TRUE(ws.DeleteNote(b));
    EXPECT_FALSE(Exists(b));
    EXPECT_EQ(ws.currentNoteId, c);  // the next note of the project
    EXPECT_EQ(window.Text(), "gamma");
    EXPECT_FALSE(ws.documents.contains(b));
    EXPECT_FALSE(ws.viewStates.contains(b));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, c}));
    ASSERT_EQ(ws.undoStack.size(), 1u);

    const std::optional<UndoneItem> undone = ws.UndoDelete();
    ASSERT_TRUE(undone.has_value());
    EXPECT_EQ(*undone, (UndoneItem{false, b}));  // its old id was free
    EXPECT_TRUE(ws.undoStack.empty());
    EXPECT_EQ(Stored(b).content, "beta typed");
    EXPECT_EQ(Stored(b).view.cursorPos, 10);
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, b, c}));
    EXPECT_EQ(StoredNoteIds(db->handle(), p1), (std::vector<int64_t>{a, b, c}));
    EXPECT_EQ(ws.currentNoteId, c);  // undo opens nothing itself

    ASSERT_TRUE(ws.OpenNote(b));
    EXPECT_EQ(window.Text(), "beta typed");
    EXPECT_EQ(call().CurrentPos(), 10);
    EXPECT_FALSE(call().Modify());
}

// The component fails while the neighbour of the deleted open note is being filled: the deletion
// stands and is kept for undo, the deleted note's document is not left behind in the cache, and the
// empty document is shown.
TEST_F(WorkspaceDeleteTest, AComponentFailureWhileOpeningTheNeighbourLeavesNoDocumentOfTheDeletedNote) {
    Workspace& ws = LoadProjects();
    call().DocumentEnd();
    Type(" typed");
    window.onNotify = [&](const Scintilla::NotificationData& n) {
        if (n.nmhdr.code == Scintilla::Notification::SavePointReached) {
            SendMessageW(window.editor(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
        }
    };
    EXPECT_THROW((void)ws.DeleteNote(a), Scintilla::Failure);
    window.onNotify = nullptr;
    window.view().RecoverFromFailure();

    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(ws.documents.contains(a));
    EXPECT_EQ(ws.currentNoteId, 0);
    EXPECT_EQ(Attached(), ws.emptyDoc.document());
    ASSERT_EQ(ws.undoStack.size(), 1u);
    ASSERT_TRUE(ws.UndoDelete().has_value());
    ASSERT_TRUE(ws.OpenNote(a));
    EXPECT_EQ(window.Text(), "alpha typed");
    EXPECT_FALSE(call().Modify());
}

TEST_F(WorkspaceDeleteTest, ABackgroundEditedNoteKeepsItsEditedTextAndTheEditorStaysPut) {
    Workspace& ws = LoadProjects();
    call().DocumentEnd();
    Type(" edited");
    {
        LockingConnection lock(path, false);  // the save on leaving fails: a stays dirty
        ASSERT_TRUE(ws.OpenNote(c));
    }
    ASSERT_TRUE(ws.documents.at(a).dirty);
    call().GotoPos(3);
    void* shown = Attached();

    ASSERT_TRUE(ws.DeleteNote(a));
    EXPECT_EQ(ws.undoStack.back().notes.front().content, "alpha edited");
    EXPECT_EQ(Attached(), shown);
    EXPECT_EQ(call().CurrentPos(), 3);
    EXPECT_TRUE(EditorRedraws());
    EXPECT_EQ(ws.currentNoteId, c);
}

TEST_F(WorkspaceDeleteTest, TheOpenNoteGivesWayToItsNextElsePreviousElseTheEmptyDocument) {
    Workspace& ws = LoadProjects();
    ASSERT_TRUE(ws.DeleteNote(a));  // first of three: the next one
    EXPECT_EQ(ws.currentNoteId, b);
    ASSERT_TRUE(ws.OpenNote(c));
    ASSERT_TRUE(ws.DeleteNote(c));  // last: the previous one
    EXPECT_EQ(ws.currentNoteId, b);
    ASSERT_TRUE(ws.DeleteNote(b));  // alone: the empty document, the project stays current
    EXPECT_EQ(ws.currentNoteId, 0);
    EXPECT_EQ(ws.currentProjectId, p1);
    EXPECT_EQ(Attached(), ws.emptyDoc.document());
    EXPECT_TRUE(ws.documents.empty());

    // A note not open goes without touching the editor.
    ASSERT_TRUE(ws.DeleteNote(d));
    EXPECT_EQ(ws.currentProjectId, p1);
    EXPECT_FALSE(ws.DeleteNote(d));
    EXPECT_FALSE(ws.DeleteNote(9999));
    EXPECT_EQ(ws.undoStack.size(), 4u);
}

TEST_F(WorkspaceDeleteTest, SeveralDeletionsUndoNewestFirstAtTheirOldPlaces) {
    Workspace& ws = LoadProjects();
    ASSERT_TRUE(ws.DeleteNote(b));
    ASSERT_TRUE(ws.DeleteNote(a));  // open: c opens
    ASSERT_TRUE(ws.DeleteNote(d));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{c}));

    ASSERT_EQ(ws.UndoDelete(), (UndoneItem{false, d}));
    EXPECT_EQ(TreeNotes(ws, p2), (std::vector<int64_t>{d}));
    ASSERT_EQ(ws.UndoDelete(), (UndoneItem{false, a}));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, c}));
    ASSERT_EQ(ws.UndoDelete(), (UndoneItem{false, b}));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, b, c}));
    EXPECT_EQ(StoredNoteIds(db->handle(), p1), (std::vector<int64_t>{a, b, c}));
    EXPECT_EQ(Stored(a).content, "alpha");

    StatementTrace trace(db->handle());
    EXPECT_FALSE(ws.UndoDelete().has_value());  // empty stack: the database is not touched
    EXPECT_TRUE(trace.texts.empty());
}

TEST_F(WorkspaceDeleteTest, AProjectComesBackWithItsNotesOrderExpandedFlagAndLastOpenedNote) {
    Workspace& ws = LoadProjects();
    ASSERT_TRUE(ws.OpenNote(c));
    call().DocumentEnd();
    Type("!");                    // unsaved
    ASSERT_TRUE(ws.OpenNote(d));  // saves c; c is now p1's last opened note
    ASSERT_TRUE(ws.OpenNote(c));
    ws.SetProjectExpanded(p1, false);    // not yet stored
    ASSERT_TRUE(ws.MoveNote(a, p1, 2));  // p1 shows b, c, a

    ASSERT_TRUE(ws.DeleteProject(p1));
    EXPECT_EQ(CountRows("notes"), 2);  // d and e remain
    EXPECT_EQ(TreeProjects(ws), (std::vector<int64_t>{p2, p3}));
    EXPECT_EQ(ws.currentProjectId, p2);  // the next project
    EXPECT_EQ(ws.currentNoteId, d);
    EXPECT_FALSE(ws.pendingExpanded.contains(p1));
    EXPECT_TRUE(ws.documents.count(c) == 0 && ws.documents.count(a) == 0);

    ASSERT_EQ(ws.UndoDelete(), (UndoneItem{true, p1}));
    EXPECT_EQ(TreeProjects(ws), (std::vector<int64_t>{p1, p2, p3}));
    EXPECT_EQ(StoredProjectIds(db->handle()), (std::vector<int64_t>{p1, p2, p3}));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{b, c, a}));
    EXPECT_EQ(StoredNoteIds(db->handle(), p1), (std::vector<int64_t>{b, c, a}));
    EXPECT_FALSE(ws.tree.FindProject(p1)->expanded);
    EXPECT_FALSE(ws.projects.GetProject(p1)->expanded);
    EXPECT_EQ(Stored(c).content, "gamma!");
    EXPECT_EQ(ws.lastOpenedNote.at(p1), c);

    ASSERT_TRUE(ws.OpenProject(p1));
    EXPECT_EQ(ws.currentNoteId, c);
    EXPECT_EQ(window.Text(), "gamma!");
}

TEST_F(WorkspaceDeleteTest, AProjectWhoseIdWasTakenGetsANewOneAndItsDeletedNotesFollowIt) {
    Workspace& ws = LoadProjects();
    ASSERT_TRUE(ws.DeleteNote(e));
    ASSERT_TRUE(ws.DeleteProject(p3));
    // Another row takes p3's id meanwhile.
    Exec("INSERT INTO projects (id, name, sort_order, expanded, created_at, updated_at) VALUES (" + std::to_string(p3) +
         ", 'squatter', 9, 1, 1, 1)");

    const std::optional<UndoneItem> project = ws.UndoDelete();
    ASSERT_TRUE(project && project->isProject);
    EXPECT_NE(project->id, p3);
    EXPECT_EQ(ws.projects.GetProject(project->id)->name, "p3");
    EXPECT_EQ(ws.tree.projects.back().id, project->id);  // at its old index 2

    const std::optional<UndoneItem> note = ws.UndoDelete();
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->id, e);
    EXPECT_EQ(Stored(e).projectId, project->id);
    EXPECT_EQ(TreeNotes(ws, project->id), (std::vector<int64_t>{e}));
}

TEST_F(WorkspaceDeleteTest, ANoteWhoseIdWasTakenGetsANewIdAndANoteWhoseProjectIsGoneGoesToTheCurrentOne) {
    Workspace& ws = LoadProjects();
    ASSERT_TRUE(ws.DeleteNote(d));
    ASSERT_TRUE(ws.DeleteNote(b));
    Exec("INSERT INTO notes (id, project_id, title, content, sort_order, created_at, updated_at) VALUES (" +
         std::to_string(b) + ", " + std::to_string(p3) + ", 'squatter', '', 5, 1, 1)");
    const std::optional<UndoneItem> restored = ws.UndoDelete();
    ASSERT_TRUE(restored.has_value());
    EXPECT_NE(restored->id, b);
    EXPECT_EQ(Stored(restored->id).content, "beta");
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, restored->id, c}));

    // d's project goes and its entry is dropped, so d's entry is on top while p2 is gone: d lands in
    // the current project p1, at its old index 0.
    ASSERT_TRUE(ws.DeleteProject(p2));
    ASSERT_EQ(ws.currentProjectId, p1);
    ws.undoStack.pop_back();
    const std::optional<UndoneItem> orphan = ws.UndoDelete();
    ASSERT_TRUE(orphan.has_value());
    EXPECT_EQ(orphan->id, d);
    EXPECT_EQ(Stored(d).projectId, p1);
    EXPECT_EQ(TreeNotes(ws, p1).front(), d);
}

TEST_F(WorkspaceDeleteTest, DeletingTheLastProjectLeavesANewInboxWithMemoOpened) {
    const int64_t only = AddProject("only");
    const int64_t note = AddNote(only, "n", "text");
    Workspace& ws = LoadWorkspace();
    ASSERT_EQ(ws.currentNoteId, note);
    ASSERT_TRUE(ws.DeleteProject(only));
    ASSERT_EQ(ws.tree.projects.size(), 1u);
    EXPECT_EQ(ws.tree.projects[0].name, "Inbox");
    ASSERT_EQ(ws.tree.projects[0].notes.size(), 1u);
    EXPECT_EQ(ws.currentNoteId, ws.tree.projects[0].notes[0].id);
    EXPECT_EQ(ws.CurrentTitle(), "Inbox / Memo");

    // "Inbox" took the freed id, so the project and its note come back under new ids, first again.
    const int64_t inbox = ws.tree.projects[0].id;
    const std::optional<UndoneItem> undone = ws.UndoDelete();
    ASSERT_TRUE(undone && undone->isProject);
    EXPECT_EQ(inbox, only);
    EXPECT_NE(undone->id, only);
    EXPECT_EQ(TreeProjects(ws), (std::vector<int64_t>{undone->id, inbox}));
    EXPECT_EQ(StoredProjectIds(db->handle()), (std::vector<int64_t>{undone->id, inbox}));
    ASSERT_EQ(TreeNotes(ws, undone->id).size(), 1u);
    EXPECT_EQ(Stored(TreeNotes(ws, undone->id)[0]).content, "text");
}

TEST_F(WorkspaceDeleteTest, FailedDeletesAndUndosChangeNothing) {
    Workspace& ws = LoadProjects();
    ASSERT_TRUE(ws.DeleteNote(c));
    const std::string before = Dump();
    {
        LockingConnection lock(path, true);  // no reading, no writing
        ASSERT_TRUE(lock.locked());
        EXPECT_FALSE(ws.DeleteNote(b));
        EXPECT_FALSE(ws.DeleteProject(p2));
        EXPECT_FALSE(ws.UndoDelete().has_value());
    }
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, b}));
    EXPECT_EQ(TreeProjects(ws), (std::vector<int64_t>{p1, p2, p3}));
    EXPECT_EQ(ws.undoStack.size(), 1u);

    // The renumbering inside the undo fails: the restored row is rolled back and leaves the tree.
    Exec("CREATE TEMP TRIGGER no_order BEFORE UPDATE OF sort_order ON notes BEGIN SELECT RAISE(ABORT, 'no'); END;");
    EXPECT_FALSE(ws.UndoDelete().has_value());
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, b}));
    EXPECT_EQ(ws.undoStack.size(), 1u);
    Exec("DROP TRIGGER no_order");
    EXPECT_EQ(ws.UndoDelete(), (UndoneItem{false, c}));
}

// A note whose row cannot be read (every read of it fails here) cannot be kept for undo: the plain
// deletion refuses and names it; the deletion without undo goes through and leaves the undo stack
// empty, so undo promises nothing it cannot bring back.
TEST_F(WorkspaceDeleteTest, ANoteWhoseRowCannotBeReadIsDeletedOnlyWithoutAnUndoEntry) {
    Workspace& ws = LoadProjects();
    const std::string before = Dump();
    {
        StatementInterrupter unreadable(ws.db, "SELECT id, project_id, title, content, cursor_pos");
        EXPECT_FALSE(ws.DeleteNote(b));
        EXPECT_EQ(ws.unreadableNoteId, b);
        EXPECT_TRUE(ws.undoStack.empty());
        EXPECT_TRUE(ws.NoteCannotBeRead(b));
        EXPECT_TRUE(ws.CanDeleteWithoutUndo(b));
    }
    EXPECT_EQ(Dump(), before) << "finding out deleted something";
    EXPECT_TRUE(Exists(b));

    {
        StatementInterrupter unreadable(ws.db, "SELECT id, project_id, title, content, cursor_pos");
        ASSERT_TRUE(ws.DeleteWithoutUndo(b));
    }
    EXPECT_FALSE(Exists(b));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, c}));
    EXPECT_EQ(ws.currentNoteId, a);
    EXPECT_TRUE(ws.undoStack.empty());
    EXPECT_FALSE(ws.UndoDelete().has_value());
    EXPECT_EQ(CountRows("notes"), 4);

    // One that cannot be deleted at all (a trigger refuses, as freeing a damaged row's pages fails)
    // is found out without a trace, and the deletion changes nothing.
    Exec("CREATE TEMP TRIGGER no_delete BEFORE DELETE ON notes BEGIN SELECT RAISE(ABORT, 'no'); END;");
    const std::string kept = Dump();
    EXPECT_FALSE(ws.CanDeleteWithoutUndo(c));
    EXPECT_FALSE(ws.DeleteWithoutUndo(c));
    EXPECT_EQ(Dump(), kept);
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, c}));
    Exec("DROP TRIGGER no_delete");
}

TEST_F(WorkspaceDeleteTest, AnUndoneNoteIsItsProjectsLastOpenedNoteAgainWhenItWasBefore) {
    Workspace& ws = LoadProjects();
    ASSERT_TRUE(ws.OpenNote(b));
    ASSERT_TRUE(ws.OpenNote(d));  // b stays p1's last opened note
    ASSERT_TRUE(ws.DeleteNote(b));
    EXPECT_FALSE(ws.lastOpenedNote.contains(p1));
    ASSERT_EQ(ws.UndoDelete(), (UndoneItem{false, b}));
    EXPECT_EQ(ws.lastOpenedNote.at(p1), b);
    ASSERT_TRUE(ws.OpenProject(p1));
    EXPECT_EQ(ws.currentNoteId, b);
}

}  // namespace
}  // namespace test
}  // namespace lq
