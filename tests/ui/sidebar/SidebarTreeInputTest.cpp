#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "SidebarTreeFixture.h"
#include "ui/sidebar/SidebarTree.h"

namespace lq {
namespace {

using test::SmallTree;

constexpr int kWidth = test::kSidebarWidth;

class SidebarClickTest : public test::SidebarTreeFixture {
protected:
    void SetUp() override {
        SidebarTreeFixture::SetUp();
        sidebar_.Populate(SmallTree(), 0, TreeItemKey{false, 12});
        actions_.clear();
        reports_.clear();
    }
    // A point of the row that HitTest names as `part`, found by walking along its middle from the
    // left (from the right for the row's empty part, which lies on both sides of the label).
    POINT PointOn(TreeItemKey key, TreeHitPart part) const {
        const RECT row = RowRect(Item(key));
        const LONG y = (row.top + row.bottom) / 2;
        for (LONG step = 0; step < kWidth; ++step) {
            const LONG x = part == TreeHitPart::Row ? kWidth - 1 - step : step;
            if (sidebar_.HitTest({x, y}).part == part) return {x, y};
        }
        ADD_FAILURE() << "no such part on the row";
        return {0, y};
    }
};

TEST_F(SidebarClickTest, PressesOnALabelOrBesideItSelectAndLetTheFocusGoToTheEditor) {
    Click(LabelPoint(Item({false, 11})));
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 11}));
    EXPECT_EQ(Reports(kSidebarReportPressHandled), (std::vector<LPARAM>{1}));
    ASSERT_FALSE(actions_.empty());
    EXPECT_TRUE(actions_[0].byMouse);

    // Beside the short label "first": the press is moved onto the text, so the control selects it.
    reports_.clear();
    const RECT row = RowRect(Item({false, 10}));
    const POINT zone{TextRect(Item({false, 10})).right + 10, (row.top + row.bottom) / 2};
    ASSERT_EQ(sidebar_.HitTest(zone).part, TreeHitPart::LabelZone);
    Click(zone);
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 10}));
    EXPECT_EQ(Reports(kSidebarReportPressHandled), (std::vector<LPARAM>{1}));
}

TEST_F(SidebarClickTest, APressOnTheEmptyRightPartOfARowDoesNothing) {
    const POINT empty = PointOn({false, 10}, TreeHitPart::Row);
    EXPECT_GE(empty.x, Layout({false, 10}).labelZone.right);
    Click(empty);
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 12}));
    EXPECT_TRUE(actions_.empty());
    EXPECT_TRUE(reports_.empty());
}

TEST_F(SidebarClickTest, ExpandButtonsToggleOnEveryClickOfADoubleClick) {
    HTREEITEM inbox = Item({true, 1});
    const POINT button = PointOn({true, 1}, TreeHitPart::ExpandButton);
    SendMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, At(button));
    SendMessageW(tree(), WM_LBUTTONUP, 0, At(button));
    EXPECT_FALSE(Expanded(inbox));
    EXPECT_EQ(Reports(kSidebarReportPressHandled), (std::vector<LPARAM>{0}));

    SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(button));
    SendMessageW(tree(), WM_LBUTTONUP, 0, At(button));
    EXPECT_TRUE(Expanded(inbox));
    EXPECT_EQ(Reports(kSidebarReportPressHandled), (std::vector<LPARAM>{0, 0}));
    EXPECT_EQ(Count(TreeAction::BeginLabelEdit), 0);

    // A double-click on the empty part of a row does nothing at all.
    reports_.clear();
    actions_.clear();
    const POINT empty = PointOn({false, 11}, TreeHitPart::Row);
    SendMessageW(tree(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(empty));
    EXPECT_TRUE(reports_.empty());
    EXPECT_TRUE(actions_.empty());
}

