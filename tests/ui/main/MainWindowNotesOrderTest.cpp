// Deleting with its notice and undo, moving rows up and down, and stepping from note to note.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "MainWindowNotesFixture.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"

namespace lq::test {
namespace {

class MainWindowNotesOrderTest : public MainWindowNotesFixture {
protected:
    // A (a1 open, a2, a3), B (b1), C (no notes).
    void StartWithThreeProjects() {
        a = AddProject("A");
        a1 = AddNote(a, "a1");
        a2 = AddNote(a, "a2");
        a3 = AddNote(a, "a3");
        b = AddProject("B");
        b1 = AddNote(b, "b1");
        c = AddProject("C");
        SetSetting("last.note_id", std::to_string(a1));
        Start();
        ASSERT_EQ(workspace->currentNoteId, a1);
    }
    std::string P(int64_t id, const char* name) const { return "P" + std::to_string(id) + " " + name; }
    std::string N(int64_t id, const char* title) const { return "  N" + std::to_string(id) + " " + title; }
    [[nodiscard]] int64_t StoredSortOrder(const char* table, int64_t id) {
        int64_t order = -1;
        const std::string sql = std::string("SELECT sort_order FROM ") + table + " WHERE id = " + std::to_string(id);
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db->handle(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            order = sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
        return order;
    }

    int64_t a = 0, a1 = 0, a2 = 0, a3 = 0, b = 0, b1 = 0, c = 0;
};

TEST_F(MainWindowNotesOrderTest, DeletingANoteSelectsAndOpensItsNeighbour) {
    StartWithThreeProjects();

    main->sidebar.Select({false, a2});  // a middle note: the next one follows
    main->DeleteSelected();
    EXPECT_EQ(Selection(), (TreeItemKey{false, a3}));
    EXPECT_EQ(workspace->currentNoteId, a3);
    EXPECT_EQ(main->sidebar.openNoteId(), a3);
    EXPECT_EQ(main->status.notice(), L"「a2」を削除しました（Ctrl+Z で元に戻す）");
    EXPECT_EQ(Caption(), L"A / a3 \u2014 Lanternquill");

    main->DeleteSelected();  // the last note: the previous one follows
    EXPECT_EQ(Selection(), (TreeItemKey{false, a1}));
    EXPECT_EQ(workspace->currentNoteId, a1);

    main->sidebar.Select({false, b1});  // the only note: its project follows, with nothing open
    main->DeleteSelected();
    EXPECT_EQ(Selection(), (TreeItemKey{true, b}));
    EXPECT_EQ(workspace->currentNoteId, 0);
    EXPECT_EQ(workspace->currentProjectId, b);
    EXPECT_EQ(Caption(), L"Lanternquill");
    EXPECT_EQ(Rows(), (std::vector<std::string>{P(a, "A"), N(a1, "a1"), P(b, "B"), P(c, "C")}));
    EXPECT_EQ(CountRows("notes"), 1);
}

TEST_F(MainWindowNotesOrderTest, DeletingAProjectCountsItsNotesAndUndoBringsThemBack) {
    StartWithThreeProjects();
    const std::vector<std::string> before = Rows();
    main->sidebar.Select({true, a});
    SetFocus(tree());

    EXPECT_TRUE(PressKey(VK_DELETE, tree()));
    EXPECT_EQ(main->status.notice(), L"「A」と3個のメモを削除しました（Ctrl+Z で元に戻す）");
    EXPECT_EQ(Selection(), (TreeItemKey{true, b}));
    EXPECT_EQ(workspace->currentNoteId, b1);
    EXPECT_EQ(CountRows("projects"), 2);
    EXPECT_EQ(CountRows("notes"), 1);

    // The next key press clears the notice.
    PressKey(VK_SHIFT, tree());
    EXPECT_EQ(main->status.notice(), L"");

    main->sidebar.Select({true, c});
    main->DeleteSelected();
    EXPECT_EQ(main->status.notice(), L"「C」を削除しました（Ctrl+Z で元に戻す）");
    EXPECT_EQ(Selection(), (TreeItemKey{true, b}));  // the last project: the previous one follows

    // Ctrl+Z in the sidebar undoes newest first and clears the notice.
    const auto undo = [&] {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE saved = keys[VK_CONTROL];
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        const bool consumed = PressKey('Z', tree());
        keys[VK_CONTROL] = saved;
        SetKeyboardState(keys);
        return consumed;
    };
    EXPECT_TRUE(undo());
    EXPECT_EQ(Selection(), (TreeItemKey{true, c}));
    EXPECT_EQ(main->status.notice(), L"");
    EXPECT_TRUE(undo());
    EXPECT_EQ(Selection(), (TreeItemKey{true, a}));
    EXPECT_EQ(workspace->currentNoteId, a1);  // the project's last-opened note
    EXPECT_EQ(Caption(), L"A / a1 \u2014 Lanternquill");
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(CountRows("notes"), 4);

    EXPECT_TRUE(undo());  // nothing left to undo: nothing changes
    EXPECT_EQ(Rows(), before);
}

TEST_F(MainWindowNotesOrderTest, UndoingANoteDeletionPutsItBackInPlace) {
    StartWithThreeProjects();
    main->sidebar.Select({false, a2});
    main->DeleteSelected();
    main->UndoDelete();
    EXPECT_EQ(Rows(), (std::vector<std::string>{P(a, "A"), N(a1, "a1"), N(a2, "a2"), N(a3, "a3"), P(b, "B"),
                                                N(b1, "b1"), P(c, "C")}));
    EXPECT_EQ(Selection(), (TreeItemKey{false, a2}));
    EXPECT_EQ(workspace->currentNoteId, a2);
    EXPECT_EQ(main->sidebar.openNoteId(), a2);
}

TEST_F(MainWindowNotesOrderTest, AnUndoOrMoveTheDatabaseRefusesSaysSoOnceAndTheDeletionWaitsForAnotherTry) {
    StartWithThreeProjects();
    std::vector<std::wstring> messages;
    main->showMessage = [&](const std::wstring& text) { messages.push_back(text); };
    main->sidebar.Select({false, a2});
    main->DeleteSelected();
    ASSERT_EQ(workspace->undoStack.size(), 1u);
    const std::vector<std::string> deleted = Rows();

    Exec("CREATE TRIGGER no_insert BEFORE INSERT ON notes BEGIN SELECT RAISE(ABORT, 'no'); END");
    main->UndoDelete();
    EXPECT_EQ(messages,
              (std::vector<std::wstring>{LoadResourceString(GetModuleHandleW(nullptr), IDS_UNDO_DELETE_FAILED)}));
    EXPECT_EQ(Rows(), deleted);
    EXPECT_EQ(workspace->undoStack.size(), 1u);

    messages.clear();
    Exec("CREATE TRIGGER no_order BEFORE UPDATE OF sort_order ON notes BEGIN SELECT RAISE(ABORT, 'no'); END");
    main->sidebar.Select({false, a3});
    main->MoveSelected(true);
    EXPECT_EQ(messages, (std::vector<std::wstring>{LoadResourceString(GetModuleHandleW(nullptr), IDS_MOVE_FAILED)}));
    EXPECT_EQ(Rows(), deleted);

    messages.clear();
    Exec("DROP TRIGGER no_insert");
    Exec("DROP TRIGGER no_order");
    main->UndoDelete();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Rows(), (std::vector<std::string>{P(a, "A"), N(a1, "a1"), N(a2, "a2"), N(a3, "a3"), P(b, "B"),
                                                N(b1, "b1"), P(c, "C")}));
    EXPECT_TRUE(workspace->undoStack.empty());
}

TEST_F(MainWindowNotesOrderTest, DeletingTheLastProjectShowsTheNewOneInItsPlace) {
    const int64_t only = AddProject("Only");
    AddNote(only, "n");
    Start();
    main->sidebar.Select({true, only});
    main->DeleteSelected();

    ASSERT_EQ(workspace->tree.projects.size(), 1u);
    const ProjectNode& inbox = workspace->tree.projects.front();
    EXPECT_EQ(inbox.name, "Inbox");
    ASSERT_EQ(inbox.notes.size(), 1u);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P" + std::to_string(inbox.id) + " Inbox",
                                                "  N" + std::to_string(inbox.notes.front().id) + " Memo"}));
    EXPECT_EQ(Selection(), (TreeItemKey{false, workspace->currentNoteId}));
    EXPECT_EQ(main->status.notice(), L"「Only」と1個のメモを削除しました（Ctrl+Z で元に戻す）");
}

