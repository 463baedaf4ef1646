#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/menus/MenuBarKeys.h"

namespace lq {

class DarkMenu;

// The main window's menu strip: a toolbar control ("ToolbarWindow32") with one text button per
// top-level item of the main menu, painted dark through custom draw. A button press drops its menu
// down as an owner-drawn popup; while a menu is open, hovering another button or pressing Left/Right
// switches to the neighbouring menu. The keyboard works as with a system menu bar: Alt or F10 alone
// enters keyboard mode on the first button, Alt+mnemonic opens a menu directly. UI thread only.
//
// The owner forwards to it: TBN_DROPDOWN (OpenMenu(id - 100, false)), NM_CUSTOMDRAW (OnCustomDraw),
// WM_SYSCOMMAND SC_KEYMENU (OnSysChar), WM_ACTIVATE (OnOwnerActivate), WM_DPICHANGED (SetDpi), and
// every message of the loop before its own key handling (PreTranslateKey). Chosen commands arrive as
// WM_COMMAND at the owner.
class MenuBar {
public:
    MenuBar() = default;
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Makes the toolbar as a child of `owner` with a button per top-level item of `menu` (not owned;
    // it must outlive the bar) and lays it out at the owner's DPI. False when the toolbar cannot be
    // made. `darkMenu` supplies the font and must outlive the bar.
    [[nodiscard]] bool Create(HWND owner, HINSTANCE instance, HMENU menu, DarkMenu& darkMenu);

    // A new DPI: new menu font, new sizes.
    void SetDpi(int32_t dpi);
    // Sizes every button to its label, sets the bar's height and indent, repaints.
    void Layout();

    // The button whose mnemonic is the upper-cased `key`; -1 when none.
    [[nodiscard]] int32_t FindMnemonic(wchar_t key) const noexcept;
    // The menu key with a character (SC_KEYMENU's, or Alt+character): see DecideMenuBarSysChar.
    // True when handled.
    bool OnSysChar(wchar_t character);
    // Runs before every other key handling of the message loop; true when the message is consumed
    // (neither translated nor dispatched).
    bool PreTranslateKey(const MSG& message);

    // Drops down button `index`'s menu and keeps tracking menus, as Left/Right and hovering chain to
    // neighbours, until one closes with no other to open. `byKeyboard` opens with the first item
    // selected. Returns when no menu is open; does nothing while a menu is already tracked.
    void OpenMenu(int32_t index, bool byKeyboard);

    // The message-filter hook's work while a menu of this bar is open (code MSGF_MENU); true when
    // the message is swallowed.
    bool MsgFilterHook(int code, const MSG& message);

    // Paints the bar and its buttons; the result to return for NM_CUSTOMDRAW.
    [[nodiscard]] LRESULT OnCustomDraw(const NMTBCUSTOMDRAW& draw);

    // The toolbar's notifications as the owner's WM_NOTIFY gets them: TBN_DROPDOWN opens that button's
    // menu (result 0), NM_CUSTOMDRAW paints. False for other senders and codes (default processing).
    bool OnNotify(const NMHDR& header, LRESULT& result);

    // The owner was activated or deactivated: repaint (the labels dim), and leave keyboard mode on
    // deactivation.
    void OnOwnerActivate(bool active);

    [[nodiscard]] HWND toolbar() const noexcept { return toolbar_; }
    [[nodiscard]] int32_t dpi() const noexcept { return dpi_; }
    [[nodiscard]] int32_t height() const noexcept;
    [[nodiscard]] int32_t hotIndex() const noexcept { return keys_.hotIndex; }
    [[nodiscard]] int32_t openIndex() const noexcept { return openIndex_; }
    [[nodiscard]] int32_t buttonCount() const noexcept { return static_cast<int32_t>(labels_.size()); }
    [[nodiscard]] const std::vector<std::wstring>& labels() const noexcept { return labels_; }
    [[nodiscard]] const std::vector<wchar_t>& mnemonics() const noexcept { return mnemonics_; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void Apply(const MenuBarKeyOutcome& outcome);
    void Repaint(bool now = false);
    void ApplyFont();
    [[nodiscard]] int32_t HitTest(POINT screenPoint) const;

    HWND owner_ = nullptr;
    HWND toolbar_ = nullptr;
    HMENU menu_ = nullptr;
    DarkMenu* darkMenu_ = nullptr;
    int32_t dpi_ = 96;
    MenuBarKeyState keys_;  // hotIndex and pendingMenuKey
    int32_t openIndex_ = -1;
    int32_t nextIndex_ = -1;
    bool nextByKeyboard_ = false;
    // Where the pointer was when the open menu last saw it: the system also reports a move when a
    // menu opens, and only a real move may switch to the button under the pointer.
    POINT lastPointer_{};
    HHOOK hook_ = nullptr;
    std::vector<std::wstring> labels_;
    std::vector<wchar_t> mnemonics_;
};

}  // namespace lq
