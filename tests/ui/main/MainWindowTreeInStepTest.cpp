// After every command that changes the list, the sidebar holds exactly the tree a fresh fill of the
// workspace's tree would give, though the commands change only the rows they touch.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MainWindowNotesFixture.h"
#include "support/FileBytes.h"
#include "support/TestHostWindow.h"

namespace lq::test {
namespace {

class MainWindowTreeInStepTest;

struct TreeChange {
    const char* name;  // the test's name
    std::function<void(MainWindowTreeInStepTest&)> act;
    bool restores = false;  // the command puts back what an earlier one changed
};

class MainWindowTreeInStepTest : public MainWindowNotesFixture {
public:
    // The commands that change the list, each from the start of StartWithThreeProjects.
    static const std::vector<TreeChange>& TreeChanges();

protected:
    // A (a1 open, a2, expanded), E (expanded, no notes), C (c1, c2, collapsed).
    void StartWithThreeProjects() {
        a = AddProject("A");
        a1 = AddNote(a, "a1", "alpha");
        a2 = AddNote(a, "a2");
        e = AddProject("E");
        c = AddProject("C");
        c1 = AddNote(c, "c1");
        c2 = AddNote(c, "c2");
        Exec("UPDATE projects SET expanded = 0 WHERE id = " + std::to_string(c));
        SetSetting("last.note_id", std::to_string(a1));
        Start();
        ASSERT_EQ(workspace->currentNoteId, a1);
    }

    // The tree a fresh fill of the workspace's tree gives, with the window's selection and open note,
    // in a control of its own made as the main window makes its sidebar.
    std::vector<std::string> FreshFill() {
        SidebarTree fresh;  // made first: the control dies with the host before the wrapper goes
        TestHostWindow host(250, 400);
        HWND control = CreateSidebarControl(host.hwnd(), GetModuleHandleW(nullptr));
        if (control == nullptr || !fresh.Attach(control)) return {"no control"};
        fresh.SetDpi(96);
        fresh.Populate(workspace->tree, workspace->currentNoteId, main->sidebar.GetSelection());
        std::vector<std::string> lines = TreeSnapshot(control);
        lines.push_back("open note " + std::to_string(fresh.openNoteId()) + ", rows " +
                        std::to_string(fresh.ItemCount()));
        return lines;
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> lines = TreeSnapshot(tree());
        lines.push_back("open note " + std::to_string(main->sidebar.openNoteId()) + ", rows " +
                        std::to_string(main->sidebar.ItemCount()));
        return lines;
    }
    void PressInTree(UINT key, Modifiers modifiers = {}) {
        SetFocus(tree());
        ASSERT_EQ(GetFocus(), tree());
        PressInLoop(key, modifiers);
    }
    void Import(const std::vector<std::string>& contents) {
        std::vector<std::wstring> paths;
        for (size_t i = 0; i < contents.size(); ++i) {
            paths.push_back(folder.File(L"imported" + std::to_wstring(i) + L".txt"));
            ASSERT_TRUE(WriteFileBytes(paths.back(), contents[i]));
        }
        main->ImportTextFiles(paths);
        Pump();
    }

