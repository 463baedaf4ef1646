#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StoredOrder.h"
#include "WorkspaceFixture.h"
#include "support/LockingConnection.h"
#include "support/StatementTrace.h"

namespace lq::test {
namespace {

using Orders = std::vector<std::pair<int64_t, int64_t>>;

class WorkspaceCreateMoveTest : public WorkspaceFixture {
protected:
    // Projects p1, p2, p3; p1 holds a, b, c (a open), p2 holds d, p3 is empty.
    Workspace& LoadThreeProjects() {
        p1 = AddProject("p1");
        p2 = AddProject("p2");
        p3 = AddProject("p3");
        a = AddNote(p1, "a", "alpha");
        b = AddNote(p1, "b", "beta");
        c = AddNote(p1, "c", "gamma");
        d = AddNote(p2, "d", "delta");
        Workspace& ws = LoadWorkspace();
        EXPECT_EQ(ws.currentNoteId, a);
        return ws;
    }

    int64_t p1 = 0, p2 = 0, p3 = 0, a = 0, b = 0, c = 0, d = 0;
};

TEST_F(WorkspaceCreateMoveTest, CreatedItemsAreStoredLastWithCleanedOrDefaultNames) {
    Workspace& ws = LoadThreeProjects();
    struct Case {
        std::string typed;
        std::string stored;
    };
    const Case cases[] = {
        {"", "Untitled"},
        {" \t\r\n ", "Untitled"},
        {"one\ttwo\r\nthree", "one two  three"},
        {std::string(250, 'x'), std::string(200, 'x')},
        {"  会議メモ  ", "会議メモ"},
    };
    for (const Case& item : cases) {
        const std::optional<int64_t> id = ws.CreateNote(p1, item.typed);
        ASSERT_TRUE(id.has_value());
        EXPECT_EQ(Stored(*id).title, item.stored);
        EXPECT_EQ(Stored(*id).content, "");
        EXPECT_EQ(ws.tree.FindProject(p1)->notes.back().id, *id);
        EXPECT_EQ(ws.tree.FindNote(*id)->title, item.stored);
    }
    EXPECT_EQ(ws.currentNoteId, a);  // nothing is opened

    const std::optional<int64_t> blank = ws.CreateProject("   ");
    const std::optional<int64_t> named = ws.CreateProject("\tplans\t");
    ASSERT_TRUE(blank && named);
    EXPECT_EQ(ws.projects.GetProject(*blank)->name, "Untitled Project");
    EXPECT_EQ(ws.projects.GetProject(*named)->name, "plans");
    EXPECT_EQ(TreeProjects(ws), (std::vector<int64_t>{p1, p2, p3, *blank, *named}));
    EXPECT_TRUE(ws.tree.projects.back().expanded);
    EXPECT_TRUE(ws.savedExpanded.at(*named));
    EXPECT_EQ(StoredProjectOrders(db->handle()).back().first, *named);

    EXPECT_FALSE(ws.CreateNote(9999, "orphan").has_value());
}

TEST_F(WorkspaceCreateMoveTest, ACreateTheDatabaseRefusesLeavesTheTreeAlone) {
    Workspace& ws = LoadThreeProjects();
    Exec("CREATE TEMP TRIGGER no_insert BEFORE INSERT ON notes BEGIN SELECT RAISE(ABORT, 'no'); END;");
    Exec("CREATE TEMP TRIGGER no_project BEFORE INSERT ON projects BEGIN SELECT RAISE(ABORT, 'no'); END;");
    const std::string before = Dump();
    EXPECT_FALSE(ws.CreateNote(p1, "x").has_value());
    EXPECT_FALSE(ws.CreateProject("x").has_value());
    EXPECT_FALSE(ws.ImportNote(p1, "x", "text").has_value());
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, b, c}));
    EXPECT_EQ(ws.tree.projects.size(), 3u);
    EXPECT_EQ(Dump(), before);
}

TEST_F(WorkspaceCreateMoveTest, RenamesStoreTheCleanedTextAndRefuseBlankOrUnknownItems) {
    Workspace& ws = LoadThreeProjects();
    EXPECT_TRUE(ws.RenameNote(b, "  new\ttitle "));
    EXPECT_EQ(Stored(b).title, "new title");
    EXPECT_GT(Stored(b).updatedAt, 1000);
    EXPECT_EQ(ws.tree.FindNote(b)->title, "new title");
    EXPECT_TRUE(ws.RenameProject(p2, "二番目"));
    EXPECT_EQ(ws.projects.GetProject(p2)->name, "二番目");
    EXPECT_EQ(ws.tree.FindProject(p2)->name, "二番目");

    const std::string before = Dump();
    EXPECT_FALSE(ws.RenameNote(b, "   "));
    EXPECT_FALSE(ws.RenameNote(b, "\r\n"));
    EXPECT_FALSE(ws.RenameProject(p2, ""));
    EXPECT_FALSE(ws.RenameNote(9999, "x"));
    EXPECT_FALSE(ws.RenameProject(9999, "x"));
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(ws.tree.FindNote(b)->title, "new title");

    // Gone from the database but still in the tree: no row changed is a failure.
    Exec("DELETE FROM notes WHERE id = " + std::to_string(c));
    EXPECT_FALSE(ws.RenameNote(c, "other"));
    EXPECT_EQ(ws.tree.FindNote(c)->title, "c");
}

