// SidebarTree: dragging notes and projects to a new place. The tree only works out where the row
// would go; the main window makes the move when it is told that the drag ended.
#include "ui/sidebar/SidebarTree.h"

#include <algorithm>

namespace lq {

std::optional<TreeMove> SidebarTree::TakePendingMove() noexcept {
    if (!hasPendingMove_) return std::nullopt;
    hasPendingMove_ = false;
    return pendingMove_;
}

bool SidebarTree::TakeKeyDuringDrag(const MSG& message) noexcept {
    if (!dragItem_ || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) EndDrag(false);
    return true;
}

void SidebarTree::OnBeginDrag(const NMTREEVIEWW& info) {
    BeginDrag(info.itemNew.hItem, info.ptDrag);
}

void SidebarTree::BeginDrag(HTREEITEM item, POINT point) {
    // While a label is edited no drag starts.
    if (!hwnd_ || dragItem_ || !item || TreeView_GetEditControl(hwnd_)) return;
    dragItem_ = item;
    dragStartedInClick_ = true;
    dropTarget_.valid = false;
    hasPendingMove_ = false;  // a move nobody took is stale now
    if (hotItem_ || hotPart_ != TreeHitPart::None) {
        InvalidateHotPart(hotItem_, hotPart_);
        hotItem_ = nullptr;
        hotPart_ = TreeHitPart::None;
    }
    SetCapture(hwnd_);
    SetTimer(hwnd_, kDragScrollTimerId, kDragScrollPeriodMs, nullptr);
    UpdateDrag(point);
}

int64_t SidebarTree::SiblingIndex(HTREEITEM item) const noexcept {
    int64_t index = 0;
    for (HTREEITEM previous = Relative(item, TVGN_PREVIOUS); previous; previous = Relative(previous, TVGN_PREVIOUS)) {
        ++index;
    }
    return index;
}

int64_t SidebarTree::ChildCount(HTREEITEM item) const noexcept {
    int64_t count = 0;
    for (HTREEITEM child = Relative(item, TVGN_CHILD); child; child = Relative(child, TVGN_NEXT)) ++count;
    return count;
}

RECT SidebarTree::InsertMarkRect(HTREEITEM row, LONG y) const noexcept {
    RECT text{};
    if (!TreeView_GetItemRect(hwnd_, row, &text, TRUE)) return RECT{};
    return DropLineRect(text.left, y, GetWidth(), dpi_);
}

DropTarget SidebarTree::ComputeDrop(POINT point) const noexcept {
    DropTarget result;
    const std::optional<TreeItemKey> dragged = KeyOf(dragItem_);
    if (!dragged) return result;

    // The row at the pointer's height, also when the pointer has strayed beside the sidebar; above or
    // below every row, the first or the last visible one.
    RECT client{};
    GetClientRect(hwnd_, &client);
    TVHITTESTINFO hit{};
    hit.pt = {std::clamp(point.x, client.left, std::max(client.left, client.right - 1)), point.y};
    auto target = reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    const bool nearest = target == nullptr;
    if (nearest) target = Relative(nullptr, point.y < 0 ? TVGN_FIRSTVISIBLE : TVGN_LASTVISIBLE);
    const std::optional<TreeItemKey> targetKey = KeyOf(target);
    RECT row{};
    if (!targetKey || !TreeView_GetItemRect(hwnd_, target, &row, FALSE)) return result;
    const LONG y = !nearest ? point.y : point.y < 0 ? row.top : row.bottom - 1;

    DropQuery query;
    query.dragged = *dragged;
    query.draggedIndex = SiblingIndex(dragItem_);
    if (!dragged->isProject) {
        if (std::optional<TreeItemKey> source = KeyOf(Relative(dragItem_, TVGN_PARENT))) {
            query.draggedProjectId = source->id;
        }
    }
    query.target = *targetKey;
    query.targetIndex = SiblingIndex(target);
    query.upperHalf = y < (row.top + row.bottom) / 2;
    HTREEITEM targetProject = targetKey->isProject ? target : Relative(target, TVGN_PARENT);
    if (!targetKey->isProject && targetProject) {
        if (std::optional<TreeItemKey> project = KeyOf(targetProject)) query.targetProjectId = project->id;
        query.targetProjectIndex = SiblingIndex(targetProject);
    }
    if (targetKey->isProject) query.targetChildCount = ChildCount(target);
    // A project goes only among projects: over a note without its project row there is no place.
    if (dragged->isProject && !targetProject) return result;

    const DropPlan plan = PlanDrop(query);
    result.item = *dragged;
    result.projectId = plan.projectId;
    result.index = plan.index;
    result.valid = true;
    switch (plan.mark) {
        case DropMark::IntoProject: {
            TreeItemLayout layout;
            if (ItemLayout(target, true, layout)) {
                result.into = true;
                result.mark = layout.highlight;
            }
            break;
        }
        case DropMark::BeforeRow:
            result.mark = InsertMarkRect(target, row.top);
            break;
        case DropMark::AfterRow:
            result.mark = InsertMarkRect(target, row.bottom);
            break;
        case DropMark::AfterProject: {
            // Below the project and its notes: on the next project's top edge, or after the last
            // project over the last pixels of the last visible row.
            RECT next{};
            if (HTREEITEM sibling = Relative(targetProject, TVGN_NEXT);
                sibling && TreeView_GetItemRect(hwnd_, sibling, &next, FALSE)) {
                result.mark = InsertMarkRect(targetProject, next.top);
                break;
            }
            RECT last = row;
            if (HTREEITEM lastRow = Relative(nullptr, TVGN_LASTVISIBLE))
                TreeView_GetItemRect(hwnd_, lastRow, &last, FALSE);
            const LONG thickness = DropLineThickness(dpi_);
            result.mark = InsertMarkRect(targetProject, last.bottom + thickness / 2 - thickness);
            break;
        }
    }
    return result;
}

void SidebarTree::InvalidateDropMark() noexcept {
    if (!dropTarget_.valid || !hwnd_) return;
    RECT area = dropTarget_.mark;
    InflateRect(&area, 1, 1);
    // Erased, not only repainted: the line on a row edge reaches into the pixel between two rows,
    // which some controls leave to the background and paint no row over.
    InvalidateRect(hwnd_, &area, TRUE);
}

void SidebarTree::UpdateDrag(POINT point) noexcept {
    lastDragPoint_ = point;
    InvalidateDropMark();
    dropTarget_ = ComputeDrop(point);
    InvalidateDropMark();
}

void SidebarTree::AutoScrollStep() noexcept {
    const int rowHeight = TreeView_GetItemHeight(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const LONG y = lastDragPoint_.y;
    const WPARAM step = y < rowHeight ? SB_LINEUP : y > client.bottom - rowHeight ? SB_LINEDOWN : WPARAM{~0u};
    if (step != WPARAM{~0u}) {
        // Scrolling moves the painted pixels, the indicator among them: take it off the screen first,
        // or every step would leave a copy of it behind.
        InvalidateDropMark();
        dropTarget_.valid = false;
        UpdateWindow(hwnd_);
        SendMessageW(hwnd_, WM_VSCROLL, step, 0);
    }
    UpdateDrag(lastDragPoint_);
}

void SidebarTree::EndDrag(bool commit) noexcept {
    if (!dragItem_ || !hwnd_) return;
    KillTimer(hwnd_, kDragScrollTimerId);
    InvalidateDropMark();
    hasPendingMove_ = commit && dropTarget_.valid;
    if (hasPendingMove_) pendingMove_ = TreeMove{dropTarget_.item, dropTarget_.projectId, dropTarget_.index};
    dropTarget_.valid = false;
    dragItem_ = nullptr;
    releasingCapture_ = true;
    if (GetCapture() == hwnd_) ReleaseCapture();
    releasingCapture_ = false;
    SendMessageW(GetParent(hwnd_), kSidebarReportMessage, kSidebarReportDragEnded, 0);
}

}  // namespace lq
