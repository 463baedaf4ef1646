#include "ui/menus/MenuBar.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "support/PixelCapture.h"
#include "support/TestHostWindow.h"
#include "ui/menus/DarkMenu.h"
#include "ui/menus/MenuBarLayout.h"
#include "ui/menus/MenuGdi.h"

namespace lq {
namespace {

using test::TestHostWindow;

constexpr LPARAM kAltHeld = LPARAM{1} << 29;
constexpr LPARAM kReleased = (LPARAM{1} << 30) | (LPARAM{1} << 31);

// Runs `steps` one by one from a thread timer while a menu is tracked (the menu's own loop dispatches
// timers), then keeps ending menus, so a test never waits on a menu nobody closes. A watchdog thread
// cancels the menu from outside should the timer never run.
class MenuScript {
public:
    MenuScript(HWND owner, std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 150, Tick);
        watchdog_ = std::thread([this, owner] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!done_) {
                if (std::chrono::steady_clock::now() > deadline) {
                    PostMessageW(owner, WM_CANCELMODE, 0, 0);
                    timedOut_ = true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
    }
    ~MenuScript() {
        KillTimer(nullptr, timer_);
        done_ = true;
        watchdog_.join();
        current_ = nullptr;
    }
    [[nodiscard]] bool finished() const { return next_ >= steps_.size(); }
    [[nodiscard]] bool timedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MenuScript* self = current_;
        if (!self) return;
        if (self->next_ < self->steps_.size()) {
            self->steps_[self->next_++]();
        } else if (++self->extraTicks_ > 3) {
            EndMenu();  // the script is over: close whatever is still open
        }
    }

