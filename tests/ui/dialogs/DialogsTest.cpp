#include "ui/dialogs/Dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "resources/ResourceIds.h"
#include "support/DialogKeys.h"
#include "support/DialogWatcher.h"

namespace lq {
namespace {

using test::DialogSnapshot;
using test::DialogWatcher;
using test::PressDialogButton;

const std::wstring kCaption = L"Lanternquill";

HINSTANCE Self() {
    return GetModuleHandleW(nullptr);
}

// Each test runs in one dialog style and leaves the default behind.
class DialogStyle : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { SetMessageBoxesAllowed(!Silent()); }
    void TearDown() override { SetMessageBoxesAllowed(true); }
    [[nodiscard]] bool Silent() const { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Styles, DialogStyle, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& style) { return style.param ? "Silent" : "Normal"; });

// A plain top-level window to own dialogs.
class OwnerWindow {
public:
    OwnerWindow()
        : window_(CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                  nullptr, Self(), nullptr)) {}
    ~OwnerWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    [[nodiscard]] HWND get() const noexcept { return window_; }

private:
    HWND window_;
};

// How a test answers a question: with one of its buttons (a string id), or one of these two.
constexpr int kEscape = 0;     // Escape, as the keyboard sends it to the focused button
constexpr int kCloseBox = -1;  // the close box, or Alt+F4

void Answer(const DialogSnapshot& dialog, int answer) {
    if (answer == kEscape) {
        test::PressEscapeIn(dialog.window);
    } else if (answer == kCloseBox) {
        test::CloseDialog(dialog.window);
    } else {
        test::PressTaskDialogButton(dialog.window, answer);
    }
}

