#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace lq::test {

// A hidden top-level window for tests that need a parent or an owner: controls made as its children,
// menus tracked for it. Every message goes first to `handler`; a value it returns is the message's
// result, none means default processing. Check ok() before use.
class TestHostWindow {
public:
    using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    explicit TestHostWindow(int clientWidth = 640, int clientHeight = 480);
    ~TestHostWindow();
    TestHostWindow(const TestHostWindow&) = delete;
    TestHostWindow& operator=(const TestHostWindow&) = delete;

    [[nodiscard]] bool ok() const noexcept { return hwnd_ != nullptr; }
    [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }

    // Dispatches every message waiting for this thread.
    static void PumpMessages();

    Handler handler;

    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND hwnd_ = nullptr;
};

}  // namespace lq::test
