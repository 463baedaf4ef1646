// The sidebar under the user's hands: drags that start from a real button press and end with the
// button's release, keys and the right button in the middle of a drag, and the keyboard's context
// menu, all through the system's input and the window's own message loop.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "MainWindowInputFixture.h"
#include "support/PixelCapture.h"

namespace lq::test {
namespace {

class MainWindowSidebarInputTest : public MainWindowInputFixture {
protected:
    // Inbox: "a" (open, a short label), "second", "third".
    void SetUp() override {
        MainWindowInputFixture::SetUp();
        if (HasFatalFailure()) return;
        inbox = AddProject("Inbox");
        a = AddNote(inbox, "a");
        second = AddNote(inbox, "second");
        third = AddNote(inbox, "third");
        SetSetting("last.note_id", std::to_string(a));
        StartInFront();
        if (HasFatalFailure()) return;
    }

    // The notes of the project in their stored order.
    [[nodiscard]] std::vector<int64_t> StoredOrder(int64_t project) {
        std::vector<int64_t> ids;
        const std::string sql =
            "SELECT id FROM notes WHERE project_id = " + std::to_string(project) + " ORDER BY sort_order";
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db->handle(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(statement, 0));
        }
        sqlite3_finalize(statement);
        return ids;
    }

    [[nodiscard]] RECT RowRect(TreeItemKey key) const {
        RECT row{};
        TreeView_GetItemRect(tree(), main->sidebar.FindItem(key), &row, FALSE);
        return row;
    }
    [[nodiscard]] RECT TextRect(TreeItemKey key) const {
        RECT text{};
        TreeView_GetItemRect(tree(), main->sidebar.FindItem(key), &text, TRUE);
        return text;
    }
    // The screen point on a row's label, `offset` pixels below its top (negative: above its bottom).
    [[nodiscard]] POINT OnLabel(TreeItemKey key, int offset = 0) const {
        const RECT row = RowRect(key);
        const RECT text = TextRect(key);
        const LONG y = offset == 0 ? (row.top + row.bottom) / 2 : offset > 0 ? row.top + offset : row.bottom + offset;
        return OnScreen(tree(), {(text.left + text.right) / 2, y});
    }
    // A screen point beside the row's label that the sidebar still takes as a press on it.
    [[nodiscard]] POINT BesideLabel(TreeItemKey key) const {
        const RECT row = RowRect(key);
        const POINT zone{TextRect(key).right + 12, (row.top + row.bottom) / 2};
        EXPECT_EQ(main->sidebar.HitTest(zone).part, TreeHitPart::LabelZone);
        return OnScreen(tree(), zone);
    }
    // Lets the double-click time pass, so the next press is a click of its own.
    static void AwaitNextClick() { PumpFor(std::chrono::milliseconds(GetDoubleClickTime() + 50)); }
    static POINT Offset(POINT point, int dx, int dy) { return {point.x + dx, point.y + dy}; }

    // The steps of a left press at `from`, then moves to `to` with the button held.
    static std::vector<std::function<void()>> PressAndMove(POINT from, POINT to) {
        return {[=] { SendMouseAt(from); }, [=] { SendMouseAt(from, MOUSEEVENTF_LEFTDOWN); }, [=] { SendMouseAt(to); },
                [=] { SendMouseAt(Offset(to, 0, 1)); }};
    }
    static void Then(std::vector<std::function<void()>>& steps, std::vector<std::function<void()>> more) {
        steps.insert(steps.end(), more.begin(), more.end());
    }

