// One instance per database file, driven from outside with the real program: a mutex held by a
// process that is on its way out, and one the program is not allowed to open.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ProgramFile.h"
#include "ProgramRun.h"
#include "store/DatabasePaths.h"
#include "store/ProjectStore.h"
#include "support/FileBytes.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::Quoted;

// Where a dialog's texts can be read (under Wine), it must show `text`.
void ExpectDialogShows(HWND dialog, const std::wstring& text) {
    const std::vector<std::wstring> texts = test::DialogTexts(dialog);
    if (texts.empty()) return;  // Windows draws them itself
    bool shown = false;
    for (const std::wstring& each : texts) shown = shown || each == text;
    EXPECT_TRUE(shown) << "the dialog does not show the expected text";
}

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

TEST(StartupInstanceTest, AnInstanceMutexThatCannotBeOpenedMeansAnInstanceRuns) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    const std::wstring name = MakeInstanceMutexName(NormalizePath(path));
    // As an instance running as administrator leaves it for a normal one: a DACL that grants nothing.
    ACL emptyAcl{};
    ASSERT_TRUE(InitializeAcl(&emptyAcl, sizeof(emptyAcl), ACL_REVISION));
    SECURITY_DESCRIPTOR descriptor{};
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyAcl, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
    const HANDLE mutex = CreateMutexW(&attributes, TRUE, name.c_str());
    ASSERT_NE(mutex, nullptr);
    // The platform must refuse the program's own way of opening it, or this test shows nothing.
    SetLastError(0);
    const HANDLE probe = CreateMutexW(nullptr, TRUE, name.c_str());
    const DWORD probeError = GetLastError();
    if (probe != nullptr) CloseHandle(probe);
    ASSERT_EQ(probe, nullptr);
    ASSERT_EQ(probeError, static_cast<DWORD>(ERROR_ACCESS_DENIED));

    ProgramRun run(L"--silent --db " + Quoted(path));
    const HWND notice = run.WaitForDialog();
    EXPECT_NE(notice, nullptr) << "no message: the program ended with " << run.Wait(1000).value_or(99);
    if (notice != nullptr) {
        ExpectDialogShows(notice, ProgramString(2028));
        test::PressTaskDialogButton(notice, IDOK);
    }
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(17));
    CloseHandle(mutex);
    EXPECT_FALSE(test::FileExists(path)) << "the second process must not touch the database";
}

}  // namespace
}  // namespace lq
