#include <gtest/gtest.h>

#include <string>

#include "workspace/ReplaceText.h"

namespace lq {
namespace {

struct ReplaceCase {
    const char* text;
    const char* query;
    const char* replacement;
    const char* expected;
    int64_t count;
};

TEST(ReplaceAllNoCaseTest, FoldsAsciiOnlyTakesMatchesLeftToRightAndNeverSearchesTheReplacement) {
    const ReplaceCase cases[] = {
        {"abc ABC aBc", "abc", "x", "x x x", 3},
        {"aaaa", "aa", "a", "aa", 2},                            // no overlap
        {"aaa", "a", "aa", "aaaaaa", 3},                         // the replacement is not searched again
        {"cat", "a", "A", "cAt", 1},                             // the replacement as given
        {"Ärger ärger", "ärger", "X", "Ärger X", 1},             // non-ASCII letters must match exactly
        {"ＡＢＣ ａｂｃ", "ａｂｃ", "abc", "ＡＢＣ abc", 1},      // full-width letters are not folded
        {"会議の議事録、会議", "会議", "打ち合わせ", "打ち合わせの議事録、打ち合わせ", 2},
        {"remove me", "remove ", "", "me", 1},                   // an empty result of a part
        {"only", "ONLY", "", "", 1},                             // an empty result
        {"nothing here", "zzz", "y", "nothing here", 0},
        {"text", "", "y", "text", 0},                            // an empty query never matches
        {"short", "much longer query", "y", "short", 0},
    };
    for (const ReplaceCase& c : cases) {
        const ReplaceResult result = ReplaceAllNoCase(c.text, c.query, c.replacement);
        EXPECT_EQ(result.text, c.expected) << c.text << " / " << c.query;
        EXPECT_EQ(result.count, c.count) << c.text << " / " << c.query;
        EXPECT_EQ(CountNoCase(c.text, c.query), c.count) << c.text << " / " << c.query;
    }
}

TEST(ReplaceAllNoCaseTest, AReplacementContainingTheQueryIsReplacedOnce) {
    const ReplaceResult result = ReplaceAllNoCase("note Note", "note", "notebook note");
    EXPECT_EQ(result.text, "notebook note notebook note");
    EXPECT_EQ(result.count, 2);
}

struct CarryCase {
    const char* before;
    const char* after;
    int64_t position;
    int64_t expected;
};

// Positions keep their line and byte column, clamped to the new line, and always land on a character
// of the new text: never inside a UTF-8 sequence, never between CR and LF.
TEST(CarryPositionTest, KeepsLineAndColumnAndLandsOnACharacterBoundary) {
    const CarryCase cases[] = {
        {"abc\r\ndefgh", "abc\r\ndefgh", 8, 8},          // unchanged text, unchanged place
        {"abc\r\ndefgh", "abc\r\nd", 9, 6},              // the line got shorter: its end
        {"abc\r\ndef\r\nghi", "abc", 12, 2},             // lines removed: the last line, same column
        {"xx abc\r\nline", "x\r\nline", 4, 1},           // shortened first line: before its CR, not inside CRLF
        {"abcdef", "日本語", 4, 3},                       // column 4 falls inside 本 (bytes 3..5)
        {"abcdefgh", "日本語", 8, 6},                     // column 8 inside 語: its first byte
        {"日本語です", "日本語です", 4, 3},               // a stored position inside 本 moves to its start
        {"ab\r\ncd", "ab\r\ncd", 3, 2},                  // a stored position between CR and LF
        {"a\rb\nc", "a\rb\nc", 4, 4},                    // lone CR and lone LF end lines too
        {"abc", "abc", 99, 3},                           // past the end: clamped
        {"abc", "", 2, 0},
        {"line\r\n", "line\r\nmore", 6, 6},              // at the start of the empty last line
    };
    for (const CarryCase& c : cases) {
        EXPECT_EQ(CarryPosition(c.before, c.after, c.position), c.expected)
            << "'" << c.before << "' -> '" << c.after << "' at " << c.position;
    }
}

// A selection that touches a replaced match covers the whole replacement afterwards (in its own
// direction); one that touches none is carried end by end like a caret, and as the caret alone where
// its ends would take in part of a replacement.
TEST(CarrySelectionTest, ASelectionOverAMatchCoversTheWholeReplacement) {
    struct Case {
        const char* what;
        std::string_view before, query, replacement;
        int64_t anchor, caret, expectedAnchor, expectedCaret;
    };
    const Case cases[] = {
        {"exactly the match, longer multi-byte text", "alpha beta", "beta", "日本", 6, 10, 6, 12},
        {"exactly the match, backwards", "alpha beta", "beta", "日本", 10, 6, 12, 6},
        {"exactly the match, shorter", "alpha beta!", "beta", "X", 6, 10, 6, 7},
        {"exactly the match, removed", "alpha beta!", "beta", "", 6, 10, 6, 6},
        {"ends inside a match: out to its end", "ab cd", "CD", "xyz", 0, 4, 0, 6},
        {"starts inside a match: back to its start", "ab cd ef", "ab", "日", 1, 5, 0, 6},
        {"over two matches", "a-b-a", "a", "日本", 0, 5, 0, 15},
        {"after an earlier match", "a b a", "a", "日本", 4, 5, 9, 15},
        {"no match touched: line and column", "ab\r\ncd ab", "cd", "日本語", 0, 2, 0, 2},
        {"an empty selection stays a caret", "alpha beta", "beta", "日本", 8, 8, 6, 6},
        // Its line grew before it: line and column would select part of the replacement instead, so
        // it is carried as its caret is.
        {"no match touched, its columns now in a replacement", "ab xy", "ab", "abcdefg", 3, 5, 5, 5},
        {"the same, backwards", "ab xy", "ab", "abcdefg", 5, 3, 3, 3},
        {"no match touched, one end now in a replacement", "ab xyz", "AB", "abcd", 2, 5, 5, 5},
        {"no match touched, its line shrunk past it", "abcdef xy", "abcdef", "Z", 7, 9, 4, 4},
        {"no match touched, on a line of its own", "ab\r\nxy", "ab", "abcdefg", 4, 6, 9, 11},
        {"no match touched, a removal before it", "ab xy z", "ab", "", 3, 5, 3, 5},
    };
    for (const Case& c : cases) {
        const std::string before(c.before);
        const std::string after = ReplaceAllNoCase(before, c.query, c.replacement).text;
        const CarriedSelection carried = CarrySelection(before, after, c.query, c.replacement, c.anchor, c.caret);
        EXPECT_EQ(carried.anchor, c.expectedAnchor) << c.what;
        EXPECT_EQ(carried.caret, c.expectedCaret) << c.what;
    }
}

}  // namespace
}  // namespace lq