    static inline MenuScript* current_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    int extraTicks_ = 0;
    UINT_PTR timer_ = 0;
    std::atomic<bool> done_{false};
    std::atomic<bool> timedOut_{false};
    std::thread watchdog_;
};

// A hidden owner window with a main menu of three popups, the dark menus and the bar, wired as the
// main window wires them.
class MenuBarTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.ok());
        const wchar_t* titles[] = {L"ファイル(&F)", L"編集(&E)", L"表示(&V)"};
        const UINT firstIds[] = {1101, 1001, 1114};
        for (int i = 0; i < 3; ++i) {
            popups_[i] = CreatePopupMenu();
            AppendMenuW(popups_[i], MF_STRING, firstIds[i], L"First\tCtrl+1");
            AppendMenuW(popups_[i], MF_SEPARATOR, 0, nullptr);
            AppendMenuW(popups_[i], MF_STRING, firstIds[i] + 1, L"Second");
            AppendMenuW(mainMenu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popups_[i]), titles[i]);
            dark_.MakeOwnerDrawn(popups_[i]);
        }
        host_.handler = [this](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            switch (message) {
                case WM_NOTIFY: {
                    LRESULT result = 0;
                    if (bar_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
                    return std::nullopt;
                }
                case WM_MEASUREITEM:
                    dark_.UpdateFont(96);
                    if (dark_.OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
                    return std::nullopt;
                case WM_DRAWITEM:
                    if (dark_.OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
                    return std::nullopt;
                case WM_INITMENUPOPUP:
                    opened_.push_back(reinterpret_cast<HMENU>(wParam));
                    return std::nullopt;
                case WM_COMMAND:
                    commands_.push_back(LOWORD(wParam));
                    return 0;
                default:
                    return std::nullopt;
            }
        };
        ASSERT_TRUE(bar_.Create(host_.hwnd(), GetModuleHandleW(nullptr), mainMenu_, dark_));
        MoveWindow(bar_.toolbar(), 0, 0, 640, bar_.height(), FALSE);
    }
    void TearDown() override {
        for (HMENU popup : popups_) dark_.ForgetMenu(popup);
        DestroyMenu(mainMenu_);
        TestHostWindow::PumpMessages();
    }

    [[nodiscard]] RECT ButtonRect(int index) const {
        RECT rect{};
        SendMessageW(bar_.toolbar(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    [[nodiscard]] POINT ButtonCentreOnScreen(int index) const {
        const RECT rect = ButtonRect(index);
        POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ClientToScreen(bar_.toolbar(), &centre);
        return centre;
    }
    [[nodiscard]] bool FirstItemSelected(int popup) const {
        return (GetMenuState(popups_[popup], 0, MF_BYPOSITION) & MF_HILITE) != 0;
    }
    bool Key(UINT message, WPARAM key, LPARAM lParam = 0) {
        MSG msg{host_.hwnd(), message, key, lParam, 0, {}};
        return bar_.PreTranslateKey(msg);
    }
    // Messages the menu's own loop takes: keys are posted to the owner as the keyboard would send them.
    void PostKey(WPARAM key) const { PostMessageW(host_.hwnd(), WM_KEYDOWN, key, 0); }

    TestHostWindow host_{640, 200};
    DarkMenu dark_;
    HMENU mainMenu_ = CreateMenu();
    HMENU popups_[3] = {};
    MenuBar bar_;
    std::vector<HMENU> opened_;
    std::vector<UINT> commands_;
};

TEST_F(MenuBarTest, OneTextButtonPerTopLevelMenuSizedToItsLabel) {
    wchar_t className[64] = {};
    GetClassNameW(bar_.toolbar(), className, 64);
    EXPECT_STREQ(className, L"ToolbarWindow32");
    EXPECT_EQ(GetParent(bar_.toolbar()), host_.hwnd());
    ASSERT_EQ(bar_.buttonCount(), 3);
    EXPECT_EQ(bar_.labels(), (std::vector<std::wstring>{L"ファイル", L"編集", L"表示"}));
    EXPECT_EQ(bar_.mnemonics(), (std::vector<wchar_t>{L'F', L'E', L'V'}));
    EXPECT_EQ(bar_.dpi(), 96);
    EXPECT_EQ(bar_.height(), 30);

    for (int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        bar_.SetDpi(dpi);
        EXPECT_EQ(dark_.dpi(), dpi);
        int expectedLeft = MulDiv(4, dpi, 96);
        for (int i = 0; i < 3; ++i) {
            TBBUTTON button{};
            ASSERT_TRUE(
                SendMessageW(bar_.toolbar(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button)));
            EXPECT_EQ(button.idCommand, 100 + i);
            EXPECT_NE(button.fsStyle & BTNS_DROPDOWN, 0);
            const RECT rect = ButtonRect(i);
            EXPECT_EQ(rect.left, expectedLeft) << i;
            EXPECT_EQ(rect.right - rect.left,
                      MeasureTextWidth(dark_.font(), bar_.labels()[static_cast<size_t>(i)]) + 2 * MulDiv(10, dpi, 96))
                << i;
            EXPECT_EQ(rect.bottom - rect.top, MulDiv(30, dpi, 96)) << i;
            expectedLeft = rect.right;
        }
    }
}

TEST_F(MenuBarTest, CreateFailsWithoutAnOwnerWindow) {
    MenuBar orphan;
    EXPECT_FALSE(orphan.Create(nullptr, GetModuleHandleW(nullptr), mainMenu_, dark_));
    EXPECT_EQ(orphan.toolbar(), nullptr);
    // Not opening anything without a toolbar, and not crashing.
    orphan.OpenMenu(0, true);
    EXPECT_EQ(orphan.openIndex(), -1);
}

// What the toolbar paints of itself, over magenta.
struct Snapshot : test::PixelCapture {
    Snapshot(HWND window, int width, int height) : PixelCapture(width, height, RGB(255, 0, 255)) {
        Print(window, PRF_CLIENT | PRF_ERASEBKGND);
    }
};

TEST_F(MenuBarTest, PaintsTheBarDarkAndHighlightsTheKeyboardButton) {
    const RECT file = ButtonRect(0);
    const RECT edit = ButtonRect(1);
    {
        Snapshot idle(bar_.toolbar(), 640, 30);
        EXPECT_EQ(idle.Pixel(600, 15), kMenuBarBackground);
        EXPECT_EQ(idle.Pixel(1, 1), kMenuBarBackground);  // the indent
        EXPECT_EQ(idle.Pixel(file.left + 1, file.top + 1), kMenuBarBackground);
        // The owner is not active: every label is dimmed.
        EXPECT_TRUE(idle.Colours(file).contains(kMenuBarInactiveText));
        EXPECT_FALSE(idle.Colours(file).contains(kMenuBarText));
    }
    ASSERT_TRUE(bar_.OnSysChar(0));  // the menu key alone: keyboard mode on the first button
    ASSERT_EQ(bar_.hotIndex(), 0);
    {
        Snapshot hot(bar_.toolbar(), 640, 30);
        EXPECT_EQ(hot.Pixel(file.left + 1, file.top + 1), kMenuBarHighlight);
        EXPECT_EQ(hot.Pixel(file.right - 2, file.bottom - 2), kMenuBarHighlight);
        EXPECT_EQ(hot.Pixel(edit.left + 1, edit.top + 1), kMenuBarBackground);
        EXPECT_TRUE(hot.Colours(file).contains(kMenuBarText));  // highlighted: full brightness
        EXPECT_TRUE(hot.Colours(edit).contains(kMenuBarInactiveText));
    }
    // Deactivating the owner leaves keyboard mode.
    bar_.OnOwnerActivate(false);
    EXPECT_EQ(bar_.hotIndex(), -1);
}

TEST_F(MenuBarTest, CustomDrawStagesAndResults) {
    const test::PixelCapture canvas(100, 30);
    ASSERT_TRUE(canvas.ok());
    HDC dc = canvas.dc();
    struct Case {
        DWORD stage;
        DWORD_PTR id;
        UINT state;
        LRESULT result;
        COLORREF fill;
    };
    const Case cases[] = {
        {CDDS_PREPAINT, 0, 0, CDRF_NOTIFYITEMDRAW, kMenuBarBackground},
        {CDDS_ITEMPREPAINT, 100, 0, CDRF_SKIPDEFAULT, kMenuBarBackground},
        {CDDS_ITEMPREPAINT, 101, CDIS_HOT, CDRF_SKIPDEFAULT, kMenuBarHighlight},
        {CDDS_ITEMPREPAINT, 102, CDIS_SELECTED, CDRF_SKIPDEFAULT, kMenuBarHighlight},
        {CDDS_ITEMPREPAINT, 103, 0, CDRF_DODEFAULT, kMenuBarBackground},  // no such button: filled only
        {CDDS_POSTPAINT, 0, 0, CDRF_DODEFAULT, RGB(1, 2, 3)},             // nothing painted
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stage 0x" << std::hex << c.stage << " id " << std::dec << c.id);
        FillSolid(dc, RECT{0, 0, 100, 30}, RGB(1, 2, 3));
        NMTBCUSTOMDRAW draw{};
        draw.nmcd.hdr = {bar_.toolbar(), 0, static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = c.stage;
        draw.nmcd.hdc = dc;
        draw.nmcd.rc = RECT{0, 0, 100, 30};
        draw.nmcd.dwItemSpec = c.id;
        draw.nmcd.uItemState = c.state;
        EXPECT_EQ(bar_.OnCustomDraw(draw), c.result);
        EXPECT_EQ(canvas.Pixel(2, 2), c.fill);
    }
}

TEST_F(MenuBarTest, AltThenArrowsThenEscapeThroughThePreTranslation) {
    EXPECT_FALSE(Key(WM_SYSKEYDOWN, VK_MENU, kAltHeld));
    EXPECT_TRUE(Key(WM_SYSKEYUP, VK_MENU, kAltHeld | kReleased));
    EXPECT_EQ(bar_.hotIndex(), 0);
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_RIGHT));
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_RIGHT));
    EXPECT_EQ(bar_.hotIndex(), 2);
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_RIGHT));
    EXPECT_EQ(bar_.hotIndex(), 0);
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(bar_.hotIndex(), -1);
    EXPECT_FALSE(Key(WM_KEYDOWN, 'A'));
    EXPECT_TRUE(opened_.empty());
}

