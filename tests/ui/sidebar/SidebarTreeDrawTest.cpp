#include <gtest/gtest.h>

#include <string>

#include "SidebarTreeFixture.h"
#include "ui/sidebar/SidebarTree.h"

namespace lq {
namespace {

using test::Hex;
using test::PixelCapture;
using test::Project;
using test::SmallTree;

constexpr COLORREF kBackground = RGB(37, 37, 38);
constexpr COLORREF kSelected = RGB(55, 55, 61);
constexpr COLORREF kHovered = RGB(42, 45, 46);
constexpr COLORREF kAccent = RGB(52, 211, 153);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// The sidebar at one DPI, 250 x 200 DIP, painted through WM_PRINTCLIENT.
class SidebarDrawTest : public test::SidebarTreeFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        SidebarTreeFixture::SetUp();
        dpi_ = GetParam();
        sidebar_.SetDpi(dpi_);
        MoveWindow(tree(), 0, 0, Dip(test::kSidebarWidth), Dip(test::kSidebarHeight), FALSE);
    }
    LONG Dip(int value) const { return MulDiv(value, dpi_, 96); }
    std::unique_ptr<PixelCapture> Paint() const {
        auto canvas = std::make_unique<PixelCapture>(Dip(test::kSidebarWidth), Dip(test::kSidebarHeight), kMagenta);
        EXPECT_TRUE(canvas->ok());
        PaintInto(*canvas);
        return canvas;
    }
    // A pixel of the highlight left of the text, where only the fill shows.
    COLORREF HighlightFill(const PixelCapture& canvas, TreeItemKey key) const {
        const TreeItemLayout layout = Layout(key);
        return canvas.Pixel(layout.highlight.left + 1, (layout.highlight.top + layout.highlight.bottom) / 2);
    }
    int TextBrightness(const PixelCapture& canvas, TreeItemKey key) const {
        return canvas.Brightest(Layout(key).textDraw);
    }
    POINT PlusCentre(TreeItemKey key) const {
        const RECT& button = Layout(key).addButton;
        return {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    }
    // The middle of the open-note marker of a row: dip(6) (note) or dip(3) (project) left of the text.
    POINT MarkerPoint(TreeItemKey key) const {
        const TreeItemLayout layout = Layout(key);
        const LONG left = layout.text.left - (key.isProject ? Dip(3) : Dip(6));
        return {left + Dip(2) / 2, (layout.highlight.top + layout.highlight.bottom) / 2};
    }

    int dpi_ = 96;
};

TEST_P(SidebarDrawTest, RowsShowSelectionHoverAndTheOpenNote) {
    sidebar_.Populate(SmallTree(), 10, TreeItemKey{false, 11});
    SendMessageW(tree(), WM_MOUSEMOVE, 0, At(LabelPoint(Item({false, 12}))));
    ASSERT_EQ(sidebar_.hotItem(), Item({false, 12}));
    const auto canvas = Paint();

    EXPECT_EQ(HighlightFill(*canvas, {false, 11}), kSelected) << Hex(HighlightFill(*canvas, {false, 11}));
    EXPECT_EQ(HighlightFill(*canvas, {false, 12}), kHovered) << Hex(HighlightFill(*canvas, {false, 12}));
    EXPECT_EQ(HighlightFill(*canvas, {true, 2}), kBackground) << Hex(HighlightFill(*canvas, {true, 2}));
    // The control's own selection and text leave no trace beside the rows' own drawing.
    const RECT n11 = RowRect(Item({false, 11}));
    EXPECT_EQ(canvas->Pixel(1, (n11.top + n11.bottom) / 2), kBackground);
    EXPECT_EQ(canvas->Pixel(Dip(test::kSidebarWidth) - 2, (n11.top + n11.bottom) / 2), kBackground);

    // Text colours: notes 200, projects 216, the hovered row and the open note white.
    const int note = TextBrightness(*canvas, {false, 11});
    const int project = TextBrightness(*canvas, {true, 2});
    EXPECT_GE(note, 200 - 0x20);
    EXPECT_LE(note, 200);
    EXPECT_GE(project, 216 - 0x20);
    EXPECT_LE(project, 216);
    EXPECT_GT(TextBrightness(*canvas, {false, 12}), 216);
    EXPECT_GT(TextBrightness(*canvas, {false, 10}), 216);

    // The open note's marker, and none on its expanded project.
    const POINT marker = MarkerPoint({false, 10});
    EXPECT_EQ(canvas->Pixel(marker.x, marker.y), kAccent) << Hex(canvas->Pixel(marker.x, marker.y));
    EXPECT_EQ(canvas->CountOf(RowRect(Item({false, 11})), kAccent), 0);
    const POINT projectMarker = MarkerPoint({true, 1});
    EXPECT_NE(canvas->Pixel(projectMarker.x, projectMarker.y), kAccent);
}

TEST_P(SidebarDrawTest, ACollapsedProjectCarriesTheMarkerOfTheOpenNoteItHides) {
    sidebar_.Populate(SmallTree(), 31, std::nullopt);  // note 31 lies in the collapsed project 3
    auto canvas = Paint();
    POINT marker = MarkerPoint({true, 3});
    EXPECT_EQ(canvas->Pixel(marker.x, marker.y), kAccent) << Hex(canvas->Pixel(marker.x, marker.y));
    EXPECT_EQ(canvas->CountOf(RowRect(Item({true, 1})), kAccent), 0);

    TreeView_Expand(tree(), Item({true, 3}), TVE_EXPAND);
    canvas = Paint();
    EXPECT_NE(canvas->Pixel(marker.x, marker.y), kAccent);
    marker = MarkerPoint({false, 31});
    EXPECT_EQ(canvas->Pixel(marker.x, marker.y), kAccent) << Hex(canvas->Pixel(marker.x, marker.y));
}

TEST_P(SidebarDrawTest, ThePlusGlyphIsGreyBrightWhenHoveredAndDimmerWhilePressed) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    const POINT plus = PlusCentre({true, 3});
    const LONG half = (Dip(10) | 1) / 2;
    auto canvas = Paint();
    EXPECT_EQ(canvas->Pixel(plus.x, plus.y), RGB(138, 138, 138)) << Hex(canvas->Pixel(plus.x, plus.y));
    EXPECT_EQ(canvas->Pixel(plus.x - half, plus.y), RGB(138, 138, 138));
    EXPECT_EQ(canvas->Pixel(plus.x, plus.y - half), RGB(138, 138, 138));
    EXPECT_EQ(canvas->Pixel(plus.x + half + 1, plus.y), kBackground);  // the button has no face
    EXPECT_EQ(canvas->Pixel(plus.x + half, plus.y + half), kBackground);

