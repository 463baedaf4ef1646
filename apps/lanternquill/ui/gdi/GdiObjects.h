#pragma once

#include <windows.h>

#include <utility>

namespace lq {

// Small owners of GDI objects and of device-context state, for every panel's drawing.

// Sole owner of one GDI object (a font, a brush, a pen); deletes it when replaced or destroyed.
// Move-only.
template <typename Handle>
class UniqueGdiObject {
public:
    UniqueGdiObject() = default;
    explicit UniqueGdiObject(Handle handle) noexcept : handle_(handle) {}
    ~UniqueGdiObject() { reset(); }
    UniqueGdiObject(UniqueGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
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
using UniquePen = UniqueGdiObject<HPEN>;

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

// Puts back everything a drawing step selects or sets in the DC (font, pen, brush, colours,
// background mode, clipping). Objects selected meanwhile must outlive it, so the DC lets go of them
// before they are deleted: declare their owners first.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) noexcept : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDcState() {
        if (saved_ != 0) RestoreDC(dc_, saved_);
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Fills `rect` with a solid colour through the device context's own brush, putting the brush's colour
// back: nothing to create or delete per fill. An empty or inverted rectangle fills nothing.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour) noexcept;

}  // namespace lq
