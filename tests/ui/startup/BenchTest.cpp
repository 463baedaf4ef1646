#include "Bench.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/TempFolder.h"

namespace lq {
namespace {

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Bench, MarksNothingWithoutAPath) {
    Bench bench;
    bench.Mark("process_entry");
    EXPECT_TRUE(bench.marks.empty());
}

TEST(Bench, MarksAreTimesSinceProcessCreationInOrder) {
    test::TempFolder folder;
    Bench bench(folder.File(L"timing.txt"));
    bench.Mark("process_entry");
    Sleep(20);
    bench.Mark("db_opened");
    ASSERT_EQ(bench.marks.size(), 2u);
    EXPECT_EQ(bench.marks[0].name, "process_entry");
    EXPECT_EQ(bench.marks[1].name, "db_opened");
    EXPECT_GT(bench.marks[0].ms, 0.0);
    EXPECT_GE(bench.marks[1].ms - bench.marks[0].ms, 15.0);
}

TEST(Bench, ElapsedMillisecondsNeverNegative) {
    EXPECT_DOUBLE_EQ(ElapsedMilliseconds(1000, 1000), 0.0);
    EXPECT_DOUBLE_EQ(ElapsedMilliseconds(1000, 26000), 2.5);
    EXPECT_DOUBLE_EQ(ElapsedMilliseconds(50000, 10000), 0.0);  // a clock that went back
}

TEST(Bench, TimingFileFormatAndOrder) {
    test::TempFolder folder;
    Bench bench(folder.File(L"timing.txt"));
    bench.marks = {
        {"process_entry", 12.3456}, {"db_opened", 40.0}, {"classes_registered", -1.0}, {"first_paint", 1234.5}};
    ASSERT_TRUE(WriteTimingFile(bench));
    EXPECT_EQ(ReadBytes(bench.path),
              "process_entry=12.346\ndb_opened=40.000\nclasses_registered=-1.000\nfirst_paint=1234.500\n");
}

TEST(Bench, TimingFileIsTruncatedAndMayBeEmpty) {
    test::TempFolder folder;
    Bench bench(folder.File(L"timing.txt"));
    {
        std::ofstream old(std::filesystem::path(bench.path), std::ios::binary);
        old << "left over from an earlier run, much longer than what follows\n";
    }
    bench.marks = {{"process_entry", 1.0}};
    ASSERT_TRUE(WriteTimingFile(bench));
    EXPECT_EQ(ReadBytes(bench.path), "process_entry=1.000\n");
    bench.marks.clear();
    ASSERT_TRUE(WriteTimingFile(bench));
    EXPECT_EQ(ReadBytes(bench.path), "");
}

TEST(Bench, TimingFileFailures) {
    test::TempFolder folder;
    Bench missingFolder(folder.File(L"no such folder\\timing.txt"));
    missingFolder.marks = {{"process_entry", 1.0}};
    EXPECT_FALSE(WriteTimingFile(missingFolder));

    ASSERT_TRUE(CreateDirectoryW(folder.File(L"a folder").c_str(), nullptr));
    Bench isAFolder(folder.File(L"a folder"));
    EXPECT_FALSE(WriteTimingFile(isAFolder));

    // A file held open without sharing cannot be opened for writing.
    Bench locked(folder.File(L"locked.txt"));
    HANDLE holder = CreateFileW(locked.path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteTimingFile(locked));
    CloseHandle(holder);
}

}  // namespace
}  // namespace lq