    SendMessageW(tree(), WM_MOUSEMOVE, 0, At(plus));
    canvas = Paint();
    EXPECT_EQ(canvas->Pixel(plus.x, plus.y), RGB(255, 255, 255)) << Hex(canvas->Pixel(plus.x, plus.y));
    const POINT other = PlusCentre({true, 2});
    EXPECT_EQ(canvas->Pixel(other.x, other.y), RGB(138, 138, 138));

    SendMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, At(plus));
    canvas = Paint();
    EXPECT_EQ(canvas->Pixel(plus.x, plus.y), RGB(180, 180, 180)) << Hex(canvas->Pixel(plus.x, plus.y));
    SendMessageW(tree(), WM_LBUTTONUP, 0, At(plus));
    test::TestHostWindow::PumpMessages();
}

TEST_P(SidebarDrawTest, TheDropIndicatorIsALineOrAFrameInTheAccentColour) {
    sidebar_.Populate(SmallTree(), 0, std::nullopt);
    PressAndDragTo(LabelPoint(Item({false, 10})), RowPoint(Item({false, 12}), Dip(4)));
    ASSERT_TRUE(sidebar_.IsDragging());
    MoveTo(RowPoint(Item({false, 12}), Dip(4)));
    RECT mark = sidebar_.CurrentDropTarget().mark;
    auto canvas = Paint();
    EXPECT_EQ(canvas->CountOf(mark, kAccent), (mark.right - mark.left) * (mark.bottom - mark.top));
    EXPECT_EQ(canvas->Pixel(mark.left - 1, mark.top), kBackground);

    MoveTo(RowPoint(Item({true, 2}), Dip(4)));
    ASSERT_TRUE(sidebar_.CurrentDropTarget().into);
    mark = sidebar_.CurrentDropTarget().mark;
    canvas = Paint();
    EXPECT_EQ(canvas->Pixel(mark.left, mark.top), kAccent);
    EXPECT_EQ(canvas->Pixel(mark.right - 1, mark.bottom - 1), kAccent);
    EXPECT_EQ(canvas->Pixel(mark.left + 2, (mark.top + mark.bottom) / 2), kBackground);  // a frame, not a fill
    EXPECT_EQ(canvas->CountOf(RowRect(Item({false, 12})), kAccent), 0);                  // the old line is gone

    SendMessageW(tree(), WM_KEYDOWN, VK_ESCAPE, 0);
    canvas = Paint();
    EXPECT_EQ(canvas->CountOf(RowRect(Item({true, 2})), kAccent), 0);
}