TEST_F(WorkspaceCreateMoveTest, EveryProjectMoveStoresTheOrderSeen) {
    Workspace& ws = LoadThreeProjects();
    Exec("UPDATE projects SET sort_order = sort_order * 10");  // gaps, as after deletions
    struct Step {
        int64_t* project;
        uint64_t index;
        std::vector<int64_t*> expected;
    };
    const Step steps[] = {
        {&p1, 2, {&p2, &p3, &p1}},   // first to the end
        {&p1, 0, {&p1, &p2, &p3}},   // last to the start
        {&p3, 99, {&p1, &p2, &p3}},  // already last: nothing to do
        {&p2, 99, {&p1, &p3, &p2}},  // past the end: last
        {&p2, 1, {&p1, &p2, &p3}},
    };
    for (const Step& step : steps) {
        StatementTrace trace(db->handle());
        EXPECT_TRUE(ws.MoveProject(*step.project, step.index));
        std::vector<int64_t> ids;
        for (const int64_t* id : step.expected) ids.push_back(*id);
        EXPECT_EQ(TreeProjects(ws), ids);
        EXPECT_EQ(StoredProjectIds(db->handle()), ids);
        // One project changed place: only its row is written.
        const auto writes = std::count_if(trace.texts.begin(), trace.texts.end(),
                                          [](const std::string& text) { return text.starts_with("UPDATE"); });
        EXPECT_EQ(writes, step.project == &p3 ? 0 : 1);
    }
    EXPECT_FALSE(ws.MoveProject(9999, 0));
}

TEST_F(WorkspaceCreateMoveTest, AMoveToWhereItIsRunsNoStatement) {
    Workspace& ws = LoadThreeProjects();
    StatementTrace trace(db->handle());
    EXPECT_TRUE(ws.MoveProject(p3, 2));
    EXPECT_TRUE(ws.MoveProject(p3, 500));
    EXPECT_TRUE(ws.MoveNote(b, p1, 1));
    EXPECT_TRUE(ws.MoveNote(c, p1, 77));
    EXPECT_TRUE(trace.texts.empty());
}

TEST_F(WorkspaceCreateMoveTest, NoteMovesRenumberTheTargetAndCarryTheOpenNoteAlong) {
    Workspace& ws = LoadThreeProjects();
    // Within p1: a to the end, then c to the front.
    EXPECT_TRUE(ws.MoveNote(a, p1, 2));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{b, c, a}));
    EXPECT_EQ(StoredNoteIds(db->handle(), p1), (std::vector<int64_t>{b, c, a}));
    EXPECT_TRUE(ws.MoveNote(c, p1, 0));
    EXPECT_EQ(StoredNoteIds(db->handle(), p1), (std::vector<int64_t>{c, b, a}));

    // The open note a into p2 at the front: p2 becomes current and remembers it; p1 forgets it.
    EXPECT_TRUE(ws.MoveNote(a, p2, 0));
    EXPECT_EQ(TreeNotes(ws, p2), (std::vector<int64_t>{a, d}));
    EXPECT_EQ(StoredNoteIds(db->handle(), p2), (std::vector<int64_t>{a, d}));
    EXPECT_EQ(Stored(a).projectId, p2);
    EXPECT_EQ(ws.tree.FindNote(a)->projectId, p2);
    EXPECT_EQ(ws.currentProjectId, p2);
    EXPECT_EQ(ws.lastOpenedNote.at(p2), a);
    EXPECT_FALSE(ws.lastOpenedNote.contains(p1));
    // The notes left behind keep their relative order, with a gap.
    EXPECT_EQ(StoredNoteIds(db->handle(), p1), (std::vector<int64_t>{c, b}));

    // Into the empty project: sort order 1 there.
    EXPECT_TRUE(ws.MoveNote(b, p3, 5));
    EXPECT_EQ(StoredNoteIds(db->handle(), p3), (std::vector<int64_t>{b}));
    EXPECT_EQ(ws.currentProjectId, p2);  // b was not open

    EXPECT_FALSE(ws.MoveNote(9999, p1, 0));
    EXPECT_FALSE(ws.MoveNote(c, 9999, 0));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{c}));
}

