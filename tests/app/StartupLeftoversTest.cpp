// Copies the program left in the temporary folder while judging a file, when it was ended meanwhile:
// the next start removes them, but never those of a running copy of the program, whatever that copy's
// program file is called.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ProgramFile.h"
#include "ProgramRun.h"
#include "support/FileBytes.h"
#include "support/ParkedProcess.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::Quoted;

std::wstring TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder, length);
}

// The judging copy's files of process `id`, as the program names them.
std::vector<std::wstring> JudgingFiles(uint32_t id) {
    const std::wstring copy =
        TemporaryFolder() + L"lnq-judge-" + std::to_wstring(id) + L"-" + std::to_wstring(GetTickCount64()) + L".db";
    return {copy, copy + L"-wal", copy + L"-shm", copy + L"-journal"};
}

TEST(StartupLeftoversTest, JudgingCopiesOfEndedProcessesGoAndThoseOfARenamedRunningCopyStay) {
    test::TempFolder folder;
    // A copy of the program under the name a second download gets, running on a file of its own.
    const std::wstring renamed = folder.File(L"lanternquill (1).exe");
    ASSERT_TRUE(CopyFileW(test::ProgramPath().c_str(), renamed.c_str(), FALSE));
    ProgramRun other(L"--silent --db " + Quoted(folder.File(L"other.db")), renamed);
    ASSERT_NE(other.WaitForMainWindow(), nullptr) << "the renamed copy did not start";

    const uint32_t ended = test::EndedProcessId();
    ASSERT_NE(ended, 0u);
    const std::vector<std::wstring> leftovers = JudgingFiles(ended);
    const std::vector<std::wstring> live = JudgingFiles(other.processId());
    // A name of another shape is not the program's.
    const std::wstring foreign = TemporaryFolder() + L"lnq-judge-" + std::to_wstring(ended) + L".txt";
    for (const std::vector<std::wstring>* files : {&leftovers, &live}) {
        for (const std::wstring& file : *files) ASSERT_TRUE(test::WriteFileBytes(file, std::string(4096, 'j')));
    }
    ASSERT_TRUE(test::WriteFileBytes(foreign, "not a copy"));

    {
        ProgramRun run(L"--silent --db " + Quoted(folder.File(L"memo.db")));
        const HWND window = run.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(run.Wait(), std::optional<DWORD>(0));
    }
    for (const std::wstring& file : leftovers) EXPECT_FALSE(test::FileExists(file)) << "left for ever";
    for (const std::wstring& file : live) EXPECT_TRUE(test::FileExists(file)) << "a running copy's file was deleted";
    EXPECT_TRUE(test::FileExists(foreign));

    const HWND otherWindow = other.WaitForMainWindow();
    if (otherWindow != nullptr) PostMessageW(otherWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(other.Wait(), std::optional<DWORD>(0));
    for (const std::wstring& file : live) DeleteFileW(file.c_str());
    DeleteFileW(foreign.c_str());
}

}  // namespace
}  // namespace lq
