#include "ui/status/StatusInfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/editor/EditorFixture.h"
#include "ui/status/StatusCharCount.h"

namespace lq {
namespace {

using Scintilla::ScintillaCall;

constexpr char kKanaA[] = "\xE3\x81\x82";  // あ, three bytes

Scintilla::NotificationData Modification(int type, Scintilla::Position position, const char* text,
                                         Scintilla::Position length) {
    Scintilla::NotificationData notification{};
    notification.nmhdr.code = static_cast<Scintilla::Notification>(SCN_MODIFIED);
    notification.modificationType = static_cast<Scintilla::ModificationFlags>(type);
    notification.position = position;
    notification.text = text;
    notification.length = length;
    return notification;
}

// A status model wired to a real, shown editor the way the main window wires it: modifications
// adjust the total, update notifications (sent when the editor paints) refresh the rest, and every
// true answer is a repaint request.
class StatusInfoTest : public test::EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        window_->onNotify = [this](const Scintilla::NotificationData& notification) {
            const int code = static_cast<int>(notification.nmhdr.code);
            if (code == SCN_MODIFIED && status.ApplyModification(notification)) ++repaints;
            if (code == SCN_UPDATEUI && status.Update(call(), static_cast<int>(notification.updated))) ++repaints;
        };
        ShowWindow(window_->host(), SW_SHOWNOACTIVATE);
        SetFocus(window_->editor());
    }

    // Opens `text` as a note is opened: new text, then the program's own refresh.
    void Load(std::string_view text) {
        view().SetText(text);
        status.RecountTotal(call());
        (void)status.Update(call(), StatusInfo::kUpdateRefresh);
        Flush();
    }

    // Lets the editor paint, which is when it reports its updates.
    void Flush() {
        UpdateWindow(window_->editor());
        test::EditorTestWindow::PumpMessages();
    }

    // The shown values must equal those of a model that counts everything afresh.
    void ExpectMatchesFreshCount(const std::string& step) {
        StatusInfo fresh;
        fresh.RecountTotal(call());
        (void)fresh.Update(call(), StatusInfo::kUpdateRefresh);
        EXPECT_EQ(status.totalChars(), CountStatusCharacters(window_->Text())) << step;
        EXPECT_EQ(status.line(), fresh.line()) << step;
        EXPECT_EQ(status.column(), fresh.column()) << step;
        EXPECT_EQ(status.hasSelection(), fresh.hasSelection()) << step;
        EXPECT_EQ(status.selectedChars(), fresh.selectedChars()) << step;
        EXPECT_EQ(status.overtype(), fresh.overtype()) << step;
    }

    StatusInfo status;
    int repaints = 0;
};

TEST_F(StatusInfoTest, EmptyNoteShowsLineOneColumnOneAndNoCharacters) {
    Load("");
    EXPECT_EQ(status.PositionText(), L"行 1、列 1");
    EXPECT_EQ(status.SelectionText(), L"");
    EXPECT_EQ(status.TotalText(), L"0 文字");
    EXPECT_FALSE(status.overtype());
}

