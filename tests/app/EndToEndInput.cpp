#include "EndToEndInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <vector>

#include "ProgramFile.h"
#include "resources/ResourceIds.h"
#include "support/KeyPress.h"

namespace lq::test {
namespace {

// Messages of the editing component that carry no pointer, so they work from another process.
constexpr UINT kSciGetCurrentPos = 2008;
constexpr UINT kSciGetAnchor = 2009;

struct DescendantQuery {
    const wchar_t* className = nullptr;
    HWND found = nullptr;
};

// The main window's own children only: a label edit of the tree is no part of the view.
BOOL CALLBACK CollectSearchControl(HWND child, LPARAM parameter) {
    auto& controls = *reinterpret_cast<SearchControls*>(parameter);
    if (GetParent(child) != GetAncestor(child, GA_ROOT)) return TRUE;
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    const std::wstring kind = name;
    HWND* slot = nullptr;
    if (kind == L"Edit") slot = controls.query == nullptr ? &controls.query : &controls.replacement;
    if (kind == L"Button") slot = &controls.button;
    if (kind == L"ListBox") slot = &controls.list;
    if (slot != nullptr && *slot == nullptr) *slot = child;
    return TRUE;
}

BOOL CALLBACK MatchDescendant(HWND child, LPARAM parameter) {
    auto& query = *reinterpret_cast<DescendantQuery*>(parameter);
    wchar_t name[64] = {};
    if (GetClassNameW(child, name, 64) > 0 && std::wcscmp(name, query.className) == 0) {
        query.found = child;
        return FALSE;
    }
    return TRUE;
}

struct MenuSearch {
    DWORD processId = 0;
    HWND found = nullptr;
};

BOOL CALLBACK MatchMenuWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<MenuSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    if (process == search.processId && IsWindowVisible(window) && GetClassNameW(window, name, 16) > 0 &&
        std::wstring(name) == L"#32768") {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindOpenMenu(DWORD processId) {
    MenuSearch search{processId, nullptr};
    EnumWindows(MatchMenuWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<ProgramWindows> WaitForProgramWindows(const ProgramRun& run, DWORD timeoutMs) {
    ProgramWindows windows;
    windows.main = run.WaitForMainWindow(timeoutMs);
    if (windows.main == nullptr) return std::nullopt;
    windows.editor = FindDescendant(windows.main, L"Scintilla");
    windows.tree = FindDescendant(windows.main, L"SysTreeView32");
    if (windows.editor == nullptr || windows.tree == nullptr) return std::nullopt;
    return windows;
}

std::optional<ProgramWindows> StartInFront(std::unique_ptr<ProgramRun>& run, const std::wstring& databasePath) {
    run = std::make_unique<ProgramRun>(L"--silent --db " + Quoted(databasePath));
    if (!run->started()) return std::nullopt;
    std::optional<ProgramWindows> windows = WaitForProgramWindows(*run);
    if (!windows) return std::nullopt;
    BringToFront(windows->main);
    WaitUntil([&] { return FocusOnThreadOf(windows->main) == windows->editor; }, 30000);
    return windows;
}

bool WaitUntilWordsFilled(HWND main, DWORD timeoutMs) {
    return WaitUntil([&] { return GetPropW(main, L"Lanternquill.WordsFilled") != nullptr; }, timeoutMs);
}

SearchControls FindSearchControls(HWND main) {
    SearchControls controls;
    EnumChildWindows(main, CollectSearchControl, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

HWND FindDescendant(HWND parent, const wchar_t* className) {
    DescendantQuery query{className, nullptr};
    EnumChildWindows(parent, MatchDescendant, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND FindChildWithText(HWND parent, const wchar_t* className, const std::wstring& text) {
    for (HWND child = FindWindowExW(parent, nullptr, className, nullptr); child != nullptr;
         child = FindWindowExW(parent, child, className, nullptr)) {
        if (QueryText(child) == text) return child;
    }
    return nullptr;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

std::optional<LRESULT> SendQuery(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) == 0) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

std::wstring QueryText(HWND window) {
    const std::optional<LRESULT> length = SendQuery(window, WM_GETTEXTLENGTH);
    if (!length || *length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(*length) + 1);
    const std::optional<LRESULT> copied =
        SendQuery(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    if (!copied || *copied <= 0) return {};
    return std::wstring(buffer.data(), std::min<size_t>(static_cast<size_t>(*copied), buffer.size() - 1));
}

std::wstring Caption(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::optional<LRESULT> EditorCaret(HWND editor) {
    return SendQuery(editor, kSciGetCurrentPos);
}

std::optional<LRESULT> EditorAnchor(HWND editor) {
    return SendQuery(editor, kSciGetAnchor);
}

HWND FocusOnThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void PostKey(HWND window, UINT virtualKey, int times) {
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    LPARAM down = 1 | (static_cast<LPARAM>(scanCode) << 16);
    if (IsExtendedKey(virtualKey)) down |= LPARAM{1} << 24;
    const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
    for (int i = 0; i < times; ++i) {
        PostMessageW(window, WM_KEYDOWN, virtualKey, down);
        PostMessageW(window, WM_KEYUP, virtualKey, up);
    }
}

void PostCharacters(HWND window, std::wstring_view text) {
    for (const wchar_t unit : text) PostMessageW(window, WM_CHAR, unit, 1);
}

void PostTyping(HWND window, std::wstring_view text) {
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\n', start);
        PostCharacters(window,
                       text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
        if (end == std::wstring_view::npos) return;
        PostKey(window, VK_RETURN);
        start = end + 1;
    }
}

bool BringToFront(HWND window) {
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == window) return true;
            SetForegroundWindow(window);
            return false;
        },
        5000);
}

bool PressChord(std::initializer_list<WORD> virtualKeys) {
    std::vector<INPUT> inputs;
    for (const WORD key : virtualKeys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        inputs.push_back(input);
    }
    for (auto key = std::rbegin(virtualKeys); key != std::rend(virtualKeys); ++key) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(*key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool TypeThroughInput(std::wstring_view text) {
    std::vector<INPUT> inputs;
    for (const wchar_t unit : text) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        if (unit == L'\n') {
            input.ki.wVk = VK_RETURN;
            input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC));
        } else {
            input.ki.wScan = unit;
            input.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        inputs.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

void AskToReplaceInAllNotes(ProgramRun& run, const ProgramWindows& windows, const wchar_t* text, HWND& question) {
    PostMessageW(windows.main, WM_COMMAND, IDM_REPLACE_ALL_NOTES, 0);
    // The view is there once its button is; the focus may still be on its way from the window to the
    // editor at start-up, so it is read only then.
    const std::wstring label = ProgramString(IDS_REPLACE_ALL);
    HWND button = nullptr;
    HWND query = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        button = FindChildWithText(windows.main, L"Button", label);
        query = FocusOnThreadOf(windows.main);
        return button != nullptr && query != nullptr && query != windows.editor && query != windows.main;
    })) << "the replace in all notes did not open with the focus in its query box";
    PostCharacters(query, text);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }));
    PostMessageW(button, BM_CLICK, 0, 0);
    question = run.WaitForDialog(20000);
    ASSERT_NE(question, nullptr) << "no question before replacing";
}

}  // namespace lq::test
