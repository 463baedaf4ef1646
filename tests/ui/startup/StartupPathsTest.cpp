#include "StartupPaths.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <filesystem>
#include <string>

#include "support/FileBytes.h"

namespace lq {
namespace {

TEST(ParentDirectoryOfTest, TextBeforeTheLastSeparator) {
    struct Case {
        const wchar_t* path;
        const wchar_t* parent;
    };
    const Case cases[] = {
        {L"C:\\Data\\memo.db", L"C:\\Data"},
        {L"C:/Data/memo.db", L"C:/Data"},
        {L"a\\b/c.db", L"a\\b"},
        {L"a/b\\c.db", L"a/b"},
        {L"C:\\memo.db", L"C:"},
        {L"\\\\server\\share\\memo.db", L"\\\\server\\share"},
        {L"memo.db", L"."},
        {L"", L"."},
    };
    for (const Case& c : cases) EXPECT_EQ(ParentDirectoryOf(c.path), c.parent) << c.path;
}

TEST(MakeDamagedDatabasePathTest, StampedNameInTheDatabaseFolder) {
    SYSTEMTIME time{};
    time.wYear = 2024;
    time.wMonth = 3;
    time.wDay = 5;
    time.wHour = 7;
    time.wMinute = 8;
    time.wSecond = 9;
    // Whatever the database is called, the new name begins with "memo-damaged-".
    EXPECT_EQ(MakeDamagedDatabasePath(L"C:\\Data\\notes.db", time), L"C:\\Data\\memo-damaged-20240305-070809.db");
    EXPECT_EQ(MakeDamagedDatabasePath(L"memo.db", time), L".\\memo-damaged-20240305-070809.db");
    time.wYear = 2031;
    time.wMonth = 12;
    time.wDay = 31;
    time.wHour = 23;
    time.wMinute = 59;
    time.wSecond = 58;
    EXPECT_EQ(MakeDamagedDatabasePath(L"D:/x/memo.db", time), L"D:/x\\memo-damaged-20311231-235958.db");
}

TEST(MakeDamagedDatabasePathTest, UsesTheLocalTimeNow) {
    const std::wstring made = MakeDamagedDatabasePath(L"C:\\Data\\memo.db");
    const std::wstring prefix = L"C:\\Data\\memo-damaged-";
    ASSERT_EQ(made.size(), prefix.size() + 15 + 3) << made;
    EXPECT_EQ(made.substr(0, prefix.size()), prefix);
    EXPECT_EQ(made.substr(made.size() - 3), L".db");
    const std::wstring stamp = made.substr(prefix.size(), 15);
    for (size_t i = 0; i < stamp.size(); ++i) {
        if (i == 8) {
            EXPECT_EQ(stamp[i], L'-');
        } else {
            EXPECT_TRUE(std::iswdigit(stamp[i])) << made;
        }
    }
}

TEST(GetExecutableDirectoryTest, IsTheFolderOfThisProgramWithItsSeparator) {
    const std::wstring folder = GetExecutableDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(folder.back() == L'\\' || folder.back() == L'/') << folder;
    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    const std::wstring selfPath(self);
    EXPECT_EQ(selfPath.substr(0, folder.size()), folder);
    EXPECT_EQ(selfPath.find_first_of(L"\\/", folder.size()), std::wstring::npos) << selfPath;
}

TEST(MakeSmokeDatabasePathTest, NewFileInTheTemporaryFolderNamedForThisProcess) {
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::wstring made = MakeSmokeDatabasePath();
    const std::wstring prefix = std::wstring(temp) + L"lnq-smoke-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    ASSERT_GT(made.size(), prefix.size() + 3) << made;
    EXPECT_EQ(made.substr(0, prefix.size()), prefix);
    EXPECT_EQ(made.substr(made.size() - 3), L".db");
    const std::wstring ticks = made.substr(prefix.size(), made.size() - prefix.size() - 3);
    ASSERT_FALSE(ticks.empty());
    for (wchar_t c : ticks) EXPECT_TRUE(std::iswdigit(c)) << made;
    EXPECT_FALSE(test::FileExists(made));
}

}  // namespace
}  // namespace lq