TEST_F(StatusInfoTest, CaretAndSelectionOfKnownDocuments) {
    struct Case {
        const char* name;
        std::string text;
        std::function<void(ScintillaCall&)> place;
        int64_t line;
        int64_t column;
        bool hasSelection;
        int64_t selectedChars;
    };
    std::string manyLines;
    for (int i = 0; i < 12344; ++i) manyLines += "\r\n";
    manyLines += "x";
    const std::vector<Case> cases = {
        {"caret after ascii", "abc", [](ScintillaCall& c) { c.GotoPos(3); }, 1, 4, false, 0},
        {"caret after kana counts characters", "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86",
         [](ScintillaCall& c) { c.GotoPos(9); }, 1, 4, false, 0},
        {"second line after CRLF", "ab\r\ncd", [](ScintillaCall& c) { c.GotoPos(6); }, 2, 3, false, 0},
        {"a tab is one column", "\tx", [](ScintillaCall& c) { c.GotoPos(2); }, 1, 3, false, 0},
        {"selection across a line end", "ab\r\ncd", [](ScintillaCall& c) { c.SetSel(1, 5); }, 2, 2, true, 2},
        {"selection of a line end only", "ab\r\ncd", [](ScintillaCall& c) { c.SetSel(2, 4); }, 2, 1, true, 0},
        {"kana selection", "\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86", [](ScintillaCall& c) { c.SetSel(3, 9); }, 1, 4, true,
         2},
        {"backwards selection", "abcdef", [](ScintillaCall& c) { c.SetSel(5, 1); }, 1, 2, true, 4},
        // Rectangles follow x positions, so the lines hold the same letters.
        {"rectangular selection, three lines of two", "ab\r\nab\r\nab",
         [](ScintillaCall& c) {
             c.SetRectangularSelectionAnchor(0);
             c.SetRectangularSelectionCaret(10);
         },
         3, 3, true, 6},
        {"two selections add up", "one two three",
         [](ScintillaCall& c) {
             c.SetSelection(3, 0);
             c.AddSelection(13, 8);
         },
         1, 14, true, 8},
        {"line 12,345", manyLines, [](ScintillaCall& c) { c.GotoPos(c.Length()); }, 12345, 2, false, 0},
    };
    for (const Case& c : cases) {
        Load(c.text);
        c.place(call());
        (void)status.Update(call(), StatusInfo::kUpdateRefresh);
        EXPECT_EQ(status.line(), c.line) << c.name;
        EXPECT_EQ(status.column(), c.column) << c.name;
        EXPECT_EQ(status.hasSelection(), c.hasSelection) << c.name;
        EXPECT_EQ(status.selectedChars(), c.selectedChars) << c.name;
    }
    EXPECT_EQ(status.PositionText(), L"行 12,345、列 2");

    Load("ab\r\nab\r\nab");
    call().SetRectangularSelectionAnchor(0);
    call().SetRectangularSelectionCaret(9);
    (void)status.Update(call(), StatusInfo::kUpdateRefresh);
    EXPECT_EQ(status.SelectionText(), L"選択 3");
}

TEST_F(StatusInfoTest, EditsKeepTheCountsInStepThroughNotifications) {
    struct Step {
        const char* name;
        std::function<void()> act;
        int64_t total;
    };
    const std::vector<Step> steps = {
        {"type x", [&] { window_->PressKey('X'); }, 5},
        {"type あ (three bytes, one character)", [&] { call().ReplaceSel(kKanaA); }, 6},
        {"Enter adds no character", [&] { window_->PressKey(VK_RETURN); }, 6},
        {"Backspace over the line end", [&] { window_->PressKey(VK_BACK); }, 6},
        {"Backspace over あ", [&] { window_->PressKey(VK_BACK); }, 5},
        {"Home", [&] { window_->PressKey(VK_HOME); }, 5},
        // A forward delete leaves the caret in place: only a content update follows.
        {"Delete at the line start", [&] { window_->PressKey(VK_DELETE); }, 4},
        {"select all", [&] { call().SelectAll(); }, 4},
        {"typing replaces the selection", [&] { window_->PressKey('Z'); }, 1},
        {"undo", [&] { call().Undo(); }, 4},
        {"redo", [&] { call().Redo(); }, 1},
        {"undo again", [&] { call().Undo(); }, 4},
        {"caret to the start", [&] { call().DocumentStart(); }, 4},
        {"caret to the end", [&] { call().DocumentEnd(); }, 4},
        // Text before the caret changes while the caret's position stays where it was.
        {"two kana replace one letter before the caret",
         [&] {
             call().SetTargetRange(4, 5);
             call().ReplaceTarget(6, "\xE3\x81\x82\xE3\x81\x84");
         },
         5},
        {"a line inserted above the caret", [&] { call().InsertText(0, "new\r\n"); }, 8},
        {"a deletion without undo history carries no text",
         [&] {
             call().SetUndoCollection(false);
             call().DeleteRange(0, 2);
             call().SetUndoCollection(true);
         },
         6},
        {"Insert toggles overtype", [&] { window_->PressKey(VK_INSERT); }, 6},
        {"multi-line insertion at the caret", [&] { call().ReplaceSel("\xE3\x81\x84\r\nq\r\n"); }, 8},
    };

    Load("ab\r\ncd");
    call().DocumentEnd();
    Flush();
    ASSERT_EQ(status.totalChars(), 4);
    for (const Step& step : steps) {
        const int repaintsBefore = repaints;
        step.act();
        Flush();
        EXPECT_EQ(status.totalChars(), step.total) << step.name;
        EXPECT_FALSE(status.recountNeeded()) << step.name;
        ExpectMatchesFreshCount(step.name);
        // Every step changes something shown; each must ask for a repaint.
        EXPECT_GT(repaints, repaintsBefore) << step.name;
    }
    EXPECT_TRUE(status.overtype());
}

