#include "ui/find/FindPanel.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FindPanelFixture.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/find/FindPanelLayout.h"

namespace lq {
namespace {

using test::FindPanelFixture;
using test::Modifiers;
using test::PixelCapture;
using test::PressKeyIn;
using test::TextOf;
using Action = FindPanel::Action;
using Mode = FindPanel::Mode;

constexpr COLORREF kOutside = RGB(30, 30, 30);
constexpr COLORREF kBody = RGB(37, 37, 38);
constexpr COLORREF kBodyOutline = RGB(51, 51, 51);
constexpr COLORREF kEditFill = RGB(60, 60, 60);
constexpr COLORREF kNotFoundOutline = RGB(248, 81, 73);
constexpr COLORREF kFocusOutline = RGB(52, 211, 153);
constexpr COLORREF kOutline = RGB(69, 69, 69);
constexpr COLORREF kHotFill = RGB(42, 45, 46);

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring CueOf(HWND edit) {
    wchar_t cue[256] = {};
    SendMessageW(edit, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 256);
    return cue;
}

LONG_PTR StyleOf(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
}

std::wstring Resource(UINT id) {
    return LoadResourceString(GetModuleHandleW(nullptr), id);
}

::testing::AssertionResult Same(const RECT& actual, const RECT& expected) {
    if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << actual.left << ", " << actual.top << ", " << actual.right << ", "
                                         << actual.bottom << "} instead of {" << expected.left << ", " << expected.top
                                         << ", " << expected.right << ", " << expected.bottom << "}";
}

TEST_F(FindPanelFixture, CreatesAHiddenPanelWithThreeBorderlessEdits) {
    ASSERT_TRUE(CreatePanel());
    EXPECT_TRUE(FindPanel::RegisterClass(GetModuleHandleW(nullptr))) << "an existing class counts as success";
    EXPECT_EQ(ClassOf(panel_.hwnd), L"Lanternquill.Find");
    EXPECT_EQ(GetParent(panel_.hwnd), host_.hwnd());
    EXPECT_FALSE(StyleOf(panel_.hwnd) & WS_VISIBLE);
    EXPECT_TRUE(StyleOf(panel_.hwnd) & WS_CLIPCHILDREN);
    for (HWND edit : {panel_.findEdit, panel_.replaceEdit, panel_.lineEdit}) {
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(ClassOf(edit), L"Edit");
        EXPECT_EQ(GetParent(edit), panel_.hwnd);
        EXPECT_FALSE(StyleOf(edit) & WS_BORDER);
        EXPECT_TRUE(StyleOf(edit) & ES_AUTOHSCROLL);
    }
    EXPECT_TRUE(StyleOf(panel_.lineEdit) & ES_NUMBER);
    EXPECT_FALSE(StyleOf(panel_.findEdit) & ES_NUMBER);
    EXPECT_EQ(CueOf(panel_.findEdit), Resource(IDS_CUE_FIND));
    EXPECT_EQ(CueOf(panel_.replaceEdit), Resource(IDS_CUE_REPLACE));
    EXPECT_NE(reinterpret_cast<HFONT>(SendMessageW(panel_.findEdit, WM_GETFONT, 0, 0)), nullptr);
}

TEST_F(FindPanelFixture, LineCueShowsTheRangeOfLines) {
    ASSERT_TRUE(CreatePanel());
    panel_.SetLineCount(1234);
    EXPECT_EQ(CueOf(panel_.lineEdit), L"行 1–1,234");
    panel_.SetLineCount(0);
    EXPECT_EQ(CueOf(panel_.lineEdit), L"行 1–1");
}

TEST_F(FindPanelFixture, ThePanelAndItsEditsArePlacedByTheLayout) {
    const struct {
        int32_t dpi;
        Mode mode;
    } cases[] = {{96, Mode::Find}, {96, Mode::Replace}, {96, Mode::GoToLine}, {144, Mode::Find}, {144, Mode::Replace}};
    ASSERT_TRUE(CreatePanel());
    for (const auto& c : cases) {
        panel_.dpi = c.dpi;
        panel_.ApplyFont();
        const RECT host{20, 30, 1000, 700};
        ShowIn(c.mode, host);
        const RECT expected = ComputeFindPanelRect(host, c.dpi, c.mode, 0);
        EXPECT_TRUE(Same(PanelPlace(), expected)) << c.dpi << " " << static_cast<int>(c.mode);
        const int32_t editRight = FindPanelEditRight(panel_.hitAreas, c.dpi);
        const FindPanelMetrics metrics = ComputeFindPanelMetrics(c.dpi);
        HWND rowEdit = c.mode == Mode::GoToLine ? panel_.lineEdit : panel_.findEdit;
        // Each edit sits 6 DIP inside a frame that spans from the margin to the buttons.
        const RECT frame = ComputeFindPanelFrameRect(PlaceInPanel(rowEdit), c.dpi);
        EXPECT_TRUE(
            Same(frame, {metrics.margin, metrics.buttonTop, editRight, metrics.buttonTop + metrics.buttonSide}));
        const RECT second = ComputeFindPanelFrameRect(PlaceInPanel(panel_.replaceEdit), c.dpi);
        EXPECT_EQ(second.top, metrics.rowHeight + metrics.buttonTop);
        // The replace buttons are as wide as their labels in the panel's font, plus padding.
        if (c.mode == Mode::Replace) {
            const RECT all = AreaOf(FindPanel::kReplaceAll);
            HDC dc = GetDC(panel_.hwnd);
            const HGDIOBJ old = SelectObject(dc, panel_.font.get());
            const std::wstring label = Resource(IDS_REPLACE_ALL);
            SIZE extent{};
            GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &extent);
            SelectObject(dc, old);
            ReleaseDC(panel_.hwnd, dc);
            EXPECT_EQ(all.right - all.left, extent.cx + 2 * metrics.textPadding);
        }
    }
}

TEST_F(FindPanelFixture, HitTestFindsTheButtonUnderThePoint) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Replace);
    for (const int32_t type :
         {FindPanel::kPrevious, FindPanel::kNext, FindPanel::kClose, FindPanel::kReplace, FindPanel::kReplaceAll}) {
        EXPECT_EQ(panel_.HitTest(CentreOf(AreaOf(type))), type);
    }
    EXPECT_EQ(panel_.HitTest(CentreOf(PlaceInPanel(panel_.findEdit))), 0);
    EXPECT_EQ(panel_.HitTest(POINT{1, 1}), 0);
}

