#include "support/DialogWatcher.h"

#include <commctrl.h>

namespace lq::test {

namespace {

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    const int length = GetClassNameW(window, name, 64);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring TextOf(HWND window) {
    // Another thread's window: WM_GETTEXT is sent to it, and the test thread's modal loop answers.
    wchar_t text[2048] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                             &copied)) {
        return {};
    }
    return std::wstring(text);
}

struct Search {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || ClassOf(window) != L"#32770") return TRUE;
    if (search->caption != nullptr && TextOf(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK ChildProc(HWND child, LPARAM parameter) {
    auto* snapshot = reinterpret_cast<DialogSnapshot*>(parameter);
    const std::wstring kind = ClassOf(child);
    if (kind == L"Static") {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            DWORD_PTR icon = 0;
            if (SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon) && icon != 0) {
                snapshot->icons.push_back(reinterpret_cast<HICON>(icon));
            }
            return TRUE;
        }
        std::wstring text = TextOf(child);
        if (!text.empty()) snapshot->texts.push_back(std::move(text));
    } else if (kind == L"Button") {
        snapshot->buttons.emplace_back(GetDlgCtrlID(child), TextOf(child));
    } else if (kind == L"Edit" && snapshot->edit == nullptr) {
        snapshot->edit = child;
    }
    return TRUE;
}

}  // namespace

bool DialogSnapshot::HasText(const std::wstring& text) const {
    for (const std::wstring& t : texts) {
        if (t == text) return true;
    }
    return false;
}

bool DialogSnapshot::HasButton(int id, const std::wstring& text) const {
    for (const auto& [buttonId, buttonText] : buttons) {
        if (buttonId == id && buttonText == text) return true;
    }
    return false;
}

std::wstring DialogSnapshot::AllTexts() const {
    std::wstring all = L"caption [" + caption + L"]";
    for (const std::wstring& t : texts) all += L" static [" + t + L"]";
    for (const auto& [id, text] : buttons) all += L" button " + std::to_wstring(id) + L" [" + text + L"]";
    return all;
}

std::optional<DialogSnapshot> FindDialog(const std::wstring* caption) {
    Search search{caption, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return std::nullopt;
    DialogSnapshot snapshot;
    snapshot.window = search.found;
    snapshot.caption = TextOf(search.found);
    snapshot.owner = GetWindow(search.found, GW_OWNER);
    DWORD_PTR defaultId = 0;
    if (SendMessageTimeoutW(search.found, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &defaultId) &&
        HIWORD(defaultId) == DC_HASDEFID) {
        snapshot.defaultButton = LOWORD(defaultId);
    }
    EnumChildWindows(search.found, ChildProc, reinterpret_cast<LPARAM>(&snapshot));
    return snapshot;
}

bool TaskDialogChildrenReadable() {
    return RunningUnderWine();
}

void PressTaskDialogButton(HWND dialog, int id) {
    PostMessageW(dialog, TDM_CLICK_BUTTON, static_cast<WPARAM>(id), 0);
}

void PressDialogButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void CloseDialog(HWND dialog) {
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

DialogWatcher::DialogWatcher(Respond respond, std::optional<std::wstring> caption, std::chrono::milliseconds timeout)
    : respond_(std::move(respond)), caption_(std::move(caption)), timeout_(timeout), thread_([this] { Run(); }) {}

DialogWatcher::~DialogWatcher() {
    if (thread_.joinable()) thread_.join();
}

std::optional<DialogSnapshot> DialogWatcher::Finish() {
    if (thread_.joinable()) thread_.join();
    return seen_;
}

void DialogWatcher::Run() {
    const std::wstring* caption = caption_ ? &*caption_ : nullptr;
    const auto deadline = std::chrono::steady_clock::now() + timeout_;
    std::optional<DialogSnapshot> found;
    while (!(found = FindDialog(caption)) && std::chrono::steady_clock::now() < deadline) Sleep(20);
    if (!found) return;
    // Let the dialog finish laying out its children before reading them.
    Sleep(150);
    found = FindDialog(caption);
    if (!found) return;
    seen_ = found;
    if (respond_) respond_(*found);
    const HWND window = found->window;
    // A dialog that ended is hidden at once; its window may linger for a while after that.
    const auto open = [window] { return IsWindow(window) && IsWindowVisible(window); };
    const auto closeBy = std::chrono::steady_clock::now() + timeout_;
    while (open() && std::chrono::steady_clock::now() < closeBy) Sleep(20);
    if (!open()) return;
    forced_ = true;
    for (int attempt = 0; attempt < 50 && open(); ++attempt) {
        PressDialogButton(window, IDCANCEL);
        PressDialogButton(window, IDOK);
        for (const auto& button : found->buttons) PressDialogButton(window, button.first);
        Sleep(100);
    }
}

}  // namespace lq::test
