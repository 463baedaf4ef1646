#include <string>
#include <utility>

#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/find/FindPanel.h"
#include "ui/find/FindPanelLayout.h"
#include "ui/gdi/GdiObjects.h"

namespace lq {
namespace {

constexpr COLORREF kOutside = RGB(30, 30, 30);
constexpr COLORREF kBody = RGB(37, 37, 38);
constexpr COLORREF kBodyOutline = RGB(51, 51, 51);
constexpr COLORREF kEditFill = RGB(60, 60, 60);
constexpr COLORREF kFrameNotFound = RGB(248, 81, 73);
constexpr COLORREF kFrameFocused = RGB(52, 211, 153);
constexpr COLORREF kFrame = RGB(69, 69, 69);
constexpr COLORREF kHotFill = RGB(42, 45, 46);
constexpr COLORREF kLabel = RGB(200, 200, 200);
constexpr COLORREF kLabelDisabled = RGB(90, 90, 90);

// An off-screen copy of a window's client area, copied to the window's DC when it goes, so a repaint
// never shows the background alone. Without memory it draws straight into the window's DC.
class BufferedPaint {
public:
    BufferedPaint(HDC target, const RECT& client) noexcept
        : target_(target), width_(client.right - client.left), height_(client.bottom - client.top) {
        if (width_ <= 0 || height_ <= 0) return;
        memory_ = CreateCompatibleDC(target);
        bitmap_ = memory_ ? CreateCompatibleBitmap(target, width_, height_) : nullptr;
        if (bitmap_) {
            previous_ = SelectObject(memory_, bitmap_);
        } else if (memory_) {
            DeleteDC(std::exchange(memory_, nullptr));
        }
    }
    ~BufferedPaint() {
        if (!memory_) return;
        BitBlt(target_, 0, 0, width_, height_, memory_, 0, 0, SRCCOPY);
        SelectObject(memory_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;

    [[nodiscard]] HDC dc() const noexcept { return memory_ ? memory_ : target_; }

private:
    HDC target_;
    int width_;
    int height_;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

std::wstring LabelOf(HINSTANCE instance, int32_t type) {
    switch (type) {
        case FindPanel::kPrevious:
            return L"\u2191";
        case FindPanel::kNext:
            return L"\u2193";
        case FindPanel::kClose:
            return L"\u00D7";
        case FindPanel::kReplace:
            return LoadResourceString(instance, IDS_REPLACE);
        case FindPanel::kReplaceAll:
            return LoadResourceString(instance, IDS_REPLACE_ALL);
        default:
            return {};
    }
}

}  // namespace

void FillRoundRect(HDC dc, const RECT& rect, COLORREF fill, COLORREF outline, int32_t radius) {
    SavedDcState state(dc);
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SelectObject(dc, GetStockObject(DC_PEN));
    SetDCBrushColor(dc, fill);
    SetDCPenColor(dc, outline);
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 2 * radius, 2 * radius);
}

void FindPanel::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    if (!dc) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    {
        BufferedPaint buffer(dc, client);
        Draw(buffer.dc());
    }
    EndPaint(hwnd, &paint);
}

void FindPanel::Draw(HDC dc) {
    SavedDcState state(dc);
    RECT client{};
    GetClientRect(hwnd, &client);
    const FindPanelMetrics metrics = ComputeFindPanelMetrics(dpi);
    FillSolid(dc, client, kOutside);
    FillRoundRect(dc, client, kBody, kBodyOutline, metrics.margin);

    DrawEditFrame(dc, findEdit, notFound);
    DrawEditFrame(dc, replaceEdit, false);
    DrawEditFrame(dc, lineEdit, false);

    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, DrawingFont());
    for (const HitArea& area : hitAreas) {
        const bool enabled = IsEnabled(area.type);
        if (enabled && area.type == hotType) FillSolid(dc, area.rect, kHotFill);
        SetTextColor(dc, enabled ? kLabel : kLabelDisabled);
        const std::wstring label = LabelOf(instance, area.type);
        RECT textRect = area.rect;
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &textRect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void FindPanel::DrawEditFrame(HDC dc, HWND edit, bool flagged) {
    // The edit's own flag rather than IsWindowVisible, so a panel printed while hidden keeps its frames.
    if (!edit || (GetWindowLongPtrW(edit, GWL_STYLE) & WS_VISIBLE) == 0) return;
    RECT place{};
    GetWindowRect(edit, &place);
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&place), 2);
    const RECT frame = ComputeFindPanelFrameRect(place, dpi);
    const COLORREF outline = flagged ? kFrameNotFound : (GetFocus() == edit ? kFrameFocused : kFrame);
    FillRoundRect(dc, frame, kEditFill, outline, ComputeFindPanelMetrics(dpi).margin);
}

}  // namespace lq
