#include "ui/gdi/GdiObjects.h"

namespace lq {

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) noexcept {
    // An inverted rectangle would be filled mirrored; an empty one fills nothing anyway.
    if (rect.left >= rect.right || rect.top >= rect.bottom) return;
    const COLORREF previous = SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
}

}  // namespace lq
