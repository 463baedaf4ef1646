#include "ui/menus/MenuBarKeys.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace lq {
namespace {

constexpr wchar_t kMnemonics[] = {L'F', L'E', L'V'};  // "ファイル(&F)", "編集(&E)", "表示(&V)"

constexpr LPARAM kRepeat = LPARAM{1} << 30;
constexpr LPARAM kAltHeld = LPARAM{1} << 29;
constexpr LPARAM kReleased = (LPARAM{1} << 30) | (LPARAM{1} << 31);

struct Step {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool consumed;
    int32_t hotIndex;        // after the step
    int32_t openIndex = -1;  // the menu the step opens
    bool shift = false;
};

Step AltDown() {
    return {WM_SYSKEYDOWN, VK_MENU, kAltHeld, false, -1};
}
Step AltUp(bool consumed, int32_t hot) {
    return {WM_SYSKEYUP, VK_MENU, kAltHeld | kReleased, consumed, hot};
}
Step Key(WPARAM key, int32_t hot, int32_t open = -1) {
    return {WM_KEYDOWN, key, 0, true, hot, open};
}

void RunSteps(const std::vector<Step>& steps, MenuBarKeyState state = {}) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE(testing::Message() << "step " << i << ", message 0x" << std::hex << step.message << ", key 0x"
                                        << step.wParam);
        const MenuBarKeyOutcome outcome =
            DecideMenuBarKey(state, kMnemonics, step.message, step.wParam, step.lParam, step.shift);
        EXPECT_EQ(outcome.consumed, step.consumed);
        EXPECT_EQ(state.hotIndex, step.hotIndex);
        EXPECT_EQ(outcome.openIndex, step.openIndex);
    }
}

TEST(MenuBarKeys, AltAloneEntersKeyboardModeAndArrowsWrap) {
    RunSteps({AltDown(),
              AltUp(true, 0),
              Key(VK_RIGHT, 1),
              Key(VK_RIGHT, 2),
              Key(VK_RIGHT, 0),
              Key(VK_LEFT, 2),
              Key(VK_ESCAPE, -1),
              // After Esc the bar is idle again: a plain key is not consumed.
              {WM_KEYDOWN, 'A', 0, false, -1}});
}

TEST(MenuBarKeys, F10AloneEntersKeyboardModeButShiftF10DoesNot) {
    RunSteps({{WM_SYSKEYDOWN, VK_F10, 0, false, -1}, {WM_SYSKEYUP, VK_F10, kReleased, true, 0}, Key(VK_F10, -1)});
    RunSteps({{WM_KEYDOWN, VK_SHIFT, 0, false, -1},
              {WM_SYSKEYDOWN, VK_F10, 0, false, -1, -1, true},
              {WM_SYSKEYUP, VK_F10, kReleased, true, -1, -1, true}});  // taken all the same
}

TEST(MenuBarKeys, AnotherKeyBeforeTheReleaseCancelsTheMenuKey) {
    // The release is taken all the same: the system's default handling must not make it the menu key.
    RunSteps({AltDown(), {WM_SYSKEYDOWN, 'Z', kAltHeld, false, -1}, AltUp(true, -1)});
    RunSteps({AltDown(), {WM_KEYDOWN, VK_CONTROL, 0, false, -1}, AltUp(true, -1)});
    // A mouse press while Alt is held cancels it too.
    RunSteps({AltDown(), {WM_LBUTTONDOWN, 0, 0, false, -1}, AltUp(true, -1)});
    // A repeat of a held Alt is not a new press alone.
    RunSteps({AltDown(), {WM_SYSKEYDOWN, VK_MENU, kAltHeld | kRepeat, false, -1}, AltUp(true, -1)});
    // Other releases are not the bar's.
    RunSteps({AltDown(), {WM_KEYUP, 'Q', kReleased, false, -1}, AltUp(true, 0)});
    RunSteps({{WM_KEYUP, VK_SHIFT, kReleased, false, -1}, {WM_KEYUP, VK_F10, kReleased, true, -1}});
}

TEST(MenuBarKeys, OnlyTheReleaseOfALoneMenuKeyGoesUntranslated) {
    // A release of Alt after other keys may end an Alt+numpad code, whose character the translation of
    // that release makes; it is still never dispatched, so it cannot become the menu key.
    struct Case {
        const char* what;
        std::vector<std::pair<UINT, WPARAM>> before;  // key presses before the release
        UINT release;
        WPARAM key;
        MenuBarKeyState state;
        bool translated;
    };
    const Case cases[] = {
        {"Alt alone", {{WM_SYSKEYDOWN, VK_MENU}}, WM_SYSKEYUP, VK_MENU, {}, false},
        {"Alt+numpad 6 5",
         {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, VK_NUMPAD6}, {WM_SYSKEYDOWN, VK_NUMPAD5}},
         WM_KEYUP,
         VK_MENU,
         {},
         true},
        {"Alt+Z", {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'Z'}}, WM_KEYUP, VK_MENU, {}, true},
        {"Alt leaving keyboard mode", {{WM_SYSKEYDOWN, VK_MENU}}, WM_SYSKEYUP, VK_MENU, {0, 0}, true},
        {"F10 alone", {{WM_SYSKEYDOWN, VK_F10}}, WM_SYSKEYUP, VK_F10, {}, false},
        {"F10 after Ctrl",
         {{WM_KEYDOWN, VK_CONTROL}, {WM_SYSKEYDOWN, VK_F10}, {WM_KEYDOWN, 'A'}},
         WM_SYSKEYUP,
         VK_F10,
         {},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MenuBarKeyState state = c.state;
        for (const auto& [message, key] : c.before) {
            (void)DecideMenuBarKey(state, kMnemonics, message, key, message == WM_SYSKEYDOWN ? kAltHeld : 0, false);
        }
        const MenuBarKeyOutcome outcome = DecideMenuBarKey(state, kMnemonics, c.release, c.key, kReleased, false);
        EXPECT_TRUE(outcome.consumed) << "no release of the menu keys is dispatched";
        EXPECT_EQ(outcome.translate, c.translated);
    }
}

