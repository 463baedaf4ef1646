// How the search across all notes looks in the real window, at 96 and 144 DPI: its view in the
// sidebar's place with the replacement row, the count beside "すべて置換", and the replace question
// open over it. Pictures are taken from the screen and saved in the build folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "EndToEndDpi.h"
#include "EndToEndInput.h"
#include "EndToEndScreenshot.h"
#include "ProgramFile.h"
#include "ProgramRun.h"
#include "editor/EditorFonts.h"
#include "resources/ResourceIds.h"
#include "support/PixelCapture.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::Quoted;
using test::Screenshot;

constexpr COLORREF kPanel = RGB(0x25, 0x25, 0x26);
constexpr COLORREF kSummaryText = RGB(0x9D, 0x9D, 0x9D);
// The note holds this many "x", so the count reads "1,200".
constexpr int kOccurrences = 1200;

int Scaled(int value, int dpi) {
    return MulDiv(value, dpi, 96);
}

// The longest run of light pixels (every channel at least 0xD0) along one pixel row of `area`: text
// makes only short runs, a bar painted with a pale default brush a long one.
int LongestLightRun(const Screenshot& shot, const RECT& area) {
    int longest = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        int run = 0;
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF pixel = shot.Pixel(x, y);
            const bool light = GetRValue(pixel) >= 0xD0 && GetGValue(pixel) >= 0xD0 && GetBValue(pixel) >= 0xD0;
            run = light ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

bool IsInk(COLORREF pixel) {
    const int difference =
        std::max({std::abs(GetRValue(pixel) - GetRValue(kPanel)), std::abs(GetGValue(pixel) - GetGValue(kPanel)),
                  std::abs(GetBValue(pixel) - GetBValue(kPanel))});
    return difference > 40;
}

// Pixels of text drawn on the panel in `area`, leaving out `skip` (the button).
int InkIn(const Screenshot& shot, const RECT& area, const RECT& skip) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const POINT point{x, y};
            if (!PtInRect(&skip, point) && IsInk(shot.Pixel(x, y))) ++count;
        }
    }
    return count;
}

