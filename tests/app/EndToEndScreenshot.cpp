#include "EndToEndScreenshot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ProgramFile.h"

namespace lq::test {
namespace {

// Owns a device context from GetDC and gives it back.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

}  // namespace

std::optional<Screenshot> Screenshot::OfClientArea(HWND window) {
    RECT client{};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return std::nullopt;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const ScreenDc screen;
    if (screen.get() == nullptr) return std::nullopt;

    Screenshot shot;
    shot.width_ = client.right;
    shot.height_ = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shot.width_;
    info.bmiHeader.biHeight = -shot.height_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return std::nullopt;
    const HDC memory = CreateCompatibleDC(screen.get());
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied =
        BitBlt(memory, 0, 0, shot.width_, shot.height_, screen.get(), origin.x, origin.y, SRCCOPY) != FALSE;
    GdiFlush();
    if (copied) {
        const auto* source = static_cast<const uint32_t*>(bits);
        shot.pixels_.assign(source, source + static_cast<size_t>(shot.width_) * static_cast<size_t>(shot.height_));
        for (uint32_t& pixel : shot.pixels_) pixel &= 0x00FFFFFF;
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    if (!copied) return std::nullopt;
    return shot;
}

COLORREF Screenshot::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return RGB(0, 0, 0);
    const uint32_t pixel = pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int Screenshot::CountNear(RECT area, COLORREF colour, int tolerance) const {
    int count = 0;
    for (int y = std::max(0L, area.top); y < std::min<LONG>(height_, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<LONG>(width_, area.right); ++x) {
            const COLORREF pixel = Pixel(x, y);
            if (std::abs(GetRValue(pixel) - GetRValue(colour)) <= tolerance &&
                std::abs(GetGValue(pixel) - GetGValue(colour)) <= tolerance &&
                std::abs(GetBValue(pixel) - GetBValue(colour)) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

bool Screenshot::SaveBmp(const std::wstring& path) const {
    const uint32_t imageBytes = static_cast<uint32_t>(pixels_.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = height_;  // bottom-up, which every viewer reads
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageBytes;
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    for (int y = height_ - 1; y >= 0; --y) {
        out.write(reinterpret_cast<const char*>(&pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_)]),
                  static_cast<std::streamsize>(width_) * 4);
    }
    return static_cast<bool>(out.flush());
}

std::string ColourText(COLORREF colour) {
    char text[8] = {};
    std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

RECT RectIn(HWND ancestor, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, ancestor, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring ScreenshotFolder() {
    const std::filesystem::path program(ProgramPath());
    std::filesystem::path folder = program.parent_path().parent_path() / L"screenshots";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder.wstring();
}

}  // namespace lq::test
