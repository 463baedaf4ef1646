#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "editor/EditorView.h"
#include "support/KeyPress.h"

namespace lq::test {

// A hidden top-level window with a real editor in it: the component's classes are registered once per
// process, the EditorView is created and configured as the program does, and the editor fills the
// window's client area, so layout, wrapping and measuring work. Check ok() before use.
class EditorTestWindow {
public:
    explicit EditorTestWindow(int clientWidth = 800, int clientHeight = 600);
    ~EditorTestWindow();
    EditorTestWindow(const EditorTestWindow&) = delete;
    EditorTestWindow& operator=(const EditorTestWindow&) = delete;

    // True when the window and the editor were created.
    [[nodiscard]] bool ok() const noexcept { return created_; }
    [[nodiscard]] HWND host() const noexcept { return host_; }
    [[nodiscard]] HWND editor() const noexcept { return view_.hwnd(); }
    [[nodiscard]] EditorView& view() noexcept { return view_; }
    [[nodiscard]] Scintilla::ScintillaCall& call() noexcept { return view_.call(); }

    // Resizes the client area; the editor follows.
    void Resize(int clientWidth, int clientHeight);
    // Dispatches every message waiting for this thread (the editor's idle work, posted messages).
    static void PumpMessages();
    // Presses and releases a key in the editor as the keyboard would (PressKeyIn).
    void PressKey(UINT virtualKey, Modifiers modifiers = {});
    // The UTF-8 text of the whole document.
    [[nodiscard]] std::string Text();

    // Called with every notification the editor sends to its parent.
    std::function<void(const Scintilla::NotificationData&)> onNotify;

    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
private:
    LRESULT WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND host_ = nullptr;
    EditorView view_;
    bool created_ = false;
};

// Registers the editing component's window class unless another fixture did already (it is registered
// once per process, by whichever test comes first); true when the class is there.
[[nodiscard]] bool EnsureEditorClass();

// The CF_UNICODETEXT text on the clipboard; empty when there is none or it cannot be opened.
[[nodiscard]] std::wstring ReadClipboardText();
// Whether the clipboard holds the component's whole-line marker format ("MSDEVLineSelect").
[[nodiscard]] bool ClipboardHasLineMarker();
// Puts `text` on the clipboard as CF_UNICODETEXT; false when it cannot.
bool WriteClipboardText(const std::wstring& text);

}  // namespace lq::test
