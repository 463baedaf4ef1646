#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace lq {

// Small owners of the GDI objects the menus and the menu bar use.

// Owns one GDI object (a font, a brush) and deletes it on reset or destruction.
template <typename Handle>
class UniqueGdiObject {
public:
    UniqueGdiObject() = default;
    explicit UniqueGdiObject(Handle handle) noexcept : handle_(handle) {}
    ~UniqueGdiObject() { reset(); }
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void reset(Handle handle = nullptr) noexcept {
        if (handle_ && handle_ != handle) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

// Selects an object into a device context for the scope and puts the previous one back.
class SelectionScope {
public:
    SelectionScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectionScope() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The width in pixels of one line of `text` in `font` (the stock GUI font when null), measured on
// the screen's device context; 0 when it cannot be measured.
[[nodiscard]] int32_t MeasureTextWidth(HFONT font, std::wstring_view text) noexcept;

// Fills `rect` with a solid colour through the device context's own brush (nothing to delete).
void FillSolid(HDC dc, const RECT& rect, COLORREF colour) noexcept;

}  // namespace lq
