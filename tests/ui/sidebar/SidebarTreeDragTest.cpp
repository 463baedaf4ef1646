#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "SidebarTreeFixture.h"
#include "support/RectCompare.h"
#include "ui/sidebar/SidebarTree.h"

namespace lq {

inline std::ostream& operator<<(std::ostream& out, const TreeMove& move) {
    return out << "{" << (move.item.isProject ? "P" : "N") << move.item.id << " to project " << move.projectId << " at "
               << move.index << "}";
}

namespace {

using test::SmallTree;
using test::TallTree;
using SidebarDragTest = test::SidebarTreeFixture;

constexpr int kWidth = test::kSidebarWidth;
constexpr int kHeight = test::kSidebarHeight;

// SmallTree at 96 DPI shows P1, N10, N11, N12, P2 and P3 (collapsed), 28 px a row.
constexpr int kUpperHalf = 4;   // pixels below a row's top
constexpr int kLowerHalf = -4;  // pixels above a row's bottom

TEST_F(SidebarDragTest, DroppedRowsLeaveThePendingMoveTheDropRulesGive) {
    struct Case {
        const char* what;
        TreeItemKey from;
        TreeItemKey over;
        int offset;
        TreeMove expected;
    };
    const Case cases[] = {
        {"note after a note of its project", {false, 10}, {false, 12}, kLowerHalf, {{false, 10}, 1, 2}},
        {"note before the first note", {false, 12}, {false, 10}, kUpperHalf, {{false, 12}, 1, 0}},
        {"note into an empty project", {false, 11}, {true, 2}, kUpperHalf, {{false, 11}, 2, 0}},
        {"note into a collapsed project, last", {false, 11}, {true, 3}, kLowerHalf, {{false, 11}, 3, 2}},
        {"note onto its own project's row", {false, 10}, {true, 1}, kLowerHalf, {{false, 10}, 1, 2}},
        {"note just below itself", {false, 11}, {false, 11}, kLowerHalf, {{false, 11}, 1, 1}},
        {"project before the first", {true, 3}, {true, 1}, kUpperHalf, {{true, 3}, 0, 0}},
        {"project over a note: after its project", {true, 3}, {false, 11}, kUpperHalf, {{true, 3}, 0, 1}},
        {"project to the end", {true, 1}, {true, 3}, kLowerHalf, {{true, 1}, 0, 2}},
    };
    for (const Case& c : cases) {
        sidebar_.Populate(SmallTree(), 0, TreeItemKey{true, 2});
        reports_.clear();
        movesTaken_.clear();
        DragAndDrop(LabelPoint(Item(c.from)), RowPoint(Item(c.over), c.offset));
        ASSERT_EQ(movesTaken_.size(), 1u) << c.what;  // one report at the end, none for the press
        EXPECT_EQ(movesTaken_[0], std::optional<TreeMove>(c.expected)) << c.what;
        EXPECT_TRUE(Reports(kSidebarReportPressHandled).empty()) << c.what;
        EXPECT_EQ(sidebar_.TakePendingMove(), std::nullopt) << c.what;  // taken once
        EXPECT_NE(GetCapture(), tree()) << c.what;
        EXPECT_FALSE(KillTimer(tree(), kDragScrollTimerId)) << c.what;  // the auto-scroll timer is gone
        // The tree only reports: its rows stay as they were until the main window syncs them.
        EXPECT_EQ(Rows().size(), 8u) << c.what;
    }
}

TEST_F(SidebarDragTest, TheIndicatorIsALineOnARowEdgeOrAFrameAroundAProject) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    PressAndDragTo(LabelPoint(Item({false, 10})), RowPoint(Item({false, 12}), kUpperHalf));
    ASSERT_TRUE(sidebar_.IsDragging());
    EXPECT_EQ(GetCapture(), tree());

    const RECT n12 = TextRect(Item({false, 12}));
    const RECT n12Row = RowRect(Item({false, 12}));
    MoveTo(RowPoint(Item({false, 12}), kUpperHalf));
    EXPECT_TRUE(sidebar_.CurrentDropTarget().valid);
    EXPECT_FALSE(sidebar_.CurrentDropTarget().into);
    EXPECT_EQ(sidebar_.CurrentDropTarget().mark, (RECT{n12.left - 6, n12Row.top - 1, kWidth - 8, n12Row.top + 1}));
    MoveTo(RowPoint(Item({false, 12}), kLowerHalf));
    EXPECT_EQ(sidebar_.CurrentDropTarget().mark,
              (RECT{n12.left - 6, n12Row.bottom - 1, kWidth - 8, n12Row.bottom + 1}));

    MoveTo(RowPoint(Item({true, 2}), kUpperHalf));
    EXPECT_TRUE(sidebar_.CurrentDropTarget().into);
    EXPECT_EQ(sidebar_.CurrentDropTarget().mark, Layout({true, 2}).highlight);

