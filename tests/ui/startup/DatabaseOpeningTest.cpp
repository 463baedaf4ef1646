#include "DatabaseOpening.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "StartupPaths.h"
#include "platform/TextConversion.h"
#include "resources/ResourceIds.h"
#include "store/ProjectStore.h"
#include "support/FileBytes.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

constexpr char kNotADatabase[] = "These are somebody's shopping notes, not a database at all.\r\n";

// The open loop over a file in a fresh folder, with dialogs that record what they were asked and
// answer the damaged-file question as the test says.
class DatabaseOpeningTest : public testing::Test {
protected:
    std::unique_ptr<Database> Open(bool quiet = false) {
        DatabaseOpenDialogs dialogs;
        dialogs.showError = [this](UINT id, const std::wstring& argument, const std::wstring& second) {
            errors.push_back(OpenFailureMessage{id, argument, second});
        };
        dialogs.askStartOver = [this](const std::wstring& fileName) {
            askedAbout.push_back(fileName);
            ++questions;
            return startOver;
        };
        return OpenDatabaseWithDialogs(path, quiet, dialogs);
    }

    // The files of the folder other than the database itself.
    std::vector<std::wstring> OtherFiles() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            const std::wstring name = entry.path().filename().wstring();
            if (name != L"memo.db") names.push_back(name);
        }
        return names;
    }

    test::TempFolder folder;
    std::wstring path = folder.File(L"memo.db");
    std::vector<OpenFailureMessage> errors;
    int questions = 0;
    std::vector<std::wstring> askedAbout;  // the file name each question named
    bool startOver = false;
};

TEST_F(DatabaseOpeningTest, AMissingFileBecomesANewDatabaseWithoutAWord) {
    EXPECT_NE(Open(), nullptr);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(questions, 0);
    EXPECT_TRUE(test::FileExists(path));
}

TEST_F(DatabaseOpeningTest, AFileThatCannotBeCreatedNamesItsFolder) {
    path = folder.File(L"no such folder\\memo.db");
    EXPECT_EQ(Open(), nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].id, static_cast<UINT>(IDS_CANNOT_CREATE_DATABASE));
    EXPECT_EQ(errors[0].argument, folder.File(L"no such folder"));
}

TEST_F(DatabaseOpeningTest, ANewerDatabaseIsRefusedWithItsMessageAndLeftAlone) {
    ASSERT_TRUE(test::MakeSchemaDatabase(path, 2));
    const std::optional<std::string> before = test::ReadFileBytes(path);
    EXPECT_EQ(Open(), nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].id, static_cast<UINT>(IDS_DATABASE_NEWER));
    EXPECT_EQ(errors[0].argument, L"memo.db");
    EXPECT_EQ(test::ReadFileBytes(path), before);
}

TEST_F(DatabaseOpeningTest, QuietShowsNothingAndNeverMovesADamagedFile) {
    ASSERT_TRUE(test::WriteFileBytes(path, kNotADatabase));
    startOver = true;  // would be the answer, were anyone asked
    EXPECT_EQ(Open(true), nullptr);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(test::ReadFileBytes(path), std::string(kNotADatabase));
    EXPECT_TRUE(OtherFiles().empty());

    path = folder.File(L"no such folder\\memo.db");
    EXPECT_EQ(Open(true), nullptr);
    EXPECT_TRUE(errors.empty());
}

TEST_F(DatabaseOpeningTest, ChoosingToExitLeavesTheDamagedFileAsItWas) {
    ASSERT_TRUE(test::WriteFileBytes(path, kNotADatabase));
    startOver = false;
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(test::ReadFileBytes(path), std::string(kNotADatabase));
    EXPECT_TRUE(OtherFiles().empty());
}

TEST_F(DatabaseOpeningTest, StartingOverMovesTheFileAsideAndOpensANewDatabase) {
    ASSERT_TRUE(test::WriteFileBytes(path, kNotADatabase));
    startOver = true;
    std::unique_ptr<Database> db = Open();
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(errors.empty());
    // The new database has the schema (it takes a project); the old bytes are kept under the new name.
    EXPECT_TRUE(ProjectStore(*db).InsertProject("Inbox", 1).has_value());
    const std::vector<std::wstring> others = OtherFiles();
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0].rfind(L"memo-damaged-", 0), 0u) << others[0];
    EXPECT_EQ(test::ReadFileBytes(folder.File(others[0])), std::string(kNotADatabase));
}

// The question and the newer-version message name the file that was opened, whatever it is called.
TEST_F(DatabaseOpeningTest, TheMessagesAboutARefusedFileNameThatFile) {
    struct Case {
        const wchar_t* name;
        bool newer;
    };
    const Case cases[] = {{L"日記 2026.db", false}, {L"notes.sqlite", true}, {L"memo.db", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.newer ? "newer " : "damaged ") << Utf16ToUtf8(c.name));
        test::TempFolder own;
        path = own.File(c.name);
        ASSERT_TRUE(c.newer ? test::MakeSchemaDatabase(path, 2) : test::WriteFileBytes(path, kNotADatabase));
        errors.clear();
        askedAbout.clear();
        startOver = false;
        EXPECT_EQ(Open(), nullptr);
        if (c.newer) {
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0].id, static_cast<UINT>(IDS_DATABASE_NEWER));
            EXPECT_EQ(errors[0].argument, c.name);
            EXPECT_TRUE(askedAbout.empty());
        } else {
            EXPECT_TRUE(errors.empty());
            EXPECT_EQ(askedAbout, std::vector<std::wstring>{c.name});
        }
    }
}

