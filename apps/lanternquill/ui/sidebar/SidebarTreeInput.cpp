// SidebarTree: the control's own messages. Hover and the plus button, the clicks reported to the main
// window, the presses the control must not handle, and the mouse and keys of a running drag.
#include "ui/sidebar/SidebarTree.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace lq {
namespace {

// Mouse messages carry signed 16-bit client coordinates.
POINT PointOf(LPARAM lParam) noexcept {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void ReportPressHandled(HWND tree, bool onLabel) noexcept {
    SendMessageW(GetParent(tree), kSidebarReportMessage, kSidebarReportPressHandled, onLabel ? 1 : 0);
}

enum class PressOutcome { Click, Drag, Abandoned };

// True when the filter took the message; one that failed goes no further, as in the message loop.
bool PassesFilter(const std::function<bool(const MSG&)>& filter, const MSG& message) noexcept {
    try {
        return filter(message);
    } catch (...) {
        return true;
    }
}

// Watches the pointer after a left press at `press` (client coordinates), as the control watches a
// press on a label: a drag once the pointer has gone past the system's drag distance (`dragPoint` is
// then where it is), a click once a button message comes (left queued for the control, whose own
// watch ends on it), abandoned when the capture goes elsewhere or the program quits. Other messages
// are handled meanwhile, through `filter` first as the message loop handles them.
PressOutcome WatchPress(HWND tree, POINT press, int32_t dpi, const std::function<bool(const MSG&)>& filter,
                        POINT& dragPoint) noexcept {
    const int distanceX = GetSystemMetricsForDpi(SM_CXDRAG, static_cast<UINT>(dpi));
    const int distanceY = GetSystemMetricsForDpi(SM_CYDRAG, static_cast<UINT>(dpi));
    SetCapture(tree);
    for (;;) {
        if (GetCapture() != tree) return PressOutcome::Abandoned;
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            WaitMessage();
            continue;
        }
        if (message.message >= WM_LBUTTONDOWN && message.message <= WM_MBUTTONDBLCLK) return PressOutcome::Click;
        if (!PeekMessageW(&message, nullptr, message.message, message.message, PM_REMOVE)) continue;
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            ReleaseCapture();
            return PressOutcome::Abandoned;
        }
        if (message.message == WM_MOUSEMOVE && message.hwnd == tree) {
            const POINT at = PointOf(message.lParam);
            if (std::abs(at.x - press.x) > distanceX || std::abs(at.y - press.y) > distanceY) {
                // The drag takes the capture afresh; held on, its taking would read as a loss.
                ReleaseCapture();
                dragPoint = at;
                return PressOutcome::Drag;
            }
            continue;
        }
        // A key pressed while the button is held is the program's as much as any other key.
        if (filter && PassesFilter(filter, message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

LRESULT CALLBACK SidebarTree::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR refData) {
    // Nothing may be thrown through the control's window procedure.
    try {
        return reinterpret_cast<SidebarTree*>(refData)->OnSubclassMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
}

LRESULT SidebarTree::OnSubclassMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool dragging = dragItem_ != nullptr;
    switch (message) {
        case WM_NCHITTEST:
            if (transparentZone_ && transparentZone_(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
                return HTTRANSPARENT;
            }
            break;
        case WM_SIZE:
            width_ = LOWORD(lParam);
            break;
        case WM_MOUSEMOVE: {
            if (dragging) {
                UpdateDrag(PointOf(lParam));
                return 0;
            }
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
                trackingLeave_ = TrackMouseEvent(&track) != FALSE;
            }
            const Hit hit = HitTest(PointOf(lParam));
            SetHot(hit.item ? FindItem(*hit.item) : nullptr, hit.part);
            break;
        }
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            SetHot(nullptr, TreeHitPart::None);
            break;
        case WM_LBUTTONDOWN:
            return OnLeftPress(hwnd, wParam, lParam);
        case WM_LBUTTONUP:
            if (dragging) {
                UpdateDrag(PointOf(lParam));
                EndDrag(true);
                return 0;
            }
            if (pressedAddItem_) {
                ReleaseCapture();
                SetPressedAddItem(nullptr);
                return 0;
            }
            break;
        case WM_LBUTTONDBLCLK:
            return OnLeftDoubleClick(hwnd, wParam, lParam);
        case WM_RBUTTONDOWN:
            if (dragging) {
                EndDrag(false);
                // The release of this button would ask the window under the pointer for its context
                // menu: the tree holds the capture until it comes, and takes it.
                SetCapture(hwnd);
                swallowRightRelease_ = true;
                return 0;
            }
            swallowRightRelease_ = false;
            rightClickPoint_ = PointOf(lParam);
            break;
        case WM_RBUTTONUP:
            if (swallowRightRelease_) {
                swallowRightRelease_ = false;
                if (GetCapture() == hwnd) ReleaseCapture();
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (dragging) {
                if (wParam == VK_ESCAPE) EndDrag(false);
                return 0;  // no key reaches the control while a row hangs on the pointer
            }
            break;
        case WM_KILLFOCUS:
            EndDrag(false);
            break;
        case WM_CAPTURECHANGED:
            SetPressedAddItem(nullptr);
            swallowRightRelease_ = false;
            if (!releasingCapture_) EndDrag(false);
            break;
        case WM_TIMER:
            if (wParam != kDragScrollTimerId) break;
            if (dragging) AutoScrollStep();
            return 0;
        case WM_CTLCOLOREDIT:
            if (reinterpret_cast<HWND>(lParam) != TreeView_GetEditControl(hwnd)) break;
            {
                auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, RGB(204, 204, 204));
                SetBkColor(dc, RGB(60, 60, 60));
                SetDCBrushColor(dc, RGB(60, 60, 60));
                return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
            }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, SubclassProc, 1);
            hwnd_ = nullptr;
            items_.clear();
            hotItem_ = pressedAddItem_ = editItem_ = dragItem_ = nullptr;
            hotPart_ = TreeHitPart::None;
            dropTarget_.valid = false;
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT SidebarTree::OnLeftPress(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    POINT point = PointOf(lParam);
    const Hit hit = HitTest(point);
    HTREEITEM item = hit.item ? FindItem(*hit.item) : nullptr;
    switch (hit.part) {
        case TreeHitPart::AddButton:
            // A new note for that project, without selecting or expanding its row. An open label edit
            // ends first, keeping its text.
            if (TreeView_GetEditControl(hwnd)) TreeView_EndEditLabelNow(hwnd, FALSE);
            SetPressedAddItem(item);
            SetCapture(hwnd);
            PostMessageW(GetParent(hwnd), kSidebarReportMessage, kSidebarReportAddNote,
                         static_cast<LPARAM>(EncodeTreeItemParam(*hit.item)));
            return 0;
        case TreeHitPart::Row:
            return 0;  // the empty part of a row does nothing at all
        case TreeHitPart::LabelZone: {
            // Beside a short label: the control shall take it as a press on the text.
            TreeItemLayout layout;
            if (item && ItemLayout(item, hit.item->isProject, layout)) {
                const POINT pressed = point;
                const LONG low = layout.text.left + 1;
                point.x = std::clamp(point.x, low, std::max(low, layout.text.right - 1));
                // A control whose label hit area is narrower than its text rectangle gets the text's start.
                TVHITTESTINFO check{};
                check.pt = point;
                SendMessageW(hwnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&check));
                if ((check.flags & TVHT_ONITEMLABEL) == 0) point.x = low;
                lParam = MAKELPARAM(point.x, point.y);
                // The control would measure the drag distance from the moved press, so the least
                // shake of a click would drag: the pointer is watched from where it was pressed, and
                // the control gets the press only as a click. No drag starts while a label is edited.
                if (!TreeView_GetEditControl(hwnd)) {
                    POINT dragPoint{};
                    switch (WatchPress(hwnd, pressed, dpi_, messageFilter_, dragPoint)) {
                        case PressOutcome::Drag:
                            // A key handled meanwhile may have removed the row.
                            item = FindItem(*hit.item);
                            if (item) BeginDrag(item, dragPoint);
                            return 0;
                        case PressOutcome::Abandoned:
                            return 0;
                        case PressOutcome::Click:
                            break;
                    }
                }
            }
            break;
        }
        default:
            break;
    }
    // The control may start a drag inside the press (TVN_BEGINDRAGW); such a press reports nothing.
    dragStartedInClick_ = false;
    const LRESULT result = DefSubclassProc(hwnd, WM_LBUTTONDOWN, wParam, lParam);
    if (dragStartedInClick_) {
        dragStartedInClick_ = false;
        return result;
    }
    ReportPressHandled(hwnd, hit.part == TreeHitPart::Label || hit.part == TreeHitPart::LabelZone);
    return result;
}

LRESULT SidebarTree::OnLeftDoubleClick(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const POINT point = PointOf(lParam);
    switch (HitTest(point).part) {
        case TreeHitPart::Label:
            doubleClickPoint_ = point;  // the control's NM_DBLCLK follows
            return DefSubclassProc(hwnd, WM_LBUTTONDBLCLK, wParam, lParam);
        case TreeHitPart::ExpandButton: {
            // The second click of a double-click toggles the row again, as a single one does.
            const LRESULT result = DefSubclassProc(hwnd, WM_LBUTTONDOWN, wParam, lParam);
            ReportPressHandled(hwnd, false);
            return result;
        }
        default:
            return 0;
    }
}

void SidebarTree::SetHot(HTREEITEM item, TreeHitPart part) noexcept {
    if (part == TreeHitPart::LabelZone) part = TreeHitPart::Label;
    if (!item || (part != TreeHitPart::Label && part != TreeHitPart::AddButton)) {
        item = nullptr;
        part = TreeHitPart::None;
    }
    if (item == hotItem_ && part == hotPart_) return;
    InvalidateHotPart(hotItem_, hotPart_);
    hotItem_ = item;
    hotPart_ = part;
    InvalidateHotPart(item, part);
}

void SidebarTree::InvalidateHotPart(HTREEITEM item, TreeHitPart part) noexcept {
    const std::optional<TreeItemKey> key = KeyOf(item);
    TreeItemLayout layout;
    if (!key || !ItemLayout(item, key->isProject, layout)) return;
    InvalidateRect(hwnd_, part == TreeHitPart::AddButton ? &layout.addButton : &layout.highlight, FALSE);
}

void SidebarTree::SetPressedAddItem(HTREEITEM item) noexcept {
    if (item == pressedAddItem_) return;
    InvalidateAddButton(pressedAddItem_);
    InvalidateAddButton(item);
    pressedAddItem_ = item;
}

void SidebarTree::InvalidateAddButton(HTREEITEM item) noexcept {
    const std::optional<TreeItemKey> key = KeyOf(item);
    TreeItemLayout layout;
    if (!key || !key->isProject || !ItemLayout(item, true, layout)) return;
    InvalidateRect(hwnd_, &layout.addButton, FALSE);
}

}  // namespace lq
