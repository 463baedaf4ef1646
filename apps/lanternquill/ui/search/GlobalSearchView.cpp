#include "ui/search/GlobalSearchView.h"

#include <commctrl.h>

#include <initializer_list>
#include <utility>

#include "editor/EditorFonts.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/search/GlobalSearchFocus.h"
#include "ui/search/GlobalSearchLayout.h"

namespace lq {
namespace {

constexpr UINT_PTR kSubclassId = 1;

bool IsKeyDown(int virtualKey) noexcept {
    return GetKeyState(virtualKey) < 0;
}

HWND MakeControl(HWND parent, HINSTANCE instance, const wchar_t* className, const wchar_t* text, DWORD style) {
    return CreateWindowExW(0, className, text, style, 0, 0, 0, 0, parent, nullptr, instance, nullptr);
}

void MoveTo(HWND control, const RECT& place) {
    if (control) MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

// A control's DC with the view's font (or the stock GUI font) selected, given back on destruction.
class ControlDc {
public:
    ControlDc(HWND control, HFONT font) : control_(control), dc_(control ? GetDC(control) : nullptr) {
        if (dc_) previous_ = SelectObject(dc_, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    }
    ~ControlDc() {
        if (!dc_) return;
        SelectObject(dc_, previous_);
        ReleaseDC(control_, dc_);
    }
    ControlDc(const ControlDc&) = delete;
    ControlDc& operator=(const ControlDc&) = delete;

    explicit operator bool() const noexcept { return dc_ != nullptr; }
    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

GlobalSearchView* ViewFrom(DWORD_PTR data) noexcept {
    return reinterpret_cast<GlobalSearchView*>(data);
}

}  // namespace

GlobalSearchView::~GlobalSearchView() {
    // Each control forgets itself at WM_NCDESTROY, so only those still alive are left here.
    for (HWND control : {queryEdit_, replaceEdit_, replaceAllButton_, resultList_}) {
        if (control && IsWindow(control)) DestroyWindow(control);
    }
}

bool GlobalSearchView::Create(HWND parent, HINSTANCE instance, int dpi, ActionCallback onAction) {
    if (queryEdit_ || replaceEdit_ || replaceAllButton_ || resultList_) return false;
    parent_ = parent;
    SetDpi(dpi > 0 ? static_cast<uint32_t>(dpi) : 96);
    onAction_ = std::move(onAction);

    const std::wstring buttonText = LoadResourceString(instance, IDS_REPLACE_ALL);
    queryEdit_ = MakeControl(parent, instance, L"Edit", L"", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL);
    replaceEdit_ = MakeControl(parent, instance, L"Edit", L"", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL);
    replaceAllButton_ = MakeControl(parent, instance, L"Button", buttonText.c_str(),
                                    WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_OWNERDRAW);
    resultList_ = MakeControl(
        parent, instance, L"ListBox", L"",
        WS_CHILD | WS_VSCROLL | WS_TABSTOP | LBS_NODATA | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NOTIFY);

    const auto self = reinterpret_cast<DWORD_PTR>(this);
    const bool complete = queryEdit_ && replaceEdit_ && replaceAllButton_ && resultList_ &&
                          SetWindowSubclass(queryEdit_, EditSubclassProc, kSubclassId, self) &&
                          SetWindowSubclass(replaceEdit_, EditSubclassProc, kSubclassId, self) &&
                          SetWindowSubclass(replaceAllButton_, ButtonSubclassProc, kSubclassId, self) &&
                          SetWindowSubclass(resultList_, ListSubclassProc, kSubclassId, self);
    if (!complete) {
        // Leave nothing half-made among the main window's children.
        for (HWND* control : {&queryEdit_, &replaceEdit_, &replaceAllButton_, &resultList_}) {
            if (*control) DestroyWindow(std::exchange(*control, nullptr));
        }
        onAction_ = nullptr;
        return false;
    }

    // wParam TRUE keeps the cue shown while the edit has the focus and is still empty.
    const std::wstring searchCue = LoadResourceString(instance, IDS_CUE_SEARCH_ALL_NOTES);
    const std::wstring replaceCue = LoadResourceString(instance, IDS_CUE_REPLACE);
    SendMessageW(queryEdit_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(searchCue.c_str()));
    SendMessageW(replaceEdit_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(replaceCue.c_str()));
    UpdateFonts();
    return true;
}

void GlobalSearchView::UpdateFonts() {
    HFONT created = CreateUiFont(static_cast<int32_t>(dpi_));
    if (!created) return;
    for (HWND control : {queryEdit_, replaceEdit_, replaceAllButton_, resultList_}) {
        if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(created), FALSE);
    }
    if (resultList_) SendMessageW(resultList_, LB_SETITEMHEIGHT, 0, GlobalSearchRowHeight(dpi_));
    // The controls hold the new font now, so the old one can go.
    font_.reset(created);
}

void GlobalSearchView::Show(bool visible) {
    const int always = visible ? SW_SHOWNA : SW_HIDE;
    const int replaceOnly = visible && mode_ == Mode::Replace ? SW_SHOWNA : SW_HIDE;
    if (queryEdit_) ShowWindow(queryEdit_, always);
    if (resultList_) ShowWindow(resultList_, always);
    if (replaceEdit_) ShowWindow(replaceEdit_, replaceOnly);
    if (replaceAllButton_) ShowWindow(replaceAllButton_, replaceOnly);
}

int GlobalSearchView::MeasureButtonText() const {
    if (!replaceAllButton_) return 0;
    wchar_t text[64] = {};
    const int length = GetWindowTextW(replaceAllButton_, text, 64);
    const ControlDc dc(replaceAllButton_, font_.get());
    if (!dc) return 0;
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text, length, &extent);
    return extent.cx;
}

GlobalSearchStatusExtent GlobalSearchView::MeasureStatusText(int fieldWidth) const {
    if (statusText_.empty()) return {};
    const ControlDc dc(replaceAllButton_, font_.get());
    if (!dc) return {};
    const int length = static_cast<int>(statusText_.size());
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), statusText_.c_str(), length, &extent);
    RECT wrapped{0, 0, fieldWidth, 0};
    DrawTextW(dc.get(), statusText_.c_str(), length, &wrapped, kGlobalSearchWrappedStatusFormat | DT_CALCRECT);
    return GlobalSearchStatusExtent{static_cast<int>(extent.cx), static_cast<int>(wrapped.bottom - wrapped.top)};
}