TEST_F(DatabaseOpeningTest, ADamagedNameAlreadyTakenIsNotOverwritten) {
    ASSERT_TRUE(test::WriteFileBytes(path, kNotADatabase));
    // The names of the next few seconds are taken, as after an earlier start-over within the second.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME nowFile{};
    ASSERT_TRUE(SystemTimeToFileTime(&now, &nowFile));
    ULARGE_INTEGER ticks{};
    ticks.LowPart = nowFile.dwLowDateTime;
    ticks.HighPart = nowFile.dwHighDateTime;
    std::vector<std::wstring> taken;
    for (int second = 0; second < 10; ++second) {
        ULARGE_INTEGER at = ticks;
        at.QuadPart += static_cast<ULONGLONG>(second) * 10'000'000ull;
        const FILETIME atFile{at.LowPart, at.HighPart};
        SYSTEMTIME atTime{};
        ASSERT_TRUE(FileTimeToSystemTime(&atFile, &atTime));
        taken.push_back(MakeDamagedDatabasePath(path, atTime));
        ASSERT_TRUE(test::WriteFileBytes(taken.back(), "earlier"));
    }
    startOver = true;
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(questions, 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].id, static_cast<UINT>(IDS_CANNOT_CREATE_DATABASE));
    EXPECT_EQ(errors[0].argument, folder.path().wstring());
    EXPECT_EQ(test::ReadFileBytes(path), std::string(kNotADatabase));
    for (const std::wstring& name : taken) EXPECT_EQ(test::ReadFileBytes(name), std::string("earlier"));
}

TEST(MessageForOpenFailureTest, EachOutcomeHasItsMessage) {
    struct Case {
        OpenOutcome outcome;
        std::optional<UINT> id;
        std::wstring argument;
        std::wstring second;
    };
    // Named other than memo.db: every message names the file opened.
    const std::wstring path = L"C:\\Tools\\Lanternquill\\notes.sqlite";
    const Case cases[] = {
        {OpenOutcome::Ok, std::nullopt, L"", L""},
        {OpenOutcome::NotOurDatabase, std::nullopt, L"", L""},  // a question, not a message
        {OpenOutcome::CannotOpen, IDS_CANNOT_CREATE_DATABASE, L"C:\\Tools\\Lanternquill", L"notes.sqlite"},
        {OpenOutcome::NewerVersion, IDS_DATABASE_NEWER, L"notes.sqlite", L""},
        {OpenOutcome::JournalModeFailed, IDS_JOURNAL_MODE_FAILED, L"notes.sqlite", L""},
        {OpenOutcome::MigrationFailed, IDS_MIGRATION_FAILED, L"notes.sqlite",
         L"C:\\Tools\\Lanternquill\\memo-before-v1.db"},
        {OpenOutcome::BackupFailed, IDS_BACKUP_BEFORE_MIGRATION_FAILED, L"notes.sqlite", L""},
        {OpenOutcome::LogWithoutFile, IDS_LOG_WITHOUT_DATABASE, L"notes.sqlite", L"notes.sqlite-journal"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.outcome));
        DatabaseOpenResult result;
        result.outcome = c.outcome;
        result.backupPath = L"C:\\Tools\\Lanternquill\\memo-before-v1.db";
        const std::optional<OpenFailureMessage> message = MessageForOpenFailure(result, path);
        ASSERT_EQ(message.has_value(), c.id.has_value());
        if (!message) continue;
        EXPECT_EQ(message->id, *c.id);
        EXPECT_EQ(message->argument, c.argument);
        EXPECT_EQ(message->second, c.second);
    }
}

TEST(MoveDamagedDatabaseAsideTest, NeverReplacesAnExistingFile) {
    test::TempFolder folder;
    const std::wstring from = folder.File(L"memo.db");
    const std::wstring to = folder.File(L"memo-damaged-20240101-000000.db");
    ASSERT_TRUE(test::WriteFileBytes(from, "damaged"));
    ASSERT_TRUE(test::WriteFileBytes(to, "earlier"));
    EXPECT_FALSE(MoveDamagedDatabaseAside(from, to));
    EXPECT_EQ(test::ReadFileBytes(from), std::string("damaged"));
    EXPECT_EQ(test::ReadFileBytes(to), std::string("earlier"));

    ASSERT_TRUE(DeleteFileW(to.c_str()));
    EXPECT_TRUE(MoveDamagedDatabaseAside(from, to));
    EXPECT_FALSE(test::FileExists(from));
    EXPECT_EQ(test::ReadFileBytes(to), std::string("damaged"));
}

}  // namespace
}  // namespace lq
