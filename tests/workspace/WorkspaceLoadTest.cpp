#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "StoredOrder.h"
#include "WorkspaceFixture.h"
#include "editor/EditorView.h"
#include "store/SettingsStore.h"

namespace lq::test {
namespace {

using WorkspaceLoadTest = WorkspaceFixture;

TEST_F(WorkspaceLoadTest, NewDatabaseGetsInboxWithMemoOpenedAndExpanded) {
    Workspace& ws = LoadWorkspace();
    ASSERT_EQ(ws.tree.projects.size(), 1u);
    const ProjectNode& inbox = ws.tree.projects.front();
    EXPECT_EQ(inbox.name, "Inbox");
    EXPECT_TRUE(inbox.expanded);
    ASSERT_EQ(inbox.notes.size(), 1u);
    EXPECT_EQ(inbox.notes.front().title, "Memo");
    EXPECT_EQ(ws.currentNoteId, inbox.notes.front().id);
    EXPECT_EQ(ws.currentProjectId, inbox.id);
    EXPECT_EQ(ws.CurrentTitle(), "Inbox / Memo");
    EXPECT_TRUE(ws.savedExpanded.at(inbox.id));
    EXPECT_EQ(Attached(), ws.documents.at(ws.currentNoteId).doc.document());
    EXPECT_FALSE(window.view().emptyState());
    EXPECT_EQ(call().Length(), 0);

    // Stored, with empty content; a second start finds it and adds nothing.
    EXPECT_EQ(CountRows("projects"), 1);
    EXPECT_EQ(CountRows("notes"), 1);
    EXPECT_EQ(Stored(ws.currentNoteId).content, "");
    const int64_t memo = ws.currentNoteId;
    DropWorkspace();
    Workspace& again = LoadWorkspace();
    EXPECT_EQ(CountRows("projects"), 1);
    EXPECT_EQ(again.currentNoteId, memo);
}

TEST_F(WorkspaceLoadTest, RecordsTheSixStoredSettingsAbsentOnesAsEmpty) {
    SettingsStore store(*db);
    ASSERT_TRUE(store.SetSetting("editor.font_size", "20"));
    ASSERT_TRUE(store.SetSetting("sidebar.visible", "0"));
    Workspace& ws = LoadWorkspace();
    ASSERT_EQ(ws.savedSettings.size(), 6u);
    EXPECT_EQ(ws.savedSettings.at("editor.font_size"), "20");
    EXPECT_EQ(ws.savedSettings.at("sidebar.visible"), "0");
    EXPECT_EQ(ws.savedSettings.at("editor.wrap"), "");
    EXPECT_EQ(ws.savedSettings.at("window.placement"), "");
}

TEST_F(WorkspaceLoadTest, StartupNoteIsTheLastNoteWhenItExistsElseTheFirstNoteOfAnyProject) {
    const int64_t empty = AddProject("empty");
    const int64_t second = AddProject("second");
    const int64_t first = AddNote(second, "first", "one");
    const int64_t last = AddNote(second, "last", "two");
    (void)empty;
    struct Case {
        std::string stored;
        int64_t expected;
    };
    const Case cases[] = {
        {std::to_string(last), last},
        {std::to_string(last) + "a", first},
        {"", first},
        {" " + std::to_string(last), first},
        {"999", first},
        {"-1", first},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SettingsStore(*db).SetSetting("last.note_id", c.stored));
        Workspace& ws = LoadWorkspace();
        EXPECT_EQ(ws.currentNoteId, c.expected) << '"' << c.stored << '"';
        EXPECT_EQ(ws.currentProjectId, second);
        EXPECT_EQ(window.Text(), c.expected == last ? "two" : "one");
        DropWorkspace();
    }
    EXPECT_EQ(CountRows("projects"), 2);  // never the first-run data
}

TEST_F(WorkspaceLoadTest, WithoutAnyNoteTheFirstProjectShowsTheReadOnlyEmptyDocument) {
    const int64_t first = AddProject("first");
    AddProject("second");
    Workspace& ws = LoadWorkspace();
    EXPECT_EQ(ws.currentNoteId, 0);
    EXPECT_EQ(ws.currentProjectId, first);
    EXPECT_EQ(ws.CurrentTitle(), "");
    ASSERT_TRUE(ws.emptyDoc);
    EXPECT_EQ(Attached(), ws.emptyDoc.document());
    EXPECT_TRUE(call().ReadOnly());
    EXPECT_TRUE(window.view().emptyState());
    EXPECT_TRUE(ws.documents.empty());
    EXPECT_EQ(CountRows("notes"), 0);
}

// A listing that stops midway must fail the load: neither a partial tree nor first-run data beside
// projects that exist.
TEST_F(WorkspaceLoadTest, AListingThatFailsMidwayFailsTheLoadAndInsertsNothing) {
    const int64_t project = AddProject("kept");
    AddNote(project, "note", "text");
    const std::string before = Dump();
    for (const char* listing : {"SELECT id, name, sort_order, expanded FROM projects", "SELECT n.id, n.project_id"}) {
        StatementInterrupter interrupter(*db, listing);
        Workspace& ws = MakeWorkspace();
        EXPECT_FALSE(ws.Load()) << listing;
        EXPECT_GT(interrupter.interruptions(), 0) << listing;
        EXPECT_TRUE(ws.tree.projects.empty()) << listing;
        EXPECT_EQ(ws.currentNoteId, 0) << listing;
        DropWorkspace();
    }
    EXPECT_EQ(Dump(), before);
}

TEST_F(WorkspaceLoadTest, FirstRunDataThatCannotBeStoredFailsTheLoadAndLeavesMemoryEmpty) {
    Exec("CREATE TRIGGER refuse_notes BEFORE INSERT ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    Workspace& ws = MakeWorkspace();
    EXPECT_FALSE(ws.Load());
    EXPECT_TRUE(ws.tree.projects.empty());
    EXPECT_TRUE(ws.savedExpanded.empty());
    EXPECT_EQ(CountRows("projects"), 0);  // the project insert was rolled back with the note's
}

TEST_F(WorkspaceLoadTest, LastOpenedNotesComeFromStoredTimesButThisRunWins) {
    const int64_t p = AddProject("p");
    const int64_t q = AddProject("q");
    const int64_t a = AddNote(p, "a", "a");
    const int64_t b = AddNote(p, "b", "b");
    const int64_t c = AddNote(q, "c", "c");
    const int64_t d = AddNote(q, "d", "d");
    const int64_t e = AddNote(q, "e", "e");
    Exec("UPDATE notes SET opened_at = 500 WHERE id = " + std::to_string(b));
    Exec("UPDATE notes SET opened_at = 100 WHERE id = " + std::to_string(c));
    // Equal times: the higher id wins.
    Exec("UPDATE notes SET opened_at = 300 WHERE id IN (" + std::to_string(d) + ", " + std::to_string(e) + ")");
    ASSERT_TRUE(SettingsStore(*db).SetSetting("last.note_id", std::to_string(a)));

    Workspace& ws = LoadWorkspace();
    ASSERT_EQ(ws.currentNoteId, a);
    ws.LoadLastOpened(p);
    ws.LoadLastOpened(q);
    EXPECT_TRUE(ws.lastOpenedLoaded.contains(p) && ws.lastOpenedLoaded.contains(q));
    EXPECT_EQ(ws.lastOpenedNote.at(p), a);  // opened in this run, though b's stored time is later
    EXPECT_EQ(ws.lastOpenedNote.at(q), e);
    EXPECT_TRUE(ws.OpenProject(q));
    EXPECT_EQ(ws.currentNoteId, e);
    EXPECT_TRUE(ws.OpenProject(p));
    EXPECT_EQ(ws.currentNoteId, a);
}

TEST_F(WorkspaceLoadTest, EachProjectsLastOpenedNoteIsTheOneTheWholeTableScanGave) {
    // Times that differ, tie, are never set, and a note deleted after its opening.
    const int64_t projectIds[] = {AddProject("p"), AddProject("q"), AddProject("r"), AddProject("s")};
    const int64_t times[][4] = {{0, 500, 100, 500}, {300, 300, 0, 0}, {0, 0, 0, 0}, {9, 7, 9, 8}};
    std::vector<int64_t> ids;
    for (size_t p = 0; p < 4; ++p) {
        for (size_t n = 0; n < 4; ++n) {
            ids.push_back(AddNote(projectIds[p], "n", "text"));
            Exec("UPDATE notes SET opened_at = " + std::to_string(times[p][n]) +
                 " WHERE id = " + std::to_string(ids.back()));
        }
    }
    Exec("DELETE FROM notes WHERE id = " + std::to_string(ids[13]));  // the later of s's two nines
    // What the scan over the whole table gave, newest first within each project.
    std::map<int64_t, int64_t> expected;
    for (const auto& [project, note] :
         IdsAndOrders(db->handle(),
                      "SELECT project_id, id FROM notes WHERE opened_at > 0 ORDER BY project_id, "
                      "opened_at DESC, id DESC")) {
        expected.try_emplace(project, note);
    }
    ASSERT_EQ(expected.size(), 3u);

    Workspace& ws = LoadWorkspace();
    ws.lastOpenedNote.clear();  // forget the note opened at start-up
    std::map<int64_t, int64_t> found;
    for (const int64_t project : projectIds) {
        ws.LoadLastOpened(project);
        ws.LoadLastOpened(project);  // once per project
        if (auto last = ws.lastOpenedNote.find(project); last != ws.lastOpenedNote.end()) found.emplace(*last);
    }
    EXPECT_EQ(found, expected);
}

TEST_F(WorkspaceLoadTest, ReleaseDocumentsGivesEveryDocumentBackAndLeavesTheNoteShowing) {
    const int64_t p = AddProject("p");
    const int64_t a = AddNote(p, "a", "alpha");
    const int64_t b = AddNote(p, "b", "beta");
    AddProject("empty");
    Workspace& ws = LoadWorkspace();
    ASSERT_TRUE(ws.OpenNote(b));
    ASSERT_TRUE(ws.OpenProject(ws.tree.projects.back().id));
    ASSERT_TRUE(ws.OpenNote(a));
    ws.ReleaseDocuments();
    EXPECT_TRUE(ws.documents.empty());
    EXPECT_FALSE(ws.emptyDoc);
    EXPECT_EQ(ws.currentNoteId, a);
    // The editor holds its own reference to what it shows.
    EXPECT_EQ(window.Text(), "alpha");
    ws.ReleaseDocuments();  // a second time, as the destructor does, is harmless
}

}  // namespace
}  // namespace lq::test