TEST(MenuBarKeys, KeysInKeyboardMode) {
    const MenuBarKeyState onEdit{1, 0};
    for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_SPACE}, WPARAM{VK_UP}, WPARAM{VK_DOWN}}) {
        RunSteps({Key(key, -1, 1)}, onEdit);  // opens the highlighted menu and leaves keyboard mode
    }
    RunSteps({Key('V', -1, 2)}, onEdit);  // a mnemonic opens its menu
    RunSteps({Key('Q', -1)}, onEdit);     // a key that is no mnemonic leaves
    RunSteps({{WM_SYSKEYDOWN, VK_MENU, kAltHeld, true, -1}, AltUp(true, -1)}, onEdit);  // Alt leaves for good
    RunSteps({{WM_RBUTTONDOWN, 0, 0, false, -1}}, onEdit);
    RunSteps({{WM_NCLBUTTONDOWN, 0, 0, false, -1}}, onEdit);
}

TEST(MenuBarKeys, AltCharacterOpensTheMenuWithThatMnemonic) {
    struct Case {
        WPARAM character;
        LPARAM lParam;
        bool consumed;
        int32_t open;
    };
    const Case cases[] = {
        {L'f', kAltHeld, true, 0},    {L'E', kAltHeld, true, 1},
        {L'x', kAltHeld, true, -1},   // handled, nothing opens
        {L'f', 0, false, -1},         // not with Alt held: not the bar's
        {L' ', kAltHeld, false, -1},  // Alt+Space: the system menu
        {L'\t', kAltHeld, false, -1}, {0x1B, kAltHeld, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "character " << c.character);
        MenuBarKeyState state{-1, VK_MENU};
        const MenuBarKeyOutcome outcome = DecideMenuBarKey(state, kMnemonics, WM_SYSCHAR, c.character, c.lParam, false);
        EXPECT_EQ(outcome.consumed, c.consumed);
        EXPECT_EQ(outcome.openIndex, c.open);
        if (c.consumed) {
            EXPECT_EQ(state.pendingMenuKey, 0u);
        }
    }
}

TEST(MenuBarKeys, MenuKeyCommandTogglesKeyboardMode) {
    MenuBarKeyState state;
    EXPECT_TRUE(DecideMenuBarSysChar(state, kMnemonics, 0).consumed);
    EXPECT_EQ(state.hotIndex, 0);
    EXPECT_TRUE(DecideMenuBarSysChar(state, kMnemonics, 0).consumed);
    EXPECT_EQ(state.hotIndex, -1);
    EXPECT_FALSE(DecideMenuBarSysChar(state, kMnemonics, L' ').consumed);
    EXPECT_EQ(DecideMenuBarSysChar(state, kMnemonics, L'v').openIndex, 2);
}

TEST(MenuBarKeys, ABarWithoutButtonsNeverHighlights) {
    MenuBarKeyState state;
    const std::span<const wchar_t> none;
    (void)DecideMenuBarKey(state, none, WM_SYSKEYDOWN, VK_MENU, kAltHeld, false);
    EXPECT_TRUE(DecideMenuBarKey(state, none, WM_SYSKEYUP, VK_MENU, kAltHeld | kReleased, false).consumed);
    EXPECT_EQ(state.hotIndex, -1);
    (void)DecideMenuBarSysChar(state, none, 0);
    EXPECT_EQ(state.hotIndex, -1);
}

TEST(MenuBarKeys, MnemonicLookup) {
    EXPECT_EQ(FindMnemonicIndex(kMnemonics, L'e'), 1);
    EXPECT_EQ(FindMnemonicIndex(kMnemonics, L'V'), 2);
    EXPECT_EQ(FindMnemonicIndex(kMnemonics, L'Q'), -1);
    const wchar_t withGap[] = {0, L'A', L'A'};
    EXPECT_EQ(FindMnemonicIndex(withGap, 0), -1);    // a button without a mnemonic never matches
    EXPECT_EQ(FindMnemonicIndex(withGap, L'a'), 1);  // the first one wins
}

}  // namespace
}  // namespace lq