GlobalSearchLayoutRects GlobalSearchView::ComputeLayout(const RECT& area) const {
    if (mode_ != Mode::Replace) return ComputeGlobalSearchLayout(area, dpi_, false, 0);
    return ComputeGlobalSearchLayout(area, dpi_, true, MeasureButtonText(),
                                     MeasureStatusText(GlobalSearchFieldWidth(area, dpi_)));
}

void GlobalSearchView::Layout(const RECT& area) {
    area_ = area;
    const GlobalSearchLayoutRects rects = ComputeLayout(area);
    MoveTo(queryEdit_, rects.queryEdit);
    if (mode_ == Mode::Replace) {
        MoveTo(replaceEdit_, rects.replaceEdit);
        MoveTo(replaceAllButton_, rects.button);
    }
    statusRect_ = rects.status;
    statusWraps_ = rects.statusWraps;
    MoveTo(resultList_, rects.list);
}

void GlobalSearchView::SetStatusText(std::wstring text) {
    statusText_ = std::move(text);
    const GlobalSearchLayoutRects rects = ComputeLayout(area_);
    if (!EqualRect(&rects.status, &statusRect_) || rects.statusWraps != statusWraps_) Layout(area_);
}

void GlobalSearchView::SetResults(const std::vector<SearchHit>& hits, std::wstring_view query) {
    std::vector<GlobalSearchRow> rows;
    rows.reserve(hits.size());
    for (const SearchHit& hit : hits) rows.push_back(MakeGlobalSearchRow(hit, query));
    rows_ = std::move(rows);
    if (!resultList_) return;
    SendMessageW(resultList_, LB_SETCOUNT, rows_.size(), 0);
    SendMessageW(resultList_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    InvalidateRect(resultList_, nullptr, TRUE);
}

bool GlobalSearchView::ListHasRows() const {
    return resultList_ && SendMessageW(resultList_, LB_GETCOUNT, 0, 0) > 0;
}

void GlobalSearchView::FocusListFirstRow() {
    SetFocus(resultList_);
    SendMessageW(resultList_, LB_SETCURSEL, 0, 0);
}

void GlobalSearchView::FocusNext(HWND from, bool backwards) {
    const bool buttonEnabled = replaceAllButton_ && IsWindowEnabled(replaceAllButton_);
    const std::vector<HWND> ring = BuildFocusRing(queryEdit_, replaceEdit_, replaceAllButton_, resultList_,
                                                  mode_ == Mode::Replace, buttonEnabled, ListHasRows());
    HWND target = NextInFocusRing(ring, from, backwards);
    if (!target) return;
    SetFocus(target);
    if (target == resultList_ && SendMessageW(resultList_, LB_GETCURSEL, 0, 0) == LB_ERR) {
        SendMessageW(resultList_, LB_SETCURSEL, 0, 0);
    }
}

void GlobalSearchView::SendAction(Action action, int argument) {
    if (onAction_) onAction_(action, argument);
}

void GlobalSearchView::ForgetControl(HWND hwnd) noexcept {
    for (HWND* control : {&queryEdit_, &replaceEdit_, &replaceAllButton_, &resultList_}) {
        if (*control == hwnd) *control = nullptr;
    }
}

// The subclass procedures are C callbacks: nothing may be thrown through them (a throwing callback of
// the main window, a failed allocation), so a message that throws counts as handled.
LRESULT CALLBACK GlobalSearchView::EditSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                    DWORD_PTR view) {
    try {
        return ViewFrom(view)->OnEditMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CALLBACK GlobalSearchView::ButtonSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                      DWORD_PTR view) {
    try {
        return ViewFrom(view)->OnButtonMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CALLBACK GlobalSearchView::ListSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                    DWORD_PTR view) {
    try {
        return ViewFrom(view)->OnListMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT GlobalSearchView::OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool replaceMode = mode_ == Mode::Replace;
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                const bool replaceAll = replaceMode && IsKeyDown(VK_CONTROL) && IsKeyDown(VK_MENU);
                SendAction(replaceAll ? Action::ReplaceAll : Action::QueryChanged, -1);
                return 0;
            }
            if (wParam == VK_TAB) {
                FocusNext(hwnd, IsKeyDown(VK_SHIFT));
                return 0;
            }
            if (wParam == VK_DOWN && ListHasRows()) {
                FocusListFirstRow();
                return 0;
            }
            break;
        case WM_SYSKEYDOWN:
            if (wParam == VK_RETURN && replaceMode && IsKeyDown(VK_CONTROL)) {
                SendAction(Action::ReplaceAll, -1);
                return 0;
            }
            break;
        case WM_CHAR:
            // No tab, line break (Enter gives CR, Ctrl+Enter LF) or Ctrl+Backspace character belongs
            // in a one-line query.
            if (wParam == 9 || wParam == 10 || wParam == 13 || wParam == 127) return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, EditSubclassProc, kSubclassId);
            ForgetControl(hwnd);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT GlobalSearchView::OnButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_ERASEBKGND:
            // The drawing fills every pixel of the button. The default erase would first paint it with
            // the system's pale button face, which shows wherever that paint outlives the drawing.
            return 1;
        case WM_KEYDOWN:
            if (wParam == VK_TAB) {
                FocusNext(hwnd, IsKeyDown(VK_SHIFT));
                return 0;
            }
            if (wParam == VK_RETURN) {
                SendAction(Action::ReplaceAll, -1);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ButtonSubclassProc, kSubclassId);
            ForgetControl(hwnd);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT GlobalSearchView::OnListMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_KEYDOWN: {
            const LRESULT selected = SendMessageW(hwnd, LB_GETCURSEL, 0, 0);
            if (wParam == VK_RETURN && selected != LB_ERR) {
                SendAction(Action::OpenHit, static_cast<int>(selected));
                return 0;
            }
            if (wParam == VK_UP && (selected == LB_ERR || selected == 0)) {
                SetFocus(queryEdit_);
                return 0;
            }
            // The list wants every key, so it has to pass Tab on itself to keep the ring closed.
            if (wParam == VK_TAB) {
                FocusNext(hwnd, IsKeyDown(VK_SHIFT));
                return 0;
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            listPressed_ = true;
            break;
        case WM_LBUTTONUP: {
            // Only a press that began in the list opens a row: a release left over from a click
            // elsewhere (a dialog closed by a double click above the list) must not. Read before the
            // default processing, which releases the capture.
            const bool pressedHere = std::exchange(listPressed_, false);
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            const LRESULT under = SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, lParam);
            const LRESULT selected = SendMessageW(hwnd, LB_GETCURSEL, 0, 0);
            if (pressedHere && IsPointOnListRow(under) && selected != LB_ERR) {
                SendAction(Action::OpenHit, static_cast<int>(selected));
            }
            return result;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) listPressed_ = false;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ListSubclassProc, kSubclassId);
            ForgetControl(hwnd);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace lq
