#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>

#include "platform/LongPath.h"

namespace lq {
namespace {

std::wstring CurrentFolder() {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(std::size(buffer)), buffer);
    return std::wstring(buffer, length);
}

TEST(UsableFilePathTest, OnlyLongPathsTakeTheExtendedForm) {
    const std::wstring longName(300, L'n');
    const std::wstring folder = CurrentFolder();
    ASSERT_FALSE(folder.empty());
    const std::wstring extendedFolder =
        folder.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + folder.substr(2) : L"\\\\?\\" + folder;
    const std::wstring separator = folder.ends_with(L'\\') ? L"" : L"\\";
    const struct {
        const char* name;
        std::wstring path;
        std::wstring expected;
    } cases[] = {
        {"short, as given", L"C:\\x\\a.txt", L"C:\\x\\a.txt"},
        {"short relative, as given", L"a\\..\\b.txt", L"a\\..\\b.txt"},
        {"long absolute", L"C:\\x\\" + longName, L"\\\\?\\C:\\x\\" + longName},
        {"long, dots and forward slashes resolved", L"C:/x/y/../" + longName, L"\\\\?\\C:\\x\\" + longName},
        {"long relative, made absolute", longName, extendedFolder + separator + longName},
        {"long UNC", L"\\\\server\\share\\" + longName, L"\\\\?\\UNC\\server\\share\\" + longName},
        {"already extended", L"\\\\?\\C:\\x\\" + longName, L"\\\\?\\C:\\x\\" + longName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(UsableFilePath(c.path), c.expected);
    }
}

}  // namespace
}  // namespace lq
