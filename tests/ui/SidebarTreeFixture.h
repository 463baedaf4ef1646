#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/TextConversion.h"
#include "support/TestHostWindow.h"
#include "ui/SidebarTree.h"

namespace lq::test {

inline constexpr int kSidebarWidth = 250;
inline constexpr int kSidebarHeight = 200;  // seven 28 px rows at 96 DPI

inline ProjectNode Project(int64_t id, std::string name, bool expanded,
                           std::vector<std::pair<int64_t, std::string>> notes) {
    ProjectNode node;
    node.id = id;
    node.name = std::move(name);
    node.expanded = expanded;
    for (auto& [noteId, title] : notes) node.notes.push_back(NoteListRow{noteId, id, title, 0, 0});
    return node;
}

// Three projects: 1 "Inbox" (expanded, notes 10-12), 2 "空" (no notes), 3 "Work" (collapsed, 30-31).
inline ProjectTree SmallTree() {
    ProjectTree tree;
    tree.projects.push_back(Project(1, "Inbox", true, {{10, "first"}, {11, "second"}, {12, "third"}}));
    tree.projects.push_back(Project(2, "空", true, {}));
    tree.projects.push_back(Project(3, "Work", false, {{30, "plan"}, {31, "日本語のメモ"}}));
    return tree;
}

// Projects 1..count, each expanded with `notes` notes (ids project × 100 + n), far taller than the
// control.
inline ProjectTree TallTree(int count, int notes) {
    ProjectTree tree;
    for (int p = 1; p <= count; ++p) {
        std::vector<std::pair<int64_t, std::string>> rows;
        for (int n = 0; n < notes; ++n) rows.emplace_back(p * 100 + n, "note " + std::to_string(p * 100 + n));
        tree.projects.push_back(Project(p, "project " + std::to_string(p), true, rows));
    }
    return tree;
}

// A 32-bit top-down bitmap selected into a memory DC, filled with one colour, to paint into and read.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        if (dc_ && bitmap_) previous_ = SelectObject(dc_, bitmap_);
        const RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~MemoryCanvas() {
        if (previous_) SelectObject(dc_, previous_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    [[nodiscard]] bool ok() const noexcept { return dc_ && bitmap_ && bits_; }
    [[nodiscard]] HDC dc() const noexcept { return dc_; }
    [[nodiscard]] COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
        GdiFlush();
        const uint32_t pixel = bits_[static_cast<size_t>(y) * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // The highest channel value of any pixel in [left, right) x [top, bottom).
    [[nodiscard]] int Brightest(const RECT& area) const {
        int best = 0;
        for (int y = std::max<int>(0, area.top); y < std::min<int>(height_, area.bottom); ++y) {
            for (int x = std::max<int>(0, area.left); x < std::min<int>(width_, area.right); ++x) {
                const COLORREF c = At(x, y);
                best = std::max({best, int{GetRValue(c)}, int{GetGValue(c)}, int{GetBValue(c)}});
            }
        }
        return best;
    }
    // How many pixels in the area have exactly this colour.
    [[nodiscard]] int CountOf(const RECT& area, COLORREF colour) const {
        int count = 0;
        for (int y = std::max<int>(0, area.top); y < std::min<int>(height_, area.bottom); ++y) {
            for (int x = std::max<int>(0, area.left); x < std::min<int>(width_, area.right); ++x) {
                count += At(x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

inline std::string Hex(COLORREF c) {
    char text[16];
    snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

// The sidebar's tree control in a hidden host window whose handler hands every WM_NOTIFY to the
// SidebarTree and records the actions and the WM_APP+20 reports, as the main window would get them.
class SidebarTreeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = std::make_unique<TestHostWindow>(kSidebarWidth, kSidebarHeight);
        ASSERT_TRUE(host_->ok());
        host_->handler = [this](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_NOTIFY) {
                TreeAction action;  // one per notification: they nest (a right click selects)
                LRESULT result = sidebar_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam), action);
                if (action.kind != TreeAction::None) actions_.push_back(action);
                return result;
            }
            if (message == kSidebarReportMessage) {
                reports_.emplace_back(wParam, lParam);
                if (wParam == kSidebarReportDragEnded) movesTaken_.push_back(sidebar_.TakePendingMove());
                return 0;
            }
            return std::nullopt;
        };
        HWND control = CreateSidebarControl(host_->hwnd(), GetModuleHandleW(nullptr));
        ASSERT_NE(control, nullptr);
        ASSERT_TRUE(sidebar_.Attach(control));
        sidebar_.SetDpi(96);
        MoveWindow(control, 0, 0, kSidebarWidth, kSidebarHeight, FALSE);
    }
    void TearDown() override { host_.reset(); }

    HWND tree() const { return sidebar_.hwnd(); }
    HTREEITEM Item(TreeItemKey key) const { return sidebar_.FindItem(key); }
    HTREEITEM Next(HTREEITEM item, UINT relation) const { return TreeView_GetNextItem(tree(), item, relation); }

    // Every row of the control in order: "P1 Inbox" for a project, "  N10 first" for a note.
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (HTREEITEM p = TreeView_GetRoot(tree()); p; p = Next(p, TVGN_NEXT)) {
            rows.push_back(Describe(p));
            for (HTREEITEM n = Next(p, TVGN_CHILD); n; n = Next(n, TVGN_NEXT)) rows.push_back("  " + Describe(n));
        }
        return rows;
    }
    std::string Describe(HTREEITEM item) const {
        wchar_t text[512] = {};
        TVITEMW query{};
        query.mask = TVIF_TEXT | TVIF_PARAM | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = 512;
        if (!TreeView_GetItem(tree(), &query)) return "?";
        TreeItemKey key = DecodeTreeItemParam(query.lParam);
        return (key.isProject ? "P" : "N") + std::to_string(key.id) + " " + Utf16ToUtf8(text);
    }
    int ChildrenFlag(HTREEITEM item) const {
        TVITEMW query{};
        query.mask = TVIF_CHILDREN | TVIF_HANDLE;
        query.hItem = item;
        return TreeView_GetItem(tree(), &query) ? query.cChildren : -1;
    }
    bool Expanded(HTREEITEM item) const {
        return (TreeView_GetItemState(tree(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    }
    std::optional<TreeItemKey> FirstVisible() const {
        HTREEITEM item = TreeView_GetFirstVisible(tree());
        if (!item) return std::nullopt;
        TVITEMW query{};
        query.mask = TVIF_PARAM | TVIF_HANDLE;
        query.hItem = item;
        if (!TreeView_GetItem(tree(), &query)) return std::nullopt;
        return DecodeTreeItemParam(query.lParam);
    }
    RECT RowRect(HTREEITEM item) const {
        RECT row{};
        TreeView_GetItemRect(tree(), item, &row, FALSE);
        return row;
    }
    RECT TextRect(HTREEITEM item) const {
        RECT text{};
        TreeView_GetItemRect(tree(), item, &text, TRUE);
        return text;
    }
    TreeItemLayout Layout(TreeItemKey key) const {
        TreeItemLayout layout;
        EXPECT_TRUE(sidebar_.ItemLayout(Item(key), key.isProject, layout));
        return layout;
    }
    bool IsRowVisible(HTREEITEM item) const {
        const RECT row = RowRect(item);
        return row.top >= 0 && row.bottom <= kSidebarHeight;
    }
    POINT LabelPoint(HTREEITEM item) const {
        const RECT text = TextRect(item);
        return {(text.left + text.right) / 2, (text.top + text.bottom) / 2};
    }
    // A point on the row's label at `offset` pixels below the row's top (negative: from its bottom).
    POINT RowPoint(HTREEITEM item, int offset) const {
        const RECT row = RowRect(item);
        const RECT text = TextRect(item);
        return {(text.left + text.right) / 2, offset >= 0 ? row.top + offset : row.bottom + offset};
    }
    // Actions of one kind so far. The control reports the first expansion of a row even when the
    // program made it; only Select actions are held back while the program selects.
    int Count(int32_t kind) const {
        int count = 0;
        for (const TreeAction& action : actions_) count += action.kind == kind ? 1 : 0;
        return count;
    }
    // The reports with one wParam so far, by their lParam.
    std::vector<LPARAM> Reports(WPARAM kind) const {
        std::vector<LPARAM> values;
        for (const auto& [what, value] : reports_) {
            if (what == kind) values.push_back(value);
        }
        return values;
    }
    static LPARAM At(POINT point) { return MAKELPARAM(point.x, point.y); }
    // The control's whole client area as it paints it for WM_PRINTCLIENT.
    void PaintInto(MemoryCanvas& canvas) const {
        SendMessageW(tree(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT | PRF_ERASEBKGND);
    }
    // A left press the control takes as a click: the release waits in the queue and ends its drag
    // detection.
    void Click(POINT point) {
        PostMessageW(tree(), WM_LBUTTONUP, 0, At(point));
        SendMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, At(point));
        TestHostWindow::PumpMessages();
    }

    // Presses the left button on `from` and moves beyond the drag threshold to `to`, the way the
    // control's drag detection sees it (the move waits in the queue, at the cursor's place too).
    void PressAndDragTo(POINT from, POINT to) {
        POINT screen = to;
        ClientToScreen(tree(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(tree(), WM_MOUSEMOVE, MK_LBUTTON, At(to));
        SendMessageW(tree(), WM_LBUTTONDOWN, MK_LBUTTON, At(from));
    }
    void MoveTo(POINT point) { SendMessageW(tree(), WM_MOUSEMOVE, MK_LBUTTON, At(point)); }
    void ReleaseAt(POINT point) { SendMessageW(tree(), WM_LBUTTONUP, 0, At(point)); }
    // A whole drag from one point to another; the moves the ends of drags left, in order.
    void DragAndDrop(POINT from, POINT to) {
        PressAndDragTo(from, to);
        ASSERT_TRUE(sidebar_.IsDragging());
        MoveTo(to);
        ReleaseAt(to);
        ASSERT_FALSE(sidebar_.IsDragging());
    }

    SidebarTree sidebar_;  // declared first: the control dies with the host before the wrapper goes
    std::unique_ptr<TestHostWindow> host_;
    std::vector<TreeAction> actions_;
    std::vector<std::pair<WPARAM, LPARAM>> reports_;
    std::vector<std::optional<TreeMove>> movesTaken_;  // what each drag-ended report found pending
};

}  // namespace lq::test
