#include <gtest/gtest.h>

#include <string>

#include "textfiles/ImportDecoding.h"

namespace lq {
namespace {

using E = TextEncoding;
using R = ImportError;

const std::string kJapaneseUtf8 =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\xA1\xE3\x83\xA2";  // 日本語のメモ
const std::string kJapaneseCp932 = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x81\x83\x82";

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int v : values) bytes.push_back(static_cast<char>(v));
    return bytes;
}

TEST(DecodeTextBytesTest, Table) {
    const struct {
        const char* name;
        std::string bytes;
        E encoding;
        R error;
        std::string text;
    } cases[] = {
        {"empty", "", E::Utf8, R::None, ""},
        {"only the UTF-8 mark", "\xEF\xBB\xBF", E::Utf8Bom, R::None, ""},
        {"UTF-8 mark and text", "\xEF\xBB\xBF" + kJapaneseUtf8, E::Utf8Bom, R::None, kJapaneseUtf8},
        {"UTF-8 mark, invalid after it",
         "\xEF\xBB\xBF"
         "a\xFF",
         E::Utf8Bom, R::UnknownEncoding, ""},
        {"UTF-8 mark, Shift-JIS after it is not retried", "\xEF\xBB\xBF" + kJapaneseCp932, E::Utf8Bom,
         R::UnknownEncoding, ""},
        {"only the UTF-16 LE mark", "\xFF\xFE", E::Utf16Le, R::None, ""},
        {"only the UTF-16 BE mark", "\xFE\xFF", E::Utf16Be, R::None, ""},
        {"UTF-16 LE", Bytes({0xFF, 0xFE, 0xE5, 0x65, 'a', 0, 0x3D, 0xD8, 0xDD, 0xDC}), E::Utf16Le, R::None,
         "\xE6\x97\xA5"
         "a\xF0\x9F\x93\x9D"},
        {"UTF-16 BE", Bytes({0xFE, 0xFF, 0x65, 0xE5, 0, 'a', 0xD8, 0x3D, 0xDC, 0xDD}), E::Utf16Be, R::None,
         "\xE6\x97\xA5"
         "a\xF0\x9F\x93\x9D"},
        {"UTF-16 LE, odd length", Bytes({0xFF, 0xFE, 'a'}), E::Utf16Le, R::UnknownEncoding, ""},
        {"UTF-16 BE, odd length", Bytes({0xFE, 0xFF, 0, 'a', 0}), E::Utf16Be, R::UnknownEncoding, ""},
        {"UTF-16 unpaired surrogate becomes U+FFFD", Bytes({0xFF, 0xFE, 0x00, 0xD8, 'x', 0}), E::Utf16Le, R::None,
         "\xEF\xBF\xBD"
         "x"},
        {"UTF-32 LE reads as UTF-16 with NUL", Bytes({0xFF, 0xFE, 0, 0, 'a', 0, 0, 0}), E::Utf16Le, R::ContainsNul, ""},
        {"UTF-16 with NUL", Bytes({0xFE, 0xFF, 0, 'a', 0, 0}), E::Utf16Be, R::ContainsNul, ""},
        {"ASCII is UTF-8", "plain text", E::Utf8, R::None, "plain text"},
        {"UTF-8 without mark", kJapaneseUtf8, E::Utf8, R::None, kJapaneseUtf8},
        {"UTF-8 with NUL", std::string("a\0b", 3), E::Utf8, R::ContainsNul, ""},
        {"only a NUL", std::string(1, '\0'), E::Utf8, R::ContainsNul, ""},
        {"Shift-JIS", kJapaneseCp932, E::Cp932, R::None, kJapaneseUtf8},
        {"Shift-JIS with 5C as trail byte", "\x95\x5C\x8E\xA6", E::Cp932, R::None, "\xE8\xA1\xA8\xE7\xA4\xBA"},
        {"half-width katakana", "\xB1\xB2\xB3", E::Cp932, R::None, "\xEF\xBD\xB1\xEF\xBD\xB2\xEF\xBD\xB3"},
        {"code page 932 extension (circled one)", "\x87\x40", E::Cp932, R::None, "\xE2\x91\xA0"},
        {"Shift-JIS with NUL", kJapaneseCp932 + std::string(1, '\0'), E::Cp932, R::ContainsNul, ""},
        {"lead byte cut off at the end", "abc\x82", E::Utf8, R::UnknownEncoding, ""},
        {"invalid trail byte", "\x82\x20", E::Utf8, R::UnknownEncoding, ""},
        {"mark bytes in the middle are text", "a\xEF\xBB\xBF", E::Utf8, R::None, "a\xEF\xBB\xBF"},
        {"mixed line ends", "a\rb\nc\r\nd", E::Utf8, R::None, "a\r\nb\r\nc\r\nd"},
        {"mixed line ends in Shift-JIS", "\x82\xCC\r\r\n\n", E::Cp932, R::None, "\xE3\x81\xAE\r\n\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportedText result = DecodeTextBytes(c.bytes);
        EXPECT_EQ(result.encoding, c.encoding);
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(result.text, c.text);
    }
}

TEST(DecodeTextBytesTest, StrictUtf8RefusesWhatWindowsCallsInvalid) {
    // Each is refused as UTF-8 (and may then pass as code page 932).
    for (const std::string bytes : {"\xED\xA0\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xE6\x97"}) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_NE(DecodeTextBytes(bytes).encoding, TextEncoding::Utf8);
    }
}

TEST(NormalizeLineEndingsCrlfTest, Table) {
    const struct {
        std::string input;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"a\rb\nc\r\nd", "a\r\nb\r\nc\r\nd"},
        {"\r\r\n", "\r\n\r\n"},
        {"\n\r", "\r\n\r\n"},
        {"\r", "\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"x\r\n", "x\r\n"},
        {std::string(100, '\n'),
         [] {
             std::string s;
             for (int i = 0; i < 100; ++i) s += "\r\n";
             return s;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.input));
        EXPECT_EQ(NormalizeLineEndingsCrlf(c.input), c.expected);
    }
}

TEST(TitleFromPathTest, Table) {
    const struct {
        const wchar_t* path;
        std::string expected;
    } cases[] = {
        {L"C:\\notes\\memo.txt", "memo"},
        {L"C:/notes/memo.md", "memo"},
        {L"memo.txt", "memo"},
        {L"memo", "memo"},
        {L"C:\\a.b\\archive.tar.gz", "archive.tar"},
        {L"C:\\notes\\.profile", ".profile"},
        {L"C:\\notes\\..txt", "."},
        {L"C:\\notes\\memo.", "memo"},
        {L"C:\\notes\\", ""},
        {L"", ""},
        {L"C:\\\u65E5\u672C\\\u30E1\u30E2.txt", "\xE3\x83\xA1\xE3\x83\xA2"},
        {L"C:\\x\\\xD83D\xDCDD.md", "\xF0\x9F\x93\x9D"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        EXPECT_EQ(TitleFromPath(c.path), c.expected);
    }
}

}  // namespace
}  // namespace lq