TEST_F(MainWindowNotesOrderTest, AFailedDeleteSaysSoOnceAndShowsNoNotice) {
    StartWithThreeProjects();
    std::vector<std::wstring> messages;
    main->showMessage = [&](const std::wstring& text) { messages.push_back(text); };
    Exec("CREATE TRIGGER keep BEFORE DELETE ON notes BEGIN SELECT RAISE(ABORT, 'kept'); END");
    const std::vector<std::string> before = Rows();
    main->sidebar.Select({false, a2});
    main->DeleteSelected();
    EXPECT_EQ(messages, (std::vector<std::wstring>{L"「a2」を削除できませんでした。何も削除していません。"}));
    EXPECT_EQ(main->status.notice(), L"");
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(Selection(), (TreeItemKey{false, a2}));
    EXPECT_TRUE(workspace->undoStack.empty());
}

TEST_F(MainWindowNotesOrderTest, MovingStaysAmongSiblingsAndStoresTheOrder) {
    StartWithThreeProjects();
    struct Step {
        TreeItemKey key;
        bool up;
        std::vector<std::string> rows;
    };
    const std::vector<std::string> start = Rows();
    const Step steps[] = {
        {{false, a1}, true, start},   // the first note does not move up
        {{false, a3}, false, start},  // the last note stays in its project
        {{true, c}, false, start},    // the last project does not move down
        {{false, a1}, false, {P(a, "A"), N(a2, "a2"), N(a1, "a1"), N(a3, "a3"), P(b, "B"), N(b1, "b1"), P(c, "C")}},
        {{true, c}, true, {P(a, "A"), N(a2, "a2"), N(a1, "a1"), N(a3, "a3"), P(c, "C"), P(b, "B"), N(b1, "b1")}},
    };
    for (const Step& step : steps) {
        main->sidebar.Select(step.key);
        main->MoveSelected(step.up);
        EXPECT_EQ(Rows(), step.rows) << step.key.id << (step.up ? " up" : " down");
        EXPECT_EQ(Selection(), step.key);
    }
    // Stored as shown: a reload gives the same rows.
    EXPECT_LT(StoredSortOrder("notes", a2), StoredSortOrder("notes", a1));
    EXPECT_LT(StoredSortOrder("notes", a1), StoredSortOrder("notes", a3));
    EXPECT_LT(StoredSortOrder("projects", a), StoredSortOrder("projects", c));
    EXPECT_LT(StoredSortOrder("projects", c), StoredSortOrder("projects", b));
    EXPECT_EQ(workspace->currentNoteId, a1);  // moving opens nothing
}