    int64_t a = 0, a1 = 0, a2 = 0, e = 0, c = 0, c1 = 0, c2 = 0;
};

const std::vector<TreeChange>& MainWindowTreeInStepTest::TreeChanges() {
    static const std::vector<TreeChange> cases = {
        {"import one file into the open note's project",
         [](MainWindowTreeInStepTest& t) { t.Import({"imported text"}); }},
        {"import three files, one of them empty",
         [](MainWindowTreeInStepTest& t) {
             t.Import({"one", "", "three"});
         }},
        {"import into a project without notes",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({true, t.e});
             ASSERT_TRUE(t.workspace->OpenProject(t.e));
             t.Import({"first of E"});
         }},
        {"import into a collapsed project",
         [](MainWindowTreeInStepTest& t) {
             ASSERT_TRUE(t.workspace->OpenNote(t.c1));
             t.main->sidebar.Select({false, t.c1});
             t.Import({"into C"});
         }},
        {"new note",
         [](MainWindowTreeInStepTest& t) {
             t.PressInTree('N', Modifiers{true});
             t.FinishLabelEdit(std::nullopt);
         }},
        {"new project with its first note",
         [](MainWindowTreeInStepTest& t) {
             t.PressInTree('N', Modifiers{true, true});
             t.FinishLabelEdit(L"Fresh");
         }},
        {"delete a note",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({false, t.a2});
             t.PressInTree(VK_DELETE);
         }},
        {"delete a project",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({true, t.a});
             t.PressInTree(VK_DELETE);
         }},
        {"delete every project, the last one too",
         [](MainWindowTreeInStepTest& t) {
             for (int64_t project : {t.a, t.e, t.c}) {
                 t.main->sidebar.Select({true, project});
                 t.PressInTree(VK_DELETE);
             }
         }},
        {"undo a note's deletion",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({false, t.a1});
             t.PressInTree(VK_DELETE);
             t.PressInTree('Z', Modifiers{true});
         },
         true},
        {"undo the deletion of a collapsed project",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({true, t.c});
             t.PressInTree(VK_DELETE);
             t.PressInTree('Z', Modifiers{true});
         },
         true},
        {"undo the deletion of the only note of a project",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({false, t.a2});
             t.PressInTree(VK_DELETE);
             t.main->sidebar.Select({false, t.a1});
             t.PressInTree(VK_DELETE);
             t.PressInTree('Z', Modifiers{true});
         }},
        {"move a note up",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({false, t.a2});
             t.PressInTree(VK_UP, Modifiers{false, false, true});
         }},
        {"move a project down",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({true, t.a});
             t.PressInTree(VK_DOWN, Modifiers{false, false, true});
         }},
        {"move a collapsed project up to the top",
         [](MainWindowTreeInStepTest& t) {
             t.main->sidebar.Select({true, t.c});
             t.PressInTree(VK_UP, Modifiers{false, false, true});
             t.PressInTree(VK_UP, Modifiers{false, false, true});
         }},
    };
    return cases;
}

class MainWindowTreeChangeTest : public MainWindowTreeInStepTest, public ::testing::WithParamInterface<size_t> {
protected:
    void Act() { TreeChanges()[GetParam()].act(*this); }
};

// Each command along the user's path, then the whole tree against a fresh fill.
TEST_P(MainWindowTreeChangeTest, LeavesTheTreeAFreshFillWouldGive) {
    StartWithThreeProjects();
    const std::vector<std::string> before = Shown();
    Act();
    if (!TreeChanges()[GetParam()].restores) {
        ASSERT_NE(Shown(), before) << "the command changed nothing";
    }
    EXPECT_EQ(Shown(), FreshFill());
}

INSTANTIATE_TEST_SUITE_P(Commands, MainWindowTreeChangeTest,
                         ::testing::Range<size_t>(0, MainWindowTreeInStepTest::TreeChanges().size()),
                         [](const ::testing::TestParamInfo<size_t>& param) {
                             std::string name = MainWindowTreeInStepTest::TreeChanges()[param.param].name;
                             std::string out;
                             bool upper = true;
                             for (char ch : name) {
                                 if (ch == ' ' || ch == ',' || ch == '\'') {
                                     upper = true;
                                     continue;
                                 }
                                 out += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
                                 upper = false;
                             }
                             return out;
                         });

// The rows an import does not touch stay the items they were: nothing is rebuilt.
TEST_F(MainWindowTreeInStepTest, ImportKeepsTheRowsItDoesNotTouch) {
    StartWithThreeProjects();
    const HTREEITEM untouched = main->sidebar.FindItem({false, c1});
    ASSERT_NE(untouched, nullptr);
    // A mark a fill never sets: it is gone when the row is made anew.
    TreeView_SetItemState(tree(), untouched, TVIS_CUT, TVIS_CUT);

    Import({"imported text"});

    ASSERT_EQ(workspace->tree.FindProject(a)->notes.size(), 3u);
    EXPECT_EQ(main->sidebar.FindItem({false, c1}), untouched);
    EXPECT_EQ(TreeView_GetItemState(tree(), untouched, TVIS_CUT) & TVIS_CUT, static_cast<UINT>(TVIS_CUT));
    EXPECT_EQ(Selection(), (TreeItemKey{false, workspace->tree.FindProject(a)->notes.back().id}));
}

}  // namespace
}  // namespace lq::test
