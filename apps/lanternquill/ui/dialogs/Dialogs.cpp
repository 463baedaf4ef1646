#include "ui/dialogs/Dialogs.h"

#include <atomic>
#include <initializer_list>
#include <vector>

#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"

namespace lq {

namespace {

std::atomic<bool> gMessageBoxesAllowed{true};
std::atomic<TaskDialogFunction> gTaskDialog{nullptr};

HRESULT RunTaskDialog(const TASKDIALOGCONFIG& config, int* pressed) {
    const TaskDialogFunction replaced = gTaskDialog.load();
    return (replaced != nullptr ? replaced : TaskDialogIndirect)(&config, pressed, nullptr, nullptr);
}

// The custom buttons of a question with their texts from the string table. The entries point
// into `texts`, so the set is built in place and never copied or moved.
class ButtonSet {
public:
    ButtonSet(HINSTANCE instance, std::initializer_list<int> ids) {
        texts_.reserve(ids.size());
        for (const int id : ids) texts_.push_back(LoadResourceString(instance, static_cast<UINT>(id)));
        size_t i = 0;
        for (const int id : ids) buttons_.push_back(TASKDIALOG_BUTTON{id, texts_[i++].c_str()});
    }
    ButtonSet(const ButtonSet&) = delete;
    ButtonSet& operator=(const ButtonSet&) = delete;

    [[nodiscard]] std::span<const TASKDIALOG_BUTTON> buttons() const noexcept { return buttons_; }

private:
    std::vector<std::wstring> texts_;
    std::vector<TASKDIALOG_BUTTON> buttons_;
};

// The icon of a question or a silent message: a stock icon in the normal style, a loaded system
// icon (which plays no sound) in the silent style.
void SetMainIcon(TASKDIALOGCONFIG& config, MessageKind kind, bool stockAllowed) {
    if (stockAllowed) {
        config.pszMainIcon = StockTaskDialogIconFor(kind);
    } else {
        config.dwFlags |= TDF_USE_HICON_MAIN;
        config.hMainIcon = LoadIconW(nullptr, SystemIconFor(kind));
    }
}

// Escape reaches a dialog as the command IDCANCEL, which a task dialog with only custom buttons may
// ignore even where cancelling is allowed (Wine's does), while its close box is honoured: the
// command is turned into the close box's message, so Escape answers as the close box does.
LRESULT CALLBACK EscapeClosesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR /*data*/) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED &&
        GetDlgItem(dialog, IDCANCEL) == nullptr) {
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(dialog, EscapeClosesProc, id);
    return DefSubclassProc(dialog, message, wParam, lParam);
}

HRESULT CALLBACK QuestionCallback(HWND dialog, UINT notification, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                  LONG_PTR /*data*/) {
    if (notification == TDN_CREATED) SetWindowSubclass(dialog, EscapeClosesProc, 1, 0);
    return S_OK;
}

// A question with the caller's text and custom buttons; the id of the button pressed, IDCANCEL for
// Escape, Alt+F4 or the close box, 0 when the dialog could not be shown.
int AskQuestion(HWND owner, HINSTANCE instance, const std::wstring& text, std::span<const TASKDIALOG_BUTTON> buttons,
                int defaultId, MessageKind kind) {
    const std::wstring caption = LoadResourceString(instance, IDS_PRODUCT_NAME);
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.hInstance = instance;
    // Without TDF_ALLOW_DIALOG_CANCELLATION (or a Cancel common button) Escape and the close box
    // would do nothing, and the user expects them to close every dialog with its safe answer.
    config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW | TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = caption.c_str();
    config.pszContent = text.c_str();
    config.pButtons = buttons.data();
    config.cButtons = static_cast<UINT>(buttons.size());
    config.nDefaultButton = defaultId;
    config.pfCallback = QuestionCallback;
    SetMainIcon(config, kind, MessageBoxesAllowed());
    int pressed = 0;
    if (FAILED(RunTaskDialog(config, &pressed))) return 0;
    return pressed;
}

}  // namespace

void SetMessageBoxesAllowed(bool allowed) noexcept {
    gMessageBoxesAllowed.store(allowed);
}

bool MessageBoxesAllowed() noexcept {
    return gMessageBoxesAllowed.load();
}

