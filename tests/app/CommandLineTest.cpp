// Runs lanternquill.exe with timing options and reads the timing file and the exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>

#include "ProgramFile.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

// Runs the program with `arguments` (already quoted) and returns its exit code; none when it did
// not end within a minute (it is then ended).
std::optional<DWORD> RunProgram(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + test::ProgramPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    std::optional<DWORD> code;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        if (GetExitCodeProcess(process.hProcess, &exitCode)) code = exitCode;
    } else {
        TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hProcess);
    return code;
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

TEST(CommandLine, TimingFileStartsWithTheProcessEntry) {
    test::TempFolder folder;
    const std::wstring timing = folder.File(L"timing marks.txt");
    const std::wstring database = folder.File(L"memo.db");
    const auto code = RunProgram(L"--smoke --silent --db " + Quoted(database) + L" --bench " + Quoted(timing));
    ASSERT_TRUE(code) << "the program did not end";
    EXPECT_EQ(*code, 0u);
    const std::string text = ReadBytes(timing);
    // One "name=milliseconds" line per mark, three decimals, LF only, the entry first.
    EXPECT_TRUE(std::regex_match(text, std::regex("process_entry=[0-9]+\\.[0-9]{3}\n([a-z_]+=[0-9]+\\.[0-9]{3}\n)*")))
        << text;
}

TEST(CommandLine, TimingFileThatCannotBeWrittenGivesExitCode12) {
    test::TempFolder folder;
    const std::wstring database = folder.File(L"memo.db");
    const auto code = RunProgram(L"--smoke --silent --db " + Quoted(database) + L" --bench " +
                                 Quoted(folder.File(L"no such folder\\timing.txt")));
    ASSERT_TRUE(code) << "the program did not end";
    EXPECT_EQ(*code, 12u);
}

TEST(CommandLine, NoTimingFileWithoutAPath) {
    test::TempFolder folder;
    const std::wstring database = folder.File(L"memo.db");
    // "--bench" last is ignored, and an empty value records nothing.
    for (const std::wstring& bench : {std::wstring(L"--bench"), std::wstring(L"--bench \"\"")}) {
        SCOPED_TRACE(testing::PrintToString(bench));
        const auto code = RunProgram(L"--smoke --silent --db " + Quoted(database) + L" " + bench);
        ASSERT_TRUE(code) << "the program did not end";
        EXPECT_EQ(*code, 0u);
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        const std::wstring name = entry.path().filename().wstring();
        EXPECT_TRUE(name.rfind(L"memo.db", 0) == 0) << "unexpected file " << testing::PrintToString(name);
    }
}

}  // namespace
}  // namespace lq
