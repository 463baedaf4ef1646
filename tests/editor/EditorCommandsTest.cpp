#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "MarkedText.h"
#include "editor/EditorCommands.h"
#include "editor/EditorMotion.h"
#include "support/editor/EditorFixture.h"

namespace lq {
namespace {

using test::GetMarked;
using test::SetMarked;

class EditorCommandsTest : public test::EditorFixture {
protected:
    EditorCommandsTest() : EditorFixture(400, 300) {}
    bool Run(EditorCommand command, const EditorCommandContext& context = {}) {
        return RunEditorCommand(view(), static_cast<int32_t>(command), context);
    }
};

struct CommandCase {
    const char* name;
    EditorCommand command;
    std::string before;
    std::string after;
    bool handled = true;
};

// Every command that needs neither the clipboard nor a tall layout, as before and after documents.
TEST_F(EditorCommandsTest, CommandsChangeTextAndCaretAsTheTableSays) {
    using C = EditorCommand;
    const std::string nihon = "\xE6\x97\xA5\xE6\x9C\xAC";  // two characters, six bytes
    const CommandCase cases[] = {
        {"new line", C::NewLine, "ab|cd", "ab\r\n|cd"},
        {"new line over a selection", C::NewLine, "a^bc|d", "a\r\n|d"},
        {"new line in an empty document", C::NewLine, "|", "\r\n|"},
        {"open line above", C::OpenLineAbove, "one\r\ntw|o", "one\r\n|\r\ntwo"},
        {"open line above the first line", C::OpenLineAbove, "o|ne", "|\r\none"},
        {"open line above in an empty document", C::OpenLineAbove, "|", "|\r\n"},
        {"open line above japanese", C::OpenLineAbove, "x\r\n" + nihon + "|", "x\r\n|\r\n" + nihon},
        {"delete a middle line", C::DeleteDisplayLine, "one\r\ntw|o\r\nthree", "one\r\n|three"},
        {"delete the last line without line end", C::DeleteDisplayLine, "one\r\ntw|o", "one\r\n|"},
        {"delete the only line", C::DeleteDisplayLine, "a|b", "|"},
        {"delete an empty last line", C::DeleteDisplayLine, "ab\r\n|", "ab\r\n|"},
        {"delete in an empty document", C::DeleteDisplayLine, "|", "|"},
        {"delete a japanese line", C::DeleteDisplayLine, "x\r\n" + nihon.substr(0, 3) + "|" + nihon.substr(3) + "\r\ny",
         "x\r\n|y"},
        {"tab", C::Tab, "a|b", "a\t|b"},
        {"word left", C::WordLeft, "foo ba|r baz", "foo |bar baz"},
        {"word right", C::WordRight, "foo ba|r baz", "foo bar |baz"},
        {"word left over a line end", C::WordLeft, "foo\r\n|bar", "foo|\r\nbar"},
        {"word start", C::GoToWordStart, "foo ba|r baz", "foo |bar baz"},
        {"word end", C::GoToWordEnd, "foo ba|r baz", "foo bar| baz"},
        {"word start at a space stays", C::GoToWordStart, "foo |  bar", "foo |  bar"},
        {"matching brace at the caret", C::GoToMatchingBrace, "x|(a[b]c)", "x(a[b]c|)"},
        {"matching brace before the caret", C::GoToMatchingBrace, "(a[b]|c)", "(a|[b]c)"},
        {"matching angle brace", C::GoToMatchingBrace, "<a>|", "|<a>"},
        {"matching brace over lines", C::GoToMatchingBrace, "{\r\n" + nihon + "\r\n}|", "|{\r\n" + nihon + "\r\n}"},
        {"no brace", C::GoToMatchingBrace, "ab|c", "ab|c"},
        {"unmatched brace", C::GoToMatchingBrace, "(a|b", "(a|b"},
        {"enclosing backward after }", C::EnclosingBraceBackward, "{ { }| }", "|{ { } }"},
        {"enclosing forward after }", C::EnclosingBraceForward, "{ { }| }", "{ { } |}"},
        {"enclosing backward inside", C::EnclosingBraceBackward, "a{b|c}d", "a|{bc}d"},
        {"enclosing forward inside", C::EnclosingBraceForward, "a{b|c}d", "a{bc|}d"},
        {"enclosing backward at {", C::EnclosingBraceBackward, "{a|{b}}", "|{a{b}}"},
        {"enclosing forward at {", C::EnclosingBraceForward, "{a|{b}}", "{a{b}|}"},
        {"enclosing around japanese", C::EnclosingBraceBackward, "{" + nihon + "|x}", "|{" + nihon + "x}"},
        {"enclosing over lines", C::EnclosingBraceForward, "{\r\n|a\r\n}\r\n", "{\r\na\r\n|}\r\n"},
        {"no enclosing block backward", C::EnclosingBraceBackward, "a|b{}", "a|b{}"},
        {"no enclosing block forward", C::EnclosingBraceForward, "{}a|b", "{}a|b"},
        {"enclosing at the document end", C::EnclosingBraceForward, "{ab|", "{ab|"},
        {"enclosing in an empty document", C::EnclosingBraceBackward, "|", "|"},
        {"left over lines", C::LeftOverSelection, "a^b\r\ncd|e", "ab\r\nc|de"},
        {"right over lines", C::RightOverSelection, "a^b\r\ncd|e", "ab\r\ncde|"},
        {"left over lines, caret first", C::LeftOverSelection, "a|b\r\ncd^e", "|ab\r\ncde"},
        {"right from a line start", C::RightOverSelection, "a^b\r\n|cd", "ab\r\nc|d"},
        {"left within a line", C::LeftOverSelection, "a^bc|d", "a^bc|d", false},
        {"right with no selection", C::RightOverSelection, "a|b\r\ncd", "a|b\r\ncd", false},
        {"up on the first line", C::UpGuard, "a|b\r\ncd", "a|b\r\ncd"},
        {"up on the second line", C::UpGuard, "ab\r\nc|d", "ab\r\nc|d", false},
        {"down on the last line", C::DownGuard, "ab\r\nc|d", "ab\r\nc|d"},
        {"down on the first line", C::DownGuard, "a|b\r\ncd", "a|b\r\ncd", false},
        {"down on a last empty line", C::DownGuard, "ab\r\n|", "ab\r\n|"},
        {"up and down in an empty document", C::UpGuard, "|", "|"},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetMarked(view(), c.before);
        EXPECT_EQ(Run(c.command), c.handled);
        EXPECT_EQ(GetMarked(view()), c.after);
    }
}

TEST_F(EditorCommandsTest, CodesOutsideTheEditorCommandsAreNotHandled) {
    SetMarked(view(), "a|b");
    for (int32_t code : {-1, 0, 14, 37, 56}) {
        EXPECT_FALSE(RunEditorCommand(view(), code, {})) << code;
    }
    EXPECT_EQ(GetMarked(view()), "a|b");
}

TEST_F(EditorCommandsTest, GoToLastEditUsesTheOpenNotesPositionOnly) {
    const std::unordered_map<int64_t, int64_t> positions{{7, 3}, {8, 99}, {9, -4}};
    struct Case {
        const char* name;
        int64_t note;
        bool withMap;
        std::string after;
    };
    const Case cases[] = {
        {"stored position", 7, true, "abc|def"},  {"beyond the end", 8, true, "abcdef|"},
        {"before the start", 9, true, "|abcdef"}, {"not edited in this run", 5, true, "a|bcdef"},
        {"no note open", 0, true, "a|bcdef"},     {"no positions at all", 7, false, "a|bcdef"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMarked(view(), "a|bcdef");
        EditorCommandContext context;
        context.openNoteId = c.note;
        context.lastEditPositions = c.withMap ? &positions : nullptr;
        EXPECT_TRUE(Run(EditorCommand::GoToLastEdit, context));
        EXPECT_EQ(GetMarked(view()), c.after);
    }
}

TEST_F(EditorCommandsTest, ToggleWrapSwitchesCharacterWrapping) {
    ASSERT_TRUE(view().wrap());
    EXPECT_TRUE(Run(EditorCommand::ToggleWrap));
    EXPECT_FALSE(view().wrap());
    EXPECT_EQ(call().WrapMode(), Scintilla::Wrap::None);
    EXPECT_TRUE(Run(EditorCommand::ToggleWrap));
    EXPECT_TRUE(view().wrap());
    EXPECT_EQ(call().WrapMode(), Scintilla::Wrap::Char);
}

// A line far wider than the 400-pixel window, so it wraps into several display rows.
std::string LongLine() {
    std::string line;
    for (int i = 0; i < 40; ++i) line += "word" + std::to_string(i) + " ";
    return line;
}

TEST_F(EditorCommandsTest, WrappedLinesAreHandledByDisplayRow) {
    const std::string wide = LongLine();
    view().SetText(wide + "\r\nnext");
    call().EnsureVisible(1);  // completes the wrapping the component would do while idle
    // A first key press lets the component settle its layout before positions are taken.
    window_->PressKey(VK_RIGHT);
    test::EditorTestWindow::PumpMessages();
    ASSERT_GT(call().WrapCount(0), 2);

    // The display rows of the wrapped line tile it; the last one takes the line end.
    std::vector<EditorRange> rows;
    for (int64_t pos = 0; pos < static_cast<int64_t>(wide.size()) + 2;) {
        rows.push_back(VisualLineRange(view(), pos));
        ASSERT_GT(rows.back().end, pos);
        pos = rows.back().end;
    }
    EXPECT_EQ(static_cast<int>(rows.size()), call().WrapCount(0));
    EXPECT_EQ(rows.front().start, 0);
    EXPECT_EQ(rows.back().end, static_cast<int64_t>(wide.size()) + 2);
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i].start, rows[i - 1].end);

