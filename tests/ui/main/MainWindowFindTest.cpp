#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "ui/find/FindPanelFixture.h"
#include "ui/find/FindPanelLayout.h"

namespace lq::test {
namespace {

using Action = FindPanel::Action;
using Mode = FindPanel::Mode;

// The main window with one note open, and ways to drive its find panel as the user does.
class MainWindowFindTest : public MainWindowFixture {
protected:
    void StartWith(std::string_view content) {
        const int64_t project = AddProject("Work");
        note_ = AddNote(project, "Plan", content);
        SetSetting("last.note_id", std::to_string(note_));
        Start();
    }

    FindPanel& Panel() { return *main->findPanel; }
    bool PanelShown() {
        return main->findPanel && (GetWindowLongPtrW(main->findPanel->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    }

    // Opens the panel in Find mode with `query` typed into the find edit.
    void OpenWith(Mode mode, const wchar_t* query) {
        main->ShowFloating(mode);
        ASSERT_TRUE(main->findPanel);
        SetWindowTextW(Panel().findEdit, query);
    }

    EditorRange Selection() { return EditorRange{call().SelectionStart(), call().SelectionEnd()}; }
    void Select(int64_t start, int64_t end) { call().SetSel(start, end); }

    // A key pressed with the focus where it is, going through the program's message loop steps: the
    // pre-translation first, then translation and dispatch when it did not consume the key.
    bool PressKey(UINT virtualKey, Modifiers modifiers = {}) {
        HeldKeyboardState held(modifiers, virtualKey);
        const LPARAM bits = 1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16);
        const MSG message{GetFocus(), WM_KEYDOWN, virtualKey, bits, 0, {}};
        const bool consumed = main->PreTranslateMessage(message, main->FocusScope());
        if (!consumed) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Pump();
        held.ReleaseKey();
        SendMessageW(message.hwnd, WM_KEYUP, virtualKey, bits | (1u << 30) | (1u << 31));
        return consumed;
    }

    RECT EditorHost() {
        RECT host{};
        GetWindowRect(main->editor.hwnd(), &host);
        MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&host), 2);
        return host;
    }
    // The panel's rectangle in the editor's client coordinates.
    RECT PanelInEditor() {
        RECT place{};
        GetWindowRect(Panel().hwnd, &place);
        MapWindowPoints(HWND_DESKTOP, main->editor.hwnd(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    int64_t note_ = 0;
};

::testing::AssertionResult Same(const RECT& actual, const RECT& expected) {
    if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << actual.left << ", " << actual.top << ", " << actual.right << ", "
                                         << actual.bottom << "} instead of {" << expected.left << ", " << expected.top
                                         << ", " << expected.right << ", " << expected.bottom << "}";
}

bool Shown(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

TEST_F(MainWindowFindTest, OpensInEachModeOverTheEditorsCorner) {
    StartWith("one\r\ntwo\r\nthree");
    for (const Mode mode : {Mode::Find, Mode::Replace, Mode::GoToLine}) {
        main->ShowFloating(mode);
        ASSERT_TRUE(main->findPanel);
        FindPanel& panel = Panel();
        EXPECT_TRUE(PanelShown());
        EXPECT_EQ(panel.mode, mode);
        EXPECT_EQ(GetParent(panel.hwnd), hwnd());
        EXPECT_TRUE(Same(panel.hostRect, EditorHost()));
        RECT place{};
        GetWindowRect(panel.hwnd, &place);
        MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&place), 2);
        EXPECT_TRUE(Same(place, ComputeFindPanelRect(EditorHost(), main->dpi, mode, 0)));
        EXPECT_EQ(Shown(panel.findEdit), mode != Mode::GoToLine);
        EXPECT_EQ(Shown(panel.replaceEdit), mode == Mode::Replace);
        EXPECT_EQ(Shown(panel.lineEdit), mode == Mode::GoToLine);
        EXPECT_EQ(GetFocus(), mode == Mode::GoToLine ? panel.lineEdit : panel.findEdit);
        // The panel lies above the editor.
        EXPECT_EQ(GetWindow(panel.hwnd, GW_HWNDFIRST), panel.hwnd);
    }
    wchar_t cue[64] = {};
    SendMessageW(Panel().lineEdit, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 64);
    EXPECT_STREQ(cue, L"行 1–3");
}

TEST_F(MainWindowFindTest, FindEditIsSeededFromAOneLineSelectionOrTheLastQuery) {
    StartWith("foo bar\r\nbaz");
    Select(0, 3);
    main->ShowFloating(Mode::Find);
    EXPECT_EQ(TextOf(Panel().findEdit), L"foo");
    EXPECT_EQ(main->findQuery, L"foo");
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Panel().findEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);

    EXPECT_TRUE(main->CloseFloating());
    Select(4, 11);  // "bar", the line end and "b": two lines
    main->ShowFloating(Mode::Replace);
    EXPECT_EQ(TextOf(Panel().findEdit), L"foo");

    SetWindowTextW(Panel().replaceEdit, L"qux");
    EXPECT_EQ(main->replaceText, L"qux");
    main->CloseFloating();
    main->replaceText = L"kept";
    main->ShowFloating(Mode::Replace);
    EXPECT_EQ(TextOf(Panel().replaceEdit), L"kept");
}

TEST_F(MainWindowFindTest, FindNextWrapsAroundWithSmartCase) {
    StartWith("abc ABC Abc abc");
    OpenWith(Mode::Find, L"abc");
    Select(0, 0);
    std::vector<int64_t> starts;
    for (int i = 0; i < 5; ++i) {
        main->FindNext(true);
        starts.push_back(Selection().start);
    }
    EXPECT_EQ(starts, (std::vector<int64_t>{0, 4, 8, 12, 0}));
    main->FindNext(false);
    EXPECT_EQ(Selection(), (EditorRange{12, 15})) << "backward from the first wraps to the last";

    SetWindowTextW(Panel().findEdit, L"Abc");
    starts.clear();
    for (int i = 0; i < 3; ++i) {
        main->FindNext(true);
        starts.push_back(Selection().start);
    }
    EXPECT_EQ(starts, (std::vector<int64_t>{8, 8, 8})) << "a single occurrence is found again";
    EXPECT_FALSE(Panel().notFound);
}

TEST_F(MainWindowFindTest, EnterInTheFindEditSearchesTheEditor) {
    StartWith("alpha beta gamma beta");
    OpenWith(Mode::Find, L"beta");
    Select(0, 0);
    SetFocus(Panel().findEdit);
    PressKey(VK_RETURN);
    EXPECT_EQ(Selection(), (EditorRange{6, 10}));
    PressKey(VK_RETURN);
    EXPECT_EQ(Selection(), (EditorRange{17, 21}));
    PressKey(VK_RETURN, {false, true, false});
    EXPECT_EQ(Selection(), (EditorRange{6, 10}));
    EXPECT_EQ(GetFocus(), Panel().findEdit) << "the focus stays in the panel";
    EXPECT_EQ(TextOf(Panel().findEdit), L"beta");
}

TEST_F(MainWindowFindTest, NotFoundIsMarkedInThePanelOrTheStatusBar) {
    StartWith("abc");
    // F3 before anything was searched does nothing.
    Select(1, 1);
    main->FindNext(true);
    EXPECT_EQ(Selection(), (EditorRange{1, 1}));
    EXPECT_FALSE(main->status.notFound());

    OpenWith(Mode::Find, L"xyz");
    main->FindNext(true);
    EXPECT_TRUE(Panel().notFound);
    EXPECT_FALSE(main->status.notFound()) << "with the panel open only the panel shows it";
    EXPECT_EQ(Selection(), (EditorRange{1, 1}));
    SetWindowTextW(Panel().findEdit, L"xy");
    EXPECT_FALSE(Panel().notFound) << "a change of the text clears the mark";

    main->FindNext(true);
    EXPECT_TRUE(Panel().notFound);
    main->CloseFloating();
    EXPECT_EQ(main->findQuery, L"xy");
    PressKey(VK_F3);
    EXPECT_TRUE(main->status.notFound());
    EXPECT_TRUE(Panel().notFound);
    PressKey(VK_RIGHT);
    EXPECT_FALSE(main->status.notFound()) << "the next key press clears the status";

    main->findQuery = L"b";
    PressKey(VK_F3);
    EXPECT_EQ(Selection(), (EditorRange{1, 2}));
    EXPECT_FALSE(main->status.notFound());
    EXPECT_FALSE(Panel().notFound) << "a hit clears the closed panel's mark too";
}

TEST_F(MainWindowFindTest, ReplaceFindsFirstThenReplacesTheSelectedOccurrence) {
    StartWith("foo bar FOO baz");
    OpenWith(Mode::Replace, L"foo");
    SetWindowTextW(Panel().replaceEdit, L"X");
    Select(0, 0);
    main->OnFindPanelAction(Action::Replace);
    EXPECT_EQ(EditorText(), "foo bar FOO baz") << "the first press only finds";
    EXPECT_EQ(Selection(), (EditorRange{0, 3}));
    main->OnFindPanelAction(Action::Replace);
    EXPECT_EQ(EditorText(), "X bar FOO baz");
    EXPECT_EQ(Selection(), (EditorRange{6, 9}));
    main->OnFindPanelAction(Action::Replace);
    EXPECT_EQ(EditorText(), "X bar X baz");
    EXPECT_TRUE(call().SelectionEmpty());
    EXPECT_EQ(call().CurrentPos(), 7) << "the caret stays after the inserted text";
    EXPECT_TRUE(Panel().notFound);
    EXPECT_EQ(main->findQuery, L"foo");

    // A selection that is not exactly one occurrence is not replaced.
    SetWindowTextW(Panel().findEdit, L"ba");
    Select(2, 5);  // " ba"
    main->OnFindPanelAction(Action::Replace);
    EXPECT_EQ(EditorText(), "X bar X baz");
    EXPECT_EQ(Selection(), (EditorRange{8, 10}));
    EXPECT_FALSE(Panel().notFound);
}

TEST_F(MainWindowFindTest, ReplaceAllIsOneUndoStepAndIsSaved) {
    StartWith("aaa");
    OpenWith(Mode::Replace, L"a");
    SetWindowTextW(Panel().replaceEdit, L"aa");
    Select(1, 1);
    main->OnFindPanelAction(Action::ReplaceAll);
    EXPECT_EQ(EditorText(), "aaaaaa");
    EXPECT_FALSE(Panel().notFound);
    EXPECT_TRUE(PumpUntil([&] { return Stored(note_).content == "aaaaaa"; })) << "saved like any edit";
    call().Undo();
    EXPECT_EQ(EditorText(), "aaa");

    SetWindowTextW(Panel().findEdit, L"b");
    main->OnFindPanelAction(Action::ReplaceAll);
    EXPECT_EQ(EditorText(), "aaa");
    EXPECT_TRUE(Panel().notFound);
}

TEST_F(MainWindowFindTest, GoToLineTakesTheLeadingNumberWithinTheDocument) {
    std::string content;
    for (int line = 1; line <= 30; ++line) content += "line " + std::to_string(line) + "\r\n";
    content += "last";
    StartWith(content);
    const struct {
        const wchar_t* typed;
        int64_t line;  // 0-based
    } cases[] = {{L"12", 11}, {L"12abc", 11}, {L"0", 0}, {L"abc", 0}, {L"99999999999999999", 30}, {L"31", 30}};
    for (const auto& c : cases) {
        Select(5, 5);
        main->ShowFloating(Mode::GoToLine);
        EXPECT_EQ(TextOf(Panel().lineEdit), L"") << "opened empty";
        SetWindowTextW(Panel().lineEdit, c.typed);
        main->OnFindPanelAction(Action::GoToLine);
        EXPECT_EQ(call().LineFromPosition(call().CurrentPos()), c.line) << c.typed;
        EXPECT_EQ(call().CurrentPos(), call().PositionFromLine(c.line)) << c.typed;
        EXPECT_FALSE(PanelShown()) << c.typed;
        EXPECT_EQ(GetFocus(), main->editor.hwnd()) << c.typed;
    }
    // An empty edit does nothing and leaves the panel open.
    Select(5, 5);
    main->ShowFloating(Mode::GoToLine);
    main->OnFindPanelAction(Action::GoToLine);
    EXPECT_EQ(call().CurrentPos(), 5);
    EXPECT_TRUE(PanelShown());
}

TEST_F(MainWindowFindTest, EscClosesThePanelFirstAndThenReachesTheEditor) {
    StartWith("some text");
    OpenWith(Mode::Find, L"text");
    Select(0, 4);
    SetFocus(Panel().findEdit);
    EXPECT_TRUE(PressKey(VK_ESCAPE));
    EXPECT_FALSE(PanelShown());
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_EQ(Selection(), (EditorRange{0, 4})) << "the first Esc only closes the panel";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(call().SelectionEmpty());
    EXPECT_FALSE(main->CloseFloating()) << "nothing left to close";
    EXPECT_EQ(TextOf(Panel().findEdit), L"text") << "the panel keeps its text while hidden";
}

// Long lines of dots without wrapping, so a hit can be put under the panel at the top right.
class MainWindowFindCoverTest : public MainWindowFindTest {
protected:
    void StartWithLines(int lines) {
        std::string content;
        for (int i = 0; i < lines; ++i) content += std::string(1000, '.') + "\r\n";
        StartWith(content);
        main->editor.SetWrap(false);
        main->editor.SetFontSize(6);  // small enough that a few rows fit beside the panel, even with tall CJK faces
        Pump();
    }

