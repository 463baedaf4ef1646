#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/DatabasePaths.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

TEST(DatabasePathsTest, PureSteps) {
    struct Strip {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Strip strips[] = {
        {L"\\\\?\\C:\\data\\memo.db", L"C:\\data\\memo.db"},
        {L"\\\\?\\UNC\\server\\share\\memo.db", L"\\\\server\\share\\memo.db"},
        {L"\\\\?\\UNC\\", L"\\\\"},
        {L"C:\\plain", L"C:\\plain"},
        {L"\\\\server\\share", L"\\\\server\\share"},
        {L"\\\\?\\", L""},
        {L"", L""},
    };
    for (const Strip& s : strips) EXPECT_EQ(StripFinalPathPrefix(s.in), s.out) << s.in;

    struct Split {
        const wchar_t* full;
        const wchar_t* parent;
        const wchar_t* leaf;
    };
    const Split splits[] = {
        {L"C:\\data\\memo.db", L"C:\\data", L"memo.db"},
        {L"C:\\memo.db", L"C:\\", L"memo.db"},  // a drive root keeps its backslash
        {L"\\\\server\\share\\memo.db", L"\\\\server\\share", L"memo.db"},
        {L"C:\\data\\", L"C:\\data", L""},
    };
    for (const Split& s : splits) {
        const auto split = SplitParentAndLeaf(s.full);
        ASSERT_TRUE(split) << s.full;
        EXPECT_EQ(split->parent, s.parent);
        EXPECT_EQ(split->leaf, s.leaf);
    }
    EXPECT_FALSE(SplitParentAndLeaf(L"memo.db"));
    EXPECT_EQ(JoinResolvedParent(L"C:\\", L"memo.db"), L"C:\\memo.db");
    EXPECT_EQ(JoinResolvedParent(L"C:\\data", L"memo.db"), L"C:\\data\\memo.db");

    EXPECT_EQ(UpperCaseInvariant(L"c:\\users\\tarō\\äpfel\\メモ.db"), L"C:\\USERS\\TARŌ\\ÄPFEL\\メモ.DB");
    EXPECT_EQ(UpperCaseInvariant(L""), L"");
}

TEST(DatabasePathsTest, InstanceKeyAndMutexName) {
    EXPECT_EQ(HashPath(L""), 0xcbf29ce484222325ull);
    EXPECT_EQ(HashPath(L"a"), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(HashPath(L"foobar"), 0x85944171f73967e8ull);
    EXPECT_NE(HashPath(L"C:\\A.DB"), HashPath(L"C:\\B.DB"));
    EXPECT_EQ(MakeInstanceMutexName(L""), L"Local\\Lanternquill-CBF29CE484222325");

    // Some path whose key has leading zero digits: the name still has all 16.
    std::wstring padded;
    for (int i = 0; padded.empty(); ++i) {
        const std::wstring candidate = L"C:\\" + std::to_wstring(i) + L".DB";
        if (HashPath(candidate) < (1ull << 56)) padded = candidate;
    }
    const std::wstring name = MakeInstanceMutexName(padded);
    EXPECT_EQ(name.size(), 35u);
    EXPECT_EQ(name.substr(0, 21), L"Local\\Lanternquill-00");
    for (const wchar_t c : name.substr(19)) EXPECT_TRUE(iswdigit(c) || (c >= L'A' && c <= L'F')) << name;
}

TEST(DatabasePathsTest, OneFileHasOneNormalisedPathHoweverWritten) {
    test::TempFolder folder;
    const std::wstring file = folder.File(L"memo.db");
    ASSERT_TRUE(test::WriteFileBytes(file, ""));

    wchar_t previous[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
    const std::wstring relative = NormalizePath(L"memo.db");
    const std::wstring dotted = NormalizePath(L".\\sub\\..\\MEMO.DB");
    ASSERT_TRUE(SetCurrentDirectoryW(previous));

    std::wstring otherCase = file;
    for (wchar_t& c : otherCase) c = static_cast<wchar_t>(iswupper(c) ? towlower(c) : towupper(c));
    const std::wstring absolute = NormalizePath(otherCase);

    EXPECT_EQ(relative, absolute);
    EXPECT_EQ(dotted, absolute);
    EXPECT_EQ(absolute, UpperCaseInvariant(GetFinalPath(file)));
    EXPECT_EQ(absolute.find(L"\\\\?\\"), std::wstring::npos);
    EXPECT_EQ(MakeInstanceMutexName(relative), MakeInstanceMutexName(absolute));
}

TEST(DatabasePathsTest, FileNotYetThereNormalisesThroughItsFolder) {
    test::TempFolder folder;
    const std::wstring folderFinal = GetFinalPath(folder.path().wstring());
    ASSERT_FALSE(folderFinal.empty());
    EXPECT_EQ(NormalizePath(folder.File(L"new memo.db")), UpperCaseInvariant(folderFinal + L"\\new memo.db"));
    EXPECT_TRUE(GetFinalPath(folder.File(L"new memo.db")).empty());

    // Directly in a drive root: the parent is the three characters "X:\".
    const std::wstring driveRoot = folderFinal.substr(0, 3);
    EXPECT_EQ(NormalizePath(driveRoot + L"lq-not-there-1234.db"), UpperCaseInvariant(driveRoot) + L"LQ-NOT-THERE-1234.DB");

    // Nothing of it exists: the absolute form, upper-cased.
    const std::wstring nowhere = folder.File(L"a\\b\\c.db");
    EXPECT_EQ(NormalizePath(nowhere), UpperCaseInvariant(GetFullPath(nowhere)));
}

}  // namespace
}  // namespace lq
