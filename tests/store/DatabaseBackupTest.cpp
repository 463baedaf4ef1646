#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "platform/TextConversion.h"
#include "store/DatabaseFiles.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "support/FailingReadVfs.h"
#include "support/FileBytes.h"
#include "support/HeldFile.h"
#include "support/ParkedProcess.h"
#include "support/RawDatabase.h"
#include "support/TempFolder.h"

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
    bool sourceDamaged = false;
    EXPECT_FALSE(db->BackupTo(target, &sourceDamaged));
    EXPECT_TRUE(sourceDamaged) << "the copy is faithful: the damage is the live file's own";
    EXPECT_EQ(test::ReadFileBytes(target), oldBackup);
    EXPECT_EQ(OtherFiles(), std::vector<std::wstring>{std::filesystem::path(target).filename().wstring()});
}

// A drive that fails while the copy is read back: the check fails and so does the backup, which the
// user is told; the old target stays. (Read mapped, the failing reads would not be seen here, and on
// Windows they would be a fault in a mapped page, taken for one in the live file.)
TEST_F(DatabaseBackupTest, ACopyThatCannotBeReadBackFailsTheBackup) {
    const std::string oldBackup = "an older backup that must survive";
    ASSERT_TRUE(test::WriteFileBytes(target, oldBackup));
    {
        const test::FailingReadVfs failing(".lnq-");
        ASSERT_TRUE(failing.installed());
        bool sourceDamaged = true;
        EXPECT_FALSE(db->BackupTo(target, &sourceDamaged));
        EXPECT_FALSE(sourceDamaged) << "the live file is sound; the copy could not be read back";
    }
    EXPECT_EQ(test::ReadFileBytes(target), oldBackup);
    EXPECT_EQ(OtherFiles(), std::vector<std::wstring>{std::filesystem::path(target).filename().wstring()});
    ASSERT_TRUE(db->BackupTo(target)) << "the drive works again";
    EXPECT_EQ(NotesIn(target), 30);
}

// Temporary copies that killed backups and exports left beside the target are removed before a new one
// is written, unless a running process of this program may still be writing one; nothing else goes.
TEST_F(DatabaseBackupTest, LeftoversOfEndedBackupsAreRemovedBeforeANewCopy) {
    const test::ParkedProcess ours(test::ThisProgramPath());
    const test::ParkedProcess other(test::OtherProgramPath());
    ASSERT_TRUE(ours.started() && other.started());
    const uint32_t ended = test::EndedProcessId();
    const uint32_t endedToo = test::EndedProcessId();
    ASSERT_TRUE(ended != 0 && endedToo != 0 && endedToo != ended);
    const std::wstring name = std::filesystem::path(target).filename().wstring();
    const auto temporary = [&](uint32_t id) { return BackupTemporaryPath(target, id); };
    const std::wstring endedId = std::to_wstring(ended);
    struct Case {
        const char* what;
        std::wstring path;
        bool removed;
    };
    const Case cases[] = {
        {"an ended process's copy", temporary(ended), true},
        {"its journal", temporary(ended) + L"-journal", true},
        {"a journal whose copy is gone", temporary(endedToo) + L"-journal", true},
        {"a live process of another program", temporary(other.id()), true},
        {"a running backup of this program", temporary(ours.id()), false},
        {"its journal", temporary(ours.id()) + L"-journal", false},
        {"an id with a leading zero", folder.File(name + L".lnq-0" + endedId + L".tmp"), false},
        {"no id", folder.File(name + L".lnq-x.tmp"), false},
        {"more after the name", temporary(ended) + L".bak", false},
        {"a log", temporary(ended) + L"-wal", false},
        {"an old target's journal set aside", temporary(ended) + L"-old-journal", true},
        {"one whose copy is gone", temporary(endedToo) + L"-old-journal", true},
        {"another target's copy", folder.File(L"other.db.lnq-" + endedId + L".tmp"), false},
        {"the short form, which only long names use", folder.File(L".lnq-" + endedId + L".tmp"), false},
    };
    for (const Case& c : cases) ASSERT_TRUE(test::WriteFileBytes(c.path, "left behind"));

    ASSERT_TRUE(db->BackupTo(target));
    for (const Case& c : cases) {
        EXPECT_EQ(test::FileExists(c.path), !c.removed) << c.what << ": " << Utf16ToUtf8(c.path);
    }
    EXPECT_EQ(NotesIn(target), 30);
}

