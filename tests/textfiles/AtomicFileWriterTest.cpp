#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "store/DatabaseFiles.h"
#include "support/ParkedProcess.h"
#include "support/TempFolder.h"
#include "textfiles/AtomicFileWriter.h"
#include "textfiles/FileFixtures.h"
#include "textfiles/TextFileReader.h"

namespace lq {
namespace {

// No file of the folder is a leftover temporary.
bool HasTemporaryFiles(const test::TempFolder& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(folder.File(L"*.lnq-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

TEST(AtomicFileWriterTest, TempPathIsTargetWithProcessIdSuffix) {
    EXPECT_EQ(AtomicTempPath(L"C:\\x\\a.txt"), L"C:\\x\\a.txt.lnq-" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
}

TEST(AtomicFileWriterTest, WritesNewAndReplacesExistingFiles) {
    test::TempFolder folder;
    const std::wstring target = folder.File(L"note.txt");
    const struct {
        const char* name;
        std::string bytes;
    } writes[] = {
        {"new file", "first\r\n"},
        {"over an existing, longer", std::string(100000, 'x')},
        {"over an existing, shorter", "second"},
        {"zero bytes", ""},
        {"binary", std::string("\0\xFF\r\n", 4)},
    };
    for (const auto& w : writes) {
        SCOPED_TRACE(w.name);
        ASSERT_TRUE(WriteFileAtomically(target, w.bytes));
        EXPECT_EQ(test::ReadBytes(target), w.bytes);
        EXPECT_FALSE(HasTemporaryFiles(folder));
    }
}

TEST(AtomicFileWriterTest, AStaleTemporaryFileIsReplaced) {
    test::TempFolder folder;
    const std::wstring target = folder.File(L"note.txt");
    ASSERT_TRUE(test::WriteBytes(AtomicTempPath(target), "left by a crash, longer than the new text"));
    ASSERT_TRUE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(test::ReadBytes(target), "new");
    EXPECT_FALSE(HasTemporaryFiles(folder));
}

// An export killed before its move left its temporary file: the next export of that file removes it,
// but not the one a running process of this program may still be writing.
TEST(AtomicFileWriterTest, LeftoversOfEndedExportsAreRemoved) {
    test::TempFolder folder;
    const std::wstring target = folder.File(L"note.txt");
    const test::ParkedProcess running(test::ThisProgramPath());
    ASSERT_TRUE(running.started());
    const std::wstring leftover = BackupTemporaryPath(target, test::EndedProcessId());
    const std::wstring written = BackupTemporaryPath(target, running.id());
    ASSERT_TRUE(test::WriteBytes(leftover, std::string(100000, 'x')));
    ASSERT_TRUE(test::WriteBytes(written, "being written"));
    ASSERT_TRUE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(test::ReadBytes(target), "new");
    EXPECT_FALSE(test::PathExists(leftover));
    EXPECT_TRUE(test::PathExists(written));
}

// Names near the limit of 255 characters, in a short folder and in one beyond MAX_PATH.
TEST(AtomicFileWriterTest, NamesNearTheLengthLimit) {
    test::TempFolder folder;
    const std::wstring deep = folder.File(std::wstring(100, L'f'));
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    for (const std::wstring& base : {folder.path().wstring(), deep}) {
        for (const size_t length : {size_t{236}, size_t{250}, size_t{255}}) {
            const std::wstring target = base + L"\\" + std::wstring(length - 4, L'n') + L".txt";
            SCOPED_TRACE(target.size());
            ASSERT_TRUE(WriteFileAtomically(target, "first"));
            ASSERT_TRUE(WriteFileAtomically(target, "second"));
            EXPECT_EQ(test::ReadBytes(target), "second");
            EXPECT_FALSE(HasTemporaryFiles(folder));
            EXPECT_FALSE(test::PathExists(AtomicTempPath(target)));
            EXPECT_TRUE(test::RemoveFile(target));
        }
    }
}

TEST(AtomicFileWriterTest, PathsLongerThanMaxPath) {
    test::TempFolder folder;
    const std::wstring subfolder = folder.File(std::wstring(150, L'f'));
    ASSERT_TRUE(CreateDirectoryW(subfolder.c_str(), nullptr));
    const std::wstring target = subfolder + L"\\" + std::wstring(200, L'n') + L".txt";
    ASSERT_GT(target.size(), 300u);
    ASSERT_TRUE(WriteFileAtomically(target, "first"));
    ASSERT_TRUE(WriteFileAtomically(target, "second"));
    EXPECT_EQ(test::ReadBytes(target), "second");
    EXPECT_FALSE(test::PathExists(AtomicTempPath(target)));
    const ImportedText read = ReadTextFile(target);
    EXPECT_EQ(read.error, ImportError::None);
    EXPECT_EQ(read.text, "second");
    EXPECT_TRUE(test::RemoveFile(target));
}

// Windows 10 (and Wine) take "nul.txt" and "CON.txt" for devices, Windows 11 for files: a write there
// may fail, but success must mean a real file holding the bytes.
TEST(AtomicFileWriterTest, ATargetNamingADeviceIsNeverReportedWrittenInVain) {
    test::TempFolder folder;
    for (const wchar_t* name : {L"nul.txt", L"NUL", L"con.txt", L"aux.tar.txt"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
        const std::wstring target = folder.File(name);
        if (WriteFileAtomically(target, "kept")) {
            EXPECT_EQ(test::ReadBytes(target), "kept");
        }
        EXPECT_FALSE(HasTemporaryFiles(folder));
    }
}

TEST(AtomicFileWriterTest, FailuresLeaveTheTargetAndNoTemporaryFile) {
    test::TempFolder folder;
    // A missing folder.
    const std::wstring inMissing = folder.File(L"missing\\note.txt");
    EXPECT_FALSE(WriteFileAtomically(inMissing, "text"));
    EXPECT_FALSE(test::PathExists(folder.File(L"missing")));

    // The target is a folder, with something inside.
    const std::wstring isFolder = folder.File(L"folder.txt");
    ASSERT_TRUE(CreateDirectoryW(isFolder.c_str(), nullptr));
    ASSERT_TRUE(test::WriteBytes(isFolder + L"\\inside.txt", "kept"));
    EXPECT_FALSE(WriteFileAtomically(isFolder, "text"));
    EXPECT_TRUE(test::IsFolder(isFolder));
    EXPECT_EQ(test::ReadBytes(isFolder + L"\\inside.txt"), "kept");
    EXPECT_FALSE(HasTemporaryFiles(folder));

    // The target is held open without sharing by another program.
    const std::wstring locked = folder.File(L"locked.txt");
    ASSERT_TRUE(test::WriteBytes(locked, "original"));
    {
        const test::HeldWithoutSharing holder(locked);
        ASSERT_TRUE(holder.held());
        EXPECT_FALSE(WriteFileAtomically(locked, "replacement"));
        EXPECT_FALSE(HasTemporaryFiles(folder));
    }
    EXPECT_EQ(test::ReadBytes(locked), "original");
    // Once it is let go, the same write goes through.
    EXPECT_TRUE(WriteFileAtomically(locked, "replacement"));
    EXPECT_EQ(test::ReadBytes(locked), "replacement");

    // The temporary file's name is held by another program: nothing is written.
    const std::wstring blocked = folder.File(L"blocked.txt");
    ASSERT_TRUE(test::WriteBytes(blocked, "original"));
    ASSERT_TRUE(test::WriteBytes(AtomicTempPath(blocked), ""));
    {
        const test::HeldWithoutSharing holder(AtomicTempPath(blocked));
        ASSERT_TRUE(holder.held());
        EXPECT_FALSE(WriteFileAtomically(blocked, "replacement"));
    }
    EXPECT_EQ(test::ReadBytes(blocked), "original");
}

}  // namespace
}  // namespace lq
