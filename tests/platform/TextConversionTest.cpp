#include <gtest/gtest.h>

#include <string>

#include "platform/Clock.h"
#include "platform/TextConversion.h"

namespace lq {
namespace {

struct RoundTrip {
    const char* name;
    std::string utf8;
    std::wstring utf16;
};

TEST(TextConversionTest, RoundTripsJapaneseAndCharactersOutsideTheBmp) {
    const RoundTrip cases[] = {
        {"empty", "", L""},
        {"ascii", "memo.db", L"memo.db"},
        {"japanese", "日本語のメモ", L"\u65E5\u672C\u8A9E\u306E\u30E1\u30E2"},
        {"outside bmp", "\xF0\x9F\x93\x9D \xF0\xA0\xAE\xB7", L"\xD83D\xDCDD \xD842\xDFB7"},
        {"embedded nul", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"crlf", "a\r\nb", L"a\r\nb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
    }
}

TEST(TextConversionTest, InvalidInputBecomesReplacementCharacters) {
    const std::wstring replacement = L"\uFFFD";
    // Unpaired surrogates.
    EXPECT_EQ(Utf16ToUtf8(std::wstring(L"a\xD800" L"b")), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf16ToUtf8(std::wstring(1, L'\xDC00')), "\xEF\xBF\xBD");
    // A lone continuation byte, a truncated sequence, an overlong form, a byte never valid.
    EXPECT_EQ(Utf8ToUtf16("a\x80" "b"), L"a" + replacement + L"b");
    const std::wstring truncated = Utf8ToUtf16("\xE6\x97");
    ASSERT_FALSE(truncated.empty());
    EXPECT_EQ(truncated.find_first_not_of(L'\xFFFD'), std::wstring::npos);
    EXPECT_EQ(Utf8ToUtf16("\xFF").front(), L'\xFFFD');
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF").front(), L'\xFFFD');
    // Whatever came in, what goes out is valid UTF-8 again.
    const std::string back = Utf16ToUtf8(Utf8ToUtf16("x\xE6\x97\xA5\xE6"));
    EXPECT_EQ(back.substr(0, 4), "x\xE6\x97\xA5");
    EXPECT_EQ(back.substr(4), "\xEF\xBF\xBD");
}

TEST(ClockTest, UnixEpochIsZeroAndNowIsAfterTheProgramWasWritten) {
    EXPECT_EQ(FileTimeTicksToUnixMillis(116444736000000000ll), 0);
    EXPECT_EQ(FileTimeTicksToUnixMillis(116444736000000000ll + 10000), 1);
    EXPECT_EQ(FileTimeTicksToUnixMillis(116444736000000000ll + 9999), 0);
    // Before 1970 the division truncates toward zero.
    EXPECT_EQ(FileTimeTicksToUnixMillis(116444736000000000ll - 10001), -1);
    const int64_t now = NowUnixMillis();
    EXPECT_GT(now, 1'767'225'600'000ll);  // 2026-01-01
    EXPECT_LT(now, 4'102'444'800'000ll);  // 2100-01-01
}

}  // namespace
}  // namespace lq
