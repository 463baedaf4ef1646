#include "ui/menus/DarkMenu.h"

#include <algorithm>
#include <cwchar>

#include "editor/EditorFonts.h"
#include "ui/menus/DarkMenuLayout.h"
#include "ui/menus/MenuText.h"

namespace lq {
namespace {

constexpr int kItemTextCapacity = 256;

// Sets an item's type and data, by position.
bool SetItemTypeAndData(HMENU menu, int position, UINT type, ULONG_PTR data) noexcept {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType = type;
    info.dwItemData = data;
    return SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) != FALSE;
}

void DrawLine(HDC dc, std::wstring_view text, RECT rect, UINT alignment) noexcept {
    if (text.empty()) return;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect,
              alignment | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace

DarkMenu::~DarkMenu() = default;

std::wstring DarkMenu::CleanLabel(std::wstring_view text) {
    return CleanMenuLabel(text);
}

void DarkMenu::EnsureBackgroundBrush() {
    if (!backgroundBrush_) backgroundBrush_.reset(CreateSolidBrush(kMenuBackground));
}

void DarkMenu::MakeOwnerDrawn(HMENU menu) {
    if (!menu) return;
    EnsureBackgroundBrush();
    MENUINFO menuInfo{};
    menuInfo.cbSize = sizeof(menuInfo);
    menuInfo.fMask = MIM_BACKGROUND;
    menuInfo.hbrBack = backgroundBrush_.get();
    SetMenuInfo(menu, &menuInfo);

    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[kItemTextCapacity] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU | MIIM_DATA;
        info.dwTypeData = text;
        info.cch = kItemTextCapacity;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
        text[kItemTextCapacity - 1] = L'\0';

        // Made owner-drawn before (the same menu shown again): its record stays the item's data.
        if (FindItem(info.dwItemData) == nullptr) {
            auto record = std::make_unique<DarkMenuItem>();
            record->owner = menu;
            record->separator = (info.fType & MFT_SEPARATOR) != 0;
            if (!record->separator) {
                const std::wstring_view itemText(text, std::wcslen(text));
                record->label = CleanLabel(itemText);
                record->accelerator = MenuAccelerator(itemText);
            }
            record->UpdateHeader();
            if (SetItemTypeAndData(menu, position, info.fType | MFT_OWNERDRAW,
                                   reinterpret_cast<ULONG_PTR>(record.get()))) {
                items_.push_back(std::move(record));
            }
        }
        if (info.hSubMenu) MakeOwnerDrawn(info.hSubMenu);
    }
}

void DarkMenu::ForgetMenu(HMENU menu) {
    if (menu && IsMenu(menu)) {
        const int count = GetMenuItemCount(menu);
        for (int position = 0; position < count; ++position) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) continue;
            const DarkMenuItem* record = FindItem(info.dwItemData);
            if (record && record->owner == menu) {
                (void)SetItemTypeAndData(menu, position, info.fType & ~static_cast<UINT>(MFT_OWNERDRAW), 0);
            }
        }
    }
    std::erase_if(items_, [menu](const std::unique_ptr<DarkMenuItem>& item) { return item->owner == menu; });
}

void DarkMenu::UpdateFont(int32_t dpi) {
    if (font_ && dpi == dpi_) return;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (dpi <= 0 ||
        !SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
        return;
    }
    LOGFONTW logFont = metrics.lfMenuFont;
    logFont.lfHeight = MulDiv(logFont.lfHeight, 115, 100);
    logFont.lfQuality = CLEARTYPE_QUALITY;
    try {
        const std::wstring& face = UiFontFace();
        if (!face.empty()) {
            const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
            std::copy_n(face.data(), length, logFont.lfFaceName);
            logFont.lfFaceName[length] = L'\0';
        }
    } catch (...) {
        // Out of memory while choosing the face: the system menu font's own face will do.
    }
    HFONT created = CreateFontIndirectW(&logFont);
    if (!created) return;
    font_.reset(created);
    dpi_ = dpi;
}

const DarkMenuItem* DarkMenu::FindItem(ULONG_PTR itemData) const noexcept {
    if (itemData == 0) return nullptr;
    for (const auto& item : items_) {
        if (reinterpret_cast<ULONG_PTR>(item.get()) == itemData) return item.get();
    }
    return nullptr;
}

bool DarkMenu::OnMeasureItem(MEASUREITEMSTRUCT& measure) {
    if (measure.CtlType != ODT_MENU) return false;
    const DarkMenuItem* item = FindItem(measure.itemData);
    if (!item || !font_) return false;
    if (item->separator) {
        measure.itemWidth = 0;
        measure.itemHeight = static_cast<UINT>(MenuItemHeight(true, dpi_));
        return true;
    }
    const int32_t labelWidth = MeasureTextWidth(font_.get(), item->label);
    std::optional<int32_t> acceleratorWidth;
    if (!item->accelerator.empty()) acceleratorWidth = MeasureTextWidth(font_.get(), item->accelerator);
    const int32_t checkWidth = GetSystemMetricsForDpi(SM_CXMENUCHECK, static_cast<UINT>(dpi_));
    measure.itemWidth = static_cast<UINT>(MenuItemWidth(labelWidth, acceleratorWidth, dpi_, checkWidth));
    measure.itemHeight = static_cast<UINT>(MenuItemHeight(false, dpi_));
    return true;
}

void DarkMenu::DrawSeparator(HDC dc, const RECT& rect) const {
    FillSolid(dc, rect, kMenuBackground);
    FillSolid(dc, MenuSeparatorLine(rect, dpi_), kMenuSeparatorLine);
}

void DarkMenu::DrawCheckMark(HDC dc, const RECT& rect, COLORREF colour) const {
    SelectionScope pen(dc, GetStockObject(DC_PEN));
    const COLORREF previous = SetDCPenColor(dc, colour);
    for (const auto& line : MenuCheckMark(rect, dpi_)) Polyline(dc, line.data(), static_cast<int>(line.size()));
    SetDCPenColor(dc, previous);
}

bool DarkMenu::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_MENU) return false;
    const DarkMenuItem* item = FindItem(draw.itemData);
    if (!item) return false;
    HDC dc = draw.hDC;
    const RECT& rect = draw.rcItem;
    const bool disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;

    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousText = GetTextColor(dc);
    {
        SelectionScope font(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
        if (item->separator) {
            DrawSeparator(dc, rect);
        } else {
            const bool highlighted = !disabled && (draw.itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
            FillSolid(dc, rect, highlighted ? kMenuHighlight : kMenuBackground);
            const COLORREF textColour = disabled ? kMenuDisabledText : kMenuText;
            if (draw.itemState & ODS_CHECKED) DrawCheckMark(dc, rect, textColour);
            const RECT textRect = MenuTextRect(rect, dpi_);
            SetTextColor(dc, textColour);
            DrawLine(dc, item->label, textRect, DT_LEFT);
            if (!item->accelerator.empty()) {
                SetTextColor(dc, disabled ? kMenuDisabledText : kMenuAcceleratorText);
                DrawLine(dc, item->accelerator, textRect, DT_RIGHT);
            }
        }
    }
    SetTextColor(dc, previousText);
    SetBkMode(dc, previousMode);
    return true;
}

}  // namespace lq
