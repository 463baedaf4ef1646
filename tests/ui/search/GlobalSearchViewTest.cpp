#include "ui/search/GlobalSearchView.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "GlobalSearchViewFixture.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/search/GlobalSearchLayout.h"

namespace lq {
namespace {

using test::HeldKeys;
using test::MakeHits;
using test::SendKey;
using Action = GlobalSearchView::Action;
using Mode = GlobalSearchView::Mode;
using Sent = std::pair<Action, int>;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring CueOf(HWND edit) {
    wchar_t cue[256] = {};
    SendMessageW(edit, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 256);
    return cue;
}

RECT PlaceInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

LONG_PTR StyleOf(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
}

LRESULT Selection(HWND list) {
    return SendMessageW(list, LB_GETCURSEL, 0, 0);
}

class GlobalSearchViewTest : public test::GlobalSearchViewFixture {};

TEST_F(GlobalSearchViewTest, CreatesFourHiddenControlsWithTheirTexts) {
    ASSERT_TRUE(CreateView());
    const HWND controls[] = {view_.queryEdit(), view_.replaceEdit(), view_.replaceAllButton(), view_.resultList()};
    for (HWND control : controls) {
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), host_.hwnd());
        EXPECT_FALSE(IsWindowVisible(control));
        EXPECT_EQ(GetWindowLongPtrW(control, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_NOPARENTNOTIFY}, 0);
        EXPECT_TRUE(StyleOf(control) & WS_TABSTOP);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), view_.font());
    }
    EXPECT_NE(view_.font(), nullptr);
    EXPECT_EQ(view_.parent(), host_.hwnd());
    EXPECT_EQ(ClassOf(view_.queryEdit()), L"Edit");
    EXPECT_EQ(ClassOf(view_.replaceEdit()), L"Edit");
    EXPECT_EQ(ClassOf(view_.replaceAllButton()), L"Button");
    EXPECT_EQ(ClassOf(view_.resultList()), L"ListBox");

    EXPECT_EQ(TextOf(view_.replaceAllButton()), L"すべて置換");
    EXPECT_EQ(TextOf(view_.replaceAllButton()), LoadResourceString(GetModuleHandleW(nullptr), IDS_REPLACE_ALL));
    EXPECT_FALSE(IsWindowEnabled(view_.replaceAllButton()));
    EXPECT_EQ(StyleOf(view_.replaceAllButton()) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(CueOf(view_.queryEdit()), L"すべてのメモを検索");
    EXPECT_EQ(CueOf(view_.replaceEdit()), L"置換");
    EXPECT_TRUE(StyleOf(view_.queryEdit()) & ES_AUTOHSCROLL);

    // WS_VSCROLL is not checked: the list clears it itself while nothing needs scrolling.
    const LONG_PTR listStyle = StyleOf(view_.resultList());
    for (LONG_PTR bit :
         {LONG_PTR{LBS_NODATA}, LONG_PTR{LBS_OWNERDRAWFIXED}, LONG_PTR{LBS_NOTIFY}, LONG_PTR{LBS_NOINTEGRALHEIGHT}}) {
        EXPECT_EQ(listStyle & bit, bit) << std::hex << bit;
    }
    EXPECT_EQ(SendMessageW(view_.resultList(), LB_GETITEMHEIGHT, 0, 0), 52);
    EXPECT_EQ(view_.mode(), Mode::Search);
    EXPECT_EQ(view_.dpi(), 96u);
    EXPECT_FALSE(view_.noMatch());
    EXPECT_TRUE(view_.statusText().empty());
    EXPECT_TRUE(sent_.empty());

    // A second Create would orphan the first controls.
    const HWND query = view_.queryEdit();
    EXPECT_FALSE(CreateView());
    EXPECT_EQ(view_.queryEdit(), query);
}

