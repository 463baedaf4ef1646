#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lq::test {

// The client area of a window as the screen shows it, children included.
class Screenshot {
public:
    // Copied from the screen, so the window should be in front (none when the copy failed).
    [[nodiscard]] static std::optional<Screenshot> OfClientArea(HWND window);

    [[nodiscard]] int width() const noexcept { return width_; }
    [[nodiscard]] int height() const noexcept { return height_; }
    // The colour at a point of the window's client area (black outside the picture).
    [[nodiscard]] COLORREF Pixel(int x, int y) const;
    // How many pixels of `area` (client coordinates, clipped to the picture) lie within `tolerance`
    // of `colour` in each of red, green and blue.
    [[nodiscard]] int CountNear(RECT area, COLORREF colour, int tolerance = 0) const;
    // A 32-bit bottom-up .bmp file, for people to look at.
    bool SaveBmp(const std::wstring& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// "#RRGGBB", for failure messages.
[[nodiscard]] std::string ColourText(COLORREF colour);
// The rectangle of `child` in the client coordinates of `ancestor`.
[[nodiscard]] RECT RectIn(HWND ancestor, HWND child);
// A folder "screenshots" in the build folder (beside the folder of the test executable), made when
// missing.
[[nodiscard]] std::wstring ScreenshotFolder();

}  // namespace lq::test
