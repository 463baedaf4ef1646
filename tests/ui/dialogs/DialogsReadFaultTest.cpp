// The report of a disk fault under a mapped scan: the program's own error message, without an owner,
// shown by a thread of its own while the faulting thread only waits, so nothing queued for that thread
// (no window procedure of the program) runs before the process ends.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lq
