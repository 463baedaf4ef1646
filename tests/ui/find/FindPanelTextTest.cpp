#include "ui/find/FindPanelText.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace lq {
namespace {

struct WordCase {
    const char* name;
    std::wstring text;
    EditSpan selection;
    bool forward;
    std::wstring expected;  // the text once the span is cut out
};

std::wstring Cut(const std::wstring& text, EditSpan span) {
    return text.substr(0, static_cast<size_t>(span.start)) + text.substr(static_cast<size_t>(span.end));
}

TEST(WordDeletionSpan, DeletesWordsAndTheBlanksBetweenThem) {
    const WordCase cases[] = {
        {"backward after the second of two words", L"foo bar", {7, 7}, false, L"foo "},
        {"backward after a word and blanks", L"foo bar  ", {9, 9}, false, L"foo "},
        {"backward in the middle of a word", L"foobar", {3, 3}, false, L"bar"},
        {"backward at the start", L"foo", {0, 0}, false, L"foo"},
        {"backward over tabs and ideographic spaces", L"foo\t\x3000", {5, 5}, false, L""},
        {"backward keeps the blank before the word", L"a \x3000語句", {5, 5}, false, L"a \x3000"},
        {"forward in the middle of a word", L"foobar  baz", {3, 3}, true, L"foobaz"},
        {"forward before blanks deletes only blanks", L"foo   bar", {3, 3}, true, L"foobar"},
        {"forward at the end", L"foo", {3, 3}, true, L"foo"},
        {"forward from the start of the last word", L"foo bar", {4, 4}, true, L"foo "},
        {"a selection is deleted as it is, forward", L"foo bar baz", {2, 6}, true, L"for baz"},
        {"a selection is deleted as it is, backward", L"foo bar baz", {6, 2}, false, L"for baz"},
        {"positions beyond the text are held to it", L"foo bar", {99, 99}, false, L"foo "},
    };
    for (const WordCase& c : cases) {
        const EditSpan span = WordDeletionSpan(c.text, c.selection, c.forward);
        EXPECT_EQ(Cut(c.text, span), c.expected) << c.name;
    }
}

TEST(ParseLineNumber, ReadsLeadingDigitsAndSaturates) {
    const struct {
        std::wstring text;
        int64_t expected;
    } cases[] = {
        {L"12", 12},
        {L"12abc", 12},
        {L"007", 7},
        {L"0", 0},
        {L"abc", 0},
        {L"", 0},
        {L" 5", 0},
        {L"１２", 0},  // full-width digits are no digits here
        {L"99999999999999999", 1000000000000},
        {L"1000000000000", 1000000000000},
        {L"999999999999", 999999999999},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(ParseLineNumber(cases[i].text), cases[i].expected) << i;
}

TEST(TargetLine, HoldsTheNumberWithinTheDocument) {
    EXPECT_EQ(TargetLine(0, 10), 1);
    EXPECT_EQ(TargetLine(12, 100), 12);
    EXPECT_EQ(TargetLine(100, 100), 100);
    EXPECT_EQ(TargetLine(1000000000000, 50), 50);
    EXPECT_EQ(TargetLine(5, 0), 1);
}

}  // namespace
}  // namespace lq
