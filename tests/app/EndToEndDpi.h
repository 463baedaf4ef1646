#pragma once

#include <windows.h>

#include <optional>

namespace lq::test {

// Sets the DPI that programs started while the object lives read at their start (the "LogPixels"
// value of the user's desktop settings), and puts the value back as it was, or removes it, when the
// object goes. Every program of the test session reads the same value, so keep it only until the
// program under test has made its window.
class SystemDpiOverride {
public:
    explicit SystemDpiOverride(DWORD dpi);
    ~SystemDpiOverride();
    SystemDpiOverride(const SystemDpiOverride&) = delete;
    SystemDpiOverride& operator=(const SystemDpiOverride&) = delete;

    [[nodiscard]] bool applied() const noexcept { return applied_; }
    // Restores the earlier value now rather than at destruction.
    void Restore();

private:
    HKEY key_ = nullptr;
    std::optional<DWORD> previous_;
    bool applied_ = false;
};

}  // namespace lq::test