    // Beside the sidebar the row at the pointer's height still counts.
    MoveTo({kWidth + 40, RowPoint(Item({false, 12}), kUpperHalf).y});
    EXPECT_FALSE(sidebar_.CurrentDropTarget().into);
    EXPECT_EQ(sidebar_.CurrentDropTarget().mark, (RECT{n12.left - 6, n12Row.top - 1, kWidth - 8, n12Row.top + 1}));
    MoveTo({-30, RowPoint(Item({false, 12}), kUpperHalf).y});
    EXPECT_EQ(sidebar_.CurrentDropTarget().mark, (RECT{n12.left - 6, n12Row.top - 1, kWidth - 8, n12Row.top + 1}));
    // Below every row: the last visible row (the collapsed project 3).
    MoveTo({60, kHeight - 5});
    EXPECT_EQ(sidebar_.CurrentDropTarget().projectId, 3);
    ReleaseAt({60, kHeight - 5});
    ASSERT_EQ(movesTaken_.size(), 1u);
    EXPECT_EQ(movesTaken_[0], (TreeMove{{false, 10}, 3, 2}));
}

TEST_F(SidebarDragTest, AProjectDraggedPastTheLastOneMarksTheLastVisibleRowsBottom) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    PressAndDragTo(LabelPoint(Item({true, 1})), RowPoint(Item({true, 3}), kLowerHalf));
    ASSERT_TRUE(sidebar_.IsDragging());
    MoveTo(RowPoint(Item({true, 3}), kLowerHalf));
    const RECT p3 = TextRect(Item({true, 3}));
    const LONG bottom = RowRect(Item({true, 3})).bottom;
    // The line fills the last two pixels of the last visible row.
    EXPECT_EQ(sidebar_.CurrentDropTarget().mark, (RECT{p3.left - 6, bottom - 2, kWidth - 8, bottom}));
    EXPECT_EQ(sidebar_.CurrentDropTarget().index, 2);

    // After project 1 (expanded): on project 2's top edge, below project 1's notes.
    MoveTo(RowPoint(Item({false, 11}), kUpperHalf));
    const RECT p1 = TextRect(Item({true, 1}));
    const LONG p2Top = RowRect(Item({true, 2})).top;
    EXPECT_EQ(sidebar_.CurrentDropTarget().mark, (RECT{p1.left - 6, p2Top - 1, kWidth - 8, p2Top + 1}));
    EXPECT_EQ(sidebar_.CurrentDropTarget().index, 0);
    ReleaseAt(RowPoint(Item({false, 11}), kUpperHalf));
    EXPECT_EQ(movesTaken_.at(0), (TreeMove{{true, 1}, 0, 0}));  // its own place
}

TEST_F(SidebarDragTest, EscTheRightButtonFocusOrCaptureLossCancelTheDrag) {
    const struct {
        const char* what;
        void (*cancel)(HWND tree, HWND host);
    } cases[] = {
        {"Esc", [](HWND tree, HWND) { SendMessageW(tree, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"right button", [](HWND tree, HWND) { SendMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 20)); }},
        {"focus loss", [](HWND tree, HWND) { SendMessageW(tree, WM_KILLFOCUS, 0, 0); }},
        {"capture taken", [](HWND, HWND host) { SetCapture(host); }},
    };
    for (const auto& c : cases) {
        sidebar_.Populate(SmallTree(), 0, TreeItemKey{false, 11});
        movesTaken_.clear();
        PressAndDragTo(LabelPoint(Item({false, 10})), RowPoint(Item({false, 12}), kLowerHalf));
        ASSERT_TRUE(sidebar_.IsDragging()) << c.what;
        MoveTo(RowPoint(Item({false, 12}), kLowerHalf));
        ASSERT_TRUE(sidebar_.CurrentDropTarget().valid) << c.what;

        // Other keys do nothing while the drag runs.
        SendMessageW(tree(), WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_TRUE(sidebar_.IsDragging()) << c.what;
        EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 11})) << c.what;

        c.cancel(tree(), host_->hwnd());
        EXPECT_FALSE(sidebar_.IsDragging()) << c.what;
        ASSERT_EQ(movesTaken_.size(), 1u) << c.what;
        EXPECT_EQ(movesTaken_[0], std::nullopt) << c.what;
        EXPECT_FALSE(KillTimer(tree(), kDragScrollTimerId)) << c.what;
        // The release that follows is an ordinary one.
        ReleaseAt(RowPoint(Item({false, 12}), kLowerHalf));
        EXPECT_EQ(movesTaken_.size(), 1u) << c.what;
        if (GetCapture()) ReleaseCapture();
    }
}

