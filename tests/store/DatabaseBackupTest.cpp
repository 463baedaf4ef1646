#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "store/DatabaseFiles.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/TextConversion.h"
#include "support/FileBytes.h"
#include "support/HeldFile.h"

namespace lq {
namespace {

constexpr char kNoteCount[] = "SELECT count(*) FROM notes";

class DatabaseBackupTest : public test::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ProjectStore projects(*db);
        NoteStore notes(*db);
        const int64_t project = *projects.InsertProject("プロジェクト", 1);
        for (int i = 0; i < 30; ++i) {
            const int64_t id = *notes.InsertNote(project, "メモ " + std::to_string(i), 1);
            ASSERT_TRUE(notes.SaveNote(id, std::string(2000, static_cast<char>('a' + i % 26)), NoteViewState{}, 2));
        }
    }
    // Names in the folder other than the live database's own files.
    std::vector<std::wstring> OtherFiles() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            const std::wstring name = entry.path().filename().wstring();
            if (name != L"memo.db" && name != L"memo.db-journal") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static int64_t NotesIn(const std::wstring& file) {
        sqlite3* handle = nullptr;
        int64_t count = -1;
        if (sqlite3_open_v2(Utf16ToUtf8(file).c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(handle, kNoteCount, -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW) {
                count = sqlite3_column_int64(statement, 0);
            }
            sqlite3_finalize(statement);
        }
        sqlite3_close_v2(handle);
        return count;
    }
    std::wstring target = folder.File(L"Lanternquill-backup-2026-01-02-0304.db");
};

TEST_F(DatabaseBackupTest, BackupIsAVerifiedCompleteCopy) {
    ASSERT_TRUE(db->BackupTo(target));
    EXPECT_TRUE(VerifyDatabaseFile(target));
    EXPECT_EQ(NotesIn(target), 30);
    EXPECT_EQ(OtherFiles(), std::vector<std::wstring>{std::filesystem::path(target).filename().wstring()});
    int64_t live = 0;
    ASSERT_TRUE(db->QueryInt64(kNoteCount, live));  // the live connection carries on
    EXPECT_EQ(live, 30);
}

TEST_F(DatabaseBackupTest, ReplacesAnExistingFileAndItsStaleJournal) {
    ASSERT_TRUE(test::WriteFileBytes(target, "an older backup"));
    ASSERT_TRUE(test::WriteFileBytes(target + L"-journal", std::string(4096, '\x11')));
    ASSERT_TRUE(db->BackupTo(target));
    EXPECT_FALSE(test::FileExists(target + L"-journal"));
    EXPECT_TRUE(VerifyDatabaseFile(target));
    EXPECT_EQ(NotesIn(target), 30);
    EXPECT_EQ(OtherFiles().size(), 1u);
}

// Every failure leaves the target (and any journal of it) exactly as it was and no temporary file.
TEST_F(DatabaseBackupTest, FailuresLeaveTargetUntouchedAndNoTemporaryFile) {
    {
        SCOPED_TRACE("missing folder");
        const std::wstring missing = folder.File(L"gone\\backup.db");
        EXPECT_FALSE(db->BackupTo(missing));
        EXPECT_FALSE(test::FileExists(missing));
        EXPECT_TRUE(OtherFiles().empty());
    }
    {
        SCOPED_TRACE("target is a folder");
        ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
        EXPECT_FALSE(db->BackupTo(target));
        EXPECT_EQ(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD{FILE_ATTRIBUTE_DIRECTORY});
        EXPECT_EQ(OtherFiles().size(), 1u);
        ASSERT_TRUE(RemoveDirectoryW(target.c_str()));
    }
    {
        SCOPED_TRACE("target held open without sharing");
        ASSERT_TRUE(test::WriteFileBytes(target, "the old backup"));
        ASSERT_TRUE(test::WriteFileBytes(target + L"-journal", "its journal"));
        test::HeldFile held(target, GENERIC_READ, 0);
        ASSERT_TRUE(held.held());
        EXPECT_FALSE(db->BackupTo(target));
        held.Release();
        EXPECT_EQ(test::ReadFileBytes(target), "the old backup");
        EXPECT_EQ(test::ReadFileBytes(target + L"-journal"), "its journal");
        EXPECT_EQ(OtherFiles().size(), 2u);
    }
}

// The online copy takes pages as they are, so damage in the live file reaches the copy and only the
// check finds it: the backup fails, and an existing target keeps its bytes.
TEST_F(DatabaseBackupTest, ACopyThatFailsItsCheckLeavesTheOldTargetAndNoTemporaryFile) {
    db.reset();
    const size_t pages = test::DatabasePageCount(path);
    ASSERT_GT(pages, 8u);
    ASSERT_TRUE(test::DamageDatabasePages(path, pages - 3, 2));
    db = test::OpenStoreDatabase(path);  // a fresh connection reads the damaged pages from the disk
    ASSERT_NE(db, nullptr);

    const std::string oldBackup = "an older backup that must survive";
    ASSERT_TRUE(test::WriteFileBytes(target, oldBackup));
    EXPECT_FALSE(db->BackupTo(target));
    EXPECT_EQ(test::ReadFileBytes(target), oldBackup);
    EXPECT_EQ(OtherFiles(), std::vector<std::wstring>{std::filesystem::path(target).filename().wstring()});
}

TEST_F(DatabaseBackupTest, LiveDatabaseIsNeverItsOwnTarget) {
    const auto before = test::ReadFileBytes(path);
    std::wstring upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
    EXPECT_FALSE(db->BackupTo(path));
    EXPECT_FALSE(db->BackupTo(upper));
    EXPECT_FALSE(db->CopyTo(path));
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_TRUE(OtherFiles().empty());
    int64_t live = 0;
    ASSERT_TRUE(db->QueryInt64(kNoteCount, live));
    EXPECT_EQ(live, 30);
}

TEST_F(DatabaseBackupTest, VerifyAcceptsOnlyAnIntactDatabase) {
    ASSERT_TRUE(db->CopyTo(target));
    EXPECT_TRUE(VerifyDatabaseFile(target));

    const std::wstring damaged = folder.File(L"damaged.db");
    ASSERT_TRUE(CopyFileW(target.c_str(), damaged.c_str(), TRUE));
    const size_t pages = test::DatabasePageCount(damaged);
    ASSERT_GT(pages, 8u);
    ASSERT_TRUE(test::DamageDatabasePages(damaged, pages - 3, 2));
    EXPECT_FALSE(VerifyDatabaseFile(damaged));

    const std::wstring text = folder.File(L"text.db");
    ASSERT_TRUE(test::WriteFileBytes(text, "not a database at all, just text"));
    EXPECT_FALSE(VerifyDatabaseFile(text));
    EXPECT_FALSE(VerifyDatabaseFile(folder.File(L"missing.db")));
    EXPECT_FALSE(test::FileExists(folder.File(L"missing.db")));  // read-only: never created
}

// A name near the limit of 255 characters still gets a temporary file beside it, with a short name.
TEST_F(DatabaseBackupTest, ANameNearTheLengthLimitIsBackedUp) {
    const std::wstring name = std::wstring(247, L'b') + L".db";
    const std::wstring longTarget = folder.File(name);
    ASSERT_TRUE(test::WriteFileBytes(longTarget, "an older backup"));
    ASSERT_TRUE(db->BackupTo(longTarget));
    EXPECT_TRUE(VerifyDatabaseFile(longTarget));
    EXPECT_EQ(NotesIn(longTarget), 30);
    EXPECT_EQ(OtherFiles(), std::vector<std::wstring>{name});
}

TEST_F(DatabaseBackupTest, TemporaryNameAndDeletingFiles) {
    EXPECT_EQ(BackupTemporaryPath(L"C:\\backups\\backup.db", 4242), L"C:\\backups\\backup.db.lnq-4242.tmp");
    EXPECT_EQ(BackupTemporaryPath(L"x.db", 7), L"x.db.lnq-7.tmp");
    // Where the name and its suffixes (up to "-old-journal") would pass 255 characters, a short name in
    // the same folder.
    const std::wstring fits(255 - 12 - 13, L'a');
    EXPECT_EQ(BackupTemporaryPath(L"C:\\b\\" + fits, 4242), L"C:\\b\\" + fits + L".lnq-4242.tmp");
    EXPECT_EQ(BackupTemporaryPath(L"C:\\b\\" + fits + L"a", 4242), L"C:\\b\\.lnq-4242.tmp");
    EXPECT_EQ(BackupTemporaryPath(L"C:/b/" + std::wstring(250, L'a'), 4242), L"C:/b/.lnq-4242.tmp");
    EXPECT_EQ(BackupTemporaryPath(std::wstring(250, L'a'), 4242), L".lnq-4242.tmp");

    const std::wstring file = folder.File(L"a.db");
    ASSERT_TRUE(test::WriteFileBytes(file, "a"));
    ASSERT_TRUE(test::WriteFileBytes(file + L"-journal", "j"));
    DeleteDatabaseFiles(file);
    EXPECT_FALSE(test::FileExists(file));
    EXPECT_FALSE(test::FileExists(file + L"-journal"));
    DeleteDatabaseFiles(file);  // neither exists: nothing happens
    EXPECT_TRUE(OtherFiles().empty());
}

}  // namespace
}  // namespace lq
