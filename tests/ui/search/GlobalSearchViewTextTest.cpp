#include "ui/search/GlobalSearchText.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/search/HighlightedText.h"

namespace lq {
namespace {

TEST(GlobalSearchViewText, CollapsesWhiteSpaceRunsIntoOneSpace) {
    struct Case {
        const wchar_t* text;
        const wchar_t* collapsed;
    };
    const Case cases[] = {
        {L"", L""},
        {L"\r\n\t  \n", L""},
        {L"\r\n\tword\t\r\n", L"word"},
        {L"first\r\nsecond", L"first second"},
        {L"a \t b\n\n\nc", L"a b c"},
        {L"  leading and trailing  ", L"leading and trailing"},
        {L"全角\u3000空白", L"全角\u3000空白"},  // only tab, LF, CR and space collapse
        {L"x\vy\fz", L"x\vy\fz"},
    };
    for (const Case& c : cases) EXPECT_EQ(CollapseWhiteSpace(c.text), c.collapsed) << testing::PrintToString(c.text);
}

TEST(GlobalSearchViewText, FindsTheFirstMatchFoldingOnlyAsciiLetters) {
    struct Case {
        const wchar_t* text;
        const wchar_t* query;
        TextMatch match;
    };
    const Case cases[] = {
        {L"Shopping List", L"list", {9, 4}},
        {L"shopping list", L"LIST", {9, 4}},
        {L"aaa", L"aa", {0, 2}},
        {L"メモの検索と置換", L"検索", {3, 2}},
        {L"日本語abc", L"ABC", {3, 3}},
        {L"abc", L"", {0, 0}},
        {L"", L"a", {0, 0}},
        {L"ab", L"abc", {0, 0}},
        {L"ÉCOLE", L"école", {0, 0}},    // letters beyond ASCII match exactly only
        {L"ＡＢＣ", L"ａｂｃ", {0, 0}},  // nor are full-width letters folded
        {L"a[b", L"A{B", {0, 0}},        // '[' and '{' are not a case pair
        {L"x@y", L"X`Y", {0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindFirstNoCase(c.text, c.query), c.match)
            << testing::PrintToString(c.text) << " / " << testing::PrintToString(c.query);
    }
}

TEST(GlobalSearchViewText, RowFromHitConvertsCollapsesAndLocatesTheQueryInCodeUnits) {
    SearchHit hit;
    hit.noteId = 7;
    hit.projectName = "仕事";
    hit.title = "週報 Draft";
    hit.snippet = "\r\n\t前回の draft を\r\n見直す\t";
    hit.inContent = true;
    const GlobalSearchRow row = MakeGlobalSearchRow(hit, L"DRAFT");
    EXPECT_EQ(row.title, L"週報 Draft");
    EXPECT_EQ(row.projectName, L"仕事");
    EXPECT_EQ(row.snippet, L"前回の draft を 見直す");
    EXPECT_EQ(row.titleMatch, (TextMatch{3, 5}));
    EXPECT_EQ(row.snippetMatch, (TextMatch{4, 5}));

    // Characters outside the basic plane count two code units each.
    hit.title = "\xF0\x9F\x93\x9D memo";  // U+1F4DD
    EXPECT_EQ(MakeGlobalSearchRow(hit, L"Memo").titleMatch, (TextMatch{3, 4}));
    // Broken UTF-8 shows as a replacement character rather than an empty row.
    hit.title = "a\xFFz";
    EXPECT_EQ(MakeGlobalSearchRow(hit, L"z").title, L"a\uFFFDz");
    EXPECT_EQ(MakeGlobalSearchRow(hit, L"").titleMatch, (TextMatch{}));
}

TEST(GlobalSearchViewText, HighlightSplitKeepsTheMatchInsideTheText) {
    struct Case {
        size_t length;
        TextMatch match;
        HighlightSplit split;
    };
    const Case cases[] = {
        {10, {0, 0}, {0, 0}},    {10, {2, 3}, {2, 5}},           {10, {8, 5}, {8, 10}},  // runs past the end
        {10, {12, 3}, {10, 10}},                                                         // starts past the end
        {0, {0, 4}, {0, 0}},     {10, {3, UINT64_MAX}, {3, 10}}, {10, {UINT64_MAX, UINT64_MAX}, {10, 10}},
    };
    for (const Case& c : cases) {
        const HighlightSplit split = SplitForHighlight(c.length, c.match);
        EXPECT_EQ(split, c.split) << c.length << " " << c.match.position << "+" << c.match.length;
    }
}

}  // namespace
}  // namespace lq
