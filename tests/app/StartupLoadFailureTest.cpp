// The real program on a database that passes opening's checks but whose notes cannot be read: the
// damaged-file question with both answers, the message for any other failure, and the quiet self-test.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "ProgramFile.h"
#include "ProgramRun.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "support/FileBytes.h"
#include "support/RawDatabase.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::Quoted;

constexpr char kManyNotes[] =
    "INSERT INTO projects VALUES (1, 'p', 1, 1, 0, 0);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
    "INSERT INTO notes (project_id, title, content, sort_order, created_at, updated_at) "
    "SELECT 1, 'note ' || i, printf('%0900d', i), i, 0, 0 FROM n;";

enum class Damage { ThreeDataPages, AllDataPages, ZeroedNotesRoot };

const char* Describe(Damage damage) {
    switch (damage) {
        case Damage::ThreeDataPages:
            return "garbage in three data pages";
        case Damage::AllDataPages:
            return "garbage in every data page";
        case Damage::ZeroedNotesRoot:
            return "the root page of the notes zeroed";
    }
    return "";
}

// The 0-based page index of the notes table's root page.
std::optional<size_t> NotesRootPage(const std::wstring& path) {
    std::unique_ptr<Database> db = test::OpenRawDatabase(path);
    int64_t root = 0;
    if (!db || !db->QueryInt64("SELECT rootpage FROM sqlite_schema WHERE name = 'notes'", root) || root < 2) {
        return std::nullopt;
    }
    return static_cast<size_t>(root - 1);
}

// A real database of this program with many notes, damaged as a failing disk would damage it. Bytes
// are written into whole pages of the file, so the same fixture holds on Windows.
void MakeDamagedDatabase(const std::wstring& path, Damage damage) {
    ASSERT_TRUE(test::MakeSchemaDatabase(path, 1, kManyNotes));
    const size_t pages = test::DatabasePageCount(path);
    ASSERT_GT(pages, 40u);
    switch (damage) {
        case Damage::ThreeDataPages:
            ASSERT_TRUE(test::DamageDatabasePages(path, pages / 3, 3));
            break;
        case Damage::AllDataPages:
            ASSERT_TRUE(test::DamageDatabasePages(path, 1, pages - 1));
            break;
        case Damage::ZeroedNotesRoot: {
            const std::optional<size_t> root = NotesRootPage(path);
            ASSERT_TRUE(root);
            ASSERT_TRUE(test::DamageDatabasePages(path, *root, 1, '\0'));
            break;
        }
    }
    // Opening's checks read only the first page, so the file passes them; the listing does not.
    std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr) << "opening must accept the file";
    const bool listed = ProjectStore(*db).ListProjects() && NoteStore(*db).ListNotes();
    ASSERT_FALSE(listed) << "the listing must fail";
}

const Damage kDamages[] = {Damage::ThreeDataPages, Damage::AllDataPages, Damage::ZeroedNotesRoot};

// The file moved aside keeps every byte; a new database with the first project and note is in its place.
void ExpectStartedOver(const test::TempFolder& folder, const std::wstring& path,
                       const std::optional<std::string>& before) {
    std::wstring damaged;
    for (const std::wstring& name : test::FileNamesIn(folder.path())) {
        if (name.rfind(L"memo-damaged-", 0) == 0) damaged = name;
    }
    ASSERT_TRUE(std::regex_match(damaged, std::wregex(L"memo-damaged-[0-9]{8}-[0-9]{6}\\.db")));
    EXPECT_EQ(test::ReadFileBytes(folder.File(damaged)), before);
    std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr) << "a new database was made in its place";
    const std::optional<std::vector<ProjectRow>> projects = ProjectStore(*db).ListProjects();
    ASSERT_TRUE(projects);
    ASSERT_EQ(projects->size(), 1u);
    EXPECT_EQ(projects->front().name, "Inbox");
    const std::optional<std::vector<NoteListRow>> notes = NoteStore(*db).ListNotes();
    ASSERT_TRUE(notes);
    ASSERT_EQ(notes->size(), 1u);
    EXPECT_EQ(notes->front().title, "Memo");
}

TEST(StartupLoadFailureTest, TheDamagedFileQuestionKeepsTheFileOrMovesItAsideAsTheUserChooses) {
    const int kExit = 2004;       // "終了"
    const int kStartOver = 2003;  // "新しいデータベースで始める"
    for (const Damage damage : kDamages) {
        for (const int answer : {kExit, kStartOver}) {
            SCOPED_TRACE(std::string(Describe(damage)) + (answer == kExit ? ", exit" : ", start over"));
            test::TempFolder folder;
            const std::wstring path = folder.File(L"memo.db");
            MakeDamagedDatabase(path, damage);
            const std::optional<std::string> before = test::ReadFileBytes(path);

            ProgramRun run(L"--silent --db " + Quoted(path));
            const HWND question = run.WaitForDialog();
            ASSERT_NE(question, nullptr) << "no question: the program ended with " << run.Wait(1000).value_or(99);
            test::ExpectDialogShows(question, ProgramString(2002, L"memo.db"));
            test::PressTaskDialogButton(question, answer);
            if (answer == kExit) {
                EXPECT_EQ(run.Wait(), std::optional<DWORD>(13));
                EXPECT_EQ(test::ReadFileBytes(path), before);
                EXPECT_EQ(test::FileNamesIn(folder.path()), std::vector<std::wstring>{L"memo.db"});
                continue;
            }
            const HWND window = run.WaitForMainWindow();
            ASSERT_NE(window, nullptr) << "no main window after starting over";
            PostMessageW(window, WM_CLOSE, 0, 0);
            EXPECT_EQ(run.Wait(), std::optional<DWORD>(0));
            ExpectStartedOver(folder, path, before);
        }
    }
}

TEST(StartupLoadFailureTest, AnyOtherLoadFailureIsReportedAndEndsWith14) {
    test::TempFolder folder;
    // The message names the file as it is called.
    const std::wstring path = folder.File(L"日記.db");
    // A file without projects whose first note cannot be stored: not damage, so no question.
    ASSERT_TRUE(test::MakeSchemaDatabase(
        path, 1, "CREATE TRIGGER refuse_notes BEFORE INSERT ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    const std::optional<std::string> before = test::ReadFileBytes(path);

    ProgramRun run(L"--silent --db " + Quoted(path));
    const HWND notice = run.WaitForDialog();
    ASSERT_NE(notice, nullptr) << "no message: the program ended with " << run.Wait(1000).value_or(99);
    ASSERT_FALSE(ProgramString(2059).empty());
    ASSERT_NE(ProgramString(2059, L"日記.db").find(L"日記.db"), std::wstring::npos) << "2059 does not name the file";
    test::ExpectDialogShows(notice, ProgramString(2059, L"日記.db"));
    test::PressTaskDialogButton(notice, IDOK);
    EXPECT_EQ(run.Wait(), std::optional<DWORD>(14));
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_EQ(test::FileNamesIn(folder.path()), std::vector<std::wstring>{L"日記.db"});
}

TEST(StartupLoadFailureTest, TheSelfTestOnADamagedFileAsksNothingAndMovesNothing) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    MakeDamagedDatabase(path, Damage::ThreeDataPages);
    const std::optional<std::string> before = test::ReadFileBytes(path);
    // A dialog would keep the program waiting past the time-out.
    ProgramRun run(L"--smoke --db " + Quoted(path));
    EXPECT_EQ(run.Wait(30000), std::optional<DWORD>(14));
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_EQ(test::FileNamesIn(folder.path()), std::vector<std::wstring>{L"memo.db"});
}

}  // namespace
}  // namespace lq