TEST_F(WorkspaceCreateMoveTest, AMoveTheDatabaseRefusesPutsTheTreeBackAndStoresNothing) {
    Workspace& ws = LoadThreeProjects();
    const std::string before = Dump();
    {
        // Locked by another connection: BEGIN fails.
        LockingConnection lock(path, false);
        ASSERT_TRUE(lock.locked());
        EXPECT_FALSE(ws.MoveProject(p1, 2));
        EXPECT_FALSE(ws.MoveNote(a, p2, 0));
    }
    EXPECT_EQ(TreeProjects(ws), (std::vector<int64_t>{p1, p2, p3}));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, b, c}));
    EXPECT_EQ(ws.tree.FindNote(a)->projectId, p1);
    EXPECT_EQ(ws.currentProjectId, p1);

    EXPECT_EQ(Dump(), before);

    // The renumbering fails halfway (the second row written is refused): rolled back as a whole. With
    // every row at the same order, moving the last one first keeps it and writes the other two.
    Exec("UPDATE projects SET sort_order = 5");
    Exec("UPDATE notes SET sort_order = 5");
    Exec("CREATE TEMP TRIGGER no_order BEFORE UPDATE OF sort_order ON projects WHEN new.id = " + std::to_string(p2) +
         " BEGIN SELECT RAISE(ABORT, 'no'); END;");
    Exec("CREATE TEMP TRIGGER no_note_order BEFORE UPDATE OF sort_order ON notes WHEN new.id = " + std::to_string(b) +
         " BEGIN SELECT RAISE(ABORT, 'no'); END;");
    const std::string level = Dump();
    EXPECT_FALSE(ws.MoveProject(p3, 0));
    EXPECT_FALSE(ws.MoveNote(c, p1, 0));
    EXPECT_EQ(TreeProjects(ws), (std::vector<int64_t>{p1, p2, p3}));
    EXPECT_EQ(TreeNotes(ws, p1), (std::vector<int64_t>{a, b, c}));
    EXPECT_EQ(TreeNotes(ws, p2), (std::vector<int64_t>{d}));
    EXPECT_EQ(ws.currentProjectId, p1);
    EXPECT_EQ(ws.lastOpenedNote.at(p1), a);
    EXPECT_EQ(Dump(), level);
}

TEST_F(WorkspaceCreateMoveTest, AFailingCommitPutsTheOrderBack) {
    Workspace& ws = LoadThreeProjects();
    // A deferred foreign key makes COMMIT itself fail: the renumbering ran, the commit cannot.
    Exec(
        "CREATE TABLE IF NOT EXISTS commit_blocker (ref INTEGER REFERENCES projects(id) DEFERRABLE INITIALLY "
        "DEFERRED)");
    Exec(
        "CREATE TRIGGER block_commit AFTER UPDATE OF sort_order ON projects BEGIN INSERT INTO commit_blocker "
        "VALUES (-1); END;");
    const std::string withBlocker = Dump();
    EXPECT_FALSE(ws.MoveProject(p1, 2));
    EXPECT_EQ(TreeProjects(ws), (std::vector<int64_t>{p1, p2, p3}));
    EXPECT_EQ(Dump(), withBlocker);
    EXPECT_EQ(CountRows("commit_blocker"), 0);
}

TEST_F(WorkspaceCreateMoveTest, AnImportIsStoredWholeOrNotAtAll) {
    Workspace& ws = LoadThreeProjects();
    const std::optional<int64_t> id = ws.ImportNote(p2, "  readme.md ", "line one\r\nline two");
    ASSERT_TRUE(id.has_value());
    const NoteRecord stored = Stored(*id);
    EXPECT_EQ(stored.title, "readme.md");
    EXPECT_EQ(stored.content, "line one\r\nline two");
    EXPECT_TRUE(SameView(NoteViewState{}, stored.view));
    EXPECT_EQ(TreeNotes(ws, p2), (std::vector<int64_t>{d, *id}));
    EXPECT_EQ(ws.currentNoteId, a);
    EXPECT_FALSE(ws.documents.contains(*id));

    // The content write fails after the insert: no empty note is left behind.
    Exec("CREATE TEMP TRIGGER no_content BEFORE UPDATE OF content ON notes BEGIN SELECT RAISE(ABORT, 'no'); END;");
    const int64_t rows = CountRows("notes");
    EXPECT_FALSE(ws.ImportNote(p2, "second", "text").has_value());
    EXPECT_EQ(CountRows("notes"), rows);
    EXPECT_EQ(TreeNotes(ws, p2), (std::vector<int64_t>{d, *id}));
    EXPECT_FALSE(ws.ImportNote(9999, "x", "y").has_value());
}

}  // namespace
}  // namespace lq::test
