#include "MainWindowFixture.h"

#include <mutex>
#include <thread>

#include "support/StoreDatabase.h"
#include "support/StoredRows.h"
#include "support/editor/EditorTestWindow.h"
#include "ui/find/FindPanel.h"

namespace lq::test {
namespace {

bool ClassExists(HINSTANCE instance, const wchar_t* name) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    return GetClassInfoExW(instance, name, &info) != FALSE;
}

// The classes the start-up registers, once per process; other fixtures may have registered the
// editor's already.
bool RegisterClassesOnce() {
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        const bool editor = EnsureEditorClass();
        const bool main = ClassExists(instance, kMainWindowClass) || RegisterMainWindowClass(instance);
        const bool find = FindPanel::RegisterClass(instance);
        registered = editor && main && find;
    });
    return registered;
}

}  // namespace

void MainWindowFixture::SetUp() {
    ASSERT_TRUE(RegisterClassesOnce());
    path = folder.File(L"memo.db");
    db = OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr);
}

void MainWindowFixture::TearDown() {
    Stop();
}

void MainWindowFixture::Start(const MainWindowStart& options) {
    ASSERT_FALSE(main) << "Start() runs once per test";
    main = std::make_unique<MainWindow>();
    ASSERT_TRUE(main->Create(GetModuleHandleW(nullptr), nullptr, false));
    workspace.emplace(*db, main->editor);
    main->SetSidebarVisible(options.sidebarWidthDip, options.sidebarVisible);
    ASSERT_TRUE(workspace->Load());
    main->SetWorkspace(&*workspace);
    const std::optional<TreeItemKey> toSelect = workspace->currentNoteId != 0
                                                    ? TreeItemKey{false, workspace->currentNoteId}
                                                    : TreeItemKey{true, workspace->currentProjectId};
    main->sidebar.Populate(workspace->tree, workspace->currentNoteId, toSelect);
    main->UpdateTitle();
    main->UpdateStatus();
    ProvideWindowSettings(*main, *workspace);
    if (options.show) main->RestorePlacement(options.placement);
    Pump();
}

void MainWindowFixture::Stop() {
    if (main && main->hwnd && IsWindow(main->hwnd)) DestroyWindow(main->hwnd);
    // Takes the quit message the window's destruction posts, so no later loop ends at once.
    Pump();
    workspace.reset();
    main.reset();
    Pump();
    db.reset();
}

int64_t MainWindowFixture::AddProject(const std::string& name) {
    return AddStoredProject(*db, name);
}

int64_t MainWindowFixture::AddNote(int64_t projectId, const std::string& title, std::string_view content,
                                   const NoteViewState& view) {
    return AddStoredNote(*db, projectId, title, content, view);
}

void MainWindowFixture::SetSetting(const std::string& key, const std::string& value) {
    Exec("INSERT INTO settings (key, value) VALUES ('" + key + "', '" + value +
         "') ON CONFLICT(key) DO UPDATE SET value = excluded.value");
}

void MainWindowFixture::Exec(const std::string& sql) {
    ExecSql(*db, sql);
}

NoteRecord MainWindowFixture::Stored(int64_t noteId) {
    return StoredNote(*db, noteId);
}

std::optional<std::string> MainWindowFixture::StoredSetting(const char* key) {
    return StoredSettingOf(*db, key);
}

int64_t MainWindowFixture::CountRows(const char* table) {
    return CountTableRows(*db, table);
}

void MainWindowFixture::Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void MainWindowFixture::PumpFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    do {
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
    Pump();
}

bool MainWindowFixture::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        Pump();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void MainWindowFixture::LoopPump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT) return;
        PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
        if (main && main->PreTranslateMessage(message, main->FocusScope())) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void MainWindowFixture::PressInLoop(UINT virtualKey, Modifiers modifiers) {
    const HWND target = GetFocus();
    HeldKeyboardState held(modifiers, virtualKey);
    const bool system = modifiers.alt && !modifiers.ctrl;
    const LPARAM bits =
        1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16) | (modifiers.alt ? (1 << 29) : 0);
    PostMessageW(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, bits);
    LoopPump();
    held.ReleaseKey();
    PostMessageW(GetFocus(), system ? WM_SYSKEYUP : WM_KEYUP, virtualKey, bits | (1u << 30) | (1u << 31));
    LoopPump();
}

void MainWindowFixture::TypeInLoop(std::wstring_view text) {
    for (const wchar_t character : text) {
        PostMessageW(GetFocus(), WM_CHAR, character, 1);
        LoopPump();
    }
}

void MainWindowFixture::FinishWordFill() {
    main->completion.StartFill();
    EXPECT_TRUE(PumpUntil(
        [&] {
            while (main->RunIdleWork()) {
            }
            return main->completion.built();
        },
        std::chrono::milliseconds(20000)));
}

void MainWindowFixture::SetClientSize(int width, int height) {
    RECT frame{};
    RECT client{};
    GetWindowRect(hwnd(), &frame);
    GetClientRect(hwnd(), &client);
    const int extraWidth = (frame.right - frame.left) - client.right;
    const int extraHeight = (frame.bottom - frame.top) - client.bottom;
    SetWindowPos(hwnd(), nullptr, 0, 0, width + extraWidth, height + extraHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
}

RECT MainWindowFixture::ChildRect(HWND child) const {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool MainWindowFixture::AutosaveTimerArmed() {
    if (!KillTimer(hwnd(), kAutosaveTimerId)) return false;
    SetTimer(hwnd(), kAutosaveTimerId, kAutosaveDelayMs, nullptr);
    return true;
}

void MainWindowFixture::Type(std::string_view text) {
    call().ReplaceSel(std::string(text).c_str());
}

void MainWindowFixture::TypeChar(wchar_t character) {
    SendMessageW(main->editor.hwnd(), WM_CHAR, character, 1);
}

std::string MainWindowFixture::EditorText() {
    return call().GetText(call().Length());
}

}  // namespace lq::test