TEST(DialogIcons, EachKindHasItsIcons) {
    struct Case {
        MessageKind kind;
        UINT messageBox;
        PCWSTR stock;
        PCWSTR system;
    };
    const Case cases[] = {
        {MessageKind::Error, MB_ICONERROR, TD_ERROR_ICON, IDI_HAND},
        {MessageKind::Warning, MB_ICONWARNING, TD_WARNING_ICON, IDI_EXCLAMATION},
        {MessageKind::Information, MB_ICONINFORMATION, TD_INFORMATION_ICON, IDI_ASTERISK},
        {static_cast<MessageKind>(7), MB_ICONINFORMATION, TD_INFORMATION_ICON, IDI_ASTERISK},
        {static_cast<MessageKind>(-1), MB_ICONINFORMATION, TD_INFORMATION_ICON, IDI_ASTERISK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        EXPECT_EQ(MessageBoxIconFor(c.kind), c.messageBox);
        EXPECT_EQ(StockTaskDialogIconFor(c.kind), c.stock);
        EXPECT_EQ(SystemIconFor(c.kind), c.system);
    }
}

TEST_P(DialogStyle, MessageShowsTextUnderTheProductNameAndClosesWithOk) {
    DialogWatcher watcher([](const DialogSnapshot& d) { PressDialogButton(d.window, IDOK); }, kCaption);
    ShowMessage(nullptr, Self(), L"Lanternquill はすでに起動しています。", MessageKind::Information);
    const auto seen = watcher.Finish();
    ASSERT_TRUE(seen) << "no dialog appeared";
    EXPECT_FALSE(watcher.forced());
    EXPECT_EQ(seen->owner, nullptr);
    if (Silent() && !test::TaskDialogChildrenReadable()) return;
    EXPECT_TRUE(seen->HasText(L"Lanternquill はすでに起動しています。")) << testing::PrintToString(seen->AllTexts());
    if (Silent()) {
        // The program loads the system icon itself, so no sound goes with it.
        EXPECT_EQ(seen->icons, std::vector<HICON>{LoadIconW(nullptr, IDI_ASTERISK)});
    }
}

TEST_P(DialogStyle, ErrorMessageFillsItsArgumentAndBelongsToItsOwner) {
    OwnerWindow owner;
    ASSERT_NE(owner.get(), nullptr);
    DialogWatcher watcher([](const DialogSnapshot& d) { PressDialogButton(d.window, IDOK); }, kCaption);
    ShowErrorMessage(owner.get(), Self(), IDS_EXPORT_FAILED, L"C:\\50%2\\%1.txt");
    const auto seen = watcher.Finish();
    ASSERT_TRUE(seen) << "no dialog appeared";
    EXPECT_FALSE(watcher.forced());
    EXPECT_EQ(seen->owner, owner.get());
    if (Silent() && !test::TaskDialogChildrenReadable()) return;
    EXPECT_TRUE(seen->HasText(L"C:\\50%2\\%1.txt に書き出せませんでした。"))
        << testing::PrintToString(seen->AllTexts());
    if (Silent()) {
        EXPECT_EQ(seen->icons, std::vector<HICON>{LoadIconW(nullptr, IDI_HAND)});
    }
}

TEST(SilentMessage, CanBeCancelled) {
    SetMessageBoxesAllowed(false);
    DialogWatcher watcher([](const DialogSnapshot& d) { test::CloseDialog(d.window); }, kCaption);
    ShowMessage(nullptr, Self(), L"escape", MessageKind::Error);
    const auto seen = watcher.Finish();
    SetMessageBoxesAllowed(true);
    ASSERT_TRUE(seen) << "no dialog appeared";
    EXPECT_FALSE(watcher.forced());
}

TEST_P(DialogStyle, DamagedDatabaseQuestionStartsOverOnlyWhenAskedToAndEscapeExits) {
    const std::pair<int, bool> answers[] = {
        {IDS_START_WITH_NEW_DATABASE, true}, {IDS_EXIT, false}, {kEscape, false}, {kCloseBox, false}};
    for (const auto& [answer, expected] : answers) {
        SCOPED_TRACE(answer);
        DialogWatcher watcher([answer = answer](const DialogSnapshot& d) { Answer(d, answer); }, kCaption);
        const bool startOver = AskDamagedDatabase(Self(), L"memo.db");
        const auto seen = watcher.Finish();
        ASSERT_TRUE(seen) << "no dialog appeared";
        EXPECT_FALSE(watcher.forced()) << "the question did not close";
        EXPECT_EQ(startOver, expected);
        EXPECT_EQ(seen->owner, nullptr);
        if (!test::TaskDialogChildrenReadable()) continue;
        EXPECT_TRUE(seen->HasText(L"memo.db が壊れているか、Lanternquill のデータベースではありません。"))
            << testing::PrintToString(seen->AllTexts());
        EXPECT_TRUE(seen->HasButton(IDS_START_WITH_NEW_DATABASE, L"新しいデータベースで始める"));
        EXPECT_TRUE(seen->HasButton(IDS_EXIT, L"終了"));
        EXPECT_EQ(seen->defaultButton, IDS_EXIT);
        if (Silent()) {
            EXPECT_EQ(seen->icons, std::vector<HICON>{LoadIconW(nullptr, IDI_HAND)});
        }
    }
}

TEST_P(DialogStyle, UnsavedQuestionAnswers) {
    OwnerWindow owner;
    ASSERT_NE(owner.get(), nullptr);
    const std::pair<int, UnsavedChoice> answers[] = {{IDS_RETRY, UnsavedChoice::Retry},
                                                     {IDS_EXIT_WITHOUT_SAVING, UnsavedChoice::ExitWithoutSaving},
                                                     {IDS_CANCEL, UnsavedChoice::Cancel},
                                                     {kEscape, UnsavedChoice::Cancel},
                                                     {kCloseBox, UnsavedChoice::Cancel}};
    for (const auto& [answer, expected] : answers) {
        SCOPED_TRACE(answer);
        DialogWatcher watcher([answer = answer](const DialogSnapshot& d) { Answer(d, answer); }, kCaption);
        const UnsavedChoice choice = AskUnsavedOnExit(owner.get(), Self());
        const auto seen = watcher.Finish();
        ASSERT_TRUE(seen) << "no dialog appeared";
        EXPECT_FALSE(watcher.forced()) << "the question did not close";
        EXPECT_EQ(choice, expected);
        EXPECT_EQ(seen->owner, owner.get());
        if (!test::TaskDialogChildrenReadable()) continue;
        EXPECT_TRUE(seen->HasText(L"保存できていないメモがあります。")) << testing::PrintToString(seen->AllTexts());
        EXPECT_TRUE(seen->HasButton(IDS_RETRY, L"再試行"));
        EXPECT_TRUE(seen->HasButton(IDS_EXIT_WITHOUT_SAVING, L"保存せずに終了"));
        EXPECT_TRUE(seen->HasButton(IDS_CANCEL, L"キャンセル"));
        EXPECT_EQ(seen->defaultButton, IDS_RETRY);
        if (Silent()) {
            EXPECT_EQ(seen->icons, std::vector<HICON>{LoadIconW(nullptr, IDI_EXCLAMATION)});
        }
    }
}

TEST_P(DialogStyle, ReplaceAllConfirmation) {
    OwnerWindow owner;
    ASSERT_NE(owner.get(), nullptr);
    const std::wstring text = L"3件を2個のメモで置換します。";
    const std::pair<int, bool> answers[] = {
        {IDS_REPLACE, true}, {IDS_CANCEL, false}, {kEscape, false}, {kCloseBox, false}};
    for (const auto& [answer, expected] : answers) {
        SCOPED_TRACE(answer);
        DialogWatcher watcher([answer = answer](const DialogSnapshot& d) { Answer(d, answer); }, kCaption);
        const bool confirmed = ConfirmReplaceAll(owner.get(), Self(), text);
        const auto seen = watcher.Finish();
        ASSERT_TRUE(seen) << "no dialog appeared";
        EXPECT_FALSE(watcher.forced()) << "the confirmation did not close";
        EXPECT_EQ(confirmed, expected);
        EXPECT_EQ(seen->owner, owner.get());
        if (!test::TaskDialogChildrenReadable()) continue;
        EXPECT_TRUE(seen->HasText(text)) << testing::PrintToString(seen->AllTexts());
        EXPECT_TRUE(seen->HasButton(IDS_REPLACE, L"置換"));
        EXPECT_TRUE(seen->HasButton(IDS_CANCEL, L"キャンセル"));
        EXPECT_EQ(seen->defaultButton, IDS_CANCEL);
    }
}

}  // namespace
}  // namespace lq
