// SidebarTree: the label edit box the control opens for a rename. Its limit, margins, place and
// border are the sidebar's; the edit itself ends the control's usual way.
#include "ui/sidebar/SidebarTree.h"

#include <algorithm>

namespace lq {
namespace {

// The text height of the box's font; none when it cannot be measured.
std::optional<LONG> FontHeight(HWND edit) noexcept {
    HDC dc = GetDC(edit);
    if (!dc) return std::nullopt;
    auto font = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
    TEXTMETRICW metrics{};
    bool measured = false;
    {
        SelectionScope selected(dc, font);
        measured = GetTextMetricsW(dc, &metrics) != FALSE;
    }
    ReleaseDC(edit, dc);
    if (!measured) return std::nullopt;
    return metrics.tmHeight;
}

}  // namespace

void DrawFocusBorder(HWND window, HDC dc) noexcept {
    RECT client{};
    if (!dc || !GetClientRect(window, &client)) return;
    UniqueBrush accent(CreateSolidBrush(RGB(52, 211, 153)));
    if (accent) FrameRect(dc, &client, accent.get());
}

void SidebarTree::PrepareLabelEdit() noexcept {
    HWND edit = TreeView_GetEditControl(hwnd_);
    if (!edit) return;
    SendMessageW(edit, EM_LIMITTEXT, kLabelEditLimit, 0);
    const int margin = MulDiv(4, dpi_, 96) - 1;
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    SetWindowSubclass(edit, LabelEditSubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK SidebarTree::LabelEditSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                    DWORD_PTR refData) {
    // Nothing may be thrown through the edit box's window procedure.
    try {
        return reinterpret_cast<SidebarTree*>(refData)->OnLabelEditMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
}

LRESULT SidebarTree::OnLabelEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_WINDOWPOSCHANGING:
            PlaceLabelEdit(edit, *reinterpret_cast<WINDOWPOS*>(lParam));
            break;
        case WM_PAINT: {
            const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
            if (HDC dc = GetDC(edit)) {
                DrawFocusBorder(edit, dc);
                ReleaseDC(edit, dc);
            }
            return result;
        }
        case WM_PRINTCLIENT: {
            // The edit box leaves its own clipping in the DC it printed into: the border goes on
            // the DC as it was given.
            auto dc = reinterpret_cast<HDC>(wParam);
            LRESULT result = 0;
            {
                SavedDcState saved(dc);
                result = DefSubclassProc(edit, message, wParam, lParam);
            }
            DrawFocusBorder(edit, dc);
            return result;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(edit, LabelEditSubclassProc, 1);
            break;
        default:
            break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

void SidebarTree::PlaceLabelEdit(HWND edit, WINDOWPOS& position) const noexcept {
    // Whatever place the control proposes (it grows the box with its text), the box spans from just
    // left of the label to 4 DIP short of the sidebar's right edge, centred in the row.
    RECT row{};
    RECT text{};
    if (!editItem_ || !TreeView_GetItemRect(hwnd_, editItem_, &row, FALSE) ||
        !TreeView_GetItemRect(hwnd_, editItem_, &text, TRUE)) {
        return;
    }
    const std::optional<LONG> fontHeight = FontHeight(edit);
    if (!fontHeight) return;
    const auto dip = [this](int value) { return static_cast<LONG>(MulDiv(value, dpi_, 96)); };
    const LONG rowHeight = row.bottom - row.top;
    const LONG height = std::min(*fontHeight + 2 * dip(2) + 2, rowHeight);
    const LONG x = text.left - dip(4);
    position.x = x;
    position.y = row.top + (rowHeight - height) / 2;
    position.cx = std::max(x + 1, static_cast<LONG>(GetWidth()) - dip(4)) - x;
    position.cy = height;
    position.flags &= ~static_cast<UINT>(SWP_NOSIZE | SWP_NOMOVE);
}

}  // namespace lq
