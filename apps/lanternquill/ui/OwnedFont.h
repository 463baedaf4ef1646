#pragma once

#include <windows.h>

#include <utility>

namespace lq {

// Sole owner of an HFONT; deletes it when replaced or destroyed. Move-only.
class OwnedFont {
public:
    OwnedFont() noexcept = default;
    explicit OwnedFont(HFONT font) noexcept : font_(font) {}
    ~OwnedFont() { Reset(); }
    OwnedFont(OwnedFont&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
    OwnedFont& operator=(OwnedFont&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.font_, nullptr));
        return *this;
    }
    OwnedFont(const OwnedFont&) = delete;
    OwnedFont& operator=(const OwnedFont&) = delete;

    [[nodiscard]] HFONT get() const noexcept { return font_; }
    explicit operator bool() const noexcept { return font_ != nullptr; }
    void Reset(HFONT font = nullptr) noexcept {
        if (font_ && font_ != font) DeleteObject(font_);
        font_ = font;
    }

private:
    HFONT font_ = nullptr;
};

}  // namespace lq
