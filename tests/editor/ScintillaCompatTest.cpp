#include <gtest/gtest.h>

#include <string>

#include "editor/ScintillaCompat.h"
#include "support/editor/EditorFixture.h"

namespace lq {
namespace {

class ScintillaCompatTest : public test::EditorFixture {};

TEST_F(ScintillaCompatTest, CutTakesTheSelectionOrTheWholeLineAsOneUndoStep) {
    struct Case {
        const char* name;
        std::string text;
        int anchor, caret;
        std::string after;
        std::wstring clipboard;
        bool lineMarker;
    };
    const Case cases[] = {
        {"selection", "one\r\ntwo\r\nthree", 5, 7, "one\r\no\r\nthree", L"tw", false},
        {"middle line", "one\r\ntwo\r\nthree", 6, 6, "one\r\nthree", L"two\r\n", true},
        {"first line", "one\r\ntwo", 0, 0, "two", L"one\r\n", true},
        // The component's line copy ends the line, so pasting it inserts a whole line.
        {"last line without line end", "one\r\ntwo", 7, 7, "one\r\n", L"two\r\n", true},
        {"empty line", "one\r\n\r\ntwo", 5, 5, "one\r\ntwo", L"\r\n", true},
        {"japanese line", "\xE6\x97\xA5\xE6\x9C\xAC\r\nx", 3, 3, "x", L"\u65E5\u672C\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(test::WriteClipboardText(L"before"));
        view().SetText(c.text);
        call().SetSel(c.anchor, c.caret);
        view().CutAllowLine();
        EXPECT_EQ(window_->Text(), c.after);
        EXPECT_EQ(test::ReadClipboardText(), c.clipboard);
        EXPECT_EQ(test::ClipboardHasLineMarker(), c.lineMarker);
        // One undo brings everything back.
        call().Undo();
        EXPECT_EQ(window_->Text(), c.text);
        EXPECT_FALSE(call().CanUndo());
    }
}

TEST_F(ScintillaCompatTest, CutLeavesAReadOnlyDocumentAndTheClipboardAlone) {
    view().SetText("one\r\ntwo");
    call().SetReadOnly(true);
    ASSERT_TRUE(test::WriteClipboardText(L"kept"));
    for (const auto& [anchor, caret] : {std::pair{0, 0}, std::pair{0, 3}}) {
        call().SetSel(anchor, caret);
        view().CutAllowLine();
        EXPECT_EQ(window_->Text(), "one\r\ntwo");
        EXPECT_EQ(test::ReadClipboardText(), L"kept");
    }
}

TEST_F(ScintillaCompatTest, CtrlXAndShiftDeleteCutTheLineWithoutTypingAControlCharacter) {
    const std::pair<UINT, test::Modifiers> keys[] = {{'X', {.ctrl = true}}, {VK_DELETE, {.shift = true}}};
    for (const auto& [key, modifiers] : keys) {
        SCOPED_TRACE(key);
        view().SetText("one\r\ntwo\r\nthree");
        call().GotoPos(6);
        window_->PressKey(key, modifiers);
        EXPECT_EQ(window_->Text(), "one\r\nthree");
        EXPECT_EQ(test::ReadClipboardText(), L"two\r\n");
        // With a selection the same keys cut just the selection.
        call().SetSel(0, 2);
        window_->PressKey(key, modifiers);
        EXPECT_EQ(window_->Text(), "e\r\nthree");
        EXPECT_EQ(test::ReadClipboardText(), L"on");
    }
    // A plain X still types.
    window_->PressKey('X');
    EXPECT_EQ(window_->Text(), "xe\r\nthree");
}

class ScrollVerticalTest : public ScintillaCompatTest {
protected:
    // Lines 0..count-1, each wide enough to wrap into several sub-lines.
    void FillWrappedLines(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            if (i) text += "\r\n";
            text += std::string(1000, static_cast<char>('a' + i % 26));
        }
        view().SetText(text);
    }
};

TEST_F(ScrollVerticalTest, PutsTheSubLineOfTheDocumentLineAtTheTop) {
    FillWrappedLines(200);
    // Scrolled before any wrapping was painted or idled: the target still holds.
    view().ScrollVertical(120, 2);
    ASSERT_GT(call().WrapCount(120), 2);
    EXPECT_EQ(call().FirstVisibleLine(), call().VisibleFromDocLine(120) + 2);
    EXPECT_EQ(call().DocLineFromVisible(call().FirstVisibleLine()), 120);

    struct Case {
        const char* name;
        Scintilla::Line line, sub, expectedLine, expectedSub;
    };
    const Case cases[] = {
        {"first line", 0, 0, 0, 0},
        {"sub-line one", 10, 1, 10, 1},
        {"negative line", -4, 0, 0, 0},
        {"negative sub-line", 5, -3, 5, 0},
        {"sub-line past the line's wraps", 7, 1000, 7, -1},  // -1: the line's last sub-line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view().ScrollVertical(c.line, c.sub);
        const Scintilla::Line sub = c.expectedSub >= 0 ? c.expectedSub : call().WrapCount(c.expectedLine) - 1;
        EXPECT_EQ(call().FirstVisibleLine(), call().VisibleFromDocLine(c.expectedLine) + sub);
    }
    // The target survives the component's later wrapping work.
    view().ScrollVertical(150, 3);
    for (int i = 0; i < 20; ++i) test::EditorTestWindow::PumpMessages();
    EXPECT_EQ(call().FirstVisibleLine(), call().VisibleFromDocLine(150) + 3);
}

TEST_F(ScrollVerticalTest, ALineBeyondTheDocumentShowsItsEnd) {
    FillWrappedLines(60);
    view().ScrollVertical(10'000, 0);
    const Scintilla::Line top = call().FirstVisibleLine();
    EXPECT_GT(top, call().VisibleFromDocLine(50));
    // Without wrapping a sub-line is always 0.
    view().SetWrap(false);
    view().ScrollVertical(20, 5);
    EXPECT_EQ(call().FirstVisibleLine(), 20);
}

class AutoCompleteTest : public ScintillaCompatTest {
protected:
    void SetUp() override {
        ScintillaCompatTest::SetUp();
        if (HasFatalFailure()) return;
        call().AutoCSetOrder(Scintilla::Ordering::Custom);
        call().AutoCSetIgnoreCase(true);
        call().AutoCSetCaseInsensitiveBehaviour(Scintilla::CaseInsensitiveBehaviour::IgnoreCase);
        call().AutoCSetAutoHide(false);
        view().compat().SetAutoCompleteOptions(kAutoCompleteFixedSize | kAutoCompleteSelectFirstItem);
        view().SetText("ab");
        call().GotoPos(2);
    }
};

TEST_F(AutoCompleteTest, TheFirstItemIsSelectedWhereThePrefixWouldPickAnother) {
    EXPECT_TRUE(view().compat().selectsFirstItem());
    EXPECT_EQ(static_cast<int>(call().AutoCGetOptions()) & kAutoCompleteFixedSize, kAutoCompleteFixedSize);
    // By the prefix alone the component would pick "about", which sorts before "Abstract".
    call().AutoCShow(2, "Abstract about");
    ASSERT_TRUE(call().AutoCActive());
    ASSERT_EQ(call().AutoCGetCurrent(), 1) << "the component's own choice";
    call().AutoCCancel();

    view().compat().ShowAutoComplete(2, "Abstract about");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(call().AutoCGetCurrent(), 0);
    EXPECT_EQ(call().CurrentPos(), 2) << "selecting in the list does not move the caret";
}

TEST_F(AutoCompleteTest, TypingKeepsTheFirstItemButArrowKeysMoveInTheList) {
    view().compat().ShowAutoComplete(2, "Abstract abstain");
    ASSERT_TRUE(call().AutoCActive());
    // Typing "s" makes the component pick "abstain" by prefix; the first item stays selected.
    window_->PressKey('S');
    EXPECT_EQ(window_->Text(), "abs");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(call().AutoCGetCurrent(), 0);
    // The user's own moves are theirs.
    window_->PressKey(VK_DOWN);
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(call().AutoCGetCurrent(), 1);
    EXPECT_EQ(window_->Text(), "abs");
}

TEST_F(AutoCompleteTest, TheUsersRowStaysWhileTypingUnlessTheListIsShownAgain) {
    call().AutoCSetCancelAtStart(false);  // as completion has it, so Backspace keeps the list
    view().compat().ShowAutoComplete(2, "abstain Abstract");
    window_->PressKey(VK_DOWN);
    ASSERT_EQ(call().AutoCGetCurrent(), 1);
    // By its prefix the component would go back to "abstain"; the row the user chose stays.
    window_->PressKey('S');
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(call().AutoCGetCurrent(), 1);
    window_->PressKey(VK_BACK);
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(call().AutoCGetCurrent(), 1);

    // A list shown while the character is handled (as completion does on each letter) starts on its
    // first item, whatever the component picks by prefix afterwards.
    window_->onNotify = [this](const Scintilla::NotificationData& n) {
        if (n.nmhdr.code == Scintilla::Notification::CharAdded) {
            view().compat().ShowAutoComplete(3, "Abstract abstain");
        }
    };
    window_->PressKey('S');
    window_->onNotify = nullptr;
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(call().AutoCGetCurrent(), 0);
}

TEST_F(AutoCompleteTest, WithoutTheOptionThePrefixDecides) {
    view().compat().SetAutoCompleteOptions(kAutoCompleteFixedSize);
    EXPECT_FALSE(view().compat().selectsFirstItem());
    view().compat().ShowAutoComplete(2, "Abstract about");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(call().AutoCGetCurrent(), 1);
}

}  // namespace
}  // namespace lq