TEST_F(MenuBarTest, AltMnemonicOpensTheMenuWithItsFirstItemSelected) {
    bool selectedWhileOpen = false;
    int openWhileOpen = -2;
    MenuScript script(host_.hwnd(), {
                                        [&] {
                                            openWhileOpen = bar_.openIndex();
                                            selectedWhileOpen = FirstItemSelected(0);
                                            PostKey(VK_RETURN);  // choose the selected item
                                        },
                                    });
    EXPECT_FALSE(Key(WM_SYSKEYDOWN, VK_MENU, kAltHeld));
    EXPECT_FALSE(Key(WM_SYSKEYDOWN, 'F', kAltHeld));
    EXPECT_TRUE(Key(WM_SYSCHAR, L'f', kAltHeld));  // returns once the menu has closed
    EXPECT_TRUE(Key(WM_SYSKEYUP, VK_MENU, kAltHeld | kReleased)) << "the bar's own";
    EXPECT_EQ(bar_.hotIndex(), -1) << "the Alt release is not a menu key any more";
    TestHostWindow::PumpMessages();  // the chosen command is posted to the owner
    EXPECT_FALSE(script.timedOut());
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(openWhileOpen, 0);
    EXPECT_TRUE(selectedWhileOpen);
    EXPECT_EQ(opened_, std::vector<HMENU>{popups_[0]});
    EXPECT_EQ(commands_, std::vector<UINT>{1101});
    EXPECT_EQ(bar_.openIndex(), -1);
    EXPECT_EQ(bar_.hotIndex(), -1);
}

