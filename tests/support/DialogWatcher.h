#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace lq::test {

// What a dialog of this process showed when it was found: under Wine, message boxes, task dialogs
// and the common item dialogs are "#32770" windows whose texts are Static and Button children.
struct DialogSnapshot {
    HWND window = nullptr;
    std::wstring caption;
    std::vector<std::wstring> texts;                    // non-empty Static children, in z-order
    std::vector<std::pair<int, std::wstring>> buttons;  // Button children: control id, text
    std::vector<HICON> icons;                           // icons shown by Static children
    HWND edit = nullptr;                                // the first Edit child, if any
    HWND owner = nullptr;                               // the window the dialog belongs to
    int defaultButton = 0;                              // the button Enter presses (DM_GETDEFID); 0 when none

    [[nodiscard]] bool HasText(const std::wstring& text) const;
    [[nodiscard]] bool HasButton(int id, const std::wstring& text) const;
    [[nodiscard]] std::wstring AllTexts() const;  // for failure messages
};

// A visible "#32770" top-level window of this process (with `caption` when given), or none.
[[nodiscard]] std::optional<DialogSnapshot> FindDialog(const std::wstring* caption = nullptr);

// Whether a task dialog's texts, buttons and icons can be read as child windows of it: under Wine
// it is an ordinary dialog; Windows draws them itself, so there only its caption, its owner and the
// answer can be checked from outside (what it is asked to show is checked through the task-dialog
// seam instead).
[[nodiscard]] bool TaskDialogChildrenReadable();

// Answers a dialog as if its button `id` were pressed (Escape is IDCANCEL).
void PressDialogButton(HWND dialog, int id);
// Presses button `id` of a task dialog the way the platform documents it (TDM_CLICK_BUTTON).
void PressTaskDialogButton(HWND dialog, int id);
// Clicks the dialog's close box (WM_CLOSE). Wine's task dialogs ignore IDCANCEL without a Cancel
// button, even where cancelling is allowed, so tests of cancelling use this.
void CloseDialog(HWND dialog);

// Watches, on a thread of its own, for the dialog that the test thread is about to open (the test
// thread is blocked in it), records it and hands it to `respond`. Gives up after `timeout` when no
// dialog appears. A dialog that `respond` did not close within `timeout` is pressed with IDCANCEL,
// IDOK and each of its buttons, so a test fails instead of hanging.
class DialogWatcher {
public:
    using Respond = std::function<void(const DialogSnapshot&)>;
    explicit DialogWatcher(Respond respond, std::optional<std::wstring> caption = std::nullopt,
                           std::chrono::milliseconds timeout = std::chrono::seconds(5));
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Waits for the watching thread and returns the dialog it saw (none when none appeared).
    std::optional<DialogSnapshot> Finish();
    // True when the dialog had to be closed by force because `respond` did not close it.
    [[nodiscard]] bool forced() const noexcept { return forced_; }

private:
    void Run();

    Respond respond_;
    std::optional<std::wstring> caption_;
    std::chrono::milliseconds timeout_;
    std::optional<DialogSnapshot> seen_;
    bool forced_ = false;
    std::thread thread_;
};

}  // namespace lq::test
