#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

namespace lq::test {

// A 32-bit top-down DIB section selected into a memory DC and filled with one colour first, so that a
// pixel the drawing missed stands out: a window prints into it (Print) or a test draws into dc(), then
// reads its pixels. Check ok() before use.
class PixelCapture {
public:
    PixelCapture(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~PixelCapture();
    PixelCapture(const PixelCapture&) = delete;
    PixelCapture& operator=(const PixelCapture&) = delete;

    [[nodiscard]] bool ok() const noexcept { return dc_ && bitmap_ && bits_; }
    [[nodiscard]] HDC dc() const noexcept { return dc_; }
    [[nodiscard]] int width() const noexcept { return width_; }
    [[nodiscard]] int height() const noexcept { return height_; }

    // What `window` paints into the bitmap for WM_PRINTCLIENT with `flags`.
    void Print(HWND window, LPARAM flags = PRF_CLIENT) const;

    // The colour of one pixel; CLR_INVALID outside the bitmap.
    [[nodiscard]] COLORREF Pixel(int x, int y) const;
    // Whether any pixel of `area` (clipped to the bitmap) satisfies `test`.
    template <typename Test>
    [[nodiscard]] bool Any(const RECT& area, Test test) const {
        const RECT clipped = Clip(area);
        for (int y = clipped.top; y < clipped.bottom; ++y) {
            for (int x = clipped.left; x < clipped.right; ++x) {
                if (test(Pixel(x, y))) return true;
            }
        }
        return false;
    }
    // The highest channel value of any pixel of `area`: how light the ink drawn there is.
    [[nodiscard]] int Brightest(const RECT& area) const;
    // How many pixels of `area` have exactly `colour`.
    [[nodiscard]] int CountOf(const RECT& area, COLORREF colour) const;
    // The colours found in `area`.
    [[nodiscard]] std::set<COLORREF> Colours(const RECT& area) const;

private:
    [[nodiscard]] RECT Clip(const RECT& area) const noexcept;

    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// "#RRGGBB", for failure messages.
[[nodiscard]] std::string Hex(COLORREF colour);

}  // namespace lq::test