TEST_F(MenuBarTest, LeftAndRightMoveToTheNeighbouringMenusWrappingAround) {
    std::vector<int> openIndices;
    std::vector<bool> firstSelected;
    auto note = [&](int popup) {
        openIndices.push_back(bar_.openIndex());
        firstSelected.push_back(FirstItemSelected(popup));
    };
    MenuScript script(host_.hwnd(), {
                                        [&] {
                                            note(1);
                                            PostKey(VK_RIGHT);
                                        },
                                        [&] {
                                            note(2);
                                            PostKey(VK_RIGHT);
                                        },
                                        [&] {
                                            note(0);
                                            PostKey(VK_LEFT);
                                        },
                                        [&] {
                                            note(2);
                                            PostKey(VK_ESCAPE);
                                        },
                                    });
    ASSERT_TRUE(bar_.OnSysChar(L'e'));
    EXPECT_FALSE(script.timedOut());
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(openIndices, (std::vector<int>{1, 2, 0, 2}));
    EXPECT_EQ(firstSelected, (std::vector<bool>{true, true, true, true}));  // each opened as by keyboard
    EXPECT_EQ(opened_, (std::vector<HMENU>{popups_[1], popups_[2], popups_[0], popups_[2]}));
    EXPECT_TRUE(commands_.empty());
    EXPECT_EQ(bar_.openIndex(), -1);
}