TEST_P(SidebarDrawTest, TheEditedRowHasNoHighlightMarkerOrGlyph) {
    ShowWindow(host_->hwnd(), SW_SHOWNOACTIVATE);
    sidebar_.Populate(SmallTree(), 10, std::nullopt);
    ASSERT_TRUE(sidebar_.EditLabel({true, 2}));
    auto canvas = Paint();
    EXPECT_EQ(HighlightFill(*canvas, {true, 2}), kBackground);
    const POINT plus = PlusCentre({true, 2});
    EXPECT_EQ(canvas->Pixel(plus.x, plus.y), kBackground);
    EXPECT_EQ(canvas->Pixel(PlusCentre({true, 1}).x, PlusCentre({true, 1}).y), RGB(138, 138, 138));
    TreeView_EndEditLabelNow(tree(), TRUE);

    ASSERT_TRUE(sidebar_.EditLabel({false, 10}));
    canvas = Paint();
    const POINT marker = MarkerPoint({false, 10});
    EXPECT_NE(canvas->Pixel(marker.x, marker.y), kAccent);
    TreeView_EndEditLabelNow(tree(), TRUE);
    canvas = Paint();
    EXPECT_EQ(canvas->Pixel(marker.x, marker.y), kAccent);
}

TEST_P(SidebarDrawTest, ALongProjectNameEndsBeforeThePlusButton) {
    ProjectTree model;
    model.projects.push_back(Project(1, std::string(60, 'W') + " 長い名前のプロジェクト", false, {}));
    sidebar_.Populate(model, 0, std::nullopt);
    const auto canvas = Paint();
    const TreeItemLayout layout = Layout({true, 1});
    ASSERT_LT(layout.textDraw.right, layout.addButton.left);
    // Text up to the cut (its ellipsis), nothing between the cut and the button.
    EXPECT_GT(
        canvas->Brightest({layout.textDraw.right - Dip(24), layout.row.top, layout.textDraw.right, layout.row.bottom}),
        0x90);
    const RECT gap{layout.textDraw.right, layout.row.top, layout.addButton.left, layout.row.bottom};
    EXPECT_EQ(canvas->CountOf(gap, kBackground), (gap.right - gap.left) * (gap.bottom - gap.top));
    const POINT plus = PlusCentre({true, 1});
    EXPECT_EQ(canvas->Pixel(plus.x, plus.y), RGB(138, 138, 138));
}

INSTANTIATE_TEST_SUITE_P(AtDpi, SidebarDrawTest, ::testing::Values(96, 144),
                         [](const ::testing::TestParamInfo<int>& param) { return std::to_string(param.param); });

}  // namespace
}  // namespace lq
