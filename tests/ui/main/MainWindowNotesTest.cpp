// New notes, new projects and renaming through the sidebar's label editor.
#include <gtest/gtest.h>

#include "MainWindowNotesFixture.h"

namespace lq::test {
namespace {

class MainWindowNotesTest : public MainWindowNotesFixture {
protected:
    // A (a1 open, a2) and B (b1, b2).
    void StartWithTwoProjects(const MainWindowStart& options = {}) {
        a = AddProject("A");
        a1 = AddNote(a, "a1", "alpha");
        a2 = AddNote(a, "a2");
        b = AddProject("B");
        b1 = AddNote(b, "b1");
        b2 = AddNote(b, "b2");
        SetSetting("last.note_id", std::to_string(a1));
        Start(options);
        ASSERT_EQ(workspace->currentNoteId, a1);
    }

    int64_t a = 0, a1 = 0, a2 = 0, b = 0, b1 = 0, b2 = 0;
};

TEST_F(MainWindowNotesTest, NewNoteGoesLastIntoTheSelectedRowsProjectAndEditsItsLabel) {
    StartWithTwoProjects();
    main->sidebar.Select({false, b1});  // a note of B selected while a1 of A stays open

    ASSERT_TRUE(main->ExecuteCommand(1));
    const int64_t made = workspace->currentNoteId;
    ASSERT_NE(made, a1);
    ASSERT_EQ(workspace->tree.FindProject(b)->notes.back().id, made);
    EXPECT_EQ(Stored(made).title, Today());
    EXPECT_EQ(Stored(made).projectId, b);
    EXPECT_EQ(Selection(), (TreeItemKey{false, made}));
    EXPECT_EQ(main->sidebar.openNoteId(), made);
    EXPECT_EQ(Caption(), Utf8ToUtf16("B / " + Today()) + L" \u2014 Lanternquill");
    EXPECT_NE(EditBox(), nullptr);
    EXPECT_EQ(main->afterLabelEdit, 1);

    // Esc keeps the date as the title, and the focus goes back to the editor.
    FinishLabelEdit(std::nullopt);
    EXPECT_EQ(main->afterLabelEdit, 0);
    EXPECT_EQ(Stored(made).title, Today());
    EXPECT_EQ(Label({false, made}), Today());
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_EQ(workspace->tree.FindProject(b)->notes.size(), 3u);  // no further note
}

TEST_F(MainWindowNotesTest, NewNoteAboveManyRowsMovesThemDownOneRow) {
    // The new row lands in the middle of the tree: every row below it moves down one row, the scroll
    // range grows by one, and the rows above it stay where they were.
    a = AddProject("A");
    a1 = AddNote(a, "a1");
    a2 = AddNote(a, "a2");
    b = AddProject("B");
    b1 = AddNote(b, "b1");
    for (int i = 0; i < 60; ++i) AddNote(b, "b" + std::to_string(i + 2));
    SetSetting("last.note_id", std::to_string(a1));
    Start();
    main->sidebar.Select({false, a1});
    Pump();
    SCROLLINFO before{};
    before.cbSize = sizeof(before);
    before.fMask = SIF_RANGE | SIF_POS;
    ASSERT_TRUE(GetScrollInfo(tree(), SB_VERT, &before));
    RECT a2Row{}, bRow{};
    ASSERT_TRUE(TreeView_GetItemRect(tree(), main->sidebar.FindItem({false, a2}), &a2Row, FALSE));
    ASSERT_TRUE(TreeView_GetItemRect(tree(), main->sidebar.FindItem({true, b}), &bRow, FALSE));
    const HTREEITEM firstVisible = TreeView_GetFirstVisible(tree());

    ASSERT_TRUE(main->ExecuteCommand(1));
    const int64_t made = workspace->currentNoteId;
    ASSERT_EQ(workspace->tree.FindProject(a)->notes.back().id, made);
    EXPECT_EQ(Selection(), (TreeItemKey{false, made}));
    EXPECT_TRUE(RowExpanded(a));
    EXPECT_NE(EditBox(), nullptr);
    EXPECT_EQ(TreeView_GetFirstVisible(tree()), firstVisible);

    RECT madeRow{}, bRowAfter{}, a2RowAfter{};
    ASSERT_TRUE(TreeView_GetItemRect(tree(), main->sidebar.FindItem({false, made}), &madeRow, FALSE));
    ASSERT_TRUE(TreeView_GetItemRect(tree(), main->sidebar.FindItem({false, a2}), &a2RowAfter, FALSE));
    ASSERT_TRUE(TreeView_GetItemRect(tree(), main->sidebar.FindItem({true, b}), &bRowAfter, FALSE));
    const int rowStep = madeRow.top - a2Row.top;  // one row further down
    EXPECT_GT(rowStep, 0);
    EXPECT_EQ(a2RowAfter.top, a2Row.top);
    EXPECT_EQ(bRowAfter.top - bRow.top, rowStep);
    SCROLLINFO after{};
    after.cbSize = sizeof(after);
    after.fMask = SIF_RANGE | SIF_POS;
    ASSERT_TRUE(GetScrollInfo(tree(), SB_VERT, &after));
    EXPECT_EQ(after.nMax, before.nMax + 1);
    EXPECT_EQ(after.nPos, before.nPos);

    FinishLabelEdit(L"named");
    EXPECT_EQ(Stored(made).title, "named");
    EXPECT_EQ(Label({false, made}), "named");
}

TEST_F(MainWindowNotesTest, NewNoteWithoutSelectionUsesTheCurrentProject) {
    StartWithTwoProjects();
    const int64_t empty = AddProject("Empty");  // stored after loading: read it in again
    ASSERT_TRUE(workspace->LoadProjects());
    main->sidebar.Populate(workspace->tree, workspace->currentNoteId, std::nullopt);
    ASSERT_TRUE(workspace->OpenProject(empty));  // no notes: the empty document, Empty current
    TreeView_SelectItem(tree(), nullptr);
    ASSERT_FALSE(Selection());

    main->NewNote(std::nullopt);
    ASSERT_NE(workspace->currentNoteId, 0);
    EXPECT_EQ(Stored(workspace->currentNoteId).projectId, empty);
    EXPECT_TRUE(RowExpanded(empty));  // the project gained its first row and shows it
    FinishLabelEdit(std::nullopt);
}

TEST_F(MainWindowNotesTest, NewNoteInAGivenProjectExpandsIt) {
    StartWithTwoProjects();
    // Collapsed as the user would: the row, and the flag the tree's notification records.
    TreeView_Expand(tree(), main->sidebar.FindItem({true, b}), TVE_COLLAPSE);
    workspace->SetProjectExpanded(b, false);
    ASSERT_FALSE(RowExpanded(b));

    main->NewNote(b);  // the project row's plus button, whatever is selected
    const int64_t made = workspace->currentNoteId;
    EXPECT_EQ(Stored(made).projectId, b);
    EXPECT_TRUE(workspace->tree.FindProject(b)->expanded);
    EXPECT_TRUE(RowExpanded(b));
    FinishLabelEdit(L"Named");
    EXPECT_EQ(Stored(made).title, "Named");
}

TEST_F(MainWindowNotesTest, NewNoteWithTheSidebarHiddenPeeksForTheLabelEdit) {
    MainWindowStart options;
    options.sidebarVisible = false;
    options.sidebarWidthDip = 100;  // raised to the minimum while shown
    StartWithTwoProjects(options);
    ASSERT_FALSE(IsWindowVisible(tree()));

    main->NewNote(std::nullopt);
    EXPECT_TRUE(main->sidebarVisible);
    EXPECT_TRUE(main->sidebarPeeking);
    EXPECT_TRUE(IsWindowVisible(tree()));
    EXPECT_GE(main->sidebarWidthDip, 160);
    ASSERT_NE(EditBox(), nullptr);

    FinishLabelEdit(L"peeked");
    EXPECT_FALSE(main->sidebarVisible);
    EXPECT_FALSE(main->sidebarPeeking);
    EXPECT_FALSE(IsWindowVisible(tree()));
    EXPECT_EQ(Stored(workspace->currentNoteId).title, "peeked");
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
}

TEST_F(MainWindowNotesTest, NewProjectIsNamedAndGetsAFirstNoteWhileTheSidebarPeeks) {
    MainWindowStart options;
    options.sidebarVisible = false;
    StartWithTwoProjects(options);

    ASSERT_TRUE(main->ExecuteCommand(2));
    const int64_t project = workspace->tree.projects.back().id;
    ASSERT_NE(project, b);
    EXPECT_EQ(workspace->tree.projects.back().name, "Untitled Project");
    EXPECT_EQ(Selection(), (TreeItemKey{true, project}));
    EXPECT_EQ(main->afterLabelEdit, 2);
    EXPECT_TRUE(main->sidebarPeeking);
    EXPECT_TRUE(IsWindowVisible(tree()));
    ASSERT_NE(EditBox(), nullptr);

    // Outer blanks go and the tab becomes one space, in the database and on the row.
    FinishLabelEdit(L"  Ideas\tnew  ");
    EXPECT_EQ(workspace->tree.FindProject(project)->name, "Ideas new");
    EXPECT_EQ(Label({true, project}), "Ideas new");

    const ProjectNode* node = workspace->tree.FindProject(project);
    ASSERT_EQ(node->notes.size(), 1u);
    const int64_t first = node->notes.front().id;
    EXPECT_EQ(Stored(first).title, Today());
    EXPECT_EQ(workspace->currentNoteId, first);
    EXPECT_EQ(Selection(), (TreeItemKey{false, first}));
    EXPECT_EQ(main->sidebar.openNoteId(), first);
    EXPECT_EQ(Caption(), Utf8ToUtf16("Ideas new / " + Today()) + L" \u2014 Lanternquill");
    EXPECT_EQ(main->afterLabelEdit, 0);

    EXPECT_FALSE(main->sidebarVisible);
    EXPECT_FALSE(main->sidebarPeeking);
    EXPECT_FALSE(IsWindowVisible(tree()));
}

TEST_F(MainWindowNotesTest, CancelledNewProjectKeepsItsDefaultNameAndStillGetsItsFirstNote) {
    StartWithTwoProjects();
    main->NewProject();
    const int64_t project = workspace->tree.projects.back().id;
    FinishLabelEdit(std::nullopt);

    EXPECT_EQ(Label({true, project}), "Untitled Project");
    ASSERT_EQ(workspace->tree.FindProject(project)->notes.size(), 1u);
    EXPECT_EQ(workspace->currentNoteId, workspace->tree.FindProject(project)->notes.front().id);
    EXPECT_EQ(CountRows("projects"), 3);
    EXPECT_EQ(CountRows("notes"), 5);
    EXPECT_TRUE(main->sidebarVisible);  // it was shown before: no peek to end
}

TEST_F(MainWindowNotesTest, RenameShowsTheStoredFormAndRefusesBlanks) {
    StartWithTwoProjects();
    main->BeginRename(TreeItemKey{false, a1});
    ASSERT_NE(EditBox(), nullptr);
    FinishLabelEdit(L"  hello\tworld  ");
    EXPECT_EQ(Stored(a1).title, "hello world");
    EXPECT_EQ(Label({false, a1}), "hello world");
    EXPECT_EQ(Caption(), L"A / hello world \u2014 Lanternquill");

    const int64_t updatedAt = Stored(a1).updatedAt;
    main->BeginRename(TreeItemKey{false, a1});
    FinishLabelEdit(L"   ");
    EXPECT_EQ(Stored(a1).title, "hello world");
    EXPECT_EQ(Stored(a1).updatedAt, updatedAt);
    EXPECT_EQ(Label({false, a1}), "hello world");

    // A project's new name reaches the caption of its open note.
    main->BeginRename(TreeItemKey{true, a});
    FinishLabelEdit(L"Alpha");
    EXPECT_EQ(Label({true, a}), "Alpha");
    EXPECT_EQ(Caption(), L"Alpha / hello world \u2014 Lanternquill");
}

TEST_F(MainWindowNotesTest, F2InTheEditorRenamesTheOpenNoteWhateverIsSelected) {
    StartWithTwoProjects();
    main->sidebar.Select({false, b2});
    SetFocus(main->editor.hwnd());
    ASSERT_EQ(main->FocusScope(), KeyScope::Editor);

    EXPECT_TRUE(PressKey(VK_F2, main->editor.hwnd()));
    ASSERT_NE(EditBox(), nullptr);
    EXPECT_EQ(Selection(), (TreeItemKey{false, a1}));
    FinishLabelEdit(L"renamed");
    EXPECT_EQ(Stored(a1).title, "renamed");
    EXPECT_EQ(Stored(b2).title, "b2");
}

TEST_F(MainWindowNotesTest, RenameWithoutAKeyTakesTheSelectionOrDoesNothing) {
    StartWithTwoProjects();
    main->sidebar.Select({true, b});
    SetFocus(tree());
    main->BeginRename(std::nullopt);
    ASSERT_NE(EditBox(), nullptr);
    FinishLabelEdit(L"Beta");
    EXPECT_EQ(workspace->tree.FindProject(b)->name, "Beta");

    // Nothing selected and the focus outside the editor: nothing to rename.
    TreeView_SelectItem(tree(), nullptr);
    SetFocus(nullptr);
    ASSERT_FALSE(Selection());
    main->BeginRename(std::nullopt);
    EXPECT_EQ(EditBox(), nullptr);
}

TEST_F(MainWindowNotesTest, LabelEditRequestedByMessageOpensOnThatRow) {
    MainWindowStart options;
    options.sidebarVisible = false;
    StartWithTwoProjects(options);
    PostMessageW(hwnd(), kLabelEditRequestMessage, 0, static_cast<LPARAM>(EncodeTreeItemParam({false, b1})));
    ASSERT_TRUE(PumpUntil([&] { return EditBox() != nullptr; }));
    EXPECT_EQ(Selection(), (TreeItemKey{false, b1}));
    EXPECT_TRUE(main->sidebarPeeking);
    FinishLabelEdit(L"via message");
    EXPECT_EQ(Stored(b1).title, "via message");
    EXPECT_FALSE(main->sidebarVisible);

    // A row that is not there opens nothing and leaves no peek behind.
    PostMessageW(hwnd(), kLabelEditRequestMessage, 0, static_cast<LPARAM>(EncodeTreeItemParam({false, 9999})));
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(EditBox(), nullptr);
    EXPECT_FALSE(main->sidebarPeeking);
    EXPECT_FALSE(main->sidebarVisible);
}

TEST_F(MainWindowNotesTest, NewProjectWhileARenameIsOpenKeepsBothEdits) {
    // The button at the sidebar's foot takes no focus, so a rename can still be open when it is
    // pressed. The rename keeps its text, and the new project still gets its first note.
    MainWindowStart options;
    options.sidebarVisible = false;
    StartWithTwoProjects(options);
    main->BeginRename(TreeItemKey{false, a1});
    ASSERT_NE(EditBox(), nullptr);
    SetWindowTextW(EditBox(), L"typed");

    main->NewProject();
    const int64_t project = workspace->tree.projects.back().id;
    EXPECT_EQ(Stored(a1).title, "typed");
    EXPECT_EQ(Label({false, a1}), "typed");
    EXPECT_EQ(Selection(), (TreeItemKey{true, project}));
    EXPECT_EQ(main->afterLabelEdit, 2);
    PumpFor(std::chrono::milliseconds(50));  // the rename's own completion message finds nothing left
    ASSERT_NE(EditBox(), nullptr);
    EXPECT_EQ(main->afterLabelEdit, 2);
    EXPECT_TRUE(main->sidebarPeeking);

    FinishLabelEdit(L"Later");
    const ProjectNode* node = workspace->tree.FindProject(project);
    EXPECT_EQ(node->name, "Later");
    ASSERT_EQ(node->notes.size(), 1u);
    EXPECT_EQ(workspace->currentNoteId, node->notes.front().id);
    EXPECT_EQ(workspace->tree.FindProject(a)->notes.size(), 2u);
    EXPECT_FALSE(main->sidebarVisible);
}

TEST_F(MainWindowNotesTest, DeletingTheRowBeingRenamedLeavesNoEditBehind) {
    MainWindowStart options;
    options.sidebarVisible = false;
    StartWithTwoProjects(options);
    main->NewProject();  // its label edit is open, its first note still to come
    const int64_t project = workspace->tree.projects.back().id;
    ASSERT_NE(EditBox(), nullptr);

    main->DeleteSelected();  // a menu choice: the edit box is still open
    EXPECT_EQ(EditBox(), nullptr);
    EXPECT_EQ(workspace->tree.FindProject(project), nullptr);
    EXPECT_EQ(main->afterLabelEdit, 0);
    EXPECT_FALSE(main->sidebarPeeking);
    PumpFor(std::chrono::milliseconds(50));

    // The next rename of a project makes no stray note in it.
    main->BeginRename(TreeItemKey{true, b});
    FinishLabelEdit(L"Beta");
    EXPECT_EQ(workspace->tree.FindProject(b)->notes.size(), 2u);
}

TEST_F(MainWindowNotesTest, RefreshStepsFollowTheOpenNoteAndTheWorkspace) {
    StartWithTwoProjects();
    EXPECT_EQ(Caption(), L"A / a1 \u2014 Lanternquill");
    EXPECT_EQ(main->status.totalChars(), 5);  // "alpha"

    ASSERT_TRUE(workspace->OpenNote(b1));
    workspace->lastSaveFailed = true;
    main->UpdateTitleAndStatus();
    EXPECT_EQ(Caption(), L"B / b1 \u2014 Lanternquill");
    EXPECT_EQ(main->sidebar.openNoteId(), b1);
    EXPECT_EQ(main->status.totalChars(), 0);
    EXPECT_TRUE(main->status.saveFailed());

    main->SetStatusMessage(L"notice");
    EXPECT_EQ(main->status.notice(), L"notice");
    main->SetStatusMessage({});
    EXPECT_EQ(main->status.notice(), L"");

    // Without a workspace the caption is the product name and the rest stays as it is.
    main->SetWorkspace(nullptr);
    main->UpdateTitle();
    EXPECT_EQ(Caption(), L"Lanternquill");
    main->UpdateStatus();
    EXPECT_FALSE(main->status.saveFailed());
    main->NewNote(std::nullopt);
    main->NewProject();
    EXPECT_EQ(EditBox(), nullptr);
    main->SetWorkspace(&*workspace);
}

}  // namespace
}  // namespace lq::test