TEST_F(MainWindowNotesOrderTest, StepsToTheNextNoteAcrossProjectsAndExpandsItsProject) {
    StartWithThreeProjects();
    TreeView_Expand(tree(), main->sidebar.FindItem({true, a}), TVE_COLLAPSE);
    workspace->SetProjectExpanded(a, false);
    ASSERT_TRUE(workspace->OpenNote(b1));  // the last note of all
    main->UpdateTitleAndStatus();
    SetFocus(main->editor.hwnd());

    main->SelectAdjacentNote(true);  // wraps to the first note, in the collapsed project
    EXPECT_EQ(workspace->currentNoteId, a1);
    EXPECT_EQ(Selection(), (TreeItemKey{false, a1}));
    EXPECT_TRUE(RowExpanded(a));
    EXPECT_TRUE(workspace->tree.FindProject(a)->expanded);
    EXPECT_EQ(Caption(), L"A / a1 \u2014 Lanternquill");
    EXPECT_EQ(GetFocus(), main->editor.hwnd());  // the focus stays where it was

    main->SelectAdjacentNote(false);  // and back over the end
    EXPECT_EQ(workspace->currentNoteId, b1);

    ASSERT_TRUE(workspace->OpenProject(c));  // no note open: backward takes the last note
    ASSERT_EQ(workspace->currentNoteId, 0);
    main->SelectAdjacentNote(false);
    EXPECT_EQ(workspace->currentNoteId, b1);
    EXPECT_EQ(main->sidebar.openNoteId(), b1);
}

}  // namespace
}  // namespace lq::test
