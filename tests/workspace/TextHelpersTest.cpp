#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "workspace/TextHelpers.h"

namespace lq {
namespace {

constexpr uint64_t kNoPosition = ~uint64_t{0};

std::string Repeat(std::string_view piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(NormalizeTitleTest, Table) {
    const std::string ideographs200 = Repeat("\xE6\x97\xA5", 200);  // 日 x 200
    const std::string emoji200 = Repeat("\xF0\x9F\x93\x9D", 200);   // U+1F4DD, a surrogate pair in UTF-16
    const struct {
        const char* name;
        std::string input;
        std::optional<std::string> expected;
    } cases[] = {
        {"empty", "", std::nullopt},
        {"only blanks and line breaks", " \t\r\n  \n", std::nullopt},
        {"plain", "Meeting notes", "Meeting notes"},
        {"trimmed at both ends", "  a b  ", "a b"},
        {"line breaks and tabs inside become one space each", "a\r\nb\tc\nd\re", "a  b c d e"},
        {"blanks at the ends trimmed after mapping", "\t\r\nx\r\n\t", "x"},
        {"other control characters stay",
         "a\vb\fc\x01"
         "d\x7F",
         "a\vb\fc\x01"
         "d\x7F"},
        {"full-width and no-break spaces are not trimmed", "\xE3\x80\x80x\xC2\xA0", "\xE3\x80\x80x\xC2\xA0"},
        {"200 ideographs kept whole", ideographs200, ideographs200},
        {"300 ideographs cut to 200", Repeat("\xE6\x97\xA5", 300), ideographs200},
        {"characters outside the BMP count once", emoji200 + "\xF0\x9F\x93\x9D", emoji200},
        {"mixed widths cut at a character boundary",
         Repeat("a", 199) + "\xF0\x9F\x93\x9D"
                            "bc",
         Repeat("a", 199) + "\xF0\x9F\x93\x9D"},
        {"spaces left by the cut stay", Repeat("a", 198) + "   b", Repeat("a", 198) + "  "},
        {"over-long input", Repeat("x", 1'000'000), Repeat("x", 200)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NormalizeTitle(c.input), c.expected);
    }
}

TEST(FindNoCaseTest, Table) {
    const struct {
        const char* name;
        std::string haystack;
        std::string needle;
        uint64_t start;
        uint64_t expected;
    } cases[] = {
        {"empty needle", "abc", "", 0, kNoPosition},
        {"needle longer than haystack", "ab", "abc", 0, kNoPosition},
        {"ASCII letters fold both ways", "xxHeLLo", "hEllO", 0, 2},
        {"first match from start", "abcABCabc", "ABC", 1, 3},
        {"start exactly at the last possible place", "abcXYZ", "xyz", 3, 3},
        {"start past the last possible place", "abcXYZ", "xyz", 4, kNoPosition},
        {"start far beyond the end", "abc", "a", kNoPosition, kNoPosition},
        {"digits and punctuation exact", "a[1]", "[1]", 0, 1},
        {"@ and [ are not letters", "@[", "`{", 0, kNoPosition},
        {"non-ASCII capital does not fold (\xC3\x84 vs \xC3\xA4)", "\xC3\xA4", "\xC3\x84", 0, kNoPosition},
        {"full-width letters do not fold", "\xEF\xBD\x81", "\xEF\xBC\xA1", 0, kNoPosition},
        {"Greek capital does not fold", "\xCE\xB1", "\xCE\x91", 0, kNoPosition},
        {"non-ASCII bytes match exactly", "\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x9C\xAC", 0, 3},
        {"Kelvin sign is not k", "\xE2\x84\xAA", "k", 0, kNoPosition},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindNoCase(c.haystack, c.needle, c.start), c.expected);
    }
}

TEST(FindNoCaseTest, RepeatedSearchesCountWithoutOverlap) {
    const std::string text = "aAaAa";
    int count = 0;
    for (uint64_t at = FindNoCase(text, "aa", 0); at != kNoPosition; at = FindNoCase(text, "aa", at + 2)) ++count;
    EXPECT_EQ(count, 2);
}

TEST(FormatThousandsTest, Table) {
    const struct {
        int64_t value;
        const wchar_t* expected;
    } cases[] = {
        {0, L"0"},
        {7, L"7"},
        {100, L"100"},
        {999, L"999"},
        {1000, L"1,000"},
        {-1, L"-1"},
        {-999, L"-999"},
        {-1234, L"-1,234"},
        {1234567, L"1,234,567"},
        {1000000, L"1,000,000"},
        {std::numeric_limits<int64_t>::max(), L"9,223,372,036,854,775,807"},
        {std::numeric_limits<int64_t>::min(), L"-9,223,372,036,854,775,808"},
        {std::numeric_limits<int64_t>::min() + 1, L"-9,223,372,036,854,775,807"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(FormatThousands(c.value), c.expected);
    }
}

}  // namespace
}  // namespace lq
