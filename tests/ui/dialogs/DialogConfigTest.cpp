// What the task dialogs are asked to show, read through the task-dialog seam: the same on Windows and
// under Wine, and without a dialog on screen. DialogsTest shows the real dialogs.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "resources/ResourceIds.h"
#include "ui/dialogs/Dialogs.h"

namespace lq {
namespace {

// A copy of one TASKDIALOGCONFIG (its texts die with the call).
struct ShownDialog {
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    TASKDIALOG_FLAGS flags = 0;
    TASKDIALOG_COMMON_BUTTON_FLAGS commonButtons = 0;
    std::wstring caption;
    std::wstring content;
    bool hasMainInstruction = false;
    PCWSTR stockIcon = nullptr;  // when TDF_USE_HICON_MAIN is clear
    HICON loadedIcon = nullptr;  // when it is set
    std::vector<std::pair<int, std::wstring>> buttons;
    int defaultButton = 0;
    bool asksForButton = false;
};

// Stands in for TaskDialogIndirect: records the dialog and answers with `answer` or fails.
struct FakeTaskDialog {
    static inline std::vector<ShownDialog> shown;
    static inline int answer = 0;
    static inline HRESULT result = S_OK;

    static HRESULT WINAPI Show(const TASKDIALOGCONFIG* config, int* button, int*, BOOL*) {
        ShownDialog d;
        d.owner = config->hwndParent;
        d.instance = config->hInstance;
        d.flags = config->dwFlags;
        d.commonButtons = config->dwCommonButtons;
        d.caption = config->pszWindowTitle != nullptr ? config->pszWindowTitle : L"";
        d.content = config->pszContent != nullptr ? config->pszContent : L"";
        d.hasMainInstruction = config->pszMainInstruction != nullptr;
        if ((config->dwFlags & TDF_USE_HICON_MAIN) != 0) {
            d.loadedIcon = config->hMainIcon;
        } else {
            d.stockIcon = config->pszMainIcon;
        }
        for (UINT i = 0; i < config->cButtons; ++i) {
            d.buttons.emplace_back(config->pButtons[i].nButtonID, config->pButtons[i].pszButtonText);
        }
        d.defaultButton = config->nDefaultButton;
        d.asksForButton = button != nullptr;
        shown.push_back(std::move(d));
        if (FAILED(result)) return result;
        if (button != nullptr) *button = answer;
        return S_OK;
    }
};

HINSTANCE Self() {
    return GetModuleHandleW(nullptr);
}

// Puts the fake in place for one test and the real dialog style back afterwards.
class DialogConfig : public testing::Test {
protected:
    void SetUp() override {
        FakeTaskDialog::shown.clear();
        FakeTaskDialog::answer = 0;
        FakeTaskDialog::result = S_OK;
        SetTaskDialogFunction(FakeTaskDialog::Show);
    }
    void TearDown() override {
        SetTaskDialogFunction(nullptr);
        SetMessageBoxesAllowed(true);
    }
    // The one dialog shown since the last call.
    static ShownDialog Only() {
        EXPECT_EQ(FakeTaskDialog::shown.size(), 1u);
        ShownDialog d = FakeTaskDialog::shown.empty() ? ShownDialog{} : FakeTaskDialog::shown.back();
        FakeTaskDialog::shown.clear();
        return d;
    }
};

using Buttons = std::vector<std::pair<int, std::wstring>>;

TEST_F(DialogConfig, Questions) {
    const HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    struct Question {
        const char* what;
        std::function<void()> ask;
        HWND owner;
        std::wstring content;
        Buttons buttons;
        int defaultButton;
        bool cancellable;
        PCWSTR stockIcon;
        PCWSTR systemIcon;
    };
    const Question questions[] = {
        {"damaged database", [] { (void)AskDamagedDatabase(Self(), L"memo.db"); }, nullptr,
         L"memo.db が壊れているか、Lanternquill のデータベースではありません。",
         Buttons{{IDS_START_WITH_NEW_DATABASE, L"新しいデータベースで始める"}, {IDS_EXIT, L"終了"}}, IDS_EXIT, true,
         TD_ERROR_ICON, IDI_HAND},
        {"unsaved on exit", [owner] { (void)AskUnsavedOnExit(owner, Self()); }, owner,
         L"保存できていないメモがあります。",
         Buttons{{IDS_RETRY, L"再試行"}, {IDS_EXIT_WITHOUT_SAVING, L"保存せずに終了"}, {IDS_CANCEL, L"キャンセル"}},
         IDS_RETRY, true, TD_WARNING_ICON, IDI_EXCLAMATION},
        {"replace all", [owner] { (void)ConfirmReplaceAll(owner, Self(), L"3件を2個のメモで置換します。"); }, owner,
         L"3件を2個のメモで置換します。", Buttons{{IDS_REPLACE, L"置換"}, {IDS_CANCEL, L"キャンセル"}}, IDS_CANCEL,
         true, TD_WARNING_ICON, IDI_EXCLAMATION},
    };
    for (const bool silent : {false, true}) {
        SetMessageBoxesAllowed(!silent);
        for (const Question& q : questions) {
            SCOPED_TRACE(testing::Message() << q.what << (silent ? ", silent" : ", normal"));
            q.ask();
            const ShownDialog d = Only();
            EXPECT_EQ(d.owner, q.owner);
            EXPECT_EQ(d.instance, Self());
            EXPECT_EQ(d.caption, L"Lanternquill");
            EXPECT_EQ(d.content, q.content);
            EXPECT_FALSE(d.hasMainInstruction);
            EXPECT_EQ(d.commonButtons, 0);
            EXPECT_EQ(d.buttons, q.buttons);
            EXPECT_EQ(d.defaultButton, q.defaultButton);
            EXPECT_TRUE(d.asksForButton);
            TASKDIALOG_FLAGS flags = TDF_POSITION_RELATIVE_TO_WINDOW;
            if (q.cancellable) flags |= TDF_ALLOW_DIALOG_CANCELLATION;
            if (silent) flags |= TDF_USE_HICON_MAIN;
            EXPECT_EQ(d.flags, flags);
            if (silent) {
                EXPECT_EQ(d.loadedIcon, LoadIconW(nullptr, q.systemIcon));
                EXPECT_NE(d.loadedIcon, nullptr);
            } else {
                EXPECT_EQ(d.stockIcon, q.stockIcon);
            }
        }
    }
}

TEST_F(DialogConfig, AnswersIncludingADialogThatCannotBeShown) {
    const HWND owner = nullptr;
    struct Answer {
        HRESULT result;
        int pressed;
        bool startOver;
        UnsavedChoice unsaved;
        bool replace;
    };
    const Answer answers[] = {
        {S_OK, IDS_START_WITH_NEW_DATABASE, true, UnsavedChoice::Cancel, false},
        {S_OK, IDS_EXIT, false, UnsavedChoice::Cancel, false},
        {S_OK, IDS_RETRY, false, UnsavedChoice::Retry, false},
        {S_OK, IDS_EXIT_WITHOUT_SAVING, false, UnsavedChoice::ExitWithoutSaving, false},
        {S_OK, IDS_REPLACE, false, UnsavedChoice::Cancel, true},
        {S_OK, IDS_CANCEL, false, UnsavedChoice::Cancel, false},
        {S_OK, IDCANCEL, false, UnsavedChoice::Cancel, false},  // Escape or the close box
        // The dialog could not be shown, whatever the out-value would have held.
        {E_OUTOFMEMORY, IDS_START_WITH_NEW_DATABASE, false, UnsavedChoice::Cancel, false},
        {E_OUTOFMEMORY, IDS_RETRY, false, UnsavedChoice::Cancel, false},
        {E_OUTOFMEMORY, IDS_REPLACE, false, UnsavedChoice::Cancel, false},
    };
    for (const Answer& a : answers) {
        SCOPED_TRACE(testing::Message() << "pressed " << a.pressed << ", result " << a.result);
        FakeTaskDialog::result = a.result;
        FakeTaskDialog::answer = a.pressed;
        EXPECT_EQ(AskDamagedDatabase(Self(), L"memo.db"), a.startOver);
        EXPECT_EQ(AskUnsavedOnExit(owner, Self()), a.unsaved);
        EXPECT_EQ(ConfirmReplaceAll(owner, Self(), L"x"), a.replace);
        const TASKDIALOG_BUTTON buttons[] = {{IDS_RETRY, L"再試行"}};
        EXPECT_EQ(AskWithButtons(owner, Self(), IDS_UNSAVED_ON_EXIT, buttons, IDS_RETRY, MessageKind::Warning),
                  SUCCEEDED(a.result) ? a.pressed : 0);
        FakeTaskDialog::shown.clear();
    }
}

TEST_F(DialogConfig, SilentMessageIsATaskDialogWithOkAndTheLoadedIcon) {
    SetMessageBoxesAllowed(false);
    const HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5678));
    const std::pair<MessageKind, PCWSTR> kinds[] = {{MessageKind::Error, IDI_HAND},
                                                    {MessageKind::Warning, IDI_EXCLAMATION},
                                                    {MessageKind::Information, IDI_ASTERISK}};
    for (const auto& [kind, icon] : kinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        ShowMessage(owner, Self(), L"本文", kind);
        const ShownDialog d = Only();
        EXPECT_EQ(d.owner, owner);
        EXPECT_EQ(d.flags, TDF_USE_HICON_MAIN | TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW);
        EXPECT_EQ(d.commonButtons, TDCBF_OK_BUTTON);
        EXPECT_EQ(d.caption, L"Lanternquill");
        EXPECT_EQ(d.content, L"本文");
        EXPECT_FALSE(d.hasMainInstruction);
        EXPECT_TRUE(d.buttons.empty());
        EXPECT_EQ(d.loadedIcon, LoadIconW(nullptr, icon));
        EXPECT_FALSE(d.asksForButton);
    }
    // The error message fills its one argument; a failure to show it is ignored.
    FakeTaskDialog::result = E_FAIL;
    ShowErrorMessage(owner, Self(), IDS_BACKUP_FAILED, L"D:\\b.db");
    const ShownDialog d = Only();
    EXPECT_EQ(d.content, L"D:\\b.db にバックアップを作れませんでした。");
    EXPECT_EQ(d.loadedIcon, LoadIconW(nullptr, IDI_HAND));
}

}  // namespace
}  // namespace lq
