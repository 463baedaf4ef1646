#include "ui/commands/MainMenu.h"

#include <array>

#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"

namespace lq {
namespace {

constexpr uint32_t kSeparator = 0;

constexpr std::array<uint32_t, 8> kFileEntries{
    IDM_NEW_NOTE, IDM_NEW_PROJECT, kSeparator, IDM_IMPORT, IDM_EXPORT, IDM_BACKUP, kSeparator, IDM_EXIT,
};

// clang-format off
constexpr std::array<uint32_t, 16> kEditEntries{
    IDM_UNDO, IDM_REDO, kSeparator,
    IDM_CUT, IDM_COPY, IDM_PASTE, IDM_SELECT_ALL, IDM_DUPLICATE, kSeparator,
    IDM_FIND, IDM_REPLACE, kSeparator,
    IDM_SEARCH_ALL_NOTES, IDM_REPLACE_ALL_NOTES, kSeparator,
    IDM_GO_TO_LINE,
};
// clang-format on

constexpr std::array<uint32_t, 6> kViewEntries{
    IDM_ZOOM_IN, IDM_ZOOM_OUT, IDM_ZOOM_RESET, kSeparator, IDM_WRAP, IDM_SHOW_SIDEBAR,
};

// The shortcut text shown after the label of menu entry `menuId`, when its command has a key.
std::wstring ShortcutTextFor(uint32_t menuId) {
    const std::optional<int32_t> command = CommandForMenuId(menuId);
    if (!command) return {};
    const std::optional<Shortcut> shortcut = ShortcutForCommand(*command);
    if (!shortcut) return {};
    return FormatShortcut(*shortcut);
}

std::wstring KeyName(uint32_t key) {
    switch (key) {
        case VK_TAB:
            return L"Tab";
        case VK_RETURN:
            return L"Enter";
        case VK_ESCAPE:
            return L"Esc";
        case VK_INSERT:
            return L"Ins";
        case VK_DELETE:
            return L"Del";
        case VK_NUMPAD0:
            return L"Num 0";
        case VK_ADD:
            return L"Num +";
        case VK_SUBTRACT:
            return L"Num -";
        case VK_OEM_PLUS:
            return L"+";
        case VK_OEM_MINUS:
            return L"-";
        default:
            break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
    return L"?";
}

// A popup filled with `ids`, appended to `bar` under the string `labelId`; false when it cannot be.
bool AppendPopup(HMENU bar, HINSTANCE instance, UINT labelId, std::span<const uint32_t> ids) {
    HMENU popup = CreatePopupMenu();
    if (!popup) return false;
    AppendMenuItems(popup, instance, ids);
    const std::wstring label = LoadResourceString(instance, labelId);
    if (!AppendMenuW(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), label.c_str())) {
        DestroyMenu(popup);
        return false;
    }
    return true;
}

}  // namespace

HMENU BuildMainMenu(HINSTANCE instance) {
    HMENU bar = CreateMenu();
    if (!bar) return nullptr;
    const bool built = AppendPopup(bar, instance, IDS_MENU_FILE, kFileEntries) &&
                       AppendPopup(bar, instance, IDS_MENU_EDIT, kEditEntries) &&
                       AppendPopup(bar, instance, IDS_MENU_VIEW, kViewEntries);
    if (!built) {
        // A menu without all its entries would hide commands: the caller gets none at all.
        DestroyMenu(bar);
        return nullptr;
    }
    return bar;
}

void AppendMenuItems(HMENU menu, HINSTANCE instance, std::span<const uint32_t> ids) {
    for (const uint32_t id : ids) {
        if (id == kSeparator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring label = LoadResourceString(instance, id);
        const std::wstring shortcut = ShortcutTextFor(id);
        if (!shortcut.empty()) label += L'\t' + shortcut;
        AppendMenuW(menu, MF_STRING, id, label.c_str());
    }
}

std::wstring FormatShortcut(const Shortcut& shortcut) {
    std::wstring text;
    if (shortcut.ctrl) text += L"Ctrl+";
    if (shortcut.shift) text += L"Shift+";
    if (shortcut.alt) text += L"Alt+";
    return text + KeyName(shortcut.key);
}

bool IsEditControl(HWND window) {
    if (!window || !IsWindow(window)) return false;
    wchar_t className[16] = {};
    if (GetClassNameW(window, className, static_cast<int>(std::size(className))) == 0) return false;
    return CompareStringOrdinal(className, -1, L"Edit", -1, TRUE) == CSTR_EQUAL;
}

}  // namespace lq
