// One instance per database file, driven from outside with the real program: a mutex held by a
// process that is on its way out, and one the program is not allowed to open.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ProgramFile.h"
#include "ProgramRun.h"
#include "platform/DatabasePaths.h"
#include "store/ProjectStore.h"
#include "support/FileBytes.h"
#include "support/RefusedMutex.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::Quoted;

// Holds the file's mutex on a thread of its own, as an instance whose window is already gone holds it
// until its database is closed, and lets go after `holdMs`: released, or abandoned by a thread that
// ends while it owns the mutex.
class ClosingInstance {
public:
    ClosingInstance(const std::wstring& name, DWORD holdMs, bool release) {
        HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, name, holdMs, release, created] {
            mutex_ = CreateMutexW(nullptr, TRUE, name.c_str());
            SetEvent(created);
            Sleep(holdMs);
            if (release && mutex_ != nullptr) ReleaseMutex(mutex_);
        });
        WaitForSingleObject(created, 5000);
        CloseHandle(created);
    }
    ~ClosingInstance() {
        if (thread_.joinable()) thread_.join();
        if (mutex_ != nullptr) CloseHandle(mutex_);
    }
    ClosingInstance(const ClosingInstance&) = delete;
    ClosingInstance& operator=(const ClosingInstance&) = delete;

    [[nodiscard]] bool held() const noexcept { return mutex_ != nullptr; }

private:
    HANDLE mutex_ = nullptr;
    std::thread thread_;
};

TEST(StartupInstanceTest, AStartWhileTheFirstInstanceShutsDownStartsNormallyOnceTheMutexIsFree) {
    struct Case {
        const char* what;
        bool release;
    };
    const Case cases[] = {{"released", true}, {"abandoned", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        const std::wstring path = folder.File(L"memo.db");
        // Longer than the search for a window, shorter than that and the wait for the mutex together.
        ClosingInstance first(MakeInstanceMutexName(NormalizePath(path)), 1300, c.release);
        ASSERT_TRUE(first.held());

        ProgramRun second(L"--silent --db " + Quoted(path));
        const HWND window = second.WaitForMainWindow();
        ASSERT_NE(window, nullptr) << "the second start did not run: it ended with " << second.Wait(5000).value_or(99);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(second.Wait(), std::optional<DWORD>(0));
        std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr);
        const std::optional<std::vector<ProjectRow>> projects = ProjectStore(*db).ListProjects();
        ASSERT_TRUE(projects);
        EXPECT_EQ(projects->size(), 1u) << "the second start made its first project";
    }
}

LRESULT CALLBACK AnswerActivation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT activate = RegisterWindowMessageW(L"Lanternquill.Activate");
    if (message == activate) return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window that a second start takes for the running instance's, on a thread of its own that either
// answers its messages or never looks at them (a hung instance, or one with higher rights, whose
// window a normal process cannot reach).
class InstanceWindow {
public:
    InstanceWindow(uint64_t key, bool answers) {
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, key, answers, created] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = AnswerActivation;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"Lanternquill.Main";
            RegisterClassW(&windowClass);  // may already be there from an earlier case
            window_ = CreateWindowExW(0, L"Lanternquill.Main", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
            if (window_ != nullptr) SetPropW(window_, L"Lanternquill.Instance", reinterpret_cast<HANDLE>(key));
            SetEvent(created);
            if (answers) {
                while (MsgWaitForMultipleObjects(1, &stop_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
                    MSG message;
                    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
                }
            } else {
                WaitForSingleObject(stop_, INFINITE);
            }
            if (window_ != nullptr) {
                RemovePropW(window_, L"Lanternquill.Instance");
                DestroyWindow(window_);
            }
        });
        WaitForSingleObject(created, 5000);
        CloseHandle(created);
    }
    ~InstanceWindow() {
        SetEvent(stop_);
        if (thread_.joinable()) thread_.join();
        CloseHandle(stop_);
    }
    InstanceWindow(const InstanceWindow&) = delete;
    InstanceWindow& operator=(const InstanceWindow&) = delete;

    [[nodiscard]] bool made() const noexcept { return window_ != nullptr; }

private:
    HANDLE stop_ = nullptr;
    HWND window_ = nullptr;
    std::thread thread_;
};

TEST(StartupInstanceTest, AnInstanceMutexThatCannotBeOpenedMeansAnInstanceRuns) {
    enum class Window { None, Answering, NotAnswering };
    struct Case {
        const char* what;
        Window window;
        DWORD exitCode;
    };
    const Case cases[] = {
        {"no window", Window::None, 17},
        {"a window that takes the message", Window::Answering, 0},
        {"a window out of reach", Window::NotAnswering, 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        const std::wstring path = folder.File(L"memo.db");
        const std::wstring normalized = NormalizePath(path);
        const std::wstring name = MakeInstanceMutexName(normalized);
        test::RefusedMutex mutex(name);
        ASSERT_TRUE(mutex.made());
        ASSERT_TRUE(test::OpeningIsRefused(name)) << "the platform does not refuse the mutex, so this shows nothing";
        std::optional<InstanceWindow> window;
        if (c.window != Window::None) {
            window.emplace(HashPath(normalized), c.window == Window::Answering);
            ASSERT_TRUE(window->made());
        }

        ProgramRun run(L"--silent --db " + Quoted(path));
        if (c.exitCode == 17) {
            const HWND notice = run.WaitForDialog();
            EXPECT_NE(notice, nullptr) << "no message: the program ended with " << run.Wait(1000).value_or(99);
            if (notice != nullptr) {
                test::ExpectDialogShows(notice, ProgramString(2028));
                test::PressTaskDialogButton(notice, IDOK);
            }
        }
        EXPECT_EQ(run.Wait(20000), std::optional<DWORD>(c.exitCode));
        EXPECT_FALSE(test::FileExists(path)) << "the second process must not touch the database";
    }
}

}  // namespace
}  // namespace lq
