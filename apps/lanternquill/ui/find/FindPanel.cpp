#include "ui/find/FindPanel.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <utility>

#include "editor/EditorFonts.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/find/FindPanelLayout.h"
#include "workspace/TextHelpers.h"

namespace lq {
namespace {

constexpr UINT_PTR kEditSubclassId = 1;

HWND MakeEdit(HWND panel, HINSTANCE instance, DWORD extraStyle) {
    return CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | extraStyle, 0, 0, 0, 0, panel,
                           nullptr, instance, nullptr);
}

// wParam TRUE keeps the cue shown while the edit has the focus and is still empty.
void SetCue(HWND edit, const std::wstring& cue) {
    if (edit) SendMessageW(edit, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue.c_str()));
}

int32_t LabelWidth(HDC dc, const std::wstring& text) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

}  // namespace

FindPanel::~FindPanel() {
    // Normally the main window's destruction took the panel with it; a panel discarded after a
    // failed creation still has its window.
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
}

bool FindPanel::RegisterClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, kFindPanelClass, &existing)) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = 0;  // no CS_DBLCLKS: a quick second click on a button is a second press
    windowClass.lpfnWndProc = StaticWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kFindPanelClass;
    if (RegisterClassExW(&windowClass)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool FindPanel::Create(HWND parentWindow, HINSTANCE instanceHandle, int32_t dpiValue, ActionCallback callback) {
    parent = parentWindow;
    instance = instanceHandle;
    dpi = dpiValue > 0 ? dpiValue : 96;
    onAction = std::move(callback);
    if (!RegisterClass(instance)) return false;
    if (!CreateWindowExW(0, kFindPanelClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                         nullptr, instance, this)) {
        return false;
    }
    findEdit = MakeEdit(hwnd, instance, 0);
    replaceEdit = MakeEdit(hwnd, instance, 0);
    lineEdit = MakeEdit(hwnd, instance, ES_NUMBER);
    const auto self = reinterpret_cast<DWORD_PTR>(this);
    for (HWND edit : {findEdit, replaceEdit, lineEdit}) {
        if (!edit || !SetWindowSubclass(edit, EditSubclassProc, kEditSubclassId, self)) return false;
    }
    SetCue(findEdit, LoadResourceString(instance, IDS_CUE_FIND));
    SetCue(replaceEdit, LoadResourceString(instance, IDS_CUE_REPLACE));
    ApplyFont();
    return true;
}

void FindPanel::ApplyFont() {
    HFONT created = CreateUiFont(dpi);
    if (!created) return;
    for (HWND edit : {findEdit, replaceEdit, lineEdit}) {
        if (edit) SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(created), FALSE);
    }
    // The edits hold the new font now, so the old one can go.
    font.reset(created);
}

void FindPanel::SetLineCount(int64_t lineCount) {
    SetCue(lineEdit, LoadResourceString(instance, IDS_CUE_LINE, FormatThousands(std::max<int64_t>(lineCount, 1))));
}

void FindPanel::SetHostRect(const RECT& host) {
    if (!EqualRect(&host, &hostRect)) verticalOffset = 0;
    hostRect = host;
    if (!hwnd) return;
    const RECT place = ComputeFindPanelRect(hostRect, dpi, mode, verticalOffset);
    // HWND_TOP keeps the panel above the editor, its sibling.
    SetWindowPos(hwnd, HWND_TOP, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOACTIVATE);
    Layout();
}

HFONT FindPanel::DrawingFont() const {
    return font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int32_t FindPanel::TextHeight() const {
    int32_t height = 0;
    if (HDC dc = GetDC(hwnd)) {
        const HGDIOBJ previous = SelectObject(dc, DrawingFont());
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(dc, &metrics)) height = metrics.tmHeight;
        SelectObject(dc, previous);
        ReleaseDC(hwnd, dc);
    }
    return std::min(height, ComputeFindPanelMetrics(dpi).buttonSide - 2);
}