TEST_F(FindPanelFixture, ModeChangesTakeEffectAtTheNextPlacement) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Replace);
    EXPECT_EQ(panel_.hitAreas.size(), 5u);
    EXPECT_EQ(PanelSize().cy, 72);
    ShowIn(Mode::GoToLine);
    ASSERT_EQ(panel_.hitAreas.size(), 1u);
    EXPECT_EQ(panel_.hitAreas[0].type, FindPanel::kClose);
    EXPECT_EQ(PanelSize().cy, 36);
    // The line edit takes the find edit's place.
    EXPECT_TRUE(Same(ComputeFindPanelFrameRect(PlaceInPanel(panel_.lineEdit), 96),
                     {4, 4, FindPanelEditRight(panel_.hitAreas, 96), 32}));
}

TEST_F(FindPanelFixture, VerticalOffsetHoldsUntilTheHostChanges) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Find);
    panel_.verticalOffset = 50;
    panel_.SetHostRect(panel_.hostRect);
    EXPECT_EQ(PanelPlace().top, 58);
    EXPECT_EQ(panel_.verticalOffset, 50);
    panel_.SetHostRect(RECT{0, 0, 700, 600});
    EXPECT_EQ(panel_.verticalOffset, 0);
    EXPECT_EQ(PanelPlace().top, 8);
}

