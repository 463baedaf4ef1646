#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "SidebarTreeFixture.h"
#include "support/RectCompare.h"
#include "ui/sidebar/SidebarTree.h"

namespace lq {
namespace {

using test::SmallTree;

constexpr COLORREF kAccent = RGB(52, 211, 153);
constexpr COLORREF kEditBackground = RGB(60, 60, 60);

class SidebarLabelEditTest : public test::SidebarTreeFixture {
protected:
    // Sizes the control for `dpi` (the sidebar's 250 x 200 DIP), fills it and opens the box on `key`.
    // The host is shown, as the sidebar is whenever a label is edited: a box shown inside a hidden
    // window is never asked where it goes.
    HWND OpenAt(int dpi, TreeItemKey key) {
        ShowWindow(host_->hwnd(), SW_SHOWNOACTIVATE);
        sidebar_.SetDpi(dpi);
        MoveWindow(tree(), 0, 0, MulDiv(test::kSidebarWidth, dpi, 96), MulDiv(test::kSidebarHeight, dpi, 96), FALSE);
        sidebar_.Populate(SmallTree(), 0, std::nullopt);
        if (!sidebar_.EditLabel(key)) return nullptr;
        return TreeView_GetEditControl(tree());
    }
    RECT BoxRect(HWND edit) const {
        RECT box{};
        GetWindowRect(edit, &box);
        MapWindowPoints(nullptr, tree(), reinterpret_cast<POINT*>(&box), 2);
        return box;
    }
    static LONG FontHeight(HWND edit) {
        HDC dc = GetDC(edit);
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(edit, dc);
        return metrics.tmHeight;
    }
    // A key as the message loop delivers it: the key press, then its character when the box is still there.
    static void Press(HWND edit, WPARAM key, wchar_t character) {
        SendMessageW(edit, WM_KEYDOWN, key, 1);
        if (IsWindow(edit)) SendMessageW(edit, WM_CHAR, character, 1);
        test::TestHostWindow::PumpMessages();
    }
};

TEST_F(SidebarLabelEditTest, TheBoxSpansFromBesideTheTextToTheSidebarsEdgeWhateverTheControlProposes) {
    for (int dpi : {96, 144}) {
        const auto dip = [dpi](int value) { return static_cast<LONG>(MulDiv(value, dpi, 96)); };
        HWND edit = OpenAt(dpi, {false, 11});
        ASSERT_NE(edit, nullptr) << dpi;
        EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), kLabelEditLimit) << dpi;
        EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELONG(dip(4) - 1, dip(4) - 1)) << dpi;

        const RECT row = RowRect(Item({false, 11}));
        const RECT text = TextRect(Item({false, 11}));
        const LONG height = std::min(FontHeight(edit) + 2 * dip(2) + 2, row.bottom - row.top);
        const LONG top = row.top + (row.bottom - row.top - height) / 2;
        const RECT expected{text.left - dip(4), top, MulDiv(test::kSidebarWidth, dpi, 96) - dip(4), top + height};
        EXPECT_EQ(BoxRect(edit), expected) << dpi;

        SetWindowPos(edit, nullptr, 2, 2, 20, 10, SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(BoxRect(edit), expected) << dpi;
        for (wchar_t c : std::wstring(L" and more")) {
            SendMessageW(edit, WM_CHAR, c, 1);
        }
        EXPECT_EQ(BoxRect(edit), expected) << dpi;
        TreeView_EndEditLabelNow(tree(), TRUE);
    }
}

TEST_F(SidebarLabelEditTest, TypingStopsAtTheLimit) {
    HWND edit = OpenAt(96, {true, 3});
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, std::wstring(kLabelEditLimit - 2, L'x').c_str());
    SendMessageW(edit, EM_SETSEL, kLabelEditLimit, kLabelEditLimit);
    for (int i = 0; i < 5; ++i) SendMessageW(edit, WM_CHAR, L'あ', 1);
    EXPECT_EQ(GetWindowTextLengthW(edit), kLabelEditLimit);
    TreeView_EndEditLabelNow(tree(), TRUE);
}

TEST_F(SidebarLabelEditTest, EnterKeepsTheTextAndEscCancels) {
    HWND edit = OpenAt(96, {false, 11});
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(sidebar_.editItem(), Item({false, 11}));
    SetWindowTextW(edit, L"新しい名前");
    actions_.clear();
    Press(edit, VK_RETURN, L'\r');
    EXPECT_EQ(TreeView_GetEditControl(tree()), nullptr);
    EXPECT_EQ(sidebar_.editItem(), nullptr);
    ASSERT_EQ(actions_.size(), 1u);
    EXPECT_EQ(actions_[0].kind, TreeAction::EndLabelEdit);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{false, 11}));
    EXPECT_EQ(actions_[0].newText, std::optional<std::string>("新しい名前"));

    ASSERT_TRUE(sidebar_.EditLabel({true, 3}));
    edit = TreeView_GetEditControl(tree());
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"thrown away");
    actions_.clear();
    Press(edit, VK_ESCAPE, L'\x1b');
    EXPECT_EQ(TreeView_GetEditControl(tree()), nullptr);
    ASSERT_EQ(actions_.size(), 1u);
    EXPECT_EQ(actions_[0].kind, TreeAction::EndLabelEdit);
    EXPECT_EQ(actions_[0].item, (TreeItemKey{true, 3}));
    EXPECT_EQ(actions_[0].newText, std::nullopt);
    EXPECT_EQ(Describe(Item({true, 3})), "P3 Work");
}

TEST_F(SidebarLabelEditTest, TheBoxIsDarkWithAGreenBorder) {
    HWND edit = OpenAt(96, {false, 10});
    ASSERT_NE(edit, nullptr);

    test::PixelCapture probe(4, 4, RGB(255, 0, 255));
    ASSERT_TRUE(probe.ok());
    const LRESULT brush =
        SendMessageW(tree(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(probe.dc()), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH)));
    EXPECT_EQ(GetTextColor(probe.dc()), RGB(204, 204, 204));
    EXPECT_EQ(GetBkColor(probe.dc()), kEditBackground);
    EXPECT_EQ(GetDCBrushColor(probe.dc()), kEditBackground);

    RECT client{};
    GetClientRect(edit, &client);
    test::PixelCapture canvas(client.right, client.bottom, RGB(255, 0, 255));
    ASSERT_TRUE(canvas.ok());
    SendMessageW(edit, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT | PRF_ERASEBKGND);
    const int right = client.right - 1, bottom = client.bottom - 1;
    for (POINT corner : {POINT{0, 0}, POINT{right, 0}, POINT{0, bottom}, POINT{right, bottom}}) {
        EXPECT_EQ(canvas.Pixel(corner.x, corner.y), kAccent) << test::Hex(canvas.Pixel(corner.x, corner.y));
    }
    // Past the text the box is the edit background.
    EXPECT_EQ(canvas.Pixel(right - 3, client.bottom / 2), kEditBackground)
        << test::Hex(canvas.Pixel(right - 3, bottom / 2));
    TreeView_EndEditLabelNow(tree(), TRUE);
}

}  // namespace
}  // namespace lq
