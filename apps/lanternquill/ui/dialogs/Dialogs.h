#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <span>
#include <string>

namespace lq {

// The kind of a message or question; any value other than Error and Warning counts as Information.
enum class MessageKind : int32_t {
    Information = 0,
    Warning = 1,
    Error = 2,
};

// The answer of AskUnsavedOnExit.
enum class UnsavedChoice : int32_t {
    Retry = 0,
    ExitWithoutSaving = 1,
    Cancel = 2,
};

// The process-wide dialog style: system message boxes for plain messages (the default), or, when
// not allowed ("--silent"), task dialogs with an icon loaded by the program so no system sound
// plays. Set once by the start-up before the first dialog.
void SetMessageBoxesAllowed(bool allowed) noexcept;
[[nodiscard]] bool MessageBoxesAllowed() noexcept;

// The function that shows task dialogs: TaskDialogIndirect unless a test replaced it. A null
// function restores TaskDialogIndirect.
using TaskDialogFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG* config, int* button, int* radioButton,
                                            BOOL* verificationChecked);
void SetTaskDialogFunction(TaskDialogFunction function) noexcept;

// The icons of a kind: for a message box, as a task dialog stock icon, and as the system icon
// loaded in the silent style.
[[nodiscard]] UINT MessageBoxIconFor(MessageKind kind) noexcept;
[[nodiscard]] PCWSTR StockTaskDialogIconFor(MessageKind kind) noexcept;
[[nodiscard]] PCWSTR SystemIconFor(MessageKind kind) noexcept;

// A plain message with an OK button and the product name as caption; blocks until answered.
// `owner` may be null (before the main window exists). Failures to show it are ignored.
void ShowMessage(HWND owner, HINSTANCE instance, const std::wstring& text, MessageKind kind);

// ShowMessage of the string-table text `id` with `argument` as its "%1", as an error.
void ShowErrorMessage(HWND owner, HINSTANCE instance, UINT id, const std::wstring& argument);

// A question with custom buttons (each button id is the string id of its text). Returns the id
// pressed; IDCANCEL for Escape, Alt+F4 or the close box, which each caller reads as its safe answer;
// 0 when it could not be shown.
[[nodiscard]] int AskWithButtons(HWND owner, HINSTANCE instance, UINT textId,
                                 std::span<const TASKDIALOG_BUTTON> buttons, int defaultId, MessageKind kind);

// The damaged-database question of the start-up (no owner) about the file named `fileName` (its name
// without the folder): true only for "start with a new database"; exit, Escape and a dialog that could
// not be shown give false.
[[nodiscard]] bool AskDamagedDatabase(HINSTANCE instance, const std::wstring& fileName);

// The confirmation before replacing in all notes, with the caller's formatted text. Escape and
// the close box answer false, as does a dialog that could not be shown.
[[nodiscard]] bool ConfirmReplaceAll(HWND owner, HINSTANCE instance, const std::wstring& text);

// The question before deleting a note whose text cannot be read, so cannot be kept for undo; `text`
// is formatted by the caller. Only "削除" answers true; Escape, the close box, "キャンセル" (the
// default) and a dialog that could not be shown answer false.
[[nodiscard]] bool ConfirmDeleteWithoutUndo(HWND owner, HINSTANCE instance, const std::wstring& text);

// The question when closing while a save fails; Escape, the close box and a dialog that could not be
// shown give Cancel.
[[nodiscard]] UnsavedChoice AskUnsavedOnExit(HWND owner, HINSTANCE instance);

}  // namespace lq
