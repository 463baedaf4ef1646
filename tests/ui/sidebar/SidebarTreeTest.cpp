#include "ui/sidebar/SidebarTree.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SidebarTreeFixture.h"

namespace lq {
namespace {

using test::Project;
using test::SmallTree;
using test::TallTree;
using SidebarTreeTest = test::SidebarTreeFixture;

constexpr int kWidth = test::kSidebarWidth;
constexpr int kHeight = test::kSidebarHeight;

TEST_F(SidebarTreeTest, PopulateMirrorsTheProjectTree) {
    sidebar_.Populate(SmallTree(), 11, TreeItemKey{false, 11});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P1 Inbox", "  N10 first", "  N11 second", "  N12 third", "P2 空",
                                                "P3 Work", "  N30 plan", "  N31 日本語のメモ"}));
    EXPECT_EQ(sidebar_.ItemCount(), 8u);
    EXPECT_EQ(sidebar_.openNoteId(), 11);

    HTREEITEM inbox = Item({true, 1});
    EXPECT_TRUE(TreeView_GetItemState(tree(), inbox, TVIS_BOLD) & TVIS_BOLD);
    EXPECT_FALSE(TreeView_GetItemState(tree(), Item({false, 10}), TVIS_BOLD) & TVIS_BOLD);
    EXPECT_EQ(ChildrenFlag(inbox), 1);
    EXPECT_EQ(ChildrenFlag(Item({true, 2})), 0);  // no expand button without notes
    EXPECT_TRUE(Expanded(inbox));
    EXPECT_FALSE(Expanded(Item({true, 3})));

    // The selection is the program's own: no Select action.
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 11}));
    EXPECT_EQ(Count(TreeAction::Select), 0);

    // A rebuild replaces everything; keys that went have no row and every operation on them is quiet.
    ProjectTree smaller;
    smaller.projects.push_back(Project(3, "Work", true, {{31, "renamed"}}));
    sidebar_.Populate(smaller, 0, TreeItemKey{false, 99});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P3 Work", "  N31 renamed"}));
    EXPECT_EQ(sidebar_.ItemCount(), 2u);
    EXPECT_EQ(Item({false, 11}), nullptr);
    sidebar_.Select({false, 11});
    sidebar_.RemoveItem({true, 1});
    sidebar_.SetItemText({false, 10}, "x");
    sidebar_.ExpandProject(1);
    sidebar_.SetOpenNote(12);
    EXPECT_FALSE(sidebar_.EditLabel({false, 10}));
    EXPECT_EQ(sidebar_.ItemCount(), 2u);
    EXPECT_EQ(Count(TreeAction::Select), 0);
}

TEST_F(SidebarTreeTest, EmptyTreeAndUnencodableIds) {
    sidebar_.Populate(ProjectTree{}, 0, TreeItemKey{true, 1});
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(sidebar_.ItemCount(), 0u);
    EXPECT_EQ(sidebar_.GetSelection(), std::nullopt);

    // An id whose parameter would collide with another row's is refused rather than shown twice.
    ProjectTree odd;
    odd.projects.push_back(Project(int64_t{1} << 62, "huge", true, {}));
    odd.projects.push_back(Project(5, "fine", true, {{int64_t{1} << 62, "huge note"}, {6, "ok"}}));
    sidebar_.Populate(odd, 0, std::nullopt);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P5 fine", "  N6 ok"}));
    EXPECT_EQ(sidebar_.ItemCount(), 2u);
}

TEST_F(SidebarTreeTest, PopulateKeepsTheScrollPlaceOrScrollsToTheSelection) {
    const ProjectTree tall = TallTree(5, 6);  // 35 rows
    sidebar_.Populate(tall, 0, std::nullopt);
    ASSERT_TRUE(TreeView_SelectSetFirstVisible(tree(), Item({false, 302})));
    ASSERT_EQ(FirstVisible(), (TreeItemKey{false, 302}));

    sidebar_.Populate(tall, 0, TreeItemKey{false, 303});
    EXPECT_EQ(FirstVisible(), (TreeItemKey{false, 302}));

    // The first visible row is gone: the list starts at the top, then the selection is brought in.
    ProjectTree without = tall;
    without.projects[2].notes.erase(without.projects[2].notes.begin() + 2);
    sidebar_.Populate(without, 0, TreeItemKey{false, 501});
    EXPECT_TRUE(IsRowVisible(Item({false, 501})));
    EXPECT_NE(FirstVisible(), (TreeItemKey{true, 1}));

    sidebar_.Populate(without, 0, std::nullopt);
    sidebar_.Populate(ProjectTree{}, 0, std::nullopt);
    sidebar_.Populate(without, 0, std::nullopt);
    EXPECT_EQ(FirstVisible(), (TreeItemKey{true, 1}));
}