TEST_F(StatusInfoTest, ColumnFollowsTheCaretAlongAVeryLongLine) {
    // One line of 100,000 characters, every third one a kana, then a short second line.
    std::string text;
    for (int i = 0; i < 100000; ++i) text += (i % 3 == 0) ? std::string(kKanaA) : std::string("w");
    const auto lineEnd = static_cast<Scintilla::Position>(text.size());
    text += "\r\nend";
    Load(text);
    ASSERT_EQ(status.totalChars(), 100003);

    struct Move {
        const char* name;
        std::function<void()> act;
    };
    const std::vector<Move> moves = {
        {"to the line end", [&] { call().GotoPos(lineEnd); }},
        {"left by one", [&] { window_->PressKey(VK_LEFT); }},
        {"back to the middle", [&] { call().GotoPos(call().PositionRelative(0, 50000)); }},
        {"right by one over a kana", [&] { window_->PressKey(VK_RIGHT); }},
        {"down to the short line", [&] { call().GotoPos(lineEnd + 4); }},
        {"up to the long line again", [&] { call().GotoPos(call().PositionRelative(0, 77777)); }},
        {"to the line start", [&] { window_->PressKey(VK_HOME); }},
        {"type in the middle",
         [&] {
             call().GotoPos(call().PositionRelative(0, 30000));
             window_->PressKey('K');
         }},
    };
    for (const Move& move : moves) {
        move.act();
        Flush();
        ExpectMatchesFreshCount(move.name);
        EXPECT_EQ(status.cachedCaretPos(), call().CurrentPos()) << move.name;
    }
    call().GotoPos(call().PositionRelative(0, 50000));
    Flush();
    EXPECT_EQ(status.PositionText(), L"行 1、列 50,001");
}

TEST_F(StatusInfoTest, ScrollUpdatesReadNothingUnlessARecountIsPending) {
    Load("abc\r\ndef");
    window_->onNotify = nullptr;  // the test hands the updates over itself
    call().SetEmptySelection(7);

    EXPECT_FALSE(status.Update(call(), SC_UPDATE_V_SCROLL));
    EXPECT_FALSE(status.Update(call(), SC_UPDATE_H_SCROLL));
    EXPECT_EQ(status.line(), 1);
    EXPECT_EQ(status.column(), 1);

    // Typing moves the caret with only the content bit set: that update is read.
    EXPECT_TRUE(status.Update(call(), SC_UPDATE_CONTENT));
    EXPECT_EQ(status.line(), 2);
    EXPECT_EQ(status.column(), 3);
    EXPECT_FALSE(status.Update(call(), SC_UPDATE_SELECTION)) << "nothing changed since";

    // A modification without text leaves a recount that even a scroll update settles.
    call().SetUndoCollection(false);
    call().DeleteRange(0, 1);
    call().SetUndoCollection(true);
    EXPECT_FALSE(status.ApplyModification(Modification(SC_MOD_DELETETEXT, 0, nullptr, 1)));
    EXPECT_TRUE(status.Update(call(), SC_UPDATE_V_SCROLL));
    EXPECT_EQ(status.totalChars(), 5);
    EXPECT_FALSE(status.recountNeeded());
}

