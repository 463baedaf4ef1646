#include "support/PixelCapture.h"

#include <cstdio>

namespace lq::test {

PixelCapture::PixelCapture(int width, int height, COLORREF fill) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) return;
    bits_ = static_cast<uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    const uint32_t packed = (uint32_t{GetRValue(fill)} << 16) | (uint32_t{GetGValue(fill)} << 8) | GetBValue(fill);
    std::fill(bits_, bits_ + static_cast<size_t>(width) * height, packed);
}

PixelCapture::~PixelCapture() {
    if (previous_) SelectObject(dc_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

void PixelCapture::Print(HWND window, LPARAM flags) const {
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), flags);
}

COLORREF PixelCapture::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();  // drawing may still be batched
    const uint32_t pixel = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

RECT PixelCapture::Clip(const RECT& area) const noexcept {
    return RECT{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0), std::min<LONG>(area.right, width_),
                std::min<LONG>(area.bottom, height_)};
}

int PixelCapture::Brightest(const RECT& area) const {
    int brightest = 0;
    const RECT clipped = Clip(area);
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        for (int x = clipped.left; x < clipped.right; ++x) {
            const COLORREF c = Pixel(x, y);
            brightest = std::max({brightest, int{GetRValue(c)}, int{GetGValue(c)}, int{GetBValue(c)}});
        }
    }
    return brightest;
}

int PixelCapture::CountOf(const RECT& area, COLORREF colour) const {
    int count = 0;
    const RECT clipped = Clip(area);
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        for (int x = clipped.left; x < clipped.right; ++x) count += Pixel(x, y) == colour ? 1 : 0;
    }
    return count;
}

std::set<COLORREF> PixelCapture::Colours(const RECT& area) const {
    std::set<COLORREF> colours;
    const RECT clipped = Clip(area);
    for (int y = clipped.top; y < clipped.bottom; ++y) {
        for (int x = clipped.left; x < clipped.right; ++x) colours.insert(Pixel(x, y));
    }
    return colours;
}

std::string Hex(COLORREF colour) {
    char text[16];
    snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

}  // namespace lq::test