TEST_F(SidebarClickTest, ThePlusButtonAsksForANoteWithoutSelectingOrExpanding) {
    HTREEITEM work = Item({true, 3});  // collapsed
    const TreeItemLayout layout = Layout({true, 3});
    const POINT plus{(layout.addButton.left + layout.addButton.right) / 2, (layout.row.top + layout.row.bottom) / 2};
    ASSERT_EQ(sidebar_.HitTest(plus).part, TreeHitPart::AddButton);

    SendMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, At(plus));
    EXPECT_TRUE(reports_.empty());  // posted: the note is made after the press has returned
    test::TestHostWindow::PumpMessages();
    EXPECT_EQ(Reports(kSidebarReportAddNote), (std::vector<LPARAM>{EncodeTreeItemParam({true, 3})}));
    EXPECT_TRUE(Reports(kSidebarReportPressHandled).empty());
    EXPECT_EQ(sidebar_.pressedAddItem(), work);
    EXPECT_EQ(GetCapture(), tree());
    EXPECT_EQ(sidebar_.GetSelection(), (TreeItemKey{false, 12}));
    EXPECT_FALSE(Expanded(work));
    EXPECT_TRUE(actions_.empty());

    SendMessageW(tree(), WM_LBUTTONUP, 0, At(plus));
    EXPECT_EQ(sidebar_.pressedAddItem(), nullptr);
    EXPECT_NE(GetCapture(), tree());

    // Losing the capture releases the button too.
    SendMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, At(plus));
    ASSERT_EQ(sidebar_.pressedAddItem(), work);
    ReleaseCapture();
    EXPECT_EQ(sidebar_.pressedAddItem(), nullptr);
    test::TestHostWindow::PumpMessages();
}

TEST_F(SidebarClickTest, ThePlusButtonEndsALabelEditKeepingItsText) {
    ASSERT_TRUE(sidebar_.EditLabel({false, 10}));
    HWND edit = TreeView_GetEditControl(tree());
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"kept");
    actions_.clear();
    const TreeItemLayout layout = Layout({true, 2});
    const POINT plus{(layout.addButton.left + layout.addButton.right) / 2, (layout.row.top + layout.row.bottom) / 2};
    SendMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, At(plus));
    SendMessageW(tree(), WM_LBUTTONUP, 0, At(plus));
    test::TestHostWindow::PumpMessages();
    EXPECT_EQ(TreeView_GetEditControl(tree()), nullptr);
    ASSERT_EQ(Count(TreeAction::EndLabelEdit), 1);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{false, 10}));
    EXPECT_EQ(actions_[0].newText, std::optional<std::string>("kept"));
    EXPECT_EQ(Reports(kSidebarReportAddNote), (std::vector<LPARAM>{EncodeTreeItemParam({true, 2})}));
}

TEST_F(SidebarClickTest, HoverFollowsTheLabelOrThePlusButtonOnly) {
    const struct {
        TreeItemKey row;
        TreeHitPart under;
        bool hot;
        TreeHitPart hotPart;
    } cases[] = {
        {{false, 11}, TreeHitPart::Label, true, TreeHitPart::Label},
        {{false, 10}, TreeHitPart::LabelZone, true, TreeHitPart::Label},
        {{true, 3}, TreeHitPart::AddButton, true, TreeHitPart::AddButton},
        {{true, 1}, TreeHitPart::ExpandButton, false, TreeHitPart::None},
        {{false, 10}, TreeHitPart::Row, false, TreeHitPart::None},
    };
    for (const auto& c : cases) {
        SendMessageW(tree(), WM_MOUSEMOVE, 0, At(PointOn(c.row, c.under)));
        EXPECT_EQ(sidebar_.hotItem(), c.hot ? Item(c.row) : nullptr) << static_cast<int>(c.under);
        EXPECT_EQ(sidebar_.hotPart(), c.hotPart) << static_cast<int>(c.under);
    }
    SendMessageW(tree(), WM_MOUSEMOVE, 0, At(LabelPoint(Item({false, 12}))));
    ASSERT_EQ(sidebar_.hotItem(), Item({false, 12}));
    SendMessageW(tree(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(sidebar_.hotItem(), nullptr);
    EXPECT_EQ(sidebar_.hotPart(), TreeHitPart::None);

    // A drag takes the hover away, and the removal of the hot row forgets it.
    SendMessageW(tree(), WM_MOUSEMOVE, 0, At(LabelPoint(Item({false, 12}))));
    PressAndDragTo(LabelPoint(Item({false, 12})), LabelPoint(Item({false, 10})));
    ASSERT_TRUE(sidebar_.IsDragging());
    EXPECT_EQ(sidebar_.hotItem(), nullptr);
    ReleaseAt(LabelPoint(Item({false, 10})));
    SendMessageW(tree(), WM_MOUSEMOVE, 0, At(LabelPoint(Item({false, 11}))));
    ASSERT_EQ(sidebar_.hotItem(), Item({false, 11}));
    sidebar_.RemoveItem({false, 11});
    EXPECT_EQ(sidebar_.hotItem(), nullptr);
}

}  // namespace
}  // namespace lq
