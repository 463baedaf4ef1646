#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/menus/DarkMenuItem.h"
#include "ui/menus/MenuGdi.h"

namespace lq {

// Draws the program's menus dark: turns the items of a menu into owner-drawn items that carry a
// DarkMenuItem record, keeps the records, and measures and paints them for WM_MEASUREITEM and
// WM_DRAWITEM. Owns the menu font and the menu background brush. UI thread only.
class DarkMenu {
public:
    DarkMenu() = default;
    ~DarkMenu();
    DarkMenu(const DarkMenu&) = delete;
    DarkMenu& operator=(const DarkMenu&) = delete;

    // The label of a menu text as shown (see CleanMenuLabel).
    [[nodiscard]] static std::wstring CleanLabel(std::wstring_view text);

    // Gives `menu` the dark background and makes every item of it owner-drawn with a record of its
    // own, recursing into submenus. An item whose information cannot be read stays as it was; an
    // item that already carries a record of this object keeps it.
    void MakeOwnerDrawn(HMENU menu);

    // Deletes the records whose owner is `menu` (not those of its submenus). When the menu still
    // exists its items are made plain again first, so none is left pointing at a deleted record.
    void ForgetMenu(HMENU menu);

    // Makes the menu font for `dpi` (the system menu font 15 % larger, in the user-interface face)
    // unless it exists for that DPI already; on failure the current font stays.
    void UpdateFont(int32_t dpi);

    // Sizes an item of ours; false (not handled) for other controls, data that is no record of this
    // object, or while there is no font.
    bool OnMeasureItem(MEASUREITEMSTRUCT& measure);

    // Paints an item of ours; false (not handled) for other controls and data that is no record of
    // this object.
    bool OnDrawItem(const DRAWITEMSTRUCT& draw);

    // The record that `itemData` is, when it is one of this object's; null otherwise.
    [[nodiscard]] const DarkMenuItem* FindItem(ULONG_PTR itemData) const noexcept;

    [[nodiscard]] HFONT font() const noexcept { return font_.get(); }
    [[nodiscard]] int32_t dpi() const noexcept { return dpi_; }
    [[nodiscard]] size_t itemCount() const noexcept { return items_.size(); }

private:
    void EnsureBackgroundBrush();
    void DrawSeparator(HDC dc, const RECT& rect) const;
    void DrawCheckMark(HDC dc, const RECT& rect, COLORREF colour) const;

    std::vector<std::unique_ptr<DarkMenuItem>> items_;
    UniqueFont font_;
    int32_t dpi_ = 96;
    UniqueBrush backgroundBrush_;
};

}  // namespace lq
