#include "ProgramRun.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "ProgramFile.h"

namespace lq::test {
namespace {

struct WindowQuery {
    DWORD processId = 0;
    const wchar_t* className = nullptr;
    const wchar_t* caption = nullptr;
    bool needsInstanceProperty = false;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto& query = *reinterpret_cast<WindowQuery*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != query.processId || !IsWindowVisible(window)) return TRUE;
    wchar_t name[64] = {};
    if (GetClassNameW(window, name, 64) == 0 || std::wcscmp(name, query.className) != 0) return TRUE;
    if (query.caption != nullptr) {
        wchar_t text[128] = {};
        GetWindowTextW(window, text, 128);
        if (std::wcscmp(text, query.caption) != 0) return TRUE;
    }
    if (query.needsInstanceProperty && GetPropW(window, L"Lanternquill.Instance") == nullptr) return TRUE;
    query.found = window;
    return FALSE;
}

HWND WaitFor(const ProgramRun& run, WindowQuery query, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        query.found = nullptr;
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
        if (query.found != nullptr) return query.found;
        if (!run.Running() || GetTickCount64() >= deadline) return nullptr;
        Sleep(20);
    }
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM parameter) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (_wcsicmp(name, L"Static") == 0) {
        wchar_t text[1024] = {};
        if (GetWindowTextW(child, text, 1024) > 0) {
            reinterpret_cast<std::vector<std::wstring>*>(parameter)->push_back(text);
        }
    }
    return TRUE;
}

}  // namespace

ProgramRun::ProgramRun(const std::wstring& arguments, const std::wstring& program) {
    std::wstring commandLine = Quoted(program.empty() ? ProgramPath() : program) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
}

ProgramRun::~ProgramRun() {
    if (process_ == nullptr) return;
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

std::optional<DWORD> ProgramRun::Wait(DWORD timeoutMs) {
    if (process_ == nullptr) return std::nullopt;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
        return std::nullopt;
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
    return code;
}

bool ProgramRun::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND ProgramRun::WaitForWindow(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs) const {
    WindowQuery query;
    query.processId = processId_;
    query.className = className;
    query.caption = caption;
    return WaitFor(*this, query, timeoutMs);
}

HWND ProgramRun::WaitForMainWindow(DWORD timeoutMs) const {
    WindowQuery query;
    query.processId = processId_;
    query.className = L"Lanternquill.Main";
    query.needsInstanceProperty = true;
    return WaitFor(*this, query, timeoutMs);
}

HWND ProgramRun::WaitForDialog(DWORD timeoutMs) const {
    return WaitForWindow(L"#32770", L"Lanternquill", timeoutMs);
}

std::vector<std::wstring> DialogTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void ExpectDialogShows(HWND dialog, const std::wstring& text) {
    const std::vector<std::wstring> texts = DialogTexts(dialog);
    if (texts.empty()) return;  // Windows draws them itself
    bool shown = false;
    for (const std::wstring& each : texts) shown = shown || each == text;
    EXPECT_TRUE(shown) << "the dialog does not show the expected text";
}

void PressTaskDialogButton(HWND dialog, int id) {
    SendMessageTimeoutW(dialog, TDM_CLICK_BUTTON, static_cast<WPARAM>(id), 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

void PressMessageBoxButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

}  // namespace lq::test