// The ink of `text` drawn whole on one line, in the program's interface font at `dpi`.
int InkOfWholeText(const std::wstring& text, int dpi) {
    test::PixelCapture capture(2000, 200, kPanel);
    if (!capture.ok()) return -1;
    const HFONT font = CreateUiFont(dpi);
    const HGDIOBJ previous = SelectObject(capture.dc(), font);
    SetTextColor(capture.dc(), kSummaryText);
    SetBkMode(capture.dc(), TRANSPARENT);
    RECT rect{10, 10, 1990, 190};
    DrawTextW(capture.dc(), text.c_str(), static_cast<int>(text.size()), &rect, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(capture.dc(), previous);
    DeleteObject(font);
    int count = 0;
    for (int y = 0; y < capture.height(); ++y) {
        for (int x = 0; x < capture.width(); ++x) {
            if (IsInk(capture.Pixel(x, y))) ++count;
        }
    }
    return count;
}

std::wstring Filled(std::wstring text, const std::wstring& first, const std::wstring& second) {
    const size_t one = text.find(L"%1");
    if (one != std::wstring::npos) text.replace(one, 2, first);
    const size_t two = text.find(L"%2");
    if (two != std::wstring::npos) text.replace(two, 2, second);
    return text;
}

class EndToEndSearchLooksTest : public testing::TestWithParam<int> {
protected:
    // A picture of the main window, saved under `name` for people to look at.
    std::optional<Screenshot> Picture(const wchar_t* name) const {
        std::optional<Screenshot> shot = Screenshot::OfClientArea(windows.main);
        if (shot) {
            (void)shot->SaveBmp(test::ScreenshotFolder() + L"\\search-" + name + L"-" + std::to_wstring(GetParam()) +
                                L"dpi.bmp");
        }
        return shot;
    }

    // The first result row, in the main window's client coordinates.
    RECT FirstRow() const {
        RECT row = test::RectIn(windows.main, controls.list);
        row.bottom = std::min<LONG>(row.bottom, row.top + Scaled(52, GetParam()));
        return row;
    }

    // The band between the replacement edit's frame and the list, across the view, where the count
    // stands beside the button or below it.
    RECT SummaryBand() const {
        const RECT replacement = test::RectIn(windows.main, controls.replacement);
        const RECT list = test::RectIn(windows.main, controls.list);
        return RECT{0, replacement.bottom + Scaled(2, GetParam()) + 2, list.right, list.top};
    }

    RECT ButtonArea() const {
        RECT button = test::RectIn(windows.main, controls.button);
        InflateRect(&button, 1, 1);
        return button;
    }

    // Asks to replace in all notes through the keyboard; the question that opens.
    HWND AskToReplaceAll() {
        test::BringToFront(windows.main);
        if (!test::PressChord({VK_CONTROL, VK_MENU, VK_RETURN})) return nullptr;
        const HWND question = run->WaitForDialog(10000);
        if (question == nullptr) return nullptr;
        // Wine may place the question over the sidebar; it must not hide what is checked there.
        RECT placed = test::RectIn(windows.main, question);
        if (placed.left < test::RectIn(windows.main, controls.list).right) {
            RECT client{};
            GetClientRect(windows.main, &client);
            POINT corner{client.right - (placed.right - placed.left), client.bottom / 3};
            ClientToScreen(windows.main, &corner);
            SetWindowPos(question, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // Give the window behind the question time to paint.
        Sleep(700);
        return question;
    }

    // The result rows and the empty list below them are drawn dark; text makes no long light run.
    void CheckListHasNoBar(const Screenshot& shot) const {
        const int longest = LongestLightRun(shot, test::RectIn(windows.main, controls.list));
        EXPECT_LT(longest, Scaled(20, GetParam())) << "a light bar " << longest << " pixels long in the results";
    }

    void CheckSummaryShownWhole(const Screenshot& shot, const std::wstring& text) const {
        const int expected = InkOfWholeText(text, GetParam());
        const int shown = InkIn(shot, SummaryBand(), ButtonArea());
        ASSERT_GT(expected, 0);
        EXPECT_NEAR(shown, expected, expected / 20)
            << "the text beside the button is cut: " << testing::PrintToString(text);
    }

    test::TempFolder folder;
    std::unique_ptr<ProgramRun> run;
    test::ProgramWindows windows;
    test::SearchControls controls;
};

TEST_P(EndToEndSearchLooksTest, TheReplaceRowAndItsQuestionLeaveTheResultsDarkAndTheCountWhole) {
    const int dpi = GetParam();
    {
        test::SystemDpiOverride atDpi(static_cast<DWORD>(dpi));
        ASSERT_TRUE(atDpi.applied());
        run = std::make_unique<ProgramRun>(L"--silent --db " + Quoted(folder.File(L"memo.db")));
        const std::optional<test::ProgramWindows> found = test::WaitForProgramWindows(*run);
        ASSERT_TRUE(found);
        windows = *found;
    }
    ASSERT_TRUE(test::BringToFront(windows.main));
    ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOnThreadOf(windows.main) == windows.editor; }, 5000));
    test::PostCharacters(windows.editor, std::wstring(kOccurrences, L'x'));
    ASSERT_TRUE(test::WaitUntil([&] { return test::QueryText(windows.editor).size() == size_t{kOccurrences}; }));

    // Search first, then bring in the replacement row: the list moves down under the new rows.
    ASSERT_TRUE(test::PressChord({VK_CONTROL, VK_SHIFT, 'F'}));
    ASSERT_TRUE(test::WaitUntil([&] {
        controls = test::FindSearchControls(windows.main);
        return controls.query != nullptr && test::FocusOnThreadOf(windows.main) == controls.query;
    })) << "Ctrl+Shift+F did not open the search view";
    ASSERT_NE(controls.list, nullptr);
    ASSERT_NE(controls.button, nullptr);
    ASSERT_NE(controls.replacement, nullptr);
    // The program runs at the DPI asked for: its edits are 28 DIP less 4 pixels high.
    const RECT query = test::RectIn(windows.main, controls.query);
    ASSERT_EQ(query.bottom - query.top, Scaled(28, dpi) - 4) << "the program does not run at " << dpi << " DPI";

    test::PostCharacters(controls.query, L"x");
    test::PostKey(controls.query, VK_RETURN);
    ASSERT_TRUE(test::WaitUntil([&] { return test::SendQuery(controls.list, LB_GETCOUNT).value_or(0) == 1; }));
    // The hit is on the screen before the user asks for the replacement row.
    ASSERT_TRUE(test::WaitUntil([&] {
        const std::optional<Screenshot> shot = Screenshot::OfClientArea(windows.main);
        return shot && InkIn(*shot, FirstRow(), RECT{}) > 0;
    })) << "the hit was not drawn";
    ASSERT_TRUE(test::PressChord({VK_CONTROL, VK_SHIFT, 'H'}));
    ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(controls.button) && IsWindowEnabled(controls.button); }));

    {
        SCOPED_TRACE("the question asked right after the replacement row came in");
        const HWND question = AskToReplaceAll();
        ASSERT_NE(question, nullptr) << "Ctrl+Alt+Enter asked no question";
        const std::optional<Screenshot> shot = Picture(L"replace-question");
        ASSERT_TRUE(shot);
        CheckListHasNoBar(*shot);
        test::PressTaskDialogButton(question, IDCANCEL);
        ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(question); }));
    }
    {
        SCOPED_TRACE("the question asked after a count");
        test::PostKey(controls.query, VK_RETURN);
        const HWND question = AskToReplaceAll();
        ASSERT_NE(question, nullptr);
        const std::optional<Screenshot> shot = Picture(L"count-question");
        ASSERT_TRUE(shot);
        CheckListHasNoBar(*shot);
        CheckSummaryShownWhole(*shot, Filled(test::ProgramString(IDS_MATCH_COUNT), L"1,200", L"1"));

        // Replacing empties the list and reports what was done, a longer text.
        test::PressTaskDialogButton(question, IDS_REPLACE);
        ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(question); }));
        ASSERT_TRUE(test::WaitUntil([&] { return test::SendQuery(controls.list, LB_GETCOUNT).value_or(1) == 0; }));
        Sleep(500);
        const std::optional<Screenshot> after = Picture(L"replaced");
        ASSERT_TRUE(after);
        CheckSummaryShownWhole(*after, Filled(test::ProgramString(IDS_REPLACED_ALL), L"1,200", L"1"));
    }

    PostMessageW(windows.main, WM_CLOSE, 0, 0);
    EXPECT_EQ(run->Wait(30000), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(AtDpi, EndToEndSearchLooksTest, testing::Values(96, 144),
                         [](const testing::TestParamInfo<int>& param) { return std::to_string(param.param); });

}  // namespace
}  // namespace lq