TEST_F(SidebarTreeTest, AddAndRemoveKeepTheExpandButtonInStep) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    HTREEITEM empty = Item({true, 2});
    ASSERT_EQ(ChildrenFlag(empty), 0);

    sidebar_.AddNote(NoteListRow{20, 2, "new", 0, 0});
    ASSERT_NE(Item({false, 20}), nullptr);
    EXPECT_EQ(Next(Item({false, 20}), TVGN_PARENT), empty);
    EXPECT_EQ(ChildrenFlag(empty), 1);
    EXPECT_TRUE(Expanded(empty));
    sidebar_.AddNote(NoteListRow{21, 2, "newer", 0, 0});
    EXPECT_EQ(Next(Item({false, 20}), TVGN_NEXT), Item({false, 21}));  // appended at the end

    sidebar_.AddNote(NoteListRow{40, 77, "orphan", 0, 0});  // no such project
    EXPECT_EQ(Item({false, 40}), nullptr);

    sidebar_.RemoveItem({false, 20});
    EXPECT_EQ(ChildrenFlag(empty), 1);
    sidebar_.RemoveItem({false, 21});
    EXPECT_EQ(ChildrenFlag(empty), 0);
    EXPECT_EQ(Item({false, 21}), nullptr);

    // A project goes with its notes, and so do their map entries.
    sidebar_.RemoveItem({true, 1});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P2 空", "P3 Work", "  N30 plan", "  N31 日本語のメモ"}));
    EXPECT_EQ(sidebar_.ItemCount(), 4u);
    EXPECT_EQ(Item({false, 10}), nullptr);
    EXPECT_EQ(Count(TreeAction::Select), 0);
}

TEST_F(SidebarTreeTest, SyncPutsOneRowWhereTheProjectTreeHasIt) {
    ProjectTree model = SmallTree();
    sidebar_.Populate(model, 0, std::nullopt);

    // A note moved to the front of another project.
    ASSERT_TRUE(model.MoveNote(12, 2, 0));
    sidebar_.Sync(model, {false, 12});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P1 Inbox", "  N10 first", "  N11 second", "P2 空", "  N12 third",
                                                "P3 Work", "  N30 plan", "  N31 日本語のメモ"}));
    EXPECT_EQ(ChildrenFlag(Item({true, 2})), 1);
    EXPECT_EQ(ChildrenFlag(Item({true, 1})), 1);

    // Within its project, to the middle.
    ASSERT_TRUE(model.MoveNote(31, 3, 0));
    sidebar_.Sync(model, {false, 31});
    EXPECT_EQ(Next(Item({false, 31}), TVGN_NEXT), Item({false, 30}));

    // A project to the first place, with its notes and expansion.
    ASSERT_TRUE(model.MoveProject(3, 0));
    sidebar_.Sync(model, {true, 3});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P3 Work", "  N31 日本語のメモ", "  N30 plan", "P1 Inbox",
                                                "  N10 first", "  N11 second", "P2 空", "  N12 third"}));
    EXPECT_FALSE(Expanded(Item({true, 3})));
    EXPECT_EQ(sidebar_.ItemCount(), 8u);

    // A key the model no longer has stays removed.
    model.RemoveNote(10);
    sidebar_.Sync(model, {false, 10});
    EXPECT_EQ(Item({false, 10}), nullptr);
    EXPECT_EQ(sidebar_.ItemCount(), 7u);
    EXPECT_EQ(Count(TreeAction::Select), 0);
}

TEST_F(SidebarTreeTest, SyncBehindAMissingRowAppendsAtTheEnd) {
    ProjectTree model = SmallTree();
    sidebar_.Populate(model, 0, std::nullopt);
    sidebar_.RemoveItem({true, 2});        // the row the moved project should follow
    ASSERT_TRUE(model.MoveProject(1, 1));  // order 2, 1, 3: project 1 follows the missing row 2
    sidebar_.Sync(model, {true, 1});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P3 Work", "  N30 plan", "  N31 日本語のメモ", "P1 Inbox",
                                                "  N10 first", "  N11 second", "  N12 third"}));
    EXPECT_TRUE(Expanded(Item({true, 1})));
}