    // Writes "target" on `line` where its start lies under the open panel; its start position.
    int64_t PlaceTargetUnderPanel(int64_t line) {
        const RECT cover = PanelInEditor();
        const int64_t lineStart = call().PositionFromLine(line);
        call().SetFirstVisibleLine(line);
        int64_t position = lineStart;
        while (position < lineStart + 990 && call().PointXFromPosition(position) < cover.left + 20) ++position;
        call().SetTargetRange(position, position + 6);
        call().ReplaceTarget(std::string_view("target"));
        call().SetFirstVisibleLine(0);
        return position;
    }
};

TEST_F(MainWindowFindCoverTest, PanelMovesDownWhenTheDocumentCannotScroll) {
    StartWithLines(3);
    OpenWith(Mode::Find, L"target");
    const int64_t target = PlaceTargetUnderPanel(0);
    Select(0, 0);
    main->FindNext(true);
    ASSERT_EQ(Selection(), (EditorRange{target, target + 6}));
    const int y = call().PointYFromPosition(target);
    const int height = call().TextHeight(0);
    EXPECT_GT(Panel().verticalOffset, 0);
    EXPECT_EQ(PanelInEditor().top, y + height + MulDiv(8, main->dpi, 96)) << "8 DIP below the hit's line";

    // The next hit that is not covered puts the panel back.
    SetWindowTextW(Panel().findEdit, L"...");
    Select(call().PositionFromLine(2), call().PositionFromLine(2));
    main->FindNext(true);
    EXPECT_EQ(Panel().verticalOffset, 0);
    EXPECT_EQ(PanelInEditor().top, MulDiv(8, main->dpi, 96));
}

TEST_F(MainWindowFindCoverTest, HitNearTheTopIsScrolledBelowThePanel) {
    StartWithLines(200);
    OpenWith(Mode::Find, L"target");
    const int height = call().TextHeight(0);
    const int64_t rows = call().LinesOnScreen();
    const int64_t margin = std::min<int64_t>(rows / 4, 3);
    const RECT cover = PanelInEditor();
    // The first row that is not re-centred and still lies under the panel.
    ASSERT_LT(margin * height, cover.bottom) << "the font is too tall for this layout";
    const int64_t line = 100;
    const int64_t target = PlaceTargetUnderPanel(line);
    call().SetFirstVisibleLine(line - margin);
    Select(call().PositionFromLine(line), call().PositionFromLine(line));
    main->FindNext(true);
    ASSERT_EQ(Selection(), (EditorRange{target, target + 6}));
    const int y = call().PointYFromPosition(target);
    EXPECT_GE(y, cover.bottom) << "the text moved down below the panel";
    EXPECT_LT(call().FirstVisibleLine(), line - margin);
    EXPECT_EQ(Panel().verticalOffset, 0);
}

TEST_F(MainWindowFindCoverTest, OpeningOverASelectionUncoversIt) {
    StartWithLines(3);
    main->ShowFloating(Mode::Find);
    const int64_t target = PlaceTargetUnderPanel(0);
    main->CloseFloating();
    Select(target, target + 6);
    main->ShowFloating(Mode::Find);
    EXPECT_EQ(TextOf(Panel().findEdit), L"target");
    EXPECT_GT(Panel().verticalOffset, 0);
    EXPECT_GE(PanelInEditor().top, call().PointYFromPosition(target) + call().TextHeight(0));
}

TEST_F(MainWindowFindTest, PanelFollowsTheEditorWhenTheWindowIsResized) {
    StartWith("text");
    main->ShowFloating(Mode::Replace);
    Panel().verticalOffset = 30;
    RECT frame{};
    GetWindowRect(hwnd(), &frame);
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left - 150, frame.bottom - frame.top - 80,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_TRUE(Same(Panel().hostRect, EditorHost()));
    EXPECT_EQ(Panel().verticalOffset, 0) << "a new host rectangle resets the offset";
    RECT place{};
    GetWindowRect(Panel().hwnd, &place);
    MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_TRUE(Same(place, ComputeFindPanelRect(EditorHost(), main->dpi, Mode::Replace, 0)));
}

}  // namespace
}  // namespace lq::test