// The pointer resting on a button keeps it hot in the control; once Right has gone on to the next
// menu, only the open menu's button may look active.
TEST_F(MenuBarTest, WhileAMenuIsOpenOnlyItsButtonLooksActive) {
    const RECT edit = ButtonRect(1);
    const RECT next = ButtonRect(2);
    COLORREF restingFill = 0, openFill = 0;
    MenuScript script(host_.hwnd(), {
                                        [&] {
                                            // Where the pointer rests: the control makes it hot.
                                            SendMessageW(bar_.toolbar(), TB_SETHOTITEM, 1, 0);
                                            PostKey(VK_RIGHT);
                                        },
                                        [&] {
                                            SendMessageW(bar_.toolbar(), TB_SETHOTITEM, 1, 0);
                                            Snapshot shown(bar_.toolbar(), 640, 30);
                                            restingFill = shown.Pixel(edit.left + 1, edit.top + 1);
                                            openFill = shown.Pixel(next.left + 1, next.top + 1);
                                            PostKey(VK_ESCAPE);
                                        },
                                    });
    ASSERT_TRUE(bar_.OnSysChar(L'e'));
    EXPECT_FALSE(script.timedOut());
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(openFill, kMenuBarHighlight);
    EXPECT_EQ(restingFill, kMenuBarBackground);
}

TEST_F(MenuBarTest, HoveringAnotherButtonSwitchesAndClickingTheOpenOneCloses) {
    auto filterAt = [&](UINT message, POINT screen) {
        MSG msg{nullptr, message, 0, 0, 0, screen};
        return bar_.MsgFilterHook(MSGF_MENU, msg);
    };
    std::vector<bool> swallowed;
    std::vector<int> openIndices;
    bool editFirstSelected = true;
    MenuScript script(host_.hwnd(),
                      {
                          [&] {
                              openIndices.push_back(bar_.openIndex());
                              swallowed.push_back(filterAt(WM_MOUSEMOVE, ButtonCentreOnScreen(0)));  // its own button
                              POINT empty{600, 10};
                              ClientToScreen(bar_.toolbar(), &empty);
                              swallowed.push_back(filterAt(WM_MOUSEMOVE, empty));  // no button there
                              MSG other{nullptr, WM_KEYDOWN, 'A', 0, 0, {}};
                              swallowed.push_back(bar_.MsgFilterHook(MSGF_MENU, other));
                              MSG dialog{nullptr, WM_MOUSEMOVE, 0, 0, 0, ButtonCentreOnScreen(1)};
                              swallowed.push_back(bar_.MsgFilterHook(MSGF_DIALOGBOX, dialog));  // not a menu's message
                              swallowed.push_back(filterAt(WM_MOUSEMOVE, ButtonCentreOnScreen(1)));  // the Edit button
                          },
                          [&] {
                              openIndices.push_back(bar_.openIndex());
                              editFirstSelected = FirstItemSelected(1);
                              swallowed.push_back(filterAt(WM_LBUTTONDOWN, ButtonCentreOnScreen(1)));
                          },
                      });
    // A press on the File button, as the mouse gives it: the toolbar reports TBN_DROPDOWN.
    const RECT file = ButtonRect(0);
    SendMessageW(bar_.toolbar(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((file.left + file.right) / 2, (file.top + file.bottom) / 2));
    SendMessageW(bar_.toolbar(), WM_LBUTTONUP, 0,
                 MAKELPARAM((file.left + file.right) / 2, (file.top + file.bottom) / 2));
    EXPECT_FALSE(script.timedOut());
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(openIndices, (std::vector<int>{0, 1}));
    EXPECT_EQ(swallowed, (std::vector<bool>{false, false, false, false, true, true}));
    EXPECT_FALSE(editFirstSelected) << "a menu opened by the mouse has nothing selected";
    EXPECT_EQ(opened_, (std::vector<HMENU>{popups_[0], popups_[1]}));  // the click reopened nothing
    EXPECT_EQ(bar_.openIndex(), -1);
    EXPECT_FALSE(bar_.MsgFilterHook(MSGF_MENU, MSG{nullptr, WM_KEYDOWN, VK_RIGHT, 0, 0, {}}))
        << "no menu open: nothing to switch";
}

}  // namespace
}  // namespace lq
