#include "ui/menus/MenuBar.h"

#include <uxtheme.h>

#include <climits>

#include "ui/menus/DarkMenu.h"
#include "ui/menus/MenuBarLayout.h"
#include "ui/menus/MenuGdi.h"
#include "ui/menus/MenuText.h"

namespace lq {
namespace {

constexpr int kMenuTextCapacity = 64;  // at most 63 characters of a top-level menu text

// The bar whose menu is being tracked; the message-filter hook has no data of its own.
MenuBar* g_trackingBar = nullptr;

}  // namespace

MenuBar::~MenuBar() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (g_trackingBar == this) g_trackingBar = nullptr;
    if (toolbar_ && IsWindow(toolbar_)) DestroyWindow(toolbar_);
}

bool MenuBar::Create(HWND owner, HINSTANCE instance, HMENU menu, DarkMenu& darkMenu) {
    if (toolbar_) return false;
    owner_ = owner;
    menu_ = menu;
    darkMenu_ = &darkMenu;
    const UINT ownerDpi = owner ? GetDpiForWindow(owner) : 0;
    dpi_ = ownerDpi != 0 ? static_cast<int32_t>(ownerDpi) : 96;

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER |
                                   CCS_NOPARENTALIGN | CCS_NORESIZE,
                               0, 0, 0, 0, owner, nullptr, instance, nullptr);
    if (!toolbar_) return false;

    SetWindowTheme(toolbar_, L"", L"");
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ApplyFont();
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessageW(toolbar_, TB_SETPADDING, 0, MAKELPARAM(0, 0));

    const int count = menu ? GetMenuItemCount(menu) : 0;
    labels_.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (int i = 0; i < count; ++i) {
        wchar_t text[kMenuTextCapacity] = {};
        if (!GetMenuStringW(menu, static_cast<UINT>(i), text, kMenuTextCapacity, MF_BYPOSITION)) text[0] = L'\0';
        mnemonics_.push_back(MenuMnemonic(text));
        labels_.push_back(DarkMenu::CleanLabel(text));

        TBBUTTON button{};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = kMenuBarFirstButtonId + i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_DROPDOWN | BTNS_NOPREFIX | BTNS_SHOWTEXT;
        button.iString = reinterpret_cast<INT_PTR>(labels_.back().c_str());
        SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    ApplyFont();
    Layout();
    return true;
}

void MenuBar::ApplyFont() {
    if (!toolbar_ || !darkMenu_) return;
    darkMenu_->UpdateFont(dpi_);
    SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(darkMenu_->font()), FALSE);
}

void MenuBar::SetDpi(int32_t dpi) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    ApplyFont();
    Layout();
}

int32_t MenuBar::height() const noexcept {
    return MenuBarHeight(dpi_);
}

void MenuBar::Layout() {
    if (!toolbar_) return;
    // The indent first: some toolbars recompute their layout only on the later size changes.
    SendMessageW(toolbar_, TB_SETINDENT, static_cast<WPARAM>(MenuBarIndent(dpi_)), 0);
    const HFONT font = darkMenu_ ? darkMenu_->font() : nullptr;
    for (size_t i = 0; i < labels_.size(); ++i) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_SIZE;
        info.cx = static_cast<WORD>(MenuBarButtonWidth(MeasureTextWidth(font, labels_[i]), dpi_));
        SendMessageW(toolbar_, TB_SETBUTTONINFOW, static_cast<WPARAM>(kMenuBarFirstButtonId + i),
                     reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(0, height()));
    Repaint();
}

void MenuBar::Repaint(bool now) {
    if (!toolbar_) return;
    // The custom draw fills every pixel, so there is nothing to erase.
    InvalidateRect(toolbar_, nullptr, FALSE);
    if (now) UpdateWindow(toolbar_);
}

int32_t MenuBar::FindMnemonic(wchar_t key) const noexcept {
    return FindMnemonicIndex(mnemonics_, key);
}

void MenuBar::Apply(const MenuBarKeyOutcome& outcome) {
    if (outcome.repaint) Repaint();
    if (outcome.openIndex >= 0) OpenMenu(outcome.openIndex, true);
}

bool MenuBar::OnSysChar(wchar_t character) {
    const MenuBarKeyOutcome outcome = DecideMenuBarSysChar(keys_, mnemonics_, character);
    Apply(outcome);
    return outcome.consumed;
}

bool MenuBar::PreTranslateKey(const MSG& message) {
    const bool shiftDown = GetKeyState(VK_SHIFT) < 0;
    const MenuBarKeyOutcome outcome =
        DecideMenuBarKey(keys_, mnemonics_, message.message, message.wParam, message.lParam, shiftDown);
    // The character an Alt+numpad code ends with is posted by the translation of the Alt release.
    if (outcome.consumed && outcome.translate) TranslateMessage(&message);
    Apply(outcome);
    return outcome.consumed;
}

