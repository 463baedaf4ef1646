// A start-over ended between its moves: the file moved aside and its log, or part of it, left behind.
// Each such state is built on disk as a kill leaves it and the real program is started on it: the
// move is finished (or undone) by itself, nothing of the moved copy's log is lost, and the program
// starts.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProgramFile.h"
#include "ProgramRun.h"
#include "store/ProjectStore.h"
#include "support/DialogKeys.h"
#include "support/FileBytes.h"
#include "support/HeldFile.h"
#include "support/RawDatabase.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::Quoted;

constexpr wchar_t kMovedName[] = L"memo-damaged-20260101-120000.db";
constexpr wchar_t kOlderName[] = L"memo-damaged-20250101-120000.db";

// A foreign file whose tables exist only in its log, as a program ended before its checkpoint leaves it.
bool MakeFileWithTablesOnlyInItsLog(const std::wstring& file) {
    return test::MakeRawDatabase(file, "CREATE TABLE t(x); DROP TABLE t;") &&
           test::AddPendingWalFrames(file, "CREATE TABLE bookmarks(url TEXT); INSERT INTO bookmarks VALUES ('kept');");
}

bool Move(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), 0) != FALSE;
}

// Whether the file opens with what its log held.
bool OpensWithItsLog(const std::wstring& file) {
    std::unique_ptr<Database> copy = test::OpenRawDatabase(file);
    int64_t kept = 0;
    return copy && copy->QueryInt64("SELECT count(*) FROM bookmarks WHERE url = 'kept'", kept) && kept == 1;
}

class StartupInterruptedMoveTest : public testing::Test {
protected:
    test::TempFolder folder;
    std::wstring path = folder.File(L"memo.db");
    std::wstring moved = folder.File(kMovedName);

    // The program starts on a new database and is closed again.
    void ExpectStartsAndCloses() {
        ProgramRun run(L"--silent --db " + Quoted(path));
        const HWND window = run.WaitForMainWindow();
        ASSERT_NE(window, nullptr) << "the program did not start";
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(run.Wait(), std::optional<DWORD>(0));
    }
};

// Every state a kill leaves between the moves (the undo after a failed move passes through the same
// ones, in the reverse order): the file moved and its companions behind, all or some of them.
TEST_F(StartupInterruptedMoveTest, TheNextStartFinishesTheMoveAndTheCopyKeepsItsLog) {
    struct Case {
        const char* what;
        std::vector<const wchar_t*> movedAlready;
        bool olderCopyBeside;
    };
    const Case cases[] = {
        {"file moved, log and index behind", {}, false},
        {"file and log moved, index behind", {L"-wal"}, false},
        {"file moved, log and index behind, an older copy without a log beside it", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder own;
        path = own.File(L"memo.db");
        moved = own.File(kMovedName);
        ASSERT_TRUE(MakeFileWithTablesOnlyInItsLog(path));
        ASSERT_TRUE(test::FileExists(path + L"-wal") && test::FileExists(path + L"-shm"));
        const std::wstring older = own.File(kOlderName);
        if (c.olderCopyBeside) {
            ASSERT_TRUE(test::MakeRawDatabase(older, "CREATE TABLE other(y);"));
        }
        const test::DatabaseFileSet before = test::ReadDatabaseFileSet(path);
        ASSERT_TRUE(Move(path, moved));
        for (const wchar_t* suffix : c.movedAlready) ASSERT_TRUE(Move(path + suffix, moved + suffix));

        ASSERT_NO_FATAL_FAILURE(ExpectStartsAndCloses());

        EXPECT_TRUE(test::ReadDatabaseFileSet(moved) == before) << "the moved copy is not the file and its log";
        EXPECT_FALSE(test::FileExists(path + L"-wal")) << "a log beside the new file";
        EXPECT_TRUE(OpensWithItsLog(moved));
        std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr) << "no new database in its place";
        EXPECT_EQ(ProjectStore(*db).ListProjects()->size(), 1u);
        if (c.olderCopyBeside) {
            EXPECT_FALSE(test::FileExists(older + L"-wal")) << "the log went to the wrong copy";
        }
    }
}

// A file in rollback-journal mode killed half-way through a change leaves a hot journal beside it; a
// start-over ended after moving the file leaves that journal behind, and it must follow the file.
TEST_F(StartupInterruptedMoveTest, AJournalLeftBehindFollowsTheMovedFile) {
    ASSERT_TRUE(test::WriteFileBytes(path, "These are somebody's shopping notes, not a database at all.\r\n"));
    const std::string journal(512, '\x42');
    ASSERT_TRUE(test::WriteFileBytes(path + L"-journal", journal));
    ASSERT_TRUE(Move(path, moved));

    ASSERT_NO_FATAL_FAILURE(ExpectStartsAndCloses());

    EXPECT_EQ(test::ReadFileBytes(moved + L"-journal"), journal);
    EXPECT_FALSE(test::FileExists(path + L"-journal"));
    EXPECT_NE(test::OpenStoreDatabase(path), nullptr) << "no new database in its place";
}

// A log that cannot follow (another program holds it) makes the copy come back to it, and the user is
// asked about the file again: nothing is apart from its log, nothing new is made.
TEST_F(StartupInterruptedMoveTest, ALogThatCannotFollowBringsTheFileBack) {
    ASSERT_TRUE(MakeFileWithTablesOnlyInItsLog(path));
    const test::DatabaseFileSet before = test::ReadDatabaseFileSet(path);
    ASSERT_TRUE(Move(path, moved));
    {
        test::HeldFile log(path + L"-wal", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(log.held());
        ProgramRun run(L"--silent --db " + Quoted(path));
        const HWND question = run.WaitForDialog();
        ASSERT_NE(question, nullptr);
        test::ExpectDialogShows(question, ProgramString(2002, L"memo.db"));
        test::PressTaskDialogButton(question, 2004);  // "終了"
        EXPECT_EQ(run.Wait(), std::optional<DWORD>(13));
    }
    EXPECT_TRUE(test::ReadDatabaseFileSet(path) == before) << "the file is not back with its log";
    EXPECT_FALSE(test::FileExists(moved));
}

}  // namespace
}  // namespace lq
