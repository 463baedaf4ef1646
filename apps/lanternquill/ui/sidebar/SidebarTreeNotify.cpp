// SidebarTree: the control's notifications and hit testing.
#include "ui/sidebar/SidebarTree.h"

#include "platform/TextConversion.h"

namespace lq {
namespace {

// TVE_ACTIONMASK, which the MinGW headers lack.
constexpr UINT kExpandActionMask = 0x0003;

}  // namespace

LRESULT SidebarTree::OnNotify(const NMHDR& header, TreeAction& out) {
    out = TreeAction{};
    if (!hwnd_ || header.hwndFrom != hwnd_) return 0;
    switch (header.code) {
        case TVN_SELCHANGEDW:
            return OnSelChanged(reinterpret_cast<const NMTREEVIEWW&>(header), out);
        case TVN_ITEMEXPANDEDW: {
            const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
            out.kind = TreeAction::ExpandChanged;
            out.item = DecodeTreeItemParam(static_cast<int64_t>(info.itemNew.lParam));
            out.expanded = (info.action & kExpandActionMask) == TVE_EXPAND;
            return 0;
        }
        case TVN_BEGINLABELEDITW: {
            // Only EditLabel opens a label editor; a slow second click on the selected label does not.
            if (!labelEditRequested_) return TRUE;
            editItem_ = reinterpret_cast<const NMTVDISPINFOW&>(header).item.hItem;
            PrepareLabelEdit();
            return FALSE;
        }
        case TVN_ENDLABELEDITW: {
            const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
            // The control may report the end again while its edit box is torn down (the box's loss of
            // focus): only the first report is a rename request.
            if (!editItem_) return FALSE;
            editItem_ = nullptr;
            out.kind = TreeAction::EndLabelEdit;
            out.item = KeyOf(info.item.hItem);
            if (info.item.pszText) out.newText = Utf16ToUtf8(info.item.pszText);
            return FALSE;  // the label changes only once the rename is stored (SetItemText)
        }
        case TVN_BEGINDRAGW:
            OnBeginDrag(reinterpret_cast<const NMTREEVIEWW&>(header));
            return 0;
        case NM_CUSTOMDRAW:
            // The control reads back what its receiver writes into the notification.
            return OnCustomDraw(const_cast<NMTVCUSTOMDRAW&>(reinterpret_cast<const NMTVCUSTOMDRAW&>(header)));
        case NM_RCLICK:
            return OnRightClick(out);
        case NM_DBLCLK:
            return OnDoubleClick(out);
        default:
            return 0;
    }
}

LRESULT SidebarTree::OnSelChanged(const NMTREEVIEWW& info, TreeAction& out) {
    InvalidateRow(info.itemOld.hItem);
    InvalidateRow(info.itemNew.hItem);
    if (quiet_ || !info.itemNew.hItem) return 0;
    out.kind = TreeAction::Select;
    out.item = DecodeTreeItemParam(static_cast<int64_t>(info.itemNew.lParam));
    out.byMouse = info.action == TVC_BYMOUSE;
    out.byKeyboard = info.action == TVC_BYKEYBOARD;
    return 0;
}

LRESULT SidebarTree::OnRightClick(TreeAction& out) {
    out.kind = TreeAction::ContextMenu;
    out.screenPoint = rightClickPoint_;
    ClientToScreen(hwnd_, &out.screenPoint);
    TVHITTESTINFO hit{};
    hit.pt = rightClickPoint_;
    if (auto item = reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)))) {
        out.item = KeyOf(item);
        // Not quiet: a row that was not selected yet raises its Select action before this one.
        SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    return TRUE;
}

LRESULT SidebarTree::OnDoubleClick(TreeAction& out) {
    const Hit hit = HitTest(doubleClickPoint_);
    if (hit.part == TreeHitPart::Label && hit.item) {
        out.kind = TreeAction::BeginLabelEdit;
        out.item = hit.item;
    }
    return TRUE;  // a double-click never expands or collapses a project
}

bool SidebarTree::ItemLayout(HTREEITEM item, bool isProject, TreeItemLayout& out) const noexcept {
    RECT row{};
    RECT text{};
    if (!hwnd_ || !item || !TreeView_GetItemRect(hwnd_, item, &row, FALSE) ||
        !TreeView_GetItemRect(hwnd_, item, &text, TRUE)) {
        return false;
    }
    out = ComputeTreeItemLayout(row, text, GetWidth(), dpi_, isProject, GetSystemMetricsForDpi(SM_CXEDGE, dpi_));
    return true;
}

SidebarTree::Hit SidebarTree::HitTest(POINT point) const noexcept {
    if (!hwnd_) return {};
    TVHITTESTINFO info{};
    info.pt = point;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (!item || ClassifyTreeHit(info.flags, false, TreeItemLayout{}, point) == TreeHitPart::None) return {};
    std::optional<TreeItemKey> key = KeyOf(item);
    if (!key) return {};
    TreeItemLayout layout;
    if (!ItemLayout(item, key->isProject, layout)) return {key, TreeHitPart::None};
    return {key, ClassifyTreeHit(info.flags, key->isProject, layout, point)};
}

}  // namespace lq
