#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace lq::test {

// One run of lanternquill.exe started by a test, with the arguments already quoted. A process that
// is still running when the object goes is ended, so no test leaves one behind.
class ProgramRun {
public:
    explicit ProgramRun(const std::wstring& arguments, const std::wstring& program = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    [[nodiscard]] bool started() const noexcept { return process_ != nullptr; }
    [[nodiscard]] DWORD processId() const noexcept { return processId_; }

    // The exit code once the process ended; none when it did not end in time (it is then ended).
    [[nodiscard]] std::optional<DWORD> Wait(DWORD timeoutMs = 60000);
    // Whether the process is still running.
    [[nodiscard]] bool Running() const;

    // A visible top-level window of this process with that class (and caption, when given); null when
    // none appeared in time or the process ended first.
    [[nodiscard]] HWND WaitForWindow(const wchar_t* className, const wchar_t* caption = nullptr,
                                     DWORD timeoutMs = 60000) const;
    // The program's main window once it can be found by a second instance (its instance property set).
    [[nodiscard]] HWND WaitForMainWindow(DWORD timeoutMs = 60000) const;
    // A dialog of this process (a "#32770" window with the product name as caption).
    [[nodiscard]] HWND WaitForDialog(DWORD timeoutMs = 60000) const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// The texts of a dialog's Static children. Under Wine the texts of a task dialog are such children;
// on Windows it draws them itself and this is empty.
[[nodiscard]] std::vector<std::wstring> DialogTexts(HWND dialog);
// Where the dialog's texts can be read (under Wine), one of them must be `text`.
void ExpectDialogShows(HWND dialog, const std::wstring& text);
// Presses a task dialog's button (TDM_CLICK_BUTTON), or a message box's through WM_COMMAND.
void PressTaskDialogButton(HWND dialog, int id);
void PressMessageBoxButton(HWND dialog, int id);

// "\"" + text + "\"".
[[nodiscard]] std::wstring Quoted(const std::wstring& text);

}  // namespace lq::test
