#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/status/StatusCharCount.h"
#include "ui/status/StatusLayout.h"
#include "ui/status/StatusTexts.h"

namespace lq {
namespace {

TEST(CountStatusCharacters, CountsCodePointsAndSkipsLineEnds) {
    struct Case {
        const char* name;
        std::string text;
        int64_t expected;
    };
    const std::vector<Case> cases = {
        {"empty", "", 0},
        {"ascii", "abc", 3},
        {"tab and space count", "a\t b", 4},
        {"three-byte kana", "\xE3\x81\x82", 1},  // あ
        {"kana and ascii",
         "\xE3\x81\x82"
         "a\xE3\x81\x84",
         3},                                   // あaい
        {"two-byte", "\xC3\xA9t\xC3\xA9", 3},  // été
        {"four-byte emoji", "\xF0\x9F\x98\x80", 1},
        {"CRLF not counted", "ab\r\ncd", 4},
        {"lone CR and LF not counted", "a\rb\nc", 3},
        {"only line ends", "\r\n\r\n\n\r", 0},
        {"stray continuation byte",
         "a\x80"
         "b",
         2},
        {"lead byte without its continuation", "a\xE3", 2},
        {"NUL counts", std::string("a\0b", 3), 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountStatusCharacters(c.text), c.expected) << c.name;
    }
}

TEST(CountStatusCharacters, LargeMixedText) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "a\xE3\x81\x82\r\n";  // "aあ" and a line end
    EXPECT_EQ(CountStatusCharacters(text), 400000);
}

TEST(StatusTexts, PositionSelectionAndTotal) {
    EXPECT_EQ(StatusPositionText(1, 1), L"行 1、列 1");
    EXPECT_EQ(StatusPositionText(12345, 7), L"行 12,345、列 7");
    EXPECT_EQ(StatusPositionText(1, 100001), L"行 1、列 100,001");

    EXPECT_EQ(StatusSelectionText(false, 0), L"");
    EXPECT_EQ(StatusSelectionText(false, 5), L"");
    EXPECT_EQ(StatusSelectionText(true, 0), L"選択 0");
    EXPECT_EQ(StatusSelectionText(true, 6), L"選択 6");
    EXPECT_EQ(StatusSelectionText(true, 1234567), L"選択 1,234,567");

    EXPECT_EQ(StatusTotalText(0), L"0 文字");
    EXPECT_EQ(StatusTotalText(999), L"999 文字");
    EXPECT_EQ(StatusTotalText(1000), L"1,000 文字");
    EXPECT_EQ(std::wstring(kStatusOvertypeText), L"上書き");
    EXPECT_EQ(std::wstring(kStatusEncodingText), L"UTF-8");
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(LayoutStatusStrip, LeftItemsFromTheLeftRightItemsFromTheRight) {
    const RECT strip{0, 500, 800, 528};
    const std::vector<int> left{50, 30, 20};
    const std::vector<int> right{40, 35};
    const StatusStripLayout layout = LayoutStatusStrip(strip, 96, left, right);

    EXPECT_TRUE(SameRect(layout.textArea, RECT{12, 501, 788, 528}));
    ASSERT_EQ(layout.left.size(), 3u);
    EXPECT_TRUE(SameRect(layout.left[0], RECT{12, 501, 62, 528}));
    EXPECT_TRUE(SameRect(layout.left[1], RECT{78, 501, 108, 528}));
    EXPECT_TRUE(SameRect(layout.left[2], RECT{124, 501, 144, 528}));
    ASSERT_EQ(layout.right.size(), 2u);
    EXPECT_TRUE(SameRect(layout.right[0], RECT{748, 501, 788, 528}));
    EXPECT_TRUE(SameRect(layout.right[1], RECT{697, 501, 732, 528}));
}

TEST(LayoutStatusStrip, PadAndGapScaleWithDpiAndStripOffset) {
    // At 144 DPI the pad is 18 and the gap 24; a strip that does not start at 0 keeps its offset.
    const RECT strip{100, 0, 600, 42};
    const std::vector<int> left{10, 10};
    const std::vector<int> right{10, 10};
    const StatusStripLayout layout = LayoutStatusStrip(strip, 144, left, right);
    EXPECT_TRUE(SameRect(layout.textArea, RECT{118, 1, 582, 42}));
    EXPECT_EQ(layout.left[1].left, 118 + 10 + 24);
    EXPECT_EQ(layout.right[1].right, 582 - 10 - 24);

    // At 120 DPI the rounded multiply-divide gives 15 and 20.
    const StatusStripLayout at120 = LayoutStatusStrip(strip, 120, left, right);
    EXPECT_EQ(at120.textArea.left, 115);
    EXPECT_EQ(at120.left[1].left, 115 + 10 + 20);
}

TEST(LayoutStatusStrip, NarrowStripOverlapsRatherThanClips) {
    const RECT strip{0, 0, 100, 28};
    const std::vector<int> left{60};
    const std::vector<int> right{60};
    const StatusStripLayout layout = LayoutStatusStrip(strip, 96, left, right);
    EXPECT_EQ(layout.left[0].right, 72);
    EXPECT_EQ(layout.right[0].left, 28);

    const StatusStripLayout none = LayoutStatusStrip(strip, 96, {}, {});
    EXPECT_TRUE(none.left.empty());
    EXPECT_TRUE(none.right.empty());
}

}  // namespace
}  // namespace lq
