#pragma once

// Word completion's index as one pass over the database makes it: every stored note, then the open
// note's unsaved text. The yardstick for an index filled in slices while notes changed. Header only:
// the word index belongs to the workspace room, which only some test rooms link.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string_view>

#include "completion/WordIndex.h"

namespace lq::test {

inline WordIndex OnePassWordIndex(sqlite3* connection, std::string_view unsavedText) {
    WordIndex index;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection, "SELECT content FROM notes", -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            (void)index.AddWordsFromText(
                std::string_view(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(statement, 0))));
        }
    }
    sqlite3_finalize(statement);
    (void)index.AddWordsFromText(unsavedText);
    return index;
}

// The same words with the same counts; else the first differences.
inline ::testing::AssertionResult SameWords(const WordIndex& expected, const WordIndex& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << actual.size() << " words against " << expected.size() << " in one pass;";
    size_t shown = 0;
    for (const auto& [word, count] : expected.Entries()) {
        if (actual.CountOf(word) != count && shown++ < 10)
            failure << " " << word << " " << actual.CountOf(word) << "/" << count;
    }
    for (const auto& [word, count] : actual.Entries()) {
        if (expected.CountOf(word) == 0 && shown++ < 20) failure << " " << word << " only filled";
    }
    return failure;
}

}  // namespace lq::test