TEST_F(GlobalSearchViewTest, FontAndRowHeightFollowTheDpi) {
    ASSERT_TRUE(CreateView(144));
    EXPECT_EQ(view_.dpi(), 144u);
    EXPECT_EQ(SendMessageW(view_.resultList(), LB_GETITEMHEIGHT, 0, 0), 78);
    LOGFONTW large{};
    ASSERT_NE(GetObjectW(view_.font(), sizeof(large), &large), 0);

    view_.SetDpi(96);
    view_.UpdateFonts();
    EXPECT_EQ(SendMessageW(view_.resultList(), LB_GETITEMHEIGHT, 0, 0), 52);
    LOGFONTW normal{};
    ASSERT_NE(GetObjectW(view_.font(), sizeof(normal), &normal), 0);
    EXPECT_LT(std::abs(normal.lfHeight), std::abs(large.lfHeight));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(view_.queryEdit(), WM_GETFONT, 0, 0)), view_.font());

    GlobalSearchView unset;
    ASSERT_TRUE(unset.Create(host_.hwnd(), GetModuleHandleW(nullptr), 0, nullptr));
    EXPECT_EQ(unset.dpi(), 96u);
}

TEST_F(GlobalSearchViewTest, ShowsTheReplaceControlsOnlyInReplaceMode) {
    ASSERT_TRUE(CreateView());
    ShowWindow(host_.hwnd(), SW_SHOWNA);
    struct Case {
        Mode mode;
        bool visible;
        bool queryAndList;
        bool replaceControls;
    };
    const Case cases[] = {
        {Mode::Search, true, true, false},
        {Mode::Replace, true, true, true},
        {Mode::Replace, false, false, false},
        {Mode::Search, false, false, false},
    };
    for (const Case& c : cases) {
        view_.SetMode(c.mode);
        view_.Show(c.visible);
        EXPECT_EQ(IsWindowVisible(view_.queryEdit()) != 0, c.queryAndList);
        EXPECT_EQ(IsWindowVisible(view_.resultList()) != 0, c.queryAndList);
        EXPECT_EQ(IsWindowVisible(view_.replaceEdit()) != 0, c.replaceControls);
        EXPECT_EQ(IsWindowVisible(view_.replaceAllButton()) != 0, c.replaceControls);
    }
}

TEST_F(GlobalSearchViewTest, LayoutPlacesTheControlsAndTheStatusText) {
    ASSERT_TRUE(CreateView());
    const RECT area{0, 30, 260, 580};

    view_.SetMode(Mode::Replace);
    view_.Layout(area);
    // The button is as wide as its text in the view's font plus 16 pixels.
    HDC dc = GetDC(view_.replaceAllButton());
    HGDIOBJ previous = SelectObject(dc, view_.font());
    SIZE text{};
    const std::wstring label = TextOf(view_.replaceAllButton());
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &text);
    SelectObject(dc, previous);
    ReleaseDC(view_.replaceAllButton(), dc);
    const GlobalSearchLayoutRects expected = ComputeGlobalSearchLayout(area, 96, true, text.cx);
    EXPECT_EQ(expected.button.right - expected.button.left, 16 + text.cx);
    EXPECT_TRUE(SameRect(PlaceInParent(view_.queryEdit()), expected.queryEdit));
    EXPECT_TRUE(SameRect(PlaceInParent(view_.replaceEdit()), expected.replaceEdit));
    EXPECT_TRUE(SameRect(PlaceInParent(view_.replaceAllButton()), expected.button));
    EXPECT_TRUE(SameRect(PlaceInParent(view_.resultList()), expected.list));
    EXPECT_TRUE(SameRect(view_.statusRect(), expected.status));
    EXPECT_TRUE(SameRect(view_.area(), area));

    // Back in Search mode the list moves up and the status text has no place.
    view_.SetMode(Mode::Search);
    view_.Layout(area);
    const GlobalSearchLayoutRects search = ComputeGlobalSearchLayout(area, 96, false, 0);
    EXPECT_TRUE(SameRect(PlaceInParent(view_.resultList()), search.list));
    EXPECT_TRUE(SameRect(view_.statusRect(), RECT{}));
}

