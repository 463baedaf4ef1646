#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>

#include "platform/LongPath.h"
#include "platform/TextConversion.h"
#include "support/TempFolder.h"
#include "textfiles/AtomicFileWriter.h"
#include "textfiles/ExportFileName.h"
#include "textfiles/FileFixtures.h"

namespace lq {
namespace {

std::string Repeat(std::string_view piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(MakeExportFileNameTest, Table) {
    const struct {
        const char* name;
        std::string title;
        std::wstring expected;
    } cases[] = {
        {"plain", "Meeting notes", L"Meeting notes.txt"},
        {"japanese", "\xE4\xBC\x9A\xE8\xAD\xB0", L"\u4F1A\u8B70.txt"},
        {"empty", "", L"Untitled.txt"},
        {"forbidden characters", "a:b?c", L"a_b_c.txt"},
        {"all nine forbidden characters", "<>:\"/\\|?*", L"_________.txt"},
        {"control characters",
         "a\tb\x01"
         "c\x1F"
         "d",
         L"a_b_c_d.txt"},
        {"DEL is allowed", "a\x7F", L"a\x7F.txt"},
        {"one trailing period", "x.", L"x_.txt"},
        {"two trailing periods", "x..", L"x._.txt"},
        {"trailing space", "x ", L"x_.txt"},
        {"one space", " ", L"_.txt"},
        {"inner dots kept", "v1.2 notes", L"v1.2 notes.txt"},
        // Device names, whole or before the first dot, in any case, with spaces before the dot.
        {"CON", "CON", L"CON_.txt"},
        {"con", "con", L"con_.txt"},
        {"Nul", "Nul", L"Nul_.txt"},
        {"CONSOLE", "CONSOLE", L"CONSOLE.txt"},
        {"COM0", "COM0", L"COM0.txt"},
        {"COM1", "COM1", L"COM1_.txt"},
        {"lpt9", "lpt9", L"lpt9_.txt"},
        {"LPT10", "LPT10", L"LPT10.txt"},
        {"nul.tar", "nul.tar", L"nul_.tar.txt"},
        {"CON.foo", "CON.foo", L"CON_.foo.txt"},
        {"aux.a.b", "aux.a.b", L"aux_.a.b.txt"},
        {"space before the dot", "CON .foo", L"CON _.foo.txt"},
        {"spaces before the dot", "prn   .x", L"prn   _.x.txt"},
        {"trailing spaces only the last replaced", "NUL  ", L"NUL _.txt"},
        {"leading spaces", "  com3", L"  com3_.txt"},
        {"CONIN$", "CONIN$", L"CONIN$_.txt"},
        {"conout$.log", "conout$.log", L"conout$_.log.txt"},
        {"superscript digit", "COM\xC2\xB9", L"COM\u00B9_.txt"},
        {"LPT superscript 3 with extension", "lpt\xC2\xB3.x", L"lpt\u00B3_.x.txt"},
        {"device name with forbidden character", "CON:", L"CON_.txt"},
        {"a trailing period replaced ends the device name", "NUL.", L"NUL_.txt"},
        {"device name after the first dot is fine", "a.CON", L"a.CON.txt"},
        {"leading dot", ".nul", L".nul.txt"},
        {"full-width letters are no device", "\xEF\xBC\xA3ON", L"\uFF23ON.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MakeExportFileName(c.title), c.expected);
    }
}

TEST(MakeExportFileNameTest, LongTitlesLeaveRoomForTheTemporarySuffix) {
    const struct {
        const char* name;
        std::string title;
    } cases[] = {
        {"ascii", Repeat("a", 1000)},
        {"japanese", Repeat("\xE6\x97\xA5", 300)},
        {"outside the BMP", Repeat("\xF0\x9F\x93\x9D", 200)},
        {"outside the BMP, odd offset", "a" + Repeat("\xF0\x9F\x93\x9D", 200)},
        {"ends in period at the cut", Repeat("a", 230) + ".bbbbbbbbbbbbbbb"},
        {"device name with long extension", "nul." + Repeat("x", 400)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring name = MakeExportFileName(c.title);
        EXPECT_LE(name.size(), kMaxExportNameUnits);
        EXPECT_LE(name.size() + std::wstring(L".lnq-4294967295.tmp").size(), kMaxFileNameUnits);
        ASSERT_TRUE(name.ends_with(L".txt"));
        // No unpaired surrogate: the name converts to UTF-8 and back unchanged.
        EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(name)), name);
        const std::wstring base = name.substr(0, name.size() - 4);
        EXPECT_FALSE(base.ends_with(L'.') || base.ends_with(L' '));
    }
    EXPECT_EQ(MakeExportFileName("nul." + Repeat("x", 400)).substr(0, 5), L"nul_.");
    EXPECT_EQ(MakeExportFileName(Repeat("a", 230) + ".bbb"), std::wstring(230, L'a') + L"_.txt");
}

// The proposed names become real files in the folder, never a device, also for long titles (whose
// paths pass MAX_PATH).
TEST(MakeExportFileNameTest, ProposedNamesCanBeWritten) {
    test::TempFolder folder;
    for (const std::string& title :
         std::initializer_list<std::string>{"CON", "nul.tar", "CON .foo", "CONOUT$", "com1.x", "a:b?c", "x.", " ",
                                            "\xE4\xBC\x9A\xE8\xAD\xB0", std::string(1000, 'a')}) {
        SCOPED_TRACE(title);
        const std::wstring name = MakeExportFileName(title);
        const std::wstring path = folder.File(name);
        ASSERT_TRUE(WriteFileAtomically(path, "exported\r\n"));
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(UsableFilePath(path).c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        FindClose(search);
        EXPECT_EQ(std::wstring(found.cFileName), name);
        EXPECT_EQ(test::ReadBytes(path), "exported\r\n");
        EXPECT_FALSE(test::PathExists(AtomicTempPath(path)));
        EXPECT_TRUE(test::RemoveFile(path));
    }
}

}  // namespace
}  // namespace lq