TEST_F(FindPanelFixture, ButtonsActOnlyWithFindText) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Replace);
    for (const int32_t type : {FindPanel::kPrevious, FindPanel::kNext, FindPanel::kReplace, FindPanel::kReplaceAll}) {
        ClickOn(type);
    }
    EXPECT_TRUE(actions_.empty());

    SetWindowTextW(panel_.findEdit, L"abc");
    actions_.clear();
    for (const int32_t type : {FindPanel::kPrevious, FindPanel::kNext, FindPanel::kReplace, FindPanel::kReplaceAll}) {
        ClickOn(type);
    }
    EXPECT_EQ(actions_,
              (std::vector<Action>{Action::FindPrevious, Action::FindNext, Action::Replace, Action::ReplaceAll}));
}

TEST_F(FindPanelFixture, CloseButtonHidesThePanelAndFocusesTheParent) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Find);
    SetWindowTextW(panel_.findEdit, L"kept");
    SetFocus(panel_.findEdit);
    actions_.clear();
    ClickOn(FindPanel::kClose);
    EXPECT_FALSE(StyleOf(panel_.hwnd) & WS_VISIBLE);
    EXPECT_EQ(GetFocus(), host_.hwnd());
    EXPECT_TRUE(actions_.empty());
    EXPECT_EQ(TextOf(panel_.findEdit), L"kept");
}

TEST_F(FindPanelFixture, TextChangesAreReportedAndClearTheNotFoundMark) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Replace);
    panel_.notFound = true;
    SetWindowTextW(panel_.findEdit, L"x");
    EXPECT_FALSE(panel_.notFound);
    SetWindowTextW(panel_.replaceEdit, L"y");
    EXPECT_EQ(actions_, (std::vector<Action>{Action::FindTextChanged, Action::ReplaceTextChanged}));
}

TEST_F(FindPanelFixture, HotTrackingFollowsTheMouse) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Find);
    SendMessageW(panel_.hwnd, WM_MOUSEMOVE, 0, PointParam(CentreOf(AreaOf(FindPanel::kNext))));
    EXPECT_EQ(panel_.hotType, FindPanel::kNext);
    SendMessageW(panel_.hwnd, WM_MOUSEMOVE, 0, PointParam(CentreOf(AreaOf(FindPanel::kClose))));
    EXPECT_EQ(panel_.hotType, FindPanel::kClose);
    SendMessageW(panel_.hwnd, WM_MOUSEMOVE, 0, PointParam(POINT{2, 2}));
    EXPECT_EQ(panel_.hotType, 0);
    SendMessageW(panel_.hwnd, WM_MOUSEMOVE, 0, PointParam(CentreOf(AreaOf(FindPanel::kPrevious))));
    SendMessageW(panel_.hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(panel_.hotType, 0);
    EXPECT_FALSE(panel_.trackingLeave);
}

// Painting, read back from WM_PRINTCLIENT.
class FindPanelPaintTest : public FindPanelFixture {
protected:
    void SetUp() override {
        FindPanelFixture::SetUp();
        ASSERT_TRUE(CreatePanel());
        ShowIn(Mode::Replace);
    }

    // The left side of the frame around `edit`, half way down.
    POINT FrameOutlineOf(HWND edit) const {
        const RECT frame = ComputeFindPanelFrameRect(PlaceInPanel(edit), 96);
        return POINT{frame.left, (frame.top + frame.bottom) / 2};
    }

    COLORREF PaintedAt(POINT point) {
        const SIZE size = PanelSize();
        PixelCapture canvas(size.cx, size.cy);
        EXPECT_TRUE(canvas.ok());
        Print(canvas);
        return canvas.Pixel(point.x, point.y);
    }

    int BrightestLabelInk(int32_t type) {
        const SIZE size = PanelSize();
        PixelCapture canvas(size.cx, size.cy);
        Print(canvas);
        return canvas.Brightest(AreaOf(type));
    }
};