TEST_F(SidebarDragTest, APointerHeldOutsideScrollsOneRowPerTick) {
    sidebar_.Populate(TallTree(5, 6), 0, std::nullopt);  // 35 rows, 7 on screen
    ASSERT_TRUE(TreeView_SelectSetFirstVisible(tree(), Item({false, 302})));
    PressAndDragTo(LabelPoint(Item({false, 303})), {60, -20});
    ASSERT_TRUE(sidebar_.IsDragging());
    MoveTo({60, -20});

    SendMessageW(tree(), WM_TIMER, kDragScrollTimerId, 0);
    EXPECT_EQ(FirstVisible(), (TreeItemKey{false, 301}));
    SendMessageW(tree(), WM_TIMER, kDragScrollTimerId, 0);
    EXPECT_EQ(FirstVisible(), (TreeItemKey{false, 300}));
    // The target is the first visible row's top.
    EXPECT_EQ(sidebar_.CurrentDropTarget().index, 0);
    EXPECT_EQ(sidebar_.CurrentDropTarget().projectId, 3);
    EXPECT_EQ(sidebar_.CurrentDropTarget().mark.top, -1);

    // Below the control it scrolls the other way; in the middle it stays.
    MoveTo({60, kHeight + 20});
    SendMessageW(tree(), WM_TIMER, kDragScrollTimerId, 0);
    EXPECT_EQ(FirstVisible(), (TreeItemKey{false, 301}));
    MoveTo({60, kHeight / 2});
    SendMessageW(tree(), WM_TIMER, kDragScrollTimerId, 0);
    EXPECT_EQ(FirstVisible(), (TreeItemKey{false, 301}));

    SendMessageW(tree(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(sidebar_.IsDragging());
}

TEST_F(SidebarDragTest, ScrollingDuringADragLeavesNoCopiesOfTheIndicator) {
    // What the screen shows: the control scrolls its painted pixels, the indicator among them.
    ShowWindow(host_->hwnd(), SW_SHOWNOACTIVATE);
    sidebar_.Populate(TallTree(5, 6), 0, std::nullopt);
    ASSERT_TRUE(TreeView_SelectSetFirstVisible(tree(), Item({false, 302})));
    UpdateWindow(tree());
    PressAndDragTo(LabelPoint(Item({false, 303})), {60, -20});
    ASSERT_TRUE(sidebar_.IsDragging());
    MoveTo({60, -20});
    UpdateWindow(tree());
    for (int tick = 0; tick < 2; ++tick) {
        SendMessageW(tree(), WM_TIMER, kDragScrollTimerId, 0);
        UpdateWindow(tree());
    }
    ASSERT_EQ(FirstVisible(), (TreeItemKey{false, 300}));

    test::PixelCapture screen(kWidth, kHeight, RGB(255, 0, 255));
    ASSERT_TRUE(screen.ok());
    HDC window = GetDC(tree());
    BitBlt(screen.dc(), 0, 0, kWidth, kHeight, window, 0, 0, SRCCOPY);
    ReleaseDC(tree(), window);
    const RECT below{0, sidebar_.CurrentDropTarget().mark.bottom + 1, kWidth, kHeight};
    EXPECT_EQ(screen.CountOf(below, RGB(52, 211, 153)), 0);
    EXPECT_GT(screen.CountOf(RECT{0, 0, kWidth, 2}, RGB(52, 211, 153)), 0);
    SendMessageW(tree(), WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(SidebarDragTest, RowsRebuiltDuringADragEndIt) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    PressAndDragTo(LabelPoint(Item({false, 10})), RowPoint(Item({false, 12}), kLowerHalf));
    ASSERT_TRUE(sidebar_.IsDragging());
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    EXPECT_FALSE(sidebar_.IsDragging());
    ASSERT_EQ(movesTaken_.size(), 1u);
    EXPECT_EQ(movesTaken_[0], std::nullopt);

    PressAndDragTo(LabelPoint(Item({false, 11})), RowPoint(Item({false, 12}), kLowerHalf));
    ASSERT_TRUE(sidebar_.IsDragging());
    sidebar_.RemoveItem({true, 1});  // with the dragged note in it
    EXPECT_FALSE(sidebar_.IsDragging());
    EXPECT_EQ(movesTaken_.size(), 2u);
}

TEST_F(SidebarDragTest, NoDragStartsWhileALabelIsEdited) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    ASSERT_TRUE(sidebar_.EditLabel({false, 11}));
    NMTREEVIEWW begin{};
    begin.hdr.hwndFrom = tree();
    begin.hdr.code = TVN_BEGINDRAGW;
    begin.itemNew.hItem = Item({false, 10});
    begin.itemNew.lParam = EncodeTreeItemParam({false, 10});
    TreeAction action;
    sidebar_.OnNotify(begin.hdr, action);
    EXPECT_FALSE(sidebar_.IsDragging());
    TreeView_EndEditLabelNow(tree(), TRUE);

    // Without the edit box the same notification starts one.
    sidebar_.OnNotify(begin.hdr, action);
    EXPECT_TRUE(sidebar_.IsDragging());
    SendMessageW(tree(), WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace
}  // namespace lq