    // What the tree shows on the screen now, its paint brought up to date first.
    [[nodiscard]] std::vector<COLORREF> OnScreenPixels() const {
        UpdateWindow(tree());
        RECT client{};
        GetClientRect(tree(), &client);
        PixelCapture screen(client.right, client.bottom, RGB(255, 0, 255));
        std::vector<COLORREF> pixels;
        if (!screen.ok()) return pixels;
        HDC window = GetDC(tree());
        BitBlt(screen.dc(), 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
        ReleaseDC(tree(), window);
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) pixels.push_back(screen.Pixel(x, y));
        }
        return pixels;
    }
    // The same after the whole tree was erased and painted anew.
    [[nodiscard]] std::vector<COLORREF> FullyRepainted() const {
        InvalidateRect(tree(), nullptr, TRUE);
        return OnScreenPixels();
    }
    // The pixel rows in which two pictures of the tree differ, with the first differing colours.
    [[nodiscard]] std::string DifferingRows(const std::vector<COLORREF>& shown,
                                            const std::vector<COLORREF>& full) const {
        RECT client{};
        GetClientRect(tree(), &client);
        if (shown.size() != full.size() || client.right <= 0) return "pictures of different sizes";
        std::ostringstream out;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (shown[i] == full[i]) continue;
            const auto y = static_cast<LONG>(i / static_cast<size_t>(client.right));
            out << "y " << y << " x " << (i % static_cast<size_t>(client.right)) << ": " << Hex(shown[i])
                << " instead of " << Hex(full[i]) << "; ";
            i = static_cast<size_t>(y + 1) * static_cast<size_t>(client.right) - 1;  // the next row
        }
        return out.str();
    }

    int64_t inbox = 0, a = 0, second = 0, third = 0;
};

TEST_F(MainWindowSidebarInputTest, TheDropIndicatorLeavesNoTraceOfTheRowEdgesThePointerCrossed) {
    AwaitNextClick();
    // Down over two row edges, back up over three, with the button held.
    const std::vector<POINT> crossing{OnLabel({false, second}, -4), OnLabel({false, third}, 4),
                                      OnLabel({false, third}, -4),  OnLabel({false, third}, 4),
                                      OnLabel({false, second}, 4),  OnLabel({false, a}, -4),
                                      OnLabel({false, a}, 4)};
    std::vector<COLORREF> duringDrag, duringDragFull, afterCancel, afterCancelFull;
    bool dragging = false;
    std::vector<std::function<void()>> steps{[&] {
                                                 SendMouseAt(OnLabel({false, second}));
                                             },
                                             [&] {
                                                 SendMouseAt(OnLabel({false, second}), MOUSEEVENTF_LEFTDOWN);
                                             }};
    for (const POINT point : crossing) steps.push_back([=] { SendMouseAt(point); });
    Then(steps, {[&] {
                     dragging = main->sidebar.IsDragging();
                     duringDrag = OnScreenPixels();
                     duringDragFull = FullyRepainted();
                 },
                 [] { SendKeys({VK_ESCAPE}); },
                 [&] {
                     afterCancel = OnScreenPixels();
                     afterCancelFull = FullyRepainted();
                 },
                 [&] { SendMouseAt(crossing.back(), MOUSEEVENTF_LEFTUP); }});
    RunSteps(steps);

    ASSERT_TRUE(dragging);
    ASSERT_FALSE(duringDrag.empty());
    EXPECT_EQ(DifferingRows(duringDrag, duringDragFull), "") << "during the drag";
    EXPECT_EQ(DifferingRows(afterCancel, afterCancelFull), "") << "after the drag was cancelled";
    EXPECT_EQ(StoredOrder(inbox), (std::vector<int64_t>{a, second, third}));
}