TEST_F(FindPanelPaintTest, DrawsARoundedBodyOverTheEditorColour) {
    const SIZE size = PanelSize();
    PixelCapture canvas(size.cx, size.cy);
    ASSERT_TRUE(canvas.ok());
    Print(canvas);
    EXPECT_EQ(canvas.Pixel(0, 0), kOutside) << "the rounded corner leaves the editor's colour";
    EXPECT_EQ(canvas.Pixel(size.cx / 2, 0), kBodyOutline);
    EXPECT_EQ(canvas.Pixel(2, size.cy / 2), kBody);
    // Inside the find edit's frame, to the left of the edit.
    const RECT edit = PlaceInPanel(panel_.findEdit);
    EXPECT_EQ(canvas.Pixel(edit.left - 2, (edit.top + edit.bottom) / 2), kEditFill);
}

TEST_F(FindPanelPaintTest, FrameOutlineShowsNotFoundAndFocus) {
    SetFocus(host_.hwnd());
    EXPECT_EQ(PaintedAt(FrameOutlineOf(panel_.findEdit)), kOutline);
    EXPECT_EQ(PaintedAt(FrameOutlineOf(panel_.replaceEdit)), kOutline);
    SetFocus(panel_.replaceEdit);
    EXPECT_EQ(PaintedAt(FrameOutlineOf(panel_.replaceEdit)), kFocusOutline);
    SetFocus(panel_.findEdit);
    EXPECT_EQ(PaintedAt(FrameOutlineOf(panel_.findEdit)), kFocusOutline);
    panel_.notFound = true;
    EXPECT_EQ(PaintedAt(FrameOutlineOf(panel_.findEdit)), kNotFoundOutline) << "not found wins over the focus";
    SetWindowTextW(panel_.findEdit, L"changed");
    EXPECT_EQ(PaintedAt(FrameOutlineOf(panel_.findEdit)), kFocusOutline) << "a change of the text removes the red";
}

TEST_F(FindPanelPaintTest, HiddenEditsHaveNoFrame) {
    ShowIn(Mode::GoToLine);  // the line edit is placed across row 0, up to the close button
    ShowIn(Mode::Replace);   // and hidden again where the find edit's frame ends earlier
    const int32_t editRight = FindPanelEditRight(panel_.hitAreas, 96);
    ASSERT_GT(PlaceInPanel(panel_.lineEdit).right, editRight + 8);
    EXPECT_EQ(PaintedAt(POINT{editRight + 2, 18}), kBody);
}

TEST_F(FindPanelPaintTest, ButtonsAreGreyWithoutFindTextAndLightWithIt) {
    for (const int32_t type : {FindPanel::kPrevious, FindPanel::kNext, FindPanel::kReplace, FindPanel::kReplaceAll}) {
        EXPECT_LE(BrightestLabelInk(type), 90) << type;
    }
    EXPECT_GT(BrightestLabelInk(FindPanel::kClose), 150) << "close is always enabled";
    SetWindowTextW(panel_.findEdit, L"abc");
    for (const int32_t type : {FindPanel::kPrevious, FindPanel::kNext, FindPanel::kReplace, FindPanel::kReplaceAll}) {
        const int brightest = BrightestLabelInk(type);
        EXPECT_GT(brightest, 150) << type;
        EXPECT_LE(brightest, 200) << type;
    }
}

