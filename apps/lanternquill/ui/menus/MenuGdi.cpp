#include "ui/menus/MenuGdi.h"

namespace lq {

int32_t MeasureTextWidth(HFONT font, std::wstring_view text) noexcept {
    if (text.empty()) return 0;
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    SIZE size{};
    {
        SelectionScope selected(screen, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
        if (!GetTextExtentPoint32W(screen, text.data(), static_cast<int>(text.size()), &size)) size.cx = 0;
    }
    ReleaseDC(nullptr, screen);
    return size.cx;
}

}  // namespace lq