TEST_F(SidebarTreeTest, SyncKeepsTheSelectionOrMovesItToACollapsedParent) {
    ProjectTree model = SmallTree();
    sidebar_.Populate(model, 0, TreeItemKey{false, 11});
    ASSERT_TRUE(model.MoveNote(11, 1, 0));
    sidebar_.Sync(model, {false, 11});
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 11}));

    // Note 11 moves into the collapsed project 3 while selected: its project takes the selection.
    ASSERT_TRUE(model.MoveNote(11, 3, 1));
    sidebar_.Sync(model, {false, 11});
    EXPECT_EQ(Next(Item({false, 11}), TVGN_PARENT), Item({true, 3}));
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{true, 3}));
    EXPECT_FALSE(Expanded(Item({true, 3})));
    EXPECT_EQ(Count(TreeAction::Select), 0);  // all of it the program's own doing
}

TEST_F(SidebarTreeTest, SyncOfSeveralRowsAtOncePutsEachWhereTheProjectTreeHasIt) {
    // As an import does it: new notes last in one project, all put in by one call.
    ProjectTree model = SmallTree();
    sidebar_.Populate(model, 0, TreeItemKey{false, 11});
    model.InsertNote(NoteListRow{20, 2, "imported a", 0, 0}, SIZE_MAX);
    model.InsertNote(NoteListRow{21, 2, "imported b", 0, 0}, SIZE_MAX);
    model.InsertNote(NoteListRow{13, 1, "imported c", 0, 0}, SIZE_MAX);
    model.RemoveNote(10);
    const std::vector<TreeItemKey> keys{{false, 20}, {false, 21}, {false, 13}, {false, 10}};
    sidebar_.Sync(model, keys);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"P1 Inbox", "  N11 second", "  N12 third", "  N13 imported c",
                                                "P2 空", "  N20 imported a", "  N21 imported b", "P3 Work",
                                                "  N30 plan", "  N31 日本語のメモ"}));
    EXPECT_EQ(ChildrenFlag(Item({true, 2})), 1);
    EXPECT_EQ(sidebar_.ItemCount(), 10u);
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 11}));
    EXPECT_EQ(Count(TreeAction::Select), 0);

    // The scroll place stays where it was for the whole batch.
    ProjectTree tall = TallTree(5, 6);
    sidebar_.Populate(tall, 0, std::nullopt);
    ASSERT_TRUE(TreeView_SelectSetFirstVisible(tree(), Item({false, 302})));
    std::vector<TreeItemKey> added;
    for (int64_t id = 106; id < 116; ++id) {
        tall.InsertNote(NoteListRow{id, 1, "note " + std::to_string(id), 0, 0}, SIZE_MAX);
        added.push_back({false, id});
    }
    sidebar_.Sync(tall, added);
    EXPECT_EQ(FirstVisible(), (TreeItemKey{false, 302}));
    EXPECT_EQ(Next(Item({false, 105}), TVGN_NEXT), Item({false, 106}));
    EXPECT_EQ(Next(Item({false, 115}), TVGN_NEXT), nullptr);
    EXPECT_EQ(sidebar_.ItemCount(), 45u);
}

TEST_F(SidebarTreeTest, SelectingAFirstNoteBringsItsProjectIntoView) {
    sidebar_.Populate(TallTree(5, 10), 0, std::nullopt);
    ASSERT_TRUE(TreeView_SelectSetFirstVisible(tree(), Item({false, 505})));
    sidebar_.Select({false, 300});
    EXPECT_TRUE(IsRowVisible(Item({false, 300})));
    EXPECT_TRUE(IsRowVisible(Item({true, 3})));
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 300}));

    // A later note does not drag its project along.
    ASSERT_TRUE(TreeView_SelectSetFirstVisible(tree(), Item({true, 1})));
    sidebar_.Select({false, 409});
    EXPECT_TRUE(IsRowVisible(Item({false, 409})));
    EXPECT_FALSE(IsRowVisible(Item({true, 4})));
    EXPECT_EQ(Count(TreeAction::Select), 0);
}

