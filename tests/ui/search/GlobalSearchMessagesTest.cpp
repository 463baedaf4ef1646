#include "ui/search/GlobalSearchMessages.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace lq {
namespace {

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

struct CountCase {
    std::optional<ReplaceCount> count;
    const wchar_t* expected;
};

TEST(GlobalSearchMessages, MatchCountTexts) {
    const CountCase cases[] = {
        {std::nullopt, L""},
        {ReplaceCount{0, 0}, L"0件"},
        {ReplaceCount{1, 1}, L"1件 / 1個のメモ"},
        {ReplaceCount{1234, 56}, L"1,234件 / 56個のメモ"},
        {ReplaceCount{1000000, 1000}, L"1,000,000件 / 1,000個のメモ"},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        EXPECT_EQ(MatchCountText(Instance(), c.count), c.expected);
    }
}

TEST(GlobalSearchMessages, ConfirmationNamesBothTotalsAndWarns) {
    EXPECT_EQ(ConfirmReplaceAllText(Instance(), ReplaceCount{1234, 56}),
              L"1,234件を56個のメモで置換します。\n\nこの操作は全メモへ反映されます。"
              L"すべてのメモの置換は、一括では元に戻せません。");
}

TEST(GlobalSearchMessages, ReplacedTextShowsWhatWasDone) {
    ReplaceAllOutcome outcome;
    outcome.status = ReplaceAllStatus::Replaced;
    outcome.totalReplaced = 12345;
    outcome.notesChanged = 7;
    EXPECT_EQ(ReplacedAllText(Instance(), outcome), L"12,345件 / 7個のメモを置換しました");
}

}  // namespace
}  // namespace lq