TEST_F(FindPanelPaintTest, OnlyAnEnabledHotButtonIsFilled) {
    const RECT next = AreaOf(FindPanel::kNext);
    const POINT corner{next.left + 1, next.top + 1};
    SendMessageW(panel_.hwnd, WM_MOUSEMOVE, 0, PointParam(CentreOf(next)));
    EXPECT_EQ(PaintedAt(corner), kBody) << "no hover fill without find text";
    SetWindowTextW(panel_.findEdit, L"abc");
    EXPECT_EQ(PaintedAt(corner), kHotFill);
    SendMessageW(panel_.hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(PaintedAt(corner), kBody);
}

TEST_F(FindPanelFixture, ApplyFontReplacesTheFontForTheNewDpi) {
    ASSERT_TRUE(CreatePanel());
    const HFONT before = panel_.font.get();
    LOGFONTW small{};
    GetObjectW(before, sizeof(small), &small);
    panel_.dpi = 144;
    panel_.ApplyFont();
    const HFONT after = reinterpret_cast<HFONT>(SendMessageW(panel_.lineEdit, WM_GETFONT, 0, 0));
    EXPECT_EQ(after, panel_.font.get());
    LOGFONTW large{};
    GetObjectW(after, sizeof(large), &large);
    EXPECT_GT(std::abs(large.lfHeight), std::abs(small.lfHeight));
    EXPECT_EQ(GetObjectType(before), 0u) << "the previous font is deleted";
}

// Keys in the edits.

struct EnterCase {
    const char* name;
    Mode mode;
    int edit;  // 0 find, 1 replace, 2 line
    Modifiers held;
    const wchar_t* findText;
    std::vector<Action> expected;
};

TEST_F(FindPanelFixture, EnterRaisesTheActionOfModeEditAndModifiers) {
    const EnterCase cases[] = {
        {"Enter in the find edit", Mode::Find, 0, {}, L"a", {Action::FindNext}},
        {"Shift+Enter in the find edit", Mode::Find, 0, {false, true, false}, L"a", {Action::FindPrevious}},
        {"Enter with an empty find text still asks", Mode::Find, 0, {}, L"", {Action::FindNext}},
        {"Ctrl+Alt+Enter in Find mode finds", Mode::Find, 0, {true, false, true}, L"a", {Action::FindNext}},
        {"Alt+Enter goes to the system", Mode::Find, 0, {false, false, true}, L"a", {}},
        {"Enter in the replacement edit", Mode::Replace, 1, {}, L"a", {Action::Replace}},
        {"Enter in the find edit in Replace mode", Mode::Replace, 0, {}, L"a", {Action::FindNext}},
        {"Ctrl+Alt+Enter in the find edit", Mode::Replace, 0, {true, false, true}, L"a", {Action::ReplaceAll}},
        {"Ctrl+Alt+Enter in the replacement edit", Mode::Replace, 1, {true, false, true}, L"a", {Action::ReplaceAll}},
        {"Ctrl+Alt+Enter without find text", Mode::Replace, 1, {true, false, true}, L"", {}},
        {"Enter in the replacement edit without find text", Mode::Replace, 1, {}, L"", {}},
        {"Shift+Enter in the replacement edit", Mode::Replace, 1, {false, true, false}, L"a", {Action::FindPrevious}},
        {"Enter in the line edit", Mode::GoToLine, 2, {}, L"a", {Action::GoToLine}},
        {"Shift+Enter in the line edit", Mode::GoToLine, 2, {false, true, false}, L"a", {Action::GoToLine}},
    };
    ASSERT_TRUE(CreatePanel());
    for (const EnterCase& c : cases) {
        ShowIn(c.mode);
        SetWindowTextW(panel_.findEdit, c.findText);
        HWND edit = c.edit == 0 ? panel_.findEdit : (c.edit == 1 ? panel_.replaceEdit : panel_.lineEdit);
        SetFocus(edit);
        const std::wstring before = TextOf(edit);
        actions_.clear();
        PressKeyIn(edit, VK_RETURN, c.held);
        EXPECT_EQ(actions_, c.expected) << c.name;
        EXPECT_EQ(TextOf(edit), before) << c.name << ": no character reaches the edit";
    }
}

TEST_F(FindPanelFixture, TabMovesBetweenTheEditsOnlyInReplaceMode) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Replace);
    SetFocus(panel_.findEdit);
    PressKeyIn(panel_.findEdit, VK_TAB);
    EXPECT_EQ(GetFocus(), panel_.replaceEdit);
    PressKeyIn(panel_.replaceEdit, VK_TAB, {false, true, false});
    EXPECT_EQ(GetFocus(), panel_.findEdit);

    ShowIn(Mode::Find);
    SetWindowTextW(panel_.findEdit, L"ab");
    SetFocus(panel_.findEdit);
    PressKeyIn(panel_.findEdit, VK_TAB);
    EXPECT_EQ(GetFocus(), panel_.findEdit);
    EXPECT_EQ(TextOf(panel_.findEdit), L"ab") << "no tab character";
}

