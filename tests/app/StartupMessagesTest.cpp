// The start-up's messages about the database file, read in the real program's windows: each names the
// file as it was opened (not "memo.db" whatever it is called) and says what is wrong and the way out.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ProgramFile.h"
#include "ProgramRun.h"
#include "support/FileBytes.h"
#include "support/RawDatabase.h"
#include "support/ScopedEnvironment.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::Quoted;

// Starts the program on `file`, reads its one message and answers it; the message must name the file,
// the exit code must be 13 and the folder must hold what it held before.
void ExpectRefusedWith(const std::wstring& file, const std::wstring& expected) {
    const std::wstring name = file.substr(file.find_last_of(L'\\') + 1);
    ASSERT_NE(expected.find(name), std::wstring::npos) << "the message has no place for the file's name";
    const test::DatabaseFileSet before = test::ReadDatabaseFileSet(file);
    ProgramRun run(L"--silent --db " + Quoted(file));
    const HWND message = run.WaitForDialog();
    ASSERT_NE(message, nullptr) << "no message: the program ended with " << run.Wait(1000).value_or(99);
    test::ExpectDialogShows(message, expected);
    test::PressTaskDialogButton(message, IDOK);
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(13));
    EXPECT_TRUE(test::ReadDatabaseFileSet(file) == before) << "a file was made, changed or deleted";
}

// A log beside a missing file is not a folder that cannot be written: the message says the file is
// missing, names the log that holds its changes and what to do.
TEST(StartupMessagesTest, ALogBesideAMissingFileIsNamedWithTheFile) {
    for (const wchar_t* suffix : {L"-journal", L"-wal"}) {
        SCOPED_TRACE(testing::Message() << suffix);
        test::TempFolder folder;
        const std::wstring file = folder.File(L"日記.db");
        ASSERT_TRUE(test::WriteFileBytes(file + suffix, std::string(512, '\x42')));
        const std::wstring expected = ProgramString(2100, L"日記.db", std::wstring(L"日記.db") + suffix);
        ASSERT_NE(expected.find(L"日記.db" + std::wstring(suffix)), std::wstring::npos);
        ASSERT_NO_FATAL_FAILURE(ExpectRefusedWith(file, expected));
    }
}

// A log without its index can be judged only on a copy in the temporary folder; with no room there
// the message names that folder, not the database's.
TEST(StartupMessagesTest, ALogThatCannotBeJudgedSaysTheTemporaryFolderIsFull) {
    test::TempFolder folder;
    const std::wstring file = folder.File(L"notes.sqlite");
    ASSERT_TRUE(test::MakeSchemaDatabase(file, 1));
    ASSERT_TRUE(test::AddPendingWalFrames(file, "INSERT INTO projects VALUES (1, 'p', 1, 1, 0, 0);"));
    ASSERT_TRUE(DeleteFileW((file + L"-shm").c_str()));
    // A temporary folder that does not exist holds no copy, as a full one holds none.
    const std::wstring temporary = folder.File(L"no such temp");
    const test::ScopedEnvironment tmp(L"TMP", temporary.c_str());
    const test::ScopedEnvironment temp(L"TEMP", temporary.c_str());
    const std::wstring expected = ProgramString(2101, L"notes.sqlite", temporary);
    ASSERT_NE(expected.find(temporary), std::wstring::npos) << "the message does not name the temporary folder";
    ASSERT_NO_FATAL_FAILURE(ExpectRefusedWith(file, expected));
}

TEST(StartupMessagesTest, AFileThatCannotBeMadeIsNamedWithItsFolder) {
    test::TempFolder folder;
    const std::wstring missing = folder.File(L"no such folder");
    ASSERT_NO_FATAL_FAILURE(
        ExpectRefusedWith(missing + L"\\notes.sqlite", ProgramString(2001, missing, L"notes.sqlite")));
}

// The OneDrive warning after the window is shown names the file as the user gave it, though the path
// tested is upper-cased.
TEST(StartupMessagesTest, TheOneDriveWarningNamesTheFile) {
    test::TempFolder folder;
    const std::wstring file = folder.File(L"日記.db");
    const test::ScopedEnvironment oneDrive(L"OneDrive", folder.path().wstring().c_str());
    ProgramRun run(L"--silent --db " + Quoted(file));
    const HWND warning = run.WaitForDialog();
    ASSERT_NE(warning, nullptr) << "no warning";
    const std::wstring expected = ProgramString(2040, L"日記.db");
    ASSERT_NE(expected.find(L"日記.db"), std::wstring::npos) << "the warning has no place for the file's name";
    test::ExpectDialogShows(warning, expected);
    test::PressTaskDialogButton(warning, IDOK);
    const HWND window = run.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace lq