TEST_F(GlobalSearchViewTest, AStatusTooWideBesideTheButtonMovesBelowItWithTheListAndComesBack) {
    ASSERT_TRUE(CreateView());
    view_.SetMode(Mode::Replace);
    view_.Show(true);
    const RECT area{0, 0, 250, 580};  // the default sidebar width
    view_.Layout(area);
    const RECT beside = view_.statusRect();
    const RECT list = PlaceInParent(view_.resultList());
    const RECT button = PlaceInParent(view_.replaceAllButton());

    // A short count stays beside the button and moves nothing.
    view_.SetStatusText(L"0件");
    EXPECT_TRUE(SameRect(view_.statusRect(), beside));
    EXPECT_TRUE(SameRect(PlaceInParent(view_.resultList()), list));

    // The result of a replace is too long for that place: it takes the lines below the button row.
    view_.SetStatusText(L"1,234件 / 56個のメモを置換しました");
    const RECT below = view_.statusRect();
    EXPECT_EQ(below.left, beside.left);
    EXPECT_EQ(below.top, beside.bottom);
    EXPECT_EQ(below.right, area.right - 12);
    EXPECT_GT(below.bottom - below.top, 0);
    const RECT moved = PlaceInParent(view_.resultList());
    EXPECT_EQ(moved.top, below.bottom + 6);
    EXPECT_EQ(moved.bottom, area.bottom);
    EXPECT_TRUE(SameRect(PlaceInParent(view_.replaceAllButton()), button)) << "the button stays on its row";

    // The next keystroke clears the text, and everything goes back.
    view_.SetStatusText({});
    EXPECT_TRUE(SameRect(view_.statusRect(), beside));
    EXPECT_TRUE(SameRect(PlaceInParent(view_.resultList()), list));
}

