#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TreeRows.h"
#include "support/PixelCapture.h"
#include "support/TestHostWindow.h"
#include "ui/sidebar/SidebarTree.h"

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
    [[nodiscard]] std::vector<std::string> Rows() const { return TreeRows(tree()); }
    [[nodiscard]] std::string Describe(HTREEITEM item) const { return DescribeTreeRow(tree(), item); }
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
    void PaintInto(PixelCapture& canvas) const { canvas.Print(tree(), PRF_CLIENT | PRF_ERASEBKGND); }
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
