#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/TempFolder.h"
#include "textfiles/FileFixtures.h"
#include "textfiles/ImportDecoding.h"
#include "textfiles/TextFileReader.h"

namespace lq {
namespace {

using E = TextEncoding;
using R = ImportError;

// Text with every kind of line end, in the encodings an import meets.
const std::string kExpected = "\xE6\x97\xA5\xE6\x9C\xAC\r\na\r\nb\r\n\r\nc";  // 日本 CRLF a CR b LF LF c

std::string Utf16(bool littleEndian, bool mark) {
    const std::wstring text = L"\u65E5\u672C\r\na\rb\n\nc";
    std::string bytes;
    if (mark) bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const wchar_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

TEST(ReadTextFileTest, RealFilesInEachEncoding) {
    test::TempFolder folder;
    const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\r\na\rb\n\nc";
    const struct {
        const wchar_t* name;
        std::string bytes;
        E encoding;
        R error;
        std::string text;
    } cases[] = {
        {L"utf8.txt", utf8, E::Utf8, R::None, kExpected},
        {L"utf8-bom.txt", "\xEF\xBB\xBF" + utf8, E::Utf8Bom, R::None, kExpected},
        {L"utf16le.txt", Utf16(true, true), E::Utf16Le, R::None, kExpected},
        {L"utf16be.txt", Utf16(false, true), E::Utf16Be, R::None, kExpected},
        // UTF-16 without a mark is no UTF-8; as code page 932 it holds a NUL for every ASCII character.
        {L"utf16le-nomark.txt", Utf16(true, false), E::Cp932, R::ContainsNul, ""},
        {L"utf16be-nomark.txt", Utf16(false, false), E::Cp932, R::ContainsNul, ""},
        {L"cp932.txt", "\x93\xFA\x96\x7B\r\na\rb\n\nc", E::Cp932, R::None, kExpected},
        {L"empty.txt", "", E::Utf8, R::None, ""},
        {L"bom-only.txt", "\xEF\xBB\xBF", E::Utf8Bom, R::None, ""},
        {L"with-nul.txt", std::string("abc\0def", 7), E::Utf8, R::ContainsNul, ""},
        // A lead byte of code page 932 before a byte that cannot follow it, and no UTF-8 either. (Bytes such
        // as FF FF FF will not do: Windows maps 80, A0 and FD to FF to characters of their own.)
        {L"invalid.txt", "a\x81\x20z", E::Utf8, R::UnknownEncoding, ""},
        {L"utf16-odd.txt",
         "\xFF\xFE"
         "abc",
         E::Utf16Le, R::UnknownEncoding, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        const std::wstring path = folder.File(c.name);
        ASSERT_TRUE(test::WriteBytes(path, c.bytes));
        const ImportedText result = ReadTextFile(path);
        EXPECT_EQ(result.encoding, c.encoding);
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(result.text, c.text);
    }
}

TEST(ReadTextFileTest, FilesThatCannotBeReadAreUnreadable) {
    test::TempFolder folder;
    const std::wstring locked = folder.File(L"locked.txt");
    ASSERT_TRUE(test::WriteBytes(locked, "text"));
    const test::HeldWithoutSharing holder(locked);
    ASSERT_TRUE(holder.held());
    ASSERT_TRUE(CreateDirectoryW(folder.File(L"folder.txt").c_str(), nullptr));

    for (const std::wstring& path :
         {folder.File(L"missing.txt"), folder.File(L"no-such-folder\\a.txt"), folder.File(L"folder.txt"), locked}) {
        SCOPED_TRACE(testing::PrintToString(path));
        const ImportedText result = ReadTextFile(path);
        EXPECT_EQ(result.error, R::Unreadable);
        EXPECT_EQ(result.encoding, E::Utf8);
        EXPECT_TRUE(result.text.empty());
    }
}

// Only files on a disk are imported: a device reads as empty (or never ends), a pipe as whatever its
// other end sends. ("nul.txt" is the device on Windows 10 and Wine, a missing file on Windows 11.)
TEST(ReadTextFileTest, DevicesPipesAndConsolesAreUnreadable) {
    test::TempFolder folder;
    const std::wstring pipeName = L"\\\\.\\pipe\\lq-import-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE pipe =
        CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);

    for (const std::wstring& path : {std::wstring(L"\\\\.\\NUL"), std::wstring(L"NUL"), folder.File(L"nul.txt"),
                                     folder.File(L"CON"), std::wstring(L"CONIN$"), pipeName}) {
        SCOPED_TRACE(testing::PrintToString(path));
        const ImportedText result = ReadTextFile(path);
        EXPECT_EQ(result.error, R::Unreadable);
        EXPECT_EQ(result.encoding, E::Utf8);
        EXPECT_TRUE(result.text.empty());
    }
    CloseHandle(pipe);
}

TEST(ReadTextFileTest, SizeLimitIsInclusive) {
    test::TempFolder folder;
    // Exactly the limit: read and decoded whole.
    std::string bytes(static_cast<size_t>(kMaxImportBytes), 'a');
    for (size_t i = 99; i < bytes.size(); i += 100) bytes[i] = '\n';
    const std::wstring atLimit = folder.File(L"limit.txt");
    ASSERT_TRUE(test::WriteBytes(atLimit, bytes));
    {
        const ImportedText result = ReadTextFile(atLimit);
        EXPECT_EQ(result.error, R::None);
        EXPECT_EQ(result.encoding, E::Utf8);
        EXPECT_EQ(result.text.size(), bytes.size() + bytes.size() / 100);
        EXPECT_EQ(result.text.substr(0, 101), std::string(99, 'a') + "\r\n");
    }
    // One byte over: refused from its size alone.
    bytes.push_back('a');
    const std::wstring overLimit = folder.File(L"over.txt");
    ASSERT_TRUE(test::WriteBytes(overLimit, bytes));
    bytes = {};
    const ImportedText result = ReadTextFile(overLimit);
    EXPECT_EQ(result.error, R::TooLarge);
    EXPECT_EQ(result.encoding, E::Utf8);
    EXPECT_TRUE(result.text.empty());
}

}  // namespace
}  // namespace lq