void SetTaskDialogFunction(TaskDialogFunction function) noexcept {
    gTaskDialog.store(function);
}

UINT MessageBoxIconFor(MessageKind kind) noexcept {
    switch (kind) {
        case MessageKind::Error:
            return MB_ICONERROR;
        case MessageKind::Warning:
            return MB_ICONWARNING;
        default:
            return MB_ICONINFORMATION;
    }
}

PCWSTR StockTaskDialogIconFor(MessageKind kind) noexcept {
    switch (kind) {
        case MessageKind::Error:
            return TD_ERROR_ICON;
        case MessageKind::Warning:
            return TD_WARNING_ICON;
        default:
            return TD_INFORMATION_ICON;
    }
}

PCWSTR SystemIconFor(MessageKind kind) noexcept {
    switch (kind) {
        case MessageKind::Error:
            return IDI_HAND;
        case MessageKind::Warning:
            return IDI_EXCLAMATION;
        default:
            return IDI_ASTERISK;
    }
}

void ShowMessage(HWND owner, HINSTANCE instance, const std::wstring& text, MessageKind kind) {
    const std::wstring caption = LoadResourceString(instance, IDS_PRODUCT_NAME);
    if (MessageBoxesAllowed()) {
        (void)MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MessageBoxIconFor(kind));
        return;
    }
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.hInstance = instance;
    config.dwFlags = TDF_USE_HICON_MAIN | TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.dwCommonButtons = TDCBF_OK_BUTTON;
    config.pszWindowTitle = caption.c_str();
    config.hMainIcon = LoadIconW(nullptr, SystemIconFor(kind));
    config.pszContent = text.c_str();
    (void)RunTaskDialog(config, nullptr);
}

void ShowErrorMessage(HWND owner, HINSTANCE instance, UINT id, const std::wstring& argument) {
    ShowMessage(owner, instance, LoadResourceString(instance, id, argument, {}), MessageKind::Error);
}

int AskWithButtons(HWND owner, HINSTANCE instance, UINT textId, std::span<const TASKDIALOG_BUTTON> buttons,
                   int defaultId, MessageKind kind) {
    return AskQuestion(owner, instance, LoadResourceString(instance, textId), buttons, defaultId, kind);
}

bool AskDamagedDatabase(HINSTANCE instance, const std::wstring& fileName) {
    // Anything but the one button, Escape (IDCANCEL) included, exits and leaves the file alone.
    const ButtonSet set(instance, {IDS_START_WITH_NEW_DATABASE, IDS_EXIT});
    return AskQuestion(nullptr, instance, LoadResourceString(instance, IDS_DATABASE_DAMAGED, fileName, {}),
                       set.buttons(), IDS_EXIT, MessageKind::Error) == IDS_START_WITH_NEW_DATABASE;
}

bool ConfirmReplaceAll(HWND owner, HINSTANCE instance, const std::wstring& text) {
    // Escape and the close box answer "no".
    const ButtonSet set(instance, {IDS_REPLACE, IDS_CANCEL});
    return AskQuestion(owner, instance, text, set.buttons(), IDS_CANCEL, MessageKind::Warning) == IDS_REPLACE;
}

bool ConfirmDeleteWithoutUndo(HWND owner, HINSTANCE instance, const std::wstring& text) {
    const ButtonSet set(instance, {IDM_DELETE, IDS_CANCEL});
    return AskQuestion(owner, instance, text, set.buttons(), IDS_CANCEL, MessageKind::Warning) == IDM_DELETE;
}

UnsavedChoice AskUnsavedOnExit(HWND owner, HINSTANCE instance) {
    const ButtonSet set(instance, {IDS_RETRY, IDS_EXIT_WITHOUT_SAVING, IDS_CANCEL});
    switch (AskWithButtons(owner, instance, IDS_UNSAVED_ON_EXIT, set.buttons(), IDS_RETRY, MessageKind::Warning)) {
        case IDS_RETRY:
            return UnsavedChoice::Retry;
        case IDS_EXIT_WITHOUT_SAVING:
            return UnsavedChoice::ExitWithoutSaving;
        case IDCANCEL:  // Escape or the close box: the window stays open with its edits
        default:
            return UnsavedChoice::Cancel;
    }
}

}  // namespace lq
