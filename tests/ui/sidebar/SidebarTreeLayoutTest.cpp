#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>

#include "support/RectCompare.h"
#include "ui/sidebar/TreeItemKey.h"
#include "ui/sidebar/TreeItemLayout.h"

namespace lq {
namespace {

TEST(TreeItemParam, EncodesKindInBitZeroAndRoundTrips) {
    struct Case {
        TreeItemKey key;
        int64_t param;
    };
    const Case cases[] = {
        {{true, 1}, 3},
        {{false, 1}, 2},
        {{true, 0}, 1},
        {{false, 7}, 14},
        {{true, -1}, -1},
        {{false, -3}, -6},
        {{true, (int64_t{1} << 61)}, (int64_t{1} << 62) + 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeTreeItemParam(c.key), c.param) << c.key.id;
        EXPECT_EQ(DecodeTreeItemParam(c.param), c.key) << c.param;
    }
}

TEST(TreeItemParam, IdsBeyondSixtyTwoBitsAreNotEncodable) {
    EXPECT_TRUE(IsEncodableTreeId(0));
    EXPECT_TRUE(IsEncodableTreeId((int64_t{1} << 62) - 1));
    EXPECT_TRUE(IsEncodableTreeId(-(int64_t{1} << 62)));
    EXPECT_FALSE(IsEncodableTreeId(int64_t{1} << 62));
    EXPECT_FALSE(IsEncodableTreeId(std::numeric_limits<int64_t>::max()));
    EXPECT_FALSE(IsEncodableTreeId(std::numeric_limits<int64_t>::min()));
}

TEST(TreeItemLayout, ProjectRowKeepsTextAndHighlightLeftOfThePlusButton) {
    // 96 DPI, a 250 px sidebar, a 28 px row with a short label.
    TreeItemLayout layout = ComputeTreeItemLayout({0, 28, 250, 56}, {40, 30, 90, 54}, 250, 96, true, 2);
    EXPECT_EQ(layout.row, (RECT{0, 28, 250, 56}));
    EXPECT_EQ(layout.text, (RECT{40, 30, 90, 54}));
    EXPECT_EQ(layout.addButton, (RECT{220, 30, 244, 54}));
    EXPECT_EQ(layout.textDraw, (RECT{42, 28, 214, 56}));
    EXPECT_EQ(layout.highlight, (RECT{36, 31, 96, 53}));
    EXPECT_EQ(layout.labelZone, (RECT{34, 28, 200, 56}));

    // A label longer than the row: drawing stops 6 px before the button, highlight and zone at it.
    layout = ComputeTreeItemLayout({0, 28, 250, 56}, {40, 30, 300, 54}, 250, 96, true, 2);
    EXPECT_EQ(layout.textDraw.right, 214);
    EXPECT_EQ(layout.highlight.right, 219);
    EXPECT_EQ(layout.labelZone.right, 220);
}

TEST(TreeItemLayout, NoteRowsAndNarrowSidebars) {
    TreeItemLayout layout = ComputeTreeItemLayout({0, 56, 250, 84}, {60, 58, 100, 82}, 250, 96, false, 2);
    EXPECT_EQ(layout.addButton, (RECT{}));
    EXPECT_EQ(layout.textDraw, (RECT{62, 56, 238, 84}));
    EXPECT_EQ(layout.highlight, (RECT{56, 59, 106, 81}));
    EXPECT_EQ(layout.labelZone, (RECT{54, 56, 220, 84}));

    layout = ComputeTreeItemLayout({0, 56, 100, 84}, {60, 58, 150, 82}, 100, 96, false, 2);
    EXPECT_EQ(layout.highlight, (RECT{56, 59, 94, 81}));
    EXPECT_EQ(layout.labelZone, (RECT{54, 56, 92, 84}));

    // Narrower than the indent: nothing turns inside out.
    layout = ComputeTreeItemLayout({0, 56, 50, 84}, {60, 58, 150, 82}, 50, 96, false, 2);
    EXPECT_EQ(layout.highlight.right, layout.highlight.left);
    EXPECT_EQ(layout.labelZone.right, 60);
    EXPECT_GE(layout.textDraw.left, layout.textDraw.right);  // empty: no text is drawn
}

TEST(TreeItemLayout, ScalesWithDpi) {
    TreeItemLayout layout = ComputeTreeItemLayout({0, 56, 500, 112}, {80, 60, 180, 108}, 500, 192, true, 4);
    EXPECT_EQ(layout.addButton, (RECT{440, 60, 488, 108}));
    EXPECT_EQ(layout.textDraw, (RECT{84, 56, 428, 112}));
    EXPECT_EQ(layout.highlight, (RECT{72, 62, 192, 106}));
    EXPECT_EQ(layout.labelZone, (RECT{68, 56, 400, 112}));
}

TEST(ClassifyTreeHit, PartsOfARow) {
    const TreeItemLayout project = ComputeTreeItemLayout({0, 28, 250, 56}, {40, 30, 90, 54}, 250, 96, true, 2);
    const TreeItemLayout longProject = ComputeTreeItemLayout({0, 28, 250, 56}, {40, 30, 300, 54}, 250, 96, true, 2);
    const TreeItemLayout note = ComputeTreeItemLayout({0, 28, 250, 56}, {40, 30, 90, 54}, 250, 96, false, 2);
    struct Case {
        const char* name;
        UINT flags;
        bool isProject;
        const TreeItemLayout* layout;
        POINT point;
        TreeHitPart part;
    };
    const Case cases[] = {
        {"nowhere", TVHT_NOWHERE, true, &project, {60, 40}, TreeHitPart::None},
        {"below the rows", TVHT_BELOW, true, &project, {60, 40}, TreeHitPart::None},
        {"plus button", TVHT_ONITEMRIGHT, true, &project, {230, 40}, TreeHitPart::AddButton},
        {"no plus button on notes", TVHT_ONITEMRIGHT, false, &note, {230, 40}, TreeHitPart::Row},
        {"expand button", TVHT_ONITEMBUTTON, true, &project, {20, 40}, TreeHitPart::ExpandButton},
        {"on the text", TVHT_ONITEMLABEL, false, &note, {60, 40}, TreeHitPart::Label},
        {"text's right edge", TVHT_ONITEMLABEL, false, &note, {90, 40}, TreeHitPart::LabelZone},
        {"beside the text", TVHT_ONITEMRIGHT, false, &note, {150, 40}, TreeHitPart::LabelZone},
        {"past the zone", TVHT_ONITEMRIGHT, true, &project, {200, 40}, TreeHitPart::Row},
        {"indent", TVHT_ONITEMINDENT, false, &note, {10, 40}, TreeHitPart::Row},
        {"text hidden by the button", TVHT_ONITEMLABEL, true, &longProject, {216, 40}, TreeHitPart::LabelZone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyTreeHit(c.flags, c.isProject, *c.layout, c.point), c.part) << c.name;
    }
}

}  // namespace
}  // namespace lq