TEST_F(SidebarTreeTest, TheUsersSelectionAndExpansionBecomeActions) {
    sidebar_.Populate(SmallTree(), 0, TreeItemKey{true, 1});
    SetFocus(tree());
    actions_.clear();
    SendMessageW(tree(), WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(actions_.size(), 1u);
    EXPECT_EQ(actions_[0].kind, TreeAction::Select);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{false, 10}));
    EXPECT_FALSE(actions_[0].byMouse);

    actions_.clear();
    sidebar_.Select({true, 1});
    SendMessageW(tree(), WM_KEYDOWN, VK_LEFT, 0);  // collapses the selected project
    ASSERT_EQ(actions_.size(), 1u);
    EXPECT_EQ(actions_[0].kind, TreeAction::ExpandChanged);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{true, 1}));
    EXPECT_FALSE(actions_[0].expanded);

    actions_.clear();
    SendMessageW(tree(), WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_EQ(actions_.size(), 1u);
    EXPECT_EQ(actions_[0].kind, TreeAction::ExpandChanged);
    EXPECT_TRUE(actions_[0].expanded);

    // A click on a label selects by mouse.
    actions_.clear();
    const LPARAM at = At(LabelPoint(Item({true, 3})));
    PostMessageW(tree(), WM_LBUTTONUP, 0, at);  // ends the control's drag-detection loop
    SendMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    test::TestHostWindow::PumpMessages();
    ASSERT_FALSE(actions_.empty());
    EXPECT_EQ(actions_[0].kind, TreeAction::Select);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{true, 3}));
    EXPECT_TRUE(actions_[0].byMouse);
}

TEST_F(SidebarTreeTest, OnlyEditLabelOpensALabelEditor) {
    sidebar_.Populate(SmallTree(), 0, TreeItemKey{false, 10});
    // The control's own attempt (as after a slow second click on the selected label) is refused.
    EXPECT_EQ(TreeView_EditLabel(tree(), Item({false, 10})), nullptr);

    ASSERT_TRUE(sidebar_.EditLabel({false, 11}));
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 11}));
    HWND edit = TreeView_GetEditControl(tree());
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"改名 renamed");
    actions_.clear();
    TreeView_EndEditLabelNow(tree(), FALSE);
    test::TestHostWindow::PumpMessages();
    ASSERT_EQ(actions_.size(), 1u);  // one rename request, however often the control reports the end
    EXPECT_EQ(actions_[0].kind, TreeAction::EndLabelEdit);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{false, 11}));
    EXPECT_EQ(actions_[0].newText, std::optional<std::string>("改名 renamed"));
    // The label waits for the stored rename.
    EXPECT_EQ(Describe(Item({false, 11})), "N11 second");
    sidebar_.SetItemText({false, 11}, "改名 renamed");
    EXPECT_EQ(Describe(Item({false, 11})), "N11 改名 renamed");

    // Cancelled: no text.
    ASSERT_TRUE(sidebar_.EditLabel({true, 3}));
    actions_.clear();
    TreeView_EndEditLabelNow(tree(), TRUE);
    ASSERT_EQ(actions_.size(), 1u);
    EXPECT_EQ(actions_[0].kind, TreeAction::EndLabelEdit);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{true, 3}));
    EXPECT_EQ(actions_[0].newText, std::nullopt);
    EXPECT_EQ(Describe(Item({true, 3})), "P3 Work");
}

TEST_F(SidebarTreeTest, RightClickGivesAContextMenuWithTheRowUnderIt) {
    sidebar_.Populate(SmallTree(), 0, TreeItemKey{false, 10});
    actions_.clear();
    // Empty space below the last row: no item, the selection stays.
    const LPARAM below = MAKELPARAM(60, kHeight - 5);
    PostMessageW(tree(), WM_RBUTTONUP, 0, below);
    SendMessageW(tree(), WM_RBUTTONDOWN, MK_RBUTTON, below);
    test::TestHostWindow::PumpMessages();
    ASSERT_EQ(actions_.size(), 1u);
    EXPECT_EQ(actions_[0].kind, TreeAction::ContextMenu);
    EXPECT_EQ(actions_[0].item, std::nullopt);
    POINT screen{60, kHeight - 5};
    ClientToScreen(tree(), &screen);
    EXPECT_EQ(actions_[0].screenPoint.x, screen.x);
    EXPECT_EQ(actions_[0].screenPoint.y, screen.y);
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 10}));

    // On a row not yet selected: its Select action comes first.
    actions_.clear();
    const LPARAM on = At(LabelPoint(Item({true, 2})));
    PostMessageW(tree(), WM_RBUTTONUP, 0, on);
    SendMessageW(tree(), WM_RBUTTONDOWN, MK_RBUTTON, on);
    test::TestHostWindow::PumpMessages();
    ASSERT_EQ(actions_.size(), 2u);
    EXPECT_EQ(actions_[0].kind, TreeAction::Select);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{true, 2}));
    EXPECT_EQ(actions_[1].kind, TreeAction::ContextMenu);
    EXPECT_EQ(actions_[1].item, (TreeItemKey{true, 2}));
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{true, 2}));
}

