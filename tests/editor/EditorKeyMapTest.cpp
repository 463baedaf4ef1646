#include <gtest/gtest.h>

#include <string>

#include "editor/EditorKeyMap.h"
#include "support/editor/EditorFixture.h"

namespace lq {
namespace {

class EditorKeyMapTest : public test::EditorFixture {
protected:
    EditorKeyMapTest() : EditorFixture(400, 300) {}
};

TEST_F(EditorKeyMapTest, AssignedKeysRunTheirCommands) {
    struct Case {
        const char* name;
        std::string text;
        int anchor, caret;
        UINT key;
        test::Modifiers modifiers;
        std::string after;
        int afterAnchor, afterCaret;  // -1: not checked
    };
    const Case cases[] = {
        {"Alt+Up moves the line up", "a\r\nb\r\nc", 3, 3, VK_UP, {.alt = true}, "b\r\na\r\nc", -1, -1},
        {"Alt+Down moves the line down", "a\r\nb\r\nc", 3, 3, VK_DOWN, {.alt = true}, "a\r\nc\r\nb", -1, -1},
        {"Ctrl+Delete deletes to the word's end", "foo bar", 0, 0, VK_DELETE, {.ctrl = true}, " bar", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view().SetText(c.text);
        call().SetSel(c.anchor, c.caret);
        window_->PressKey(c.key, c.modifiers);
        EXPECT_EQ(window_->Text(), c.after);
        if (c.afterCaret >= 0) {
            EXPECT_EQ(call().Anchor(), c.afterAnchor);
            EXPECT_EQ(call().CurrentPos(), c.afterCaret);
        }
    }
}

TEST_F(EditorKeyMapTest, TheComponentsOwnZoomKeysAreCleared) {
    for (const UINT key : {VK_ADD, VK_SUBTRACT, VK_DIVIDE}) {
        SCOPED_TRACE(key);
        window_->PressKey(key, {.ctrl = true});
        EXPECT_EQ(call().Zoom(), 0);
    }
    // The same press does zoom while the key is bound, so the check above can fail.
    view().compat().AssignKey(KeyDefinition(static_cast<int>(Scintilla::Keys::Add), Scintilla::KeyMod::Ctrl),
                              SendsMessage(Scintilla::Message::ZoomIn));
    window_->PressKey(VK_ADD, {.ctrl = true});
    EXPECT_EQ(call().Zoom(), 1);
}

TEST_F(EditorKeyMapTest, BothRedoKeysRedo) {
    const std::pair<UINT, test::Modifiers> keys[] = {{'Z', {.ctrl = true, .shift = true}},
                                                    {VK_BACK, {.shift = true, .alt = true}}};
    for (const auto& [key, modifiers] : keys) {
        SCOPED_TRACE(key);
        view().SetText("");
        call().AddText(5, "typed");
        call().Undo();
        ASSERT_EQ(window_->Text(), "");
        window_->PressKey(key, modifiers);
        EXPECT_EQ(window_->Text(), "typed");
    }
}

TEST_F(EditorKeyMapTest, HomeAndEndGoByDisplayLineOfAWrappedLine) {
    const std::string line(600, 'w');
    view().SetText(line + "\r\nnext");
    call().EnsureVisible(1);  // completes the wrapping the component would do while idle
    // A first key press lets the component settle its layout (scroll bars, wrap width) before the
    // positions below are taken.
    window_->PressKey(VK_RIGHT);
    test::EditorTestWindow::PumpMessages();
    ASSERT_GT(call().WrapCount(0), 2);
    // A caret inside the second display line of the wrapped first line.
    const Scintilla::Position inside = call().PositionFromPoint(
        call().PointXFromPosition(0) + 30, call().PointYFromPosition(0) + call().TextHeight(0));
    ASSERT_GT(inside, 3);

    using Scintilla::Message;
    struct Case {
        const char* name;
        UINT key;
        test::Modifiers modifiers;
        Message displayCommand;  // what the key must do
        Message lineCommand;     // the component's default for the key, by document line
    };
    const Case cases[] = {
        {"Home", VK_HOME, {}, Message::HomeDisplay, Message::VCHome},
        {"Shift+Home", VK_HOME, {.shift = true}, Message::HomeDisplayExtend, Message::VCHomeExtend},
        {"End", VK_END, {}, Message::LineEndDisplay, Message::LineEnd},
        {"Shift+End", VK_END, {.shift = true}, Message::LineEndDisplayExtend, Message::LineEndExtend},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto after = [&](auto act) {
            call().GotoPos(inside);
            test::EditorTestWindow::PumpMessages();
            act();
            return std::pair{call().Anchor(), call().CurrentPos()};
        };
        const auto byDisplay = after([&] { call().Call(c.displayCommand); });
        const auto byLine = after([&] { call().Call(c.lineCommand); });
        ASSERT_NE(byDisplay, byLine);
        EXPECT_EQ(after([&] { window_->PressKey(c.key, c.modifiers); }), byDisplay);
    }
}

}  // namespace
}  // namespace lq
