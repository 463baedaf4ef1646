#include "ui/dialogs/FileCommandTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"

namespace lq {
namespace {

struct PathCase {
    const wchar_t* path;
    const wchar_t* name;
    const wchar_t* folder;
};

TEST(FileCommandTexts, NameAndFolderOfPaths) {
    const PathCase cases[] = {
        {L"C:\\notes\\a.txt", L"a.txt", L"C:\\notes"},
        {L"C:/notes/b.md", L"b.md", L"C:/notes"},
        {L"C:\\mixed/dir\\c.txt", L"c.txt", L"C:\\mixed/dir"},
        {L"C:\\dir/d.txt", L"d.txt", L"C:\\dir"},
        {L"plain.txt", L"plain.txt", L"plain.txt"},
        {L"C:\\dir\\", L"", L"C:\\dir"},
        {L"\\\\server\\share\\e.db", L"e.db", L"\\\\server\\share"},
        {L"C:\\top.db", L"top.db", L"C:"},
        {L"", L"", L""},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "path #" << (&c - cases));
        EXPECT_EQ(FileNameOfPath(c.path), c.name);
        EXPECT_EQ(FolderOfPath(c.path), c.folder);
    }
}

TEST(FileCommandTexts, ReasonOfEachImportError) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::pair<ImportError, const wchar_t*> cases[] = {
        {ImportError::Unreadable, L"読めない"},
        {ImportError::TooLarge, L"100 MB より大きい"},
        {ImportError::ContainsNul, L"NUL 文字を含む"},
        {ImportError::UnknownEncoding, L"文字コードが分からない"},
    };
    for (const auto& [error, reason] : cases) {
        SCOPED_TRACE(static_cast<int>(error));
        EXPECT_EQ(LoadResourceString(instance, ImportErrorReasonId(error)), reason);
    }
    EXPECT_EQ(ImportErrorReasonId(ImportError::None), 0u);
    EXPECT_EQ(LoadResourceString(instance, IDS_IMPORT_NOT_STORED), L"保存できない");
}

TEST(FileCommandTexts, FailureLinesAndReport) {
    EXPECT_EQ(ImportFailureLine(L"C:\\in\\b.md", L"100 MB より大きい"), L"b.md \u2014 100 MB より大きい");
    EXPECT_EQ(ImportFailureLine(L"c.txt", L"NUL 文字を含む"), L"c.txt \u2014 NUL 文字を含む");

    const std::vector<std::wstring> lines = {L"b.md \u2014 x", L"c.txt \u2014 y"};
    EXPECT_EQ(ImportFailureReport(L"取り込めなかったファイルがあります:", lines),
              L"取り込めなかったファイルがあります:\nb.md \u2014 x\nc.txt \u2014 y");
    EXPECT_EQ(ImportFailureReport(L"heading", {}), L"heading");
}

TEST(FileCommandTexts, ProgramFolderHoldsTheExecutable) {
    wchar_t module[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
    const std::wstring folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_EQ(std::wstring(module).rfind(folder + L"\\", 0), 0u);
}

}  // namespace
}  // namespace lq