    // Deleting the second row removes only it; deleting the last row takes the line end.
    call().GotoPos(rows[1].start + 1);
    EXPECT_TRUE(Run(EditorCommand::DeleteDisplayLine));
    std::string expected = wide;
    expected.erase(static_cast<size_t>(rows[1].start), static_cast<size_t>(rows[1].end - rows[1].start));
    EXPECT_EQ(window_->Text(), expected + "\r\nnext");
    EXPECT_EQ(call().CurrentPos(), rows[1].start);

    view().SetText(wide + "\r\nnext");
    call().EnsureVisible(1);
    window_->PressKey(VK_RIGHT);
    test::EditorTestWindow::PumpMessages();
    call().GotoPos(rows.back().start + 1);
    EXPECT_TRUE(Run(EditorCommand::DeleteDisplayLine));
    EXPECT_EQ(window_->Text(), wide.substr(0, static_cast<size_t>(rows.back().start)) + "next");

    // Up is swallowed on the first display row only; Down on the last row of the document.
    view().SetText(wide);
    call().EnsureVisible(0);
    window_->PressKey(VK_RIGHT);
    test::EditorTestWindow::PumpMessages();
    // The rows of this document, which has no line end after the wrapped line.
    rows.clear();
    for (int64_t pos = 0; pos < static_cast<int64_t>(wide.size());) {
        rows.push_back(VisualLineRange(view(), pos));
        ASSERT_GT(rows.back().end, pos);
        pos = rows.back().end;
    }
    ASSERT_GT(rows.size(), 2u);
    call().GotoPos(rows[0].start + 1);
    EXPECT_TRUE(Run(EditorCommand::UpGuard));
    call().GotoPos(rows[1].start + 1);
    EXPECT_FALSE(Run(EditorCommand::UpGuard));
    EXPECT_FALSE(Run(EditorCommand::DownGuard));
    call().GotoPos(static_cast<int64_t>(wide.size()) - 1);
    EXPECT_TRUE(Run(EditorCommand::DownGuard));
    // A rectangular selection is never held back.
    call().SetRectangularSelectionAnchor(0);
    call().SetRectangularSelectionCaret(1);
    ASSERT_TRUE(call().SelectionIsRectangle());
    EXPECT_FALSE(Run(EditorCommand::UpGuard));
}

TEST_F(EditorCommandsTest, ThirdPageMovesAThirdOfTheScreenAndStopsAtTheEdges) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\r\n";
    view().SetText(text);
    const int64_t third = std::max<int64_t>(call().LinesOnScreen() / 3, 1);
    ASSERT_GT(third, 1);