TEST_F(FindPanelFixture, ControlCharactersAndNonDigitsAreSwallowed) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Find);
    for (const WPARAM c : {WPARAM{0x01}, WPARAM{0x09}, WPARAM{0x0A}, WPARAM{0x0D}, WPARAM{0x7F}, WPARAM{L'x'}}) {
        SendMessageW(panel_.findEdit, WM_CHAR, c, 1);
    }
    EXPECT_EQ(TextOf(panel_.findEdit), L"x");

    ShowIn(Mode::GoToLine);
    for (const WPARAM c : {WPARAM{L'1'}, WPARAM{L'a'}, WPARAM{L' '}, WPARAM{L'-'}, WPARAM{L'/'}, WPARAM{L':'},
                           WPARAM{0x3000}, WPARAM{L'2'}, WPARAM{L'0'}, WPARAM{L'9'}}) {
        SendMessageW(panel_.lineEdit, WM_CHAR, c, 1);
    }
    EXPECT_EQ(TextOf(panel_.lineEdit), L"1209");
    SendMessageW(panel_.lineEdit, WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(TextOf(panel_.lineEdit), L"120") << "Backspace still reaches the line edit";
}

TEST_F(FindPanelFixture, CtrlASelectsTheWholeText) {
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Find);
    SetWindowTextW(panel_.findEdit, L"hello world");
    SetFocus(panel_.findEdit);
    SendMessageW(panel_.findEdit, EM_SETSEL, 3, 3);
    PressKeyIn(panel_.findEdit, 'A', {true, false, false});
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(panel_.findEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 11u);
    EXPECT_EQ(TextOf(panel_.findEdit), L"hello world");
}

TEST_F(FindPanelFixture, CtrlBackspaceAndCtrlDeleteDeleteWords) {
    const struct {
        const char* name;
        const wchar_t* text;
        DWORD selStart;
        DWORD selEnd;
        UINT key;
        const wchar_t* expected;
    } cases[] = {
        {"Ctrl+Backspace after two words", L"foo bar", 7, 7, VK_BACK, L"foo "},
        {"Ctrl+Backspace after a word and blanks", L"foo bar  ", 9, 9, VK_BACK, L"foo "},
        {"Ctrl+Delete in the middle of a word", L"foobar  baz", 3, 3, VK_DELETE, L"foobaz"},
        {"Ctrl+Backspace with a selection", L"foo bar baz", 4, 7, VK_BACK, L"foo  baz"},
        {"Ctrl+Delete with a selection", L"foo bar baz", 4, 7, VK_DELETE, L"foo  baz"},
        {"Ctrl+Backspace after Japanese words", L"検索\x3000置換", 5, 5, VK_BACK, L"検索\x3000"},
    };
    ASSERT_TRUE(CreatePanel());
    ShowIn(Mode::Replace);
    for (const auto& c : cases) {
        for (HWND edit : {panel_.findEdit, panel_.replaceEdit}) {
            SetWindowTextW(edit, c.text);
            SetFocus(edit);
            SendMessageW(edit, EM_SETSEL, c.selStart, c.selEnd);
            SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
            PressKeyIn(edit, c.key, {true, false, false});
            EXPECT_EQ(TextOf(edit), c.expected) << c.name;
            SendMessageW(edit, EM_UNDO, 0, 0);
            EXPECT_EQ(TextOf(edit), c.text) << c.name << ": one undo step";
        }
    }
}

TEST_F(FindPanelFixture, DestroyingThePanelObjectTakesItsWindows) {
    auto panel = std::make_unique<FindPanel>();
    ASSERT_TRUE(panel->Create(host_.hwnd(), GetModuleHandleW(nullptr), 96, nullptr));
    HWND window = panel->hwnd;
    HWND edit = panel->findEdit;
    SetWindowTextW(edit, L"no callback: the change is dropped");
    panel.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(edit));
}

}  // namespace
}  // namespace lq