// The state a backup killed after setting the old target's journal aside leaves: the old target,
// half-way through a change, without the journal that undoes it, and its copy. The next backup gives
// the journal back to the old target first, so a backup that then fails leaves it as it was, and one
// that succeeds leaves the new copy and nothing else.
TEST_F(DatabaseBackupTest, AJournalSetAsideByAKilledBackupGoesBackToTheOldTarget) {
    ASSERT_TRUE(db->BackupTo(target));
    const uint32_t ended = test::EndedProcessId();
    ASSERT_NE(ended, 0u);
    const std::wstring copy = BackupTemporaryPath(target, ended);
    ASSERT_TRUE(CopyFileW(target.c_str(), copy.c_str(), FALSE));
    {
        // A change larger than the cache writes pages into the file before it commits; the two files
        // taken then are what a process ended at that moment leaves.
        sqlite3* handle = nullptr;
        ASSERT_EQ(sqlite3_open_v2(Utf16ToUtf8(target).c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(handle, "PRAGMA cache_size = 1; BEGIN; UPDATE notes SET content = 'changed';", nullptr,
                               nullptr, nullptr),
                  SQLITE_OK);
        ASSERT_TRUE(CopyFileW(target.c_str(), (target + L".half").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((target + L"-journal").c_str(), (copy + L"-old-journal").c_str(), FALSE));
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(handle);
    }
    ASSERT_TRUE(MoveFileExW((target + L".half").c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_FALSE(test::FileExists(target + L"-journal"));
    const auto changedNotes = [&] {
        // Read-write: a journal beside the file is rolled back into it on opening.
        std::unique_ptr<Database> old = test::OpenRawDatabase(target);
        int64_t changed = -1;
        EXPECT_TRUE(old && old->QueryInt64("SELECT count(*) FROM notes WHERE content = 'changed'", changed));
        return changed;
    };
    {
        const test::FailingReadVfs failing(".lnq-");
        ASSERT_TRUE(failing.installed());
        EXPECT_FALSE(db->BackupTo(target));
    }
    EXPECT_EQ(changedNotes(), 0) << "the old target was left half-changed";
    EXPECT_TRUE(VerifyDatabaseFile(target));
    EXPECT_EQ(OtherFiles(), std::vector<std::wstring>{std::filesystem::path(target).filename().wstring()});

    ASSERT_TRUE(db->BackupTo(target));
    EXPECT_EQ(NotesIn(target), 30);
    EXPECT_EQ(OtherFiles(), std::vector<std::wstring>{std::filesystem::path(target).filename().wstring()});
}

// A long name's temporary file has the short form, and so has its leftover.
TEST_F(DatabaseBackupTest, ALongNamesLeftoverHasTheShortForm) {
    const test::ParkedProcess ours(test::ThisProgramPath());
    ASSERT_TRUE(ours.started());
    const uint32_t ended = test::EndedProcessId();
    const std::wstring longTarget = folder.File(std::wstring(247, L'b') + L".db");
    const std::wstring leftover = BackupTemporaryPath(longTarget, ended);
    const std::wstring running = BackupTemporaryPath(longTarget, ours.id());
    ASSERT_EQ(std::filesystem::path(leftover).filename().wstring(), L".lnq-" + std::to_wstring(ended) + L".tmp");
    for (const std::wstring& file : {leftover, leftover + L"-journal", running}) {
        ASSERT_TRUE(test::WriteFileBytes(file, "left behind"));
    }
    ASSERT_TRUE(db->BackupTo(longTarget));
    EXPECT_FALSE(test::FileExists(leftover));
    EXPECT_FALSE(test::FileExists(leftover + L"-journal"));
    EXPECT_TRUE(test::FileExists(running));
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

// Past MAX_PATH the old target's stale journal is found and moved out of the way all the same, so it
// is never rolled back into the new copy.
TEST_F(DatabaseBackupTest, ATargetPastMaxPathLosesItsStaleJournal) {
    const std::wstring deep = folder.File(std::wstring(120, L'f'));
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    const std::wstring deepTarget = deep + L"\\" + std::wstring(200, L'b') + L".db";
    ASSERT_GT(deepTarget.size(), size_t{MAX_PATH});
    ASSERT_TRUE(test::WriteFileBytes(deepTarget, "an older backup"));
    ASSERT_TRUE(test::WriteFileBytes(deepTarget + L"-journal", std::string(4096, '\x11')));
    ASSERT_TRUE(db->BackupTo(deepTarget));
    EXPECT_FALSE(test::FileExists(deepTarget + L"-journal"));
    EXPECT_EQ(NotesIn(deepTarget), 30);
    EXPECT_EQ(test::FileNamesIn(deep), std::vector<std::wstring>{std::wstring(200, L'b') + L".db"});
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