    call().GotoPos(call().PositionFromLine(50) + 2);
    EXPECT_TRUE(Run(EditorCommand::CaretDownThird));
    EXPECT_EQ(call().LineFromPosition(call().CurrentPos()), 50 + third);
    EXPECT_TRUE(call().SelectionEmpty());
    EXPECT_TRUE(Run(EditorCommand::CaretUpThird));
    EXPECT_TRUE(Run(EditorCommand::CaretUpThird));
    EXPECT_EQ(call().LineFromPosition(call().CurrentPos()), 50 - third);

    // Near the edges it stops on the first or last line.
    call().GotoPos(call().PositionFromLine(1));
    EXPECT_TRUE(Run(EditorCommand::CaretUpThird));
    EXPECT_EQ(call().LineFromPosition(call().CurrentPos()), 0);
    call().GotoPos(call().PositionFromLine(99));
    EXPECT_TRUE(Run(EditorCommand::CaretDownThird));
    EXPECT_EQ(call().LineFromPosition(call().CurrentPos()), 100);

    // An empty document: nothing moves, nothing fails.
    view().SetText("");
    EXPECT_TRUE(Run(EditorCommand::CaretDownThird));
    EXPECT_EQ(call().CurrentPos(), 0);
}

}  // namespace
}  // namespace lq