void MenuBar::OpenMenu(int32_t index, bool byKeyboard) {
    // One menu at a time: TrackPopupMenuEx cannot nest, and the hook has one bar to report to.
    if (!toolbar_ || openIndex_ >= 0 || g_trackingBar) return;
    if (keys_.hotIndex >= 0) {
        keys_.hotIndex = -1;
        Repaint();
    }
    while (index >= 0 && index < buttonCount()) {
        openIndex_ = index;
        nextIndex_ = -1;
        Repaint(true);

        RECT button{};
        SendMessageW(toolbar_, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
        MapWindowPoints(toolbar_, nullptr, reinterpret_cast<POINT*>(&button), 2);
        // The menu's own loop takes this key first and so selects the first item.
        if (byKeyboard) PostMessageW(owner_, WM_KEYDOWN, VK_DOWN, 0);

        if (!GetCursorPos(&lastPointer_)) lastPointer_ = POINT{LONG_MIN, LONG_MIN};
        g_trackingBar = this;
        hook_ = SetWindowsHookExW(WH_MSGFILTER, HookProc, nullptr, GetCurrentThreadId());
        TPMPARAMS exclusion{sizeof(exclusion), button};
        if (HMENU popup = GetSubMenu(menu_, index)) {
            TrackPopupMenuEx(popup, TPM_VERTICAL, button.left, button.bottom, owner_, &exclusion);
        }
        if (hook_) UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
        g_trackingBar = nullptr;
        index = nextIndex_;
        byKeyboard = nextByKeyboard_;
    }
    openIndex_ = -1;
    nextIndex_ = -1;
    Repaint();
}

LRESULT CALLBACK MenuBar::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU && g_trackingBar && lParam &&
        g_trackingBar->MsgFilterHook(code, *reinterpret_cast<const MSG*>(lParam))) {
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int32_t MenuBar::HitTest(POINT screenPoint) const {
    POINT point = screenPoint;
    if (!ScreenToClient(toolbar_, &point)) return -1;
    const auto hit = static_cast<int32_t>(SendMessageW(toolbar_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    return hit >= 0 && hit < buttonCount() ? hit : -1;
}

bool MenuBar::MsgFilterHook(int code, const MSG& message) {
    if (code != MSGF_MENU || openIndex_ < 0) return false;
    const int32_t count = buttonCount();
    switch (message.message) {
        case WM_KEYDOWN:
            if (message.wParam != VK_LEFT && message.wParam != VK_RIGHT) return false;
            nextIndex_ = (openIndex_ + (message.wParam == VK_LEFT ? count - 1 : 1)) % count;
            nextByKeyboard_ = true;
            EndMenu();
            return true;
        case WM_MOUSEMOVE: {
            if (message.pt.x == lastPointer_.x && message.pt.y == lastPointer_.y) return false;
            lastPointer_ = message.pt;
            const int32_t hit = HitTest(message.pt);
            if (hit < 0 || hit == openIndex_) return false;
            nextIndex_ = hit;
            nextByKeyboard_ = false;
            EndMenu();
            return true;
        }
        case WM_LBUTTONDOWN:
            if (HitTest(message.pt) != openIndex_) return false;
            nextIndex_ = -1;
            EndMenu();
            return true;
        default:
            return false;
    }
}

LRESULT MenuBar::OnCustomDraw(const NMTBCUSTOMDRAW& draw) {
    HDC dc = draw.nmcd.hdc;
    if (!dc) return CDRF_DODEFAULT;
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: {
            RECT client{};
            if (toolbar_) GetClientRect(toolbar_, &client);
            FillSolid(dc, client, kMenuBarBackground);
            return CDRF_NOTIFYITEMDRAW;
        }
        case CDDS_ITEMPREPAINT: {
            const auto index = static_cast<int32_t>(draw.nmcd.dwItemSpec) - kMenuBarFirstButtonId;
            const bool valid = index >= 0 && index < buttonCount();
            const bool highlighted = MenuBarButtonHighlighted(draw.nmcd.uItemState, index, keys_.hotIndex, openIndex_);
            FillSolid(dc, draw.nmcd.rc, highlighted ? kMenuBarHighlight : kMenuBarBackground);
            if (!valid) return CDRF_DODEFAULT;

            const HFONT font = darkMenu_ ? darkMenu_->font() : nullptr;
            SelectionScope selected(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
            const int previousMode = SetBkMode(dc, TRANSPARENT);
            const COLORREF previousText =
                SetTextColor(dc, MenuBarTextColour(owner_ && GetActiveWindow() == owner_, highlighted));
            const std::wstring& label = labels_[static_cast<size_t>(index)];
            RECT rect = draw.nmcd.rc;
            DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &rect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SetTextColor(dc, previousText);
            SetBkMode(dc, previousMode);
            return CDRF_SKIPDEFAULT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

bool MenuBar::OnNotify(const NMHDR& header, LRESULT& result) {
    if (!toolbar_ || header.hwndFrom != toolbar_) return false;
    if (header.code == TBN_DROPDOWN) {
        const auto& dropDown = reinterpret_cast<const NMTOOLBARW&>(header);
        OpenMenu(dropDown.iItem - kMenuBarFirstButtonId, false);
        result = TBDDRET_DEFAULT;
        return true;
    }
    if (header.code == NM_CUSTOMDRAW) {
        result = OnCustomDraw(reinterpret_cast<const NMTBCUSTOMDRAW&>(header));
        return true;
    }
    return false;
}

void MenuBar::OnOwnerActivate(bool active) {
    if (!active) {
        keys_.hotIndex = -1;
        keys_.pendingMenuKey = 0;
    }
    Repaint();
}

}  // namespace lq