TEST_F(StatusInfoTest, RecountAfterTheDocumentIsReplaced) {
    Load("abc");
    call().GotoPos(3);
    Flush();
    // The workspace shows another document; the main window then recounts and refreshes.
    window_->onNotify = nullptr;
    view().SetText("\xE3\x81\x82\r\n\xE3\x81\x84");
    status.RecountTotal(call());
    EXPECT_EQ(status.cachedCaretPos(), -1);
    EXPECT_TRUE(status.Update(call(), StatusInfo::kUpdateRefresh));
    EXPECT_EQ(status.totalChars(), 2);
    EXPECT_EQ(status.line(), 1);
    EXPECT_EQ(status.column(), 1);
}

TEST_F(StatusInfoTest, ModificationRules) {
    struct Case {
        const char* name;
        int type;
        Scintilla::Position position;
        const char* text;
        Scintilla::Position length;
        bool repaint;
        int64_t total;
        bool recountNeeded;
        bool cacheKept;
    };
    // Starting from "abcdef" with the caret at 4: total 6, cached caret 4.
    const std::vector<Case> cases = {
        {"insertion after the caret", SC_MOD_INSERTTEXT | SC_PERFORMED_USER, 5, "x\r\n", 3, true, 7, false, true},
        {"insertion at the caret keeps the cache", SC_MOD_INSERTTEXT, 4, kKanaA, 3, true, 7, false, true},
        {"insertion before the caret drops the cache", SC_MOD_INSERTTEXT, 3, "y", 1, true, 7, false, false},
        {"deletion of kana", SC_MOD_DELETETEXT | SC_PERFORMED_UNDO, 4, kKanaA, 3, true, 5, false, true},
        {"deletion of a line end only", SC_MOD_DELETETEXT, 4, "\r\n", 2, false, 6, false, true},
        {"deletion without text", SC_MOD_DELETETEXT, 0, nullptr, 2, false, 6, true, false},
        {"style change is ignored", SC_MOD_CHANGESTYLE, 0, nullptr, 6, false, 6, false, true},
        {"before-delete is ignored", SC_MOD_BEFOREDELETE, 0, nullptr, 6, false, 6, false, true},
    };
    window_->onNotify = nullptr;  // only the synthetic notifications reach the model
    for (const Case& c : cases) {
        status = StatusInfo{};
        Load("abcdef");
        call().GotoPos(4);
        (void)status.Update(call(), StatusInfo::kUpdateRefresh);
        ASSERT_EQ(status.cachedCaretPos(), 4);

        EXPECT_EQ(status.ApplyModification(Modification(c.type, c.position, c.text, c.length)), c.repaint) << c.name;
        EXPECT_EQ(status.totalChars(), c.total) << c.name;
        EXPECT_EQ(status.recountNeeded(), c.recountNeeded) << c.name;
        EXPECT_EQ(status.cachedCaretPos() == 4, c.cacheKept) << c.name;
    }
}

TEST(StatusInfoState, SettersReportChanges) {
    StatusInfo status;
    EXPECT_FALSE(status.SetSaveFailed(false));
    EXPECT_TRUE(status.SetSaveFailed(true));
    EXPECT_FALSE(status.SetSaveFailed(true));
    EXPECT_TRUE(status.saveFailed());

    EXPECT_FALSE(status.ClearTransient()) << "nothing to clear";
    EXPECT_TRUE(status.SetNotFound(true));
    EXPECT_FALSE(status.SetNotFound(true));
    EXPECT_TRUE(status.SetNotice(L"ノートを削除しました"));
    EXPECT_FALSE(status.SetNotice(L"ノートを削除しました"));
    EXPECT_TRUE(status.SetNotice(L"ノートを削除しました。"));

    EXPECT_TRUE(status.ClearTransient());
    EXPECT_FALSE(status.notFound());
    EXPECT_TRUE(status.notice().empty());
    EXPECT_TRUE(status.saveFailed()) << "the save failure is no transient notice";
    EXPECT_FALSE(status.ClearTransient());

    EXPECT_TRUE(status.SetNotice(L"x"));
    EXPECT_TRUE(status.ClearTransient()) << "a notice alone counts";
}

}  // namespace
}  // namespace lq
