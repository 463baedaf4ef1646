#include "LaunchOptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace lq {
namespace {

struct CommandLineCase {
    const char* what;
    std::vector<std::wstring> arguments;
    bool smoke;
    bool silent;
    std::optional<std::wstring> bench;
    std::optional<std::wstring> db;
};

TEST(ParseLaunchOptions, CommandLines) {
    const std::vector<CommandLineCase> cases = {
        {"no arguments", {}, false, false, std::nullopt, std::nullopt},
        {"every option",
         {L"--smoke", L"--silent", L"--bench", L"t.txt", L"--db", L"a.db"},
         true,
         true,
         L"t.txt",
         L"a.db"},
        {"options in another order",
         {L"--db", L"a.db", L"--silent", L"--bench", L"t.txt"},
         false,
         true,
         L"t.txt",
         L"a.db"},
        {"a later --db wins", {L"--db", L"a.db", L"--db", L"b.db"}, false, false, std::nullopt, L"b.db"},
        {"a later --bench wins", {L"--bench", L"1.txt", L"--bench", L"2.txt"}, false, false, L"2.txt", std::nullopt},
        {"--db last is ignored", {L"--smoke", L"--db"}, true, false, std::nullopt, std::nullopt},
        {"--bench last is ignored", {L"--bench"}, false, false, std::nullopt, std::nullopt},
        {"--db last keeps an earlier value", {L"--db", L"a.db", L"--db"}, false, false, std::nullopt, L"a.db"},
        {"a value that looks like an option", {L"--bench", L"--smoke"}, false, false, L"--smoke", std::nullopt},
        {"--db takes --silent as its path", {L"--db", L"--silent"}, false, false, std::nullopt, L"--silent"},
        {"an empty --bench value is kept", {L"--bench", L""}, false, false, L"", std::nullopt},
        // SQLite would open an empty path as a temporary database that is deleted at exit.
        {"an empty --db value is ignored", {L"--db", L"", L"--smoke"}, true, false, std::nullopt, std::nullopt},
        {"an empty --db keeps an earlier value", {L"--db", L"a.db", L"--db", L""}, false, false, std::nullopt, L"a.db"},
        {"case matters",
         {L"--Smoke", L"--SILENT", L"--DB", L"a.db", L"--Bench", L"t.txt"},
         false,
         false,
         std::nullopt,
         std::nullopt},
        {"joined values and single dashes",
         {L"--smoke=1", L"--db=a.db", L"-smoke", L"/silent", L"-db", L"a.db"},
         false,
         false,
         std::nullopt,
         std::nullopt},
        {"stray values and unknown options",
         {L"memo.db", L"--help", L"--smoke", L"x"},
         true,
         false,
         std::nullopt,
         std::nullopt},
        {"paths with spaces and Japanese",
         {L"--db", L"C:\\メモ 帳\\memo.db"},
         false,
         false,
         std::nullopt,
         L"C:\\メモ 帳\\memo.db"},
    };
    for (const CommandLineCase& c : cases) {
        SCOPED_TRACE(c.what);
        const LaunchOptions options = ParseLaunchOptions(c.arguments);
        EXPECT_EQ(options.smoke, c.smoke);
        EXPECT_EQ(options.silent, c.silent);
        EXPECT_EQ(options.bench, c.bench);
        EXPECT_EQ(options.db, c.db);
    }
}

}  // namespace
}  // namespace lq
