#include <gtest/gtest.h>

#include <string>

#include "MarkedText.h"
#include "editor/EditorSearch.h"
#include "support/editor/EditorFixture.h"

namespace lq {
namespace {

using test::GetMarked;
using test::SetMarked;

constexpr size_t npos = std::string_view::npos;

// Full-width "FOO" and "foo", and accented capital and small e: the component's own
// case-insensitive search takes each pair as equal; this program's does not.
const std::string kWideFoo = "\xEF\xBC\xA6\xEF\xBC\xAF\xEF\xBC\xAF";
const std::string kWideFooSmall = "\xEF\xBD\x86\xEF\xBD\x8F\xEF\xBD\x8F";
const std::string kCapitalEAcute = "\xC3\x89";
const std::string kSmallEAcute = "\xC3\xA9";

TEST(FindLiteralTest, FoldsAsciiLettersOnly) {
    struct Case {
        const char* name;
        std::string haystack, needle;
        bool matchCase, last;
        size_t found;
    };
    const Case cases[] = {
        {"folded", "xx FOO foo", "foo", false, false, 3},
        {"folded last", "xx FOO foo", "Foo", false, true, 7},
        {"match case", "xx FOO foo Foo", "Foo", true, false, 11},
        {"match case none", "xx FOO foo", "Foo", true, false, npos},
        {"digits and punctuation exact", "a1-b2", "A1-B2", false, false, 0},
        {"@ and [ are not letters", "@[", "`{", false, false, npos},
        {"full-width letters stay apart", kWideFoo + " " + kWideFooSmall, kWideFooSmall, false, false, 10},
        {"accented letters stay apart", kCapitalEAcute + kSmallEAcute, kSmallEAcute, false, false, 2},
        {"japanese", "ab\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x9C\xAC", false, false, 5},
        {"line ends", "a\r\nb\r\nc", "\r\nc", false, false, 4},
        {"overlapping last", "aaaa", "aa", false, true, 2},
        {"empty needle", "abc", "", false, false, npos},
        {"needle longer", "ab", "abc", false, false, npos},
        {"empty haystack", "", "a", false, true, npos},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindLiteral(c.haystack, c.needle, c.matchCase, c.last), c.found);
    }
    EXPECT_TRUE(IsSmartCaseMatchCase("abC"));
    EXPECT_FALSE(IsSmartCaseMatchCase("abc " + kWideFoo + kCapitalEAcute));
}

class EditorSearchTest : public test::EditorFixture {
protected:
    EditorSearchTest() : EditorFixture(400, 300) {}
};

TEST_F(EditorSearchTest, FindNextAndPreviousUseSmartCaseAndWrapAround) {
    struct Case {
        const char* name;
        std::string before;
        std::string text;
        bool forward;
        std::string after;  // the match selected (anchor at its start), or the old selection
        bool found;
    };
    const Case cases[] = {
        {"capital matches only itself", "|foo FOO Foo", "Foo", true, "foo FOO ^Foo|", true},
        {"small matches every case", "x|x FOO foo", "foo", true, "xx ^FOO| foo", true},
        {"from the selection end", "^foo| foo", "foo", true, "foo ^foo|", true},
        {"wraps to the start", "foo ^foo|", "foo", true, "^foo| foo", true},
        {"backward from the selection start", "foo ^foo|", "foo", false, "^foo| foo", true},
        {"backward wraps to the end", "^foo| foo x", "foo", false, "foo ^foo| x", true},
        {"only occurrence is reselected", "^foo|", "foo", true, "^foo|", true},
        {"caret inside the only match, forward", "xa|ax", "aa", true, "x^aa|x", true},
        {"caret inside the only match, backward", "xa|ax", "aa", false, "x^aa|x", true},
        {"not found keeps the selection", "a^b|c", "zz", true, "a^b|c", false},
        {"empty text finds nothing", "a|bc", "", true, "a|bc", false},
        {"empty document", "|", "a", true, "|", false},
        {"full-width not folded", "|" + kWideFoo + " " + kWideFooSmall, kWideFooSmall, true,
         kWideFoo + " ^" + kWideFooSmall + "|", true},
        {"accented not folded", "|" + kCapitalEAcute + " " + kSmallEAcute, kSmallEAcute, true,
         kCapitalEAcute + " ^" + kSmallEAcute + "|", true},
        {"across a line end", "ab\r\n|cd\r\nef", "\r\nef", true, "ab\r\ncd^\r\nef|", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMarked(view(), c.before);
        const EditorMatch match = FindInEditor(call(), c.text, c.forward);
        EXPECT_EQ(match.found, c.found);
        EXPECT_EQ(GetMarked(view()), c.after);
        if (match.found) {
            EXPECT_EQ(match.start, call().SelectionStart());
            EXPECT_EQ(match.end, call().SelectionEnd());
        }
    }
}

TEST_F(EditorSearchTest, SearchInRangeKeepsTheMatchInsideTheRangeAndSetsTheTarget) {
    view().SetText("foo FOO foo");
    call().SetSearchFlags(Scintilla::FindOption::None);
    EXPECT_EQ(SearchInRange(call(), "foo", 1, 11), (EditorMatch{4, 7, true}));
    EXPECT_EQ(call().TargetStart(), 4);
    EXPECT_EQ(call().TargetEnd(), 7);
    EXPECT_EQ(SearchInRange(call(), "foo", 11, 0), (EditorMatch{8, 11, true}));
    EXPECT_EQ(SearchInRange(call(), "foo", 10, 0), (EditorMatch{4, 7, true}));
    EXPECT_FALSE(SearchInRange(call(), "foo", 5, 10).found);
    EXPECT_EQ(SearchInRange(call(), "foo", -5, 500), (EditorMatch{0, 3, true}));
    // The flags already set decide the case.
    call().SetSearchFlags(Scintilla::FindOption::MatchCase);
    EXPECT_EQ(SearchInRange(call(), "FOO", 0, 11), (EditorMatch{4, 7, true}));
    EXPECT_FALSE(SearchInRange(call(), "Foo", 0, 11).found);
}

TEST_F(EditorSearchTest, ReplaceAllReplacesLeftToRightAsOneUndoStep) {
    struct Case {
        const char* name;
        std::string text, find, replacement;
        std::string after;
        int32_t count;
    };
    const Case cases[] = {
        {"never inside a replacement", "aaa", "a", "aa", "aaaaaa", 3},
        {"small text every case", "foo FOO Foo", "foo", "x", "x x x", 3},
        {"capital only exact", "foo FOO Foo", "Foo", "x", "foo FOO x", 1},
        {"without overlap", "aaaa", "aa", "b", "bb", 2},
        {"by nothing", "a-b-c", "-", "", "abc", 2},
        {"line ends", "a\r\nb\r\n", "\r\n", " ", "a b ", 2},
        {"japanese", "\xE6\x97\xA5 x \xE6\x97\xA5", "\xE6\x97\xA5", "\xE3\x81\xAB", "\xE3\x81\xAB x \xE3\x81\xAB", 2},
        {"full-width untouched", kWideFoo + "foo", "foo", "x", kWideFoo + "x", 1},
        {"nothing found", "abc", "z", "y", "abc", 0},
        {"empty find", "abc", "", "y", "abc", 0},
        {"empty document", "", "a", "b", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view().SetText(c.text);
        EXPECT_EQ(ReplaceAllInEditor(call(), c.find, c.replacement), c.count);
        EXPECT_EQ(window_->Text(), c.after);
        if (c.count > 0) {
            call().Undo();
            EXPECT_EQ(window_->Text(), c.text);
            EXPECT_FALSE(call().CanUndo());
        }
    }
}

TEST_F(EditorSearchTest, ReplaceAllLeavesAReadOnlyDocumentAlone) {
    view().SetText("aa aa");
    call().SetReadOnly(true);
    EXPECT_EQ(ReplaceAllInEditor(call(), "aa", ""), 0);
    EXPECT_EQ(window_->Text(), "aa aa");
    call().SetReadOnly(false);
}

}  // namespace
}  // namespace lq
