#include "ui/dialogs/ResourceString.h"

#include <gtest/gtest.h>

#include "resources/ResourceIds.h"

namespace lq {
namespace {

struct FillCase {
    const wchar_t* text;
    const wchar_t* first;
    const wchar_t* second;
    const wchar_t* expected;
};

TEST(FillPlaceholders, Cases) {
    const FillCase cases[] = {
        {L"「%1」と%2個のメモを削除しました（Ctrl+Z で元に戻す）", L"日記", L"3",
         L"「日記」と3個のメモを削除しました（Ctrl+Z で元に戻す）"},
        {L"no placeholders here", L"a", L"b", L"no placeholders here"},
        {L"", L"a", L"b", L""},
        {L"%", L"a", L"b", L"%"},
        {L"%1", L"a", L"b", L"a"},
        {L"%1 and %1", L"a", L"b", L"a and %1"},
        {L"%2 then %1, %2 again", L"a", L"b", L"b then a, %2 again"},
        {L"%1%2", L"", L"", L""},
        {L"%12", L"x", L"y", L"x2"},
        {L"100%", L"x", L"y", L"100%"},
        // An argument's own placeholders are shown as they are: a path or a title may hold them.
        {L"%1 に書き出せませんでした。", L"C:\\a%2b\\%1.txt", L"", L"C:\\a%2b\\%1.txt に書き出せませんでした。"},
        {L"「%1」と%2個", L"50%2", L"7", L"「50%2」と7個"},
        {L"%1件 / %2個のメモ", L"%1", L"%2", L"%1件 / %2個のメモ"},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text #" << (&c - cases));
        EXPECT_EQ(FillPlaceholders(c.text, c.first, c.second), c.expected);
    }
}

TEST(LoadResourceString, ReadsTheTableAndFillsArguments) {
    const HINSTANCE self = GetModuleHandleW(nullptr);
    EXPECT_EQ(LoadResourceString(self, IDS_PRODUCT_NAME), L"Lanternquill");
    EXPECT_EQ(LoadResourceString(self, IDS_PROJECT_WITH_NOTES_DELETED, L"日記", L"3"),
              L"「日記」と3個のメモを削除しました（Ctrl+Z で元に戻す）");
    EXPECT_EQ(LoadResourceString(self, IDS_CANNOT_CREATE_DATABASE, L"D:\\x", L"notes.db"),
              L"D:\\x に notes.db を作れません。Lanternquill を書き込めるフォルダ（例: "
              L"C:\\Tools\\Lanternquill）に移してください。");
    EXPECT_EQ(LoadResourceString(self, IDS_CONFIRM_REPLACE_ALL, L"1,234", L"56"),
              L"1,"
              L"234件を56個のメモで置換します。\n\nこの操作は全メモへ反映されます。すべてのメモの置換は、一括では元に戻"
              L"せません。");
    EXPECT_EQ(LoadResourceString(self, IDS_CUE_LINE, L"42"), L"行 1\u201342");
}

TEST(LoadResourceString, UnknownIdIsEmpty) {
    const HINSTANCE self = GetModuleHandleW(nullptr);
    EXPECT_EQ(LoadResourceString(self, 1105, L"a", L"b"), L"");
    EXPECT_EQ(LoadResourceString(self, 4321), L"");
}

}  // namespace
}  // namespace lq