TEST_F(SidebarTreeTest, DoubleClickOnALabelAsksForARenameAndNeverToggles) {
    sidebar_.Populate(SmallTree(), 0, TreeItemKey{true, 1});
    actions_.clear();
    HTREEITEM inbox = Item({true, 1});
    const LPARAM label = At(LabelPoint(inbox));
    SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, label);
    ASSERT_EQ(actions_.size(), 1u);
    EXPECT_EQ(actions_[0].kind, TreeAction::BeginLabelEdit);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{true, 1}));
    EXPECT_TRUE(Expanded(inbox));

    // Beside the label's zone, on the row's empty right part: nothing.
    actions_.clear();
    RECT row{};
    TreeView_GetItemRect(tree(), inbox, &row, FALSE);
    SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(kWidth - 40, (row.top + row.bottom) / 2));
    EXPECT_TRUE(actions_.empty());
    EXPECT_TRUE(Expanded(inbox));
}

TEST_F(SidebarTreeTest, HitTestNamesTheRowAndItsPart) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    HTREEITEM work = Item({true, 3});
    SidebarTree::Hit hit = sidebar_.HitTest(LabelPoint(work));
    EXPECT_EQ(hit.item, (TreeItemKey{true, 3}));
    EXPECT_EQ(hit.part, TreeHitPart::Label);

    TreeItemLayout layout;
    ASSERT_TRUE(sidebar_.ItemLayout(work, true, layout));
    EXPECT_EQ(layout.row.right, kWidth);
    hit = sidebar_.HitTest({(layout.addButton.left + layout.addButton.right) / 2, layout.row.top + 14});
    EXPECT_EQ(hit.part, TreeHitPart::AddButton);
    EXPECT_EQ(sidebar_.HitTest({60, kHeight - 5}).part, TreeHitPart::None);
    EXPECT_EQ(sidebar_.HitTest({60, kHeight - 5}).item, std::nullopt);
}

TEST_F(SidebarTreeTest, DpiSetsFontsRowHeightAndIndent) {
    EXPECT_EQ(TreeView_GetItemHeight(tree()), 28);
    EXPECT_EQ(TreeView_GetIndent(tree()), 20u);
    ASSERT_NE(sidebar_.font(), nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(tree(), WM_GETFONT, 0, 0)), sidebar_.font());
    LOGFONTW bold{};
    ASSERT_NE(sidebar_.boldFont(), nullptr);
    ASSERT_EQ(GetObjectW(sidebar_.boldFont(), sizeof(bold), &bold), static_cast<int>(sizeof(bold)));
    EXPECT_EQ(bold.lfWeight, FW_BOLD);

    const HFONT before = sidebar_.font();
    sidebar_.SetDpi(144);
    EXPECT_EQ(TreeView_GetItemHeight(tree()), 42);
    EXPECT_EQ(TreeView_GetIndent(tree()), 30u);
    EXPECT_NE(sidebar_.font(), before);
    LOGFONTW large{};
    ASSERT_EQ(GetObjectW(sidebar_.font(), sizeof(large), &large), static_cast<int>(sizeof(large)));
    EXPECT_LT(large.lfHeight, 0);
    EXPECT_EQ(sidebar_.GetWidth(), kWidth);
}

TEST_F(SidebarTreeTest, OpenNoteMovesWithoutARebuild) {
    sidebar_.Populate(SmallTree(), 10, std::nullopt);
    HTREEITEM first = Item({false, 10});
    sidebar_.SetOpenNote(31);
    EXPECT_EQ(sidebar_.openNoteId(), 31);
    EXPECT_EQ(Item({false, 10}), first);
    sidebar_.SetOpenNote(0);
    EXPECT_EQ(sidebar_.openNoteId(), 0);
}

TEST_F(SidebarTreeTest, NotificationsOfOtherWindowsAreIgnored) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    NMHDR header{};
    header.hwndFrom = host_->hwnd();
    header.code = NM_RCLICK;
    TreeAction action;
    action.kind = TreeAction::Select;
    EXPECT_EQ(sidebar_.OnNotify(header, action), 0);
    EXPECT_EQ(action.kind, TreeAction::None);
}

}  // namespace
}  // namespace lq