void FindPanel::Layout() {
    if (!hwnd) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    int32_t replaceWidth = 0;
    int32_t replaceAllWidth = 0;
    if (mode == Mode::Replace) {
        if (HDC dc = GetDC(hwnd)) {
            const HGDIOBJ previous = SelectObject(dc, DrawingFont());
            replaceWidth = LabelWidth(dc, LoadResourceString(instance, IDS_REPLACE));
            replaceAllWidth = LabelWidth(dc, LoadResourceString(instance, IDS_REPLACE_ALL));
            SelectObject(dc, previous);
            ReleaseDC(hwnd, dc);
        }
    }
    hitAreas = ComputeFindPanelHitAreas(client.right, dpi, mode, replaceWidth, replaceAllWidth);
    PlaceEdit(mode == Mode::GoToLine ? lineEdit : findEdit, 0);
    // Placed in every mode, hidden outside Replace.
    PlaceEdit(replaceEdit, 1);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void FindPanel::PlaceEdit(HWND edit, int32_t row) {
    if (!edit) return;
    const RECT place = ComputeFindPanelEditRect(FindPanelEditRight(hitAreas, dpi), row, dpi, TextHeight());
    MoveWindow(edit, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

int32_t FindPanel::HitTest(POINT point) const {
    for (const HitArea& area : hitAreas) {
        if (PtInRect(&area.rect, point)) return area.type;
    }
    return 0;
}

bool FindPanel::HasFindText() const {
    return findEdit && GetWindowTextLengthW(findEdit) > 0;
}

bool FindPanel::IsEnabled(int32_t type) const {
    return type == kClose || HasFindText();
}

void FindPanel::Raise(Action action) {
    if (onAction) onAction(action);
}

LRESULT CALLBACK FindPanel::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<FindPanel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created) created->hwnd = window;
    }
    auto* panel = reinterpret_cast<FindPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!panel) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The edits went before the panel; forget the window so the object can outlive it.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        panel->hwnd = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // A C callback: nothing may be thrown through it (the owner's callback, a failed allocation).
    try {
        return panel->WndProc(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT FindPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            Layout();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_PRINTCLIENT:
            Draw(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_COMMAND: {
            const auto from = reinterpret_cast<HWND>(lParam);
            if (HIWORD(wParam) != EN_CHANGE || !from) return 0;
            if (from == findEdit) {
                notFound = false;
                // The buttons' enabled state follows the text.
                InvalidateRect(hwnd, nullptr, FALSE);
                Raise(Action::FindTextChanged);
            } else if (from == replaceEdit) {
                Raise(Action::ReplaceTextChanged);
            }
            return 0;
        }
        case WM_CTLCOLOREDIT: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(204, 204, 204));
            SetBkColor(dc, RGB(60, 60, 60));
            SetDCBrushColor(dc, RGB(60, 60, 60));
            return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        }
        case WM_MOUSEMOVE: {
            const int32_t type = HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (!trackingLeave) {
                TRACKMOUSEEVENT request{sizeof(request), TME_LEAVE, hwnd, 0};
                trackingLeave = TrackMouseEvent(&request) != FALSE;
            }
            if (type != hotType) {
                hotType = type;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONDOWN: {
            const int32_t type = HitTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (type == kClose) {
                ShowWindow(hwnd, SW_HIDE);
                if (parent) SetFocus(parent);
            } else if (type != 0 && HasFindText()) {
                switch (type) {
                    case kPrevious:
                        Raise(Action::FindPrevious);
                        break;
                    case kNext:
                        Raise(Action::FindNext);
                        break;
                    case kReplace:
                        Raise(Action::Replace);
                        break;
                    case kReplaceAll:
                        Raise(Action::ReplaceAll);
                        break;
                    default:
                        break;
                }
            }
            return 0;
        }
        case WM_MOUSELEAVE:
            trackingLeave = false;
            if (hotType != 0) {
                hotType = 0;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace lq