TEST_F(GlobalSearchViewTest, SetResultsFillsTheListWithoutASelection) {
    ASSERT_TRUE(CreateView());
    ShowIn(Mode::Search);
    view_.SetResults(MakeHits({"Alpha", "Beta", "alphabet"}), L"ALPHA");
    ASSERT_EQ(view_.rows().size(), 3u);
    EXPECT_EQ(SendMessageW(view_.resultList(), LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Selection(view_.resultList()), LB_ERR);
    EXPECT_EQ(view_.rows()[0].title, L"Alpha");
    EXPECT_EQ(view_.rows()[0].projectName, L"Work");
    EXPECT_EQ(view_.rows()[0].titleMatch, (TextMatch{0, 5}));
    EXPECT_EQ(view_.rows()[1].titleMatch, (TextMatch{}));
    EXPECT_EQ(view_.rows()[2].snippet, L"about alphabet");
    EXPECT_EQ(view_.rows()[2].snippetMatch, (TextMatch{6, 5}));

    SendMessageW(view_.resultList(), LB_SETCURSEL, 2, 0);
    view_.SetResults(MakeHits({"Gamma"}), L"");
    EXPECT_EQ(SendMessageW(view_.resultList(), LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(Selection(view_.resultList()), LB_ERR);
    EXPECT_EQ(view_.rows()[0].titleMatch, (TextMatch{}));

    view_.SetResults({}, L"x");
    EXPECT_EQ(SendMessageW(view_.resultList(), LB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(view_.rows().empty());
}

TEST_F(GlobalSearchViewTest, EnterInTheEditsSendsQueryChangedOrReplaceAll) {
    ASSERT_TRUE(CreateView());
    struct Case {
        Mode mode;
        bool inReplaceEdit;
        HeldKeys held;
        UINT message;
        std::vector<Sent> sent;
    };
    const std::vector<Sent> query{{Action::QueryChanged, -1}};
    const std::vector<Sent> replaceAll{{Action::ReplaceAll, -1}};
    const Case cases[] = {
        {Mode::Search, false, {}, WM_KEYDOWN, query},
        {Mode::Search, false, {true, false, true}, WM_KEYDOWN, query},  // Ctrl+Alt means nothing when searching
        {Mode::Replace, false, {}, WM_KEYDOWN, query},
        {Mode::Replace, true, {}, WM_KEYDOWN, query},
        {Mode::Replace, true, {true, false, false}, WM_KEYDOWN, query},
        {Mode::Replace, false, {true, false, true}, WM_KEYDOWN, replaceAll},
        {Mode::Replace, true, {true, false, true}, WM_KEYDOWN, replaceAll},
        {Mode::Replace, true, {true, false, true}, WM_SYSKEYDOWN, replaceAll},
        {Mode::Replace, true, {false, false, true}, WM_SYSKEYDOWN, {}},  // Alt+Enter alone: default
        {Mode::Search, false, {true, false, true}, WM_SYSKEYDOWN, {}},
    };
    int index = 0;
    for (const Case& c : cases) {
        sent_.clear();
        view_.SetMode(c.mode);
        SendKey(c.inReplaceEdit ? view_.replaceEdit() : view_.queryEdit(), VK_RETURN, c.held, c.message);
        EXPECT_EQ(sent_, c.sent) << "case " << index;
        ++index;
    }
}

TEST_F(GlobalSearchViewTest, EnterOnTheButtonOrARowSendsItsAction) {
    ASSERT_TRUE(CreateView());
    ShowIn(Mode::Replace);
    EXPECT_EQ(SendMessageW(view_.replaceAllButton(), WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    EXPECT_EQ(SendMessageW(view_.resultList(), WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);

    SendKey(view_.replaceAllButton(), VK_RETURN);
    EXPECT_EQ(sent_, (std::vector<Sent>{{Action::ReplaceAll, -1}}));

    sent_.clear();
    view_.SetResults(MakeHits({"a", "b", "c"}), L"");
    SendKey(view_.resultList(), VK_RETURN);  // no row selected: nothing
    EXPECT_TRUE(sent_.empty());
    SendMessageW(view_.resultList(), LB_SETCURSEL, 2, 0);
    SendKey(view_.resultList(), VK_RETURN);
    EXPECT_EQ(sent_, (std::vector<Sent>{{Action::OpenHit, 2}}));
}

TEST_F(GlobalSearchViewTest, AClickReleasedOnARowOpensItAndNothingElseDoes) {
    ASSERT_TRUE(CreateView());
    ShowWindow(host_.hwnd(), SW_SHOWNA);
    ShowIn(Mode::Search);
    view_.SetResults(MakeHits({"a", "b", "c"}), L"");
    const HWND list = view_.resultList();
    auto click = [list](int x, int y) {
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };

    click(40, 52 + 20);  // the second row
    EXPECT_EQ(Selection(list), 1);
    EXPECT_EQ(sent_, (std::vector<Sent>{{Action::OpenHit, 1}}));

    // Below the last row, with a row still selected.
    sent_.clear();
    click(40, 3 * 52 + 30);
    EXPECT_TRUE(sent_.empty());

    // A release whose press happened elsewhere.
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
    EXPECT_TRUE(sent_.empty());
}

TEST_F(GlobalSearchViewTest, ActionsWithoutACallbackOrWithAThrowingOneGoNowhere) {
    ASSERT_TRUE(view_.Create(host_.hwnd(), GetModuleHandleW(nullptr), 96, nullptr));
    view_.SetMode(Mode::Replace);
    SendKey(view_.queryEdit(), VK_RETURN);
    SendKey(view_.replaceAllButton(), VK_RETURN);

    GlobalSearchView throwing;
    int calls = 0;
    ASSERT_TRUE(throwing.Create(host_.hwnd(), GetModuleHandleW(nullptr), 96, [&calls](Action, int) {
        ++calls;
        throw std::runtime_error("main window failed");
    }));
    SendKey(throwing.queryEdit(), VK_RETURN);  // must not unwind through the window procedure
    EXPECT_EQ(calls, 1);
}

TEST_F(GlobalSearchViewTest, EditsSwallowTabLineBreakAndCtrlBackspaceCharacters) {
    ASSERT_TRUE(CreateView());
    for (HWND edit : {view_.queryEdit(), view_.replaceEdit()}) {
        for (wchar_t unit : {L'a', L'\t', L'\r', L'\n', wchar_t{127}, L'b'}) SendMessageW(edit, WM_CHAR, unit, 1);
        EXPECT_EQ(TextOf(edit), L"ab");
    }
}

TEST_F(GlobalSearchViewTest, DownAndUpMoveBetweenTheQueryAndTheList) {
    ASSERT_TRUE(CreateView());
    ShowWindow(host_.hwnd(), SW_SHOWNA);
    ShowIn(Mode::Search);
    const HWND query = view_.queryEdit();
    const HWND list = view_.resultList();

    SetFocus(query);
    SendKey(query, VK_DOWN);  // no rows: the edit keeps the focus
    EXPECT_EQ(GetFocus(), query);

    view_.SetResults(MakeHits({"a", "b"}), L"");
    SendKey(query, VK_DOWN);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(Selection(list), 0);

    SendMessageW(list, LB_SETCURSEL, 1, 0);
    SendKey(list, VK_UP);  // moves the selection within the list
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(Selection(list), 0);
    SendKey(list, VK_UP);  // on the first row: back to the query
    EXPECT_EQ(GetFocus(), query);

    SetFocus(list);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendKey(list, VK_UP);
    EXPECT_EQ(GetFocus(), query);
    EXPECT_TRUE(sent_.empty());
}

TEST_F(GlobalSearchViewTest, TabCyclesTheControlsThatCanTakeTheFocus) {
    ASSERT_TRUE(CreateView());
    ShowWindow(host_.hwnd(), SW_SHOWNA);
    ShowIn(Mode::Replace);
    const HWND query = view_.queryEdit(), replace = view_.replaceEdit(), button = view_.replaceAllButton(),
               list = view_.resultList();

    // Walks the ring with Tab (or Shift+Tab) from the focused control, `steps` times.
    auto walk = [](size_t steps, bool backwards) {
        std::vector<HWND> visited;
        for (size_t i = 0; i < steps; ++i) {
            SendKey(GetFocus(), VK_TAB, HeldKeys{false, backwards, false});
            visited.push_back(GetFocus());
        }
        return visited;
    };

    // The button is disabled and the list empty: only the edits.
    SetFocus(query);
    EXPECT_EQ(walk(3, false), (std::vector<HWND>{replace, query, replace}));

    EnableWindow(button, TRUE);
    view_.SetResults(MakeHits({"a", "b"}), L"");
    SetFocus(query);
    EXPECT_EQ(walk(4, false), (std::vector<HWND>{replace, button, list, query}));
    EXPECT_EQ(Selection(list), 0);  // reached without a selection: the first row
    EXPECT_EQ(walk(4, true), (std::vector<HWND>{list, button, replace, query}));

    // A selection the list already has is kept.
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    SetFocus(query);
    EXPECT_EQ(walk(1, true), (std::vector<HWND>{list}));
    EXPECT_EQ(Selection(list), 1);

    // In Search mode the replacement controls are out of the ring.
    view_.SetMode(Mode::Search);
    SetFocus(query);
    EXPECT_EQ(walk(2, false), (std::vector<HWND>{list, query}));
    EXPECT_TRUE(sent_.empty());
}

TEST(GlobalSearchViewLifetime, ControlsAndViewCanGoInEitherOrder) {
    {
        test::TestHostWindow host;
        ASSERT_TRUE(host.ok());
        HWND controls[4] = {};
        {
            GlobalSearchView view;
            ASSERT_TRUE(view.Create(host.hwnd(), GetModuleHandleW(nullptr), 96, nullptr));
            controls[0] = view.queryEdit();
            controls[1] = view.replaceEdit();
            controls[2] = view.replaceAllButton();
            controls[3] = view.resultList();
        }
        // The view took its controls with it: none is left pointing at it.
        for (HWND control : controls) EXPECT_FALSE(IsWindow(control));
    }
    {
        GlobalSearchView view;
        auto host = std::make_unique<test::TestHostWindow>();
        ASSERT_TRUE(view.Create(host->hwnd(), GetModuleHandleW(nullptr), 96, nullptr));
        host.reset();  // the main window goes first, as at exit
        EXPECT_EQ(view.queryEdit(), nullptr);
        EXPECT_EQ(view.resultList(), nullptr);
        view.SetResults(MakeHits({"a"}), L"a");
        view.Layout(RECT{0, 0, 100, 100});
        view.Show(true);
        view.FocusNext(nullptr, false);
        EXPECT_EQ(view.rows().size(), 1u);
    }
}

}  // namespace
}  // namespace lq