TEST_F(MainWindowSidebarInputTest, KeysPressedBeforeAPressBecomesADragTakeTheProgramsKeyHandling) {
    struct Case {
        const char* what;
        bool focusInTree;
    };
    const Case cases[] = {{"the editor focused", false}, {"the tree focused", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AwaitNextClick();
        main->sidebar.Select({false, third});
        workspace->OpenNote(third);
        SetFocus(c.focusInTree ? tree() : main->editor.hwnd());
        const bool wrap = main->editor.wrap();
        const POINT from = BesideLabel({false, a});  // the tree watches this press itself
        bool wrapWhileHeld = wrap;
        RunSteps({[=] { SendMouseAt(from); }, [=] { SendMouseAt(from, MOUSEEVENTF_LEFTDOWN); },
                  [] {
                      SendKeys({VK_MENU, 'Z'});
                  },  // the wrap toggle
                  [&] { wrapWhileHeld = main->editor.wrap(); }, [=] { SendMouseAt(from, MOUSEEVENTF_LEFTUP); }});

        EXPECT_EQ(wrapWhileHeld, !wrap) << "the key reached its command";
        EXPECT_EQ(main->editor.wrap(), !wrap);
        EXPECT_FALSE(main->sidebar.IsDragging());
        EXPECT_EQ(Selection(), (TreeItemKey{false, a})) << "the press was still a click";
        EXPECT_EQ(main->menuBar.hotIndex(), -1);
        EXPECT_FALSE(CloseOpenMenu());
    }
}

TEST_F(MainWindowSidebarInputTest, EscOrTheLossOfTheCaptureCancelsADragWhereverTheFocusWas) {
    struct Case {
        const char* what;
        bool focusInTree;
        bool byEsc;  // else another window takes the capture
    };
    const Case cases[] = {
        {"Esc, the editor focused (as after a click on a row)", false, true},
        {"Esc, the tree focused", true, true},
        {"capture taken, the editor focused", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AwaitNextClick();
        const std::vector<int64_t> order = StoredOrder(inbox);
        const std::vector<std::string> rows = Rows();
        call().SetText("one two");
        call().SetSel(0, 3);
        SetFocus(c.focusInTree ? tree() : main->editor.hwnd());
        const POINT drop = OnLabel({false, third}, -4);  // below "third": a move if it were dropped
        bool draggingBefore = false;
        bool draggingAfter = true;
        std::vector<std::function<void()>> steps = PressAndMove(OnLabel({false, second}), drop);
        Then(steps, {[&] { draggingBefore = main->sidebar.IsDragging(); },
                     [] { SendKeys({'X'}); },  // typed while the row hangs on the pointer
                     [&] {
                         if (c.byEsc) {
                             SendKeys({VK_ESCAPE});
                         } else {
                             SetCapture(hwnd());
                         }
                     },
                     [&] { draggingAfter = main->sidebar.IsDragging(); }, [=] { SendMouseAt(Offset(drop, 0, 1)); },
                     [=] { SendMouseAt(drop, MOUSEEVENTF_LEFTUP); }});
        RunSteps(steps);
        if (GetCapture()) ReleaseCapture();

        EXPECT_TRUE(draggingBefore);
        EXPECT_FALSE(draggingAfter);
        EXPECT_FALSE(main->sidebar.IsDragging());
        EXPECT_EQ(StoredOrder(inbox), order) << "nothing moved";
        EXPECT_EQ(Rows(), rows);
        EXPECT_EQ(EditorText(), "one two") << "no key reached the note";
        EXPECT_EQ(call().SelectionStart(), 0) << "the editor's selection stayed";
        EXPECT_EQ(call().SelectionEnd(), 3);
        EXPECT_EQ(GetFocus(), main->editor.hwnd());
    }
}

TEST_F(MainWindowSidebarInputTest, APressBesideAShortLabelStartsADragOnlyPastTheSystemThreshold) {
    const int thresholdX = GetSystemMetricsForDpi(SM_CXDRAG, main->sidebar.dpi());
    struct Case {
        const char* what;
        int dx;
        int dy;
        bool drags;
    };
    const Case cases[] = {
        {"one pixel", 1, 0, false},
        {"to the threshold", thresholdX, 0, false},
        // Last: the drop changes the order.
        {"past it: onto another row", 0, 2 * (RowRect({false, a}).bottom - RowRect({false, a}).top) - 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AwaitNextClick();
        main->sidebar.Select({false, third});
        workspace->OpenNote(third);
        SetFocus(tree());
        const POINT from = BesideLabel({false, a});
        const POINT to = Offset(from, c.dx, c.dy);
        bool dragging = false;
        RunSteps({[=] { SendMouseAt(from); }, [=] { SendMouseAt(from, MOUSEEVENTF_LEFTDOWN); },
                  [=] { SendMouseAt(to); }, [&] { dragging = main->sidebar.IsDragging(); },
                  [=] { SendMouseAt(to, MOUSEEVENTF_LEFTUP); }});

        EXPECT_EQ(dragging, c.drags);
        EXPECT_FALSE(main->sidebar.IsDragging());
        if (c.drags) {
            // Dropped on the lower half of "second": "a" goes after it.
            EXPECT_EQ(StoredOrder(inbox), (std::vector<int64_t>{second, a, third}));
        } else {
            EXPECT_EQ(Selection(), (TreeItemKey{false, a})) << "the click selected the row";
            EXPECT_EQ(workspace->currentNoteId, a);
            EXPECT_EQ(StoredOrder(inbox), (std::vector<int64_t>{a, second, third}));
        }
        EXPECT_EQ(GetFocus(), main->editor.hwnd());
    }
}

TEST_F(MainWindowSidebarInputTest, TheRightButtonCancelsADragAndOpensNoMenu) {
    struct Case {
        const char* what;
        bool overEditor;
    };
    const Case cases[] = {{"over the tree", false}, {"over the editor", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AwaitNextClick();
        const RECT editor = ChildRect(main->editor.hwnd());
        const POINT drop = c.overEditor ? OnScreen(hwnd(), {(editor.left + editor.right) / 2, editor.top + 40})
                                        : OnLabel({false, third}, -4);
        const std::vector<std::string> rows = Rows();
        bool cancelled = false;
        std::optional<RECT> menu;
        std::vector<std::function<void()>> steps = PressAndMove(OnLabel({false, second}), drop);
        Then(steps, {[=] { SendMouseAt(drop, MOUSEEVENTF_RIGHTDOWN); },
                     [&] { cancelled = !main->sidebar.IsDragging(); }, [=] { SendMouseAt(drop, MOUSEEVENTF_RIGHTUP); },
                     [&] { menu = CloseOpenMenu(); }, [=] { SendMouseAt(drop, MOUSEEVENTF_LEFTUP); },
                     [&] {
                         if (!menu) menu = CloseOpenMenu();
                     }});
        RunSteps(steps);

        EXPECT_TRUE(cancelled);
        EXPECT_FALSE(menu) << "a menu opened";
        EXPECT_EQ(StoredOrder(inbox), (std::vector<int64_t>{a, second, third}));
        EXPECT_EQ(Rows(), rows);
    }
}

TEST_F(MainWindowSidebarInputTest, TheKeyboardsContextMenuOpensBelowTheSelectedRow) {
    struct Case {
        const char* what;
        std::function<void()> ask;
    };
    const Case cases[] = {
        {"the menu key", [] { SendKeys({VK_APPS}); }},
        // A 64-bit program gets the keyboard's point as two 16-bit -1 in the low half.
        {"the point as Windows packs it",
         [this] { PostMessageW(tree(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree()), MAKELPARAM(-1, -1)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        main->sidebar.Select({false, second});
        SetFocus(tree());
        const RECT text = TextRect({false, second});
        const POINT expected = OnScreen(tree(), {text.left, text.bottom});
        std::optional<RECT> menu;
        RunSteps({c.ask, [&] { menu = CloseOpenMenu(); }});
        if (!menu) {
            ADD_FAILURE() << "no menu opened";
            continue;
        }
        EXPECT_EQ(menu->left, expected.x);
        EXPECT_EQ(menu->top, expected.y);
    }
}

}  // namespace
}  // namespace lq::test
