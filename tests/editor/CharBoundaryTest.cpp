#include <gtest/gtest.h>

#include <string>

#include "editor/CharBoundary.h"

namespace lq {
namespace {

TEST(CharBoundaryTest, PositionsInsideACharacterOrALineEndMoveBack) {
    // "aあ\r\n😀b": a=0, あ=1..3, CR=4, LF=5, 😀=6..9, b=10.
    const std::string text =
        "a\xE3\x81\x82\r\n\xF0\x9F\x98\x80"
        "b";
    struct Case {
        size_t offset;
        size_t expected;
    };
    const Case cases[] = {
        {0, 0},   {1, 1},   {2, 1},   {3, 1},  // inside あ
        {4, 4},   {5, 4},                      // between CR and LF
        {6, 6},   {7, 6},   {8, 6},   {9, 6},  // inside the four-byte emoji
        {10, 10}, {11, 11}, {99, 99},          // at and past the end: unchanged
    };
    for (const Case& c : cases) EXPECT_EQ(CharBoundaryAtOrBefore(text, c.offset), c.expected) << c.offset;
}

TEST(CharBoundaryTest, StrayBytesAreCharactersOfTheirOwn) {
    struct Case {
        std::string text;
        size_t offset;
        size_t expected;
    };
    const Case cases[] = {
        {"a\x80\x80", 2, 2},  // continuation bytes without a lead
        {"\xE3\x81"
         "a",
         1, 1},                  // truncated sequence: its bytes stand alone
        {"\xC3\xA9\x80", 2, 2},  // a surplus continuation after a complete character
        {"\xE3\x81", 1, 1},      // sequence cut off by the end of what is known
        {"\xC0\x80", 1, 1},      // overlong lead bytes never begin a character
        {"\n\r", 1, 1},          // LF CR is not a line end pair
    };
    for (const Case& c : cases) EXPECT_EQ(CharBoundaryAtOrBefore(c.text, c.offset), c.expected) << c.offset;
}

}  // namespace
}  // namespace lq
