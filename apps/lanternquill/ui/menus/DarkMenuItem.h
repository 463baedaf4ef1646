#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace lq {

// One owner-drawn menu item's record, its item data. It begins with the platform's accessibility header
// so screen readers can read the label; the header points into the record's own `label`, which is why
// a record is never copied or moved once made.
struct DarkMenuItem {
    MSAAMENUINFO header{static_cast<DWORD>(MSAA_MENU_SIG), 0, nullptr};
    std::wstring label;        // cleaned label; empty for a separator
    std::wstring accelerator;  // the text after the first TAB
    HMENU owner = nullptr;     // the menu the item belongs to
    bool separator = false;

    DarkMenuItem() = default;
    DarkMenuItem(const DarkMenuItem&) = delete;
    DarkMenuItem& operator=(const DarkMenuItem&) = delete;

    // Points the header at the current label.
    void UpdateHeader() noexcept {
        header.cchWText = static_cast<DWORD>(label.size());
        header.pszWText = label.data();
    }
};

}  // namespace lq
