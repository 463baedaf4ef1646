// These tests use the clipboard, which every process of the session shares: they must not run
// beside another process that uses it.

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "MarkedText.h"
#include "editor/ClipboardAppend.h"
#include "editor/EditorCommands.h"
#include "support/editor/EditorFixture.h"

namespace lq {
namespace {

using test::GetMarked;
using test::ReadClipboardText;
using test::SetMarked;
using test::WriteClipboardText;

// Another window of another thread holding the clipboard open for `holdMillis`, as a clipboard
// viewer or another program may.
class ClipboardHolder {
public:
    explicit ClipboardHolder(DWORD holdMillis) : opened_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, holdMillis] {
            HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, nullptr, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
            held_ = window && OpenClipboard(window);
            SetEvent(opened_);
            if (held_) {
                Sleep(holdMillis);
                CloseClipboard();
            }
            if (window) DestroyWindow(window);
        });
        WaitForSingleObject(opened_, 5000);
    }
    ~ClipboardHolder() {
        thread_.join();
        CloseHandle(opened_);
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    [[nodiscard]] bool held() const { return held_; }

private:
    HANDLE opened_;
    bool held_ = false;
    std::thread thread_;
};

class ClipboardAppendTest : public test::EditorFixture {
protected:
    ClipboardAppendTest() : EditorFixture(400, 300) {}
    bool Run(EditorCommand command, const EditorCommandContext& context = {}) {
        return RunEditorCommand(view(), static_cast<int32_t>(command), context);
    }
};

TEST_F(ClipboardAppendTest, CutAndCopyAppendTheSelectionToTheClipboardText) {
    struct Case {
        const char* name;
        bool cut;
        std::wstring clipboard;  // L"" with `emptyClipboard`: no text at all
        bool emptyClipboard;
        std::string before, after;
        std::wstring clipboardAfter;
    };
    const Case cases[] = {
        {"copy", false, L"a", false, "^b|c", "b|c", L"ab"},
        {"cut", true, L"a", false, "^b|c", "|c", L"ab"},
        {"copy, caret first", false, L"a", false, "|b^c", "|bc", L"ab"},
        {"cut over lines", true, L"x", false, "1^2\r\n3|4", "1|4", L"x2\r\n3"},
        {"copy japanese", false, L"\u65E5", false, "^\xE6\x9C\xAC|", "\xE6\x9C\xAC|", L"\u65E5\u672C"},
        {"nothing on the clipboard", true, L"", true, "a^bc|", "a|", L"bc"},
        {"empty selection copies nothing", false, L"kept", false, "ab|c", "ab|c", L"kept"},
        {"empty selection cuts nothing", true, L"kept", false, "ab|c", "ab|c", L"kept"},
        {"empty document", true, L"kept", false, "|", "|", L"kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.emptyClipboard) {
            ASSERT_TRUE(OpenClipboard(window_->host()));
            EmptyClipboard();
            CloseClipboard();
        } else {
            ASSERT_TRUE(WriteClipboardText(c.clipboard));
        }
        SetMarked(view(), c.before);
        EXPECT_TRUE(Run(c.cut ? EditorCommand::CutAndAppend : EditorCommand::CopyAndAppend));
        EXPECT_EQ(GetMarked(view()), c.after);
        EXPECT_EQ(ReadClipboardText(), c.clipboardAfter);
    }
    // A cut is undone like any other.
    ASSERT_TRUE(WriteClipboardText(L""));
    SetMarked(view(), "^ab|");
    EXPECT_EQ(AppendSelectionToClipboard(view(), view().hwnd(), true), ClipboardAppendResult::Appended);
    view().call().Undo();
    EXPECT_EQ(window_->Text(), "ab");
}

TEST_F(ClipboardAppendTest, AClipboardHeldByAnotherWindowChangesNothing) {
    for (const bool cut : {true, false}) {
        SCOPED_TRACE(cut ? "cut" : "copy");
        ASSERT_TRUE(WriteClipboardText(L"old"));
        SetMarked(view(), "x^yz|");
        int told = 0;
        EditorCommandContext context;
        context.onClipboardUnavailable = [&] { ++told; };
        {
            // Held well past the half second of retries.
            ClipboardHolder holder(1200);
            ASSERT_TRUE(holder.held());
            EXPECT_TRUE(Run(cut ? EditorCommand::CutAndAppend : EditorCommand::CopyAndAppend, context));
            EXPECT_EQ(told, 1);
            EXPECT_EQ(GetMarked(view()), "x^yz|");
        }
        EXPECT_EQ(ReadClipboardText(), L"old");
    }
}

TEST_F(ClipboardAppendTest, AClipboardHeldBrieflyIsWaitedFor) {
    ASSERT_TRUE(WriteClipboardText(L"old"));
    SetMarked(view(), "x^yz|");
    ClipboardHolder holder(150);
    ASSERT_TRUE(holder.held());
    EXPECT_EQ(AppendSelectionToClipboard(view(), view().hwnd(), true), ClipboardAppendResult::Appended);
    EXPECT_EQ(GetMarked(view()), "x|");
    EXPECT_EQ(ReadClipboardText(), L"oldyz");
}

TEST_F(ClipboardAppendTest, CopyLineCopiesTheCaretsLineWithItsLineEnd) {
    struct Case {
        const char* name;
        std::string before;
        std::wstring clipboard;
    };
    const Case cases[] = {
        {"middle line", "one\r\ntw|o\r\nthree", L"two\r\n"},
        {"last line without line end", "one\r\ntw|o", L"two"},
        {"with a selection", "o^ne\r\nt|wo", L"two"},
        {"japanese", "\xE6\x97\xA5|\r\nx", L"\u65E5\r\n"},
        {"empty line", "a\r\n|\r\nb", L"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteClipboardText(L"before"));
        SetMarked(view(), c.before);
        EXPECT_TRUE(Run(EditorCommand::CopyLine));
        EXPECT_EQ(ReadClipboardText(), c.clipboard);
        EXPECT_EQ(GetMarked(view()), c.before);
    }
}

}  // namespace
}  // namespace lq
