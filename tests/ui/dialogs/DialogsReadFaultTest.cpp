// The report of a disk fault under a mapped scan: the program's own error message, without an owner,
// shown by a thread of its own while the faulting thread only waits, so nothing queued for that thread
// (no window procedure of the program) runs before the process ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "resources/ResourceIds.h"
#include "support/DialogWatcher.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/DialogsReadFault.h"
#include "ui/dialogs/ResourceString.h"

namespace lq {
namespace {

TEST(ReadFaultReport, ShowsTheErrorFromAThreadOfItsOwnAndReturnsOnceItIsClosed) {
    SetMessageBoxesAllowed(true);
    constexpr UINT kQueued = WM_APP + 7;
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), kQueued, 0, 0));

    DWORD dialogThread = 0;
    test::DialogWatcher watcher(
        [&](const test::DialogSnapshot& d) {
            dialogThread = GetWindowThreadProcessId(d.window, nullptr);
            test::PressDialogButton(d.window, IDOK);
        },
        L"Lanternquill");
    ReportMappedReadFault();
    const auto seen = watcher.Finish();
    ASSERT_TRUE(seen) << "no dialog appeared";
    EXPECT_FALSE(watcher.forced());
    EXPECT_EQ(seen->owner, nullptr);
    const std::wstring text = LoadResourceString(GetModuleHandleW(nullptr), IDS_DATABASE_READ_FAULT);
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(seen->HasText(text)) << testing::PrintToString(seen->AllTexts());
    EXPECT_NE(dialogThread, 0u);
    EXPECT_NE(dialogThread, GetCurrentThreadId());

    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, kQueued, kQueued, PM_REMOVE)) << "this thread's queue was run";
}

// The faulting thread may hold a lock the message's thread needs: here the loader's, which every new
// thread takes to start. The report does not wait for a message that cannot come; once the lock is
// free the message appears after all (so the thread was only held up).
TEST(ReadFaultReport, DoesNotWaitPastItsBoundForAMessageThatCannotAppear) {
    SetMessageBoxesAllowed(true);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    using LockLoader = LONG(NTAPI*)(ULONG, ULONG*, ULONG_PTR*);
    using UnlockLoader = LONG(NTAPI*)(ULONG, ULONG_PTR);
    const auto lock = reinterpret_cast<LockLoader>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrLockLoaderLock")));
    const auto unlock =
        reinterpret_cast<UnlockLoader>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnlockLoaderLock")));
    ASSERT_NE(lock, nullptr);
    ASSERT_NE(unlock, nullptr);

    std::atomic<bool> appearedWhileLocked{true};
    std::atomic<bool> locked{false};
    test::DialogWatcher watcher(
        [&](const test::DialogSnapshot& d) {
            appearedWhileLocked = locked.load();
            test::PressDialogButton(d.window, IDOK);
        },
        L"Lanternquill", std::chrono::seconds(30));
    ULONG_PTR cookie = 0;
    ASSERT_GE(lock(0, nullptr, &cookie), 0);
    locked = true;
    ReportMappedReadFault(300);
    locked = false;
    unlock(0, cookie);

    const auto seen = watcher.Finish();
    ASSERT_TRUE(seen) << "the message never came";
    EXPECT_FALSE(appearedWhileLocked);
    EXPECT_TRUE(seen->HasText(LoadResourceString(GetModuleHandleW(nullptr), IDS_DATABASE_READ_FAULT)));
}

}  // namespace
}  // namespace lq
