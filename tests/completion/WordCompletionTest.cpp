#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <string>
#include <vector>

#include "completion/WordCompletion.h"
#include "support/editor/EditorFixture.h"

namespace lq {
namespace {

using Scintilla::Notification;

class WordCompletionTest : public test::EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        if (HasFatalFailure()) return;
        ConfigureAutocomplete(view());
        // The main window's forwarding of the editor's notifications.
        window_->onNotify = [this](const Scintilla::NotificationData& n) {
            if (n.nmhdr.code == Notification::CharAdded) {
                completion_.OnCharAdded(view(), n.ch, n.characterSource);
            } else if (n.nmhdr.code == Notification::AutoCCharDeleted && call().AutoCActive()) {
                completion_.Update(view());
            }
        };
    }
    void TearDown() override {
        if (window_) window_->onNotify = nullptr;
    }

    // A provider that adds `text` in one slice and counts its runs; with `fillNow` the index is filled
    // before the test types, as the idle loop does right after the first paint.
    void ProvideText(std::string text, bool fillNow = true) {
        completion_.SetProvider([this, text = std::move(text)](WordIndex& index, FillDeadline) {
            ++providerRuns_;
            (void)index.AddWordsFromText(text);
            return FillProgress::Done;
        });
        if (!fillNow) return;
        completion_.StartFill();
        (void)completion_.FillSlice(FillDeadline::max());
    }
    // What the idle message loop does: one slice of the fill.
    FillProgress Idle() { return completion_.FillSlice(std::chrono::steady_clock::now() + std::chrono::seconds(1)); }
    // Types UTF-16 characters as the keyboard would (WM_CHAR each).
    void Type(const std::wstring& text) {
        for (wchar_t c : text) SendMessageW(window_->editor(), WM_CHAR, c, 1);
    }
    // Enter as the new-line command gives it: both characters reported after the line end is in.
    void RunEditorLineEnd() { call().NewLine(); }
    // The list shown, or "" when none is.
    std::string ShownList() { return call().AutoCActive() ? completion_.lastShown() : std::string(); }

    WordCompletion completion_;
    int providerRuns_ = 0;
};

TEST_F(WordCompletionTest, ConfigurationSetsTheListsBehaviourAndColours) {
    EXPECT_EQ(call().AutoCGetOrder(), Scintilla::Ordering::Custom);
    EXPECT_TRUE(view().compat().selectsFirstItem());
    EXPECT_TRUE(call().AutoCGetIgnoreCase());
    EXPECT_EQ(call().AutoCGetCaseInsensitiveBehaviour(), Scintilla::CaseInsensitiveBehaviour::IgnoreCase);
    EXPECT_FALSE(call().AutoCGetAutoHide());
    EXPECT_FALSE(call().AutoCGetChooseSingle());
    EXPECT_FALSE(call().AutoCGetCancelAtStart());
    EXPECT_FALSE(call().AutoCGetDropRestOfWord());
    EXPECT_EQ(call().AutoCGetMaxHeight(), 8);
    EXPECT_EQ(call().AutoCGetSeparator(), ' ');
    EXPECT_EQ(call().ElementColour(Scintilla::Element::List), static_cast<int>(0xFFCCCCCCu));
    EXPECT_EQ(call().ElementColour(Scintilla::Element::ListBack), static_cast<int>(0xFF262525u));
    EXPECT_EQ(call().ElementColour(Scintilla::Element::ListSelected), static_cast<int>(0xFFFFFFFFu));
    EXPECT_EQ(call().ElementColour(Scintilla::Element::ListSelectedBack), static_cast<int>(0xFF5E3904u));
}

TEST_F(WordCompletionTest, ListOpensOnlyForAWordPrefixOfTwoLettersBeforeTheCaret) {
    const std::string kLongWord = std::string(63, 'a') + "b";  // the longest word
    struct Case {
        const char* name;
        std::string before;  // the document, caret at `caret`
        int caret;
        std::wstring typed;
        std::string list;  // "" when no list is shown
    };
    const Case cases[] = {
        {"one letter", "", 0, L"a", ""},
        {"two letters", "", 0, L"ab", "Abacus abcdef"},
        {"capitals find every case", "", 0, L"AB", "Abacus abcdef"},
        {"after a space", "x ", 2, L"abc", "abcdef"},
        {"inside japanese text", "\xE6\x97\xA5\xE6\x9C\xAC", 6, L"ab", "Abacus abcdef"},
        {"typed before a word", "cd", 0, L"ab", ""},
        {"after an underscore", "_", 1, L"ab", ""},
        {"after a digit", "9", 1, L"ab", ""},
        {"nothing in the index", "", 0, L"qq", ""},
        {"the exact word only", "", 0, L"abcdef", ""},
        {"a 63-byte prefix", std::string(61, 'a'), 61, L"aa", kLongWord},
        {"a 65-byte run", std::string(63, 'a'), 63, L"ab", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProvideText("abcdef Abacus xyz " + kLongWord);
        view().SetText(c.before);
        call().GotoPos(c.caret);
        Type(c.typed);
        EXPECT_EQ(ShownList(), c.list);
        call().AutoCCancel();
    }
}

TEST_F(WordCompletionTest, CandidatesComeMostFrequentFirstWithTheFirstOneSelected) {
    ProvideText("the the the them them them theory theory theory theory theory The");
    view().SetText("");
    Type(L"the");
    EXPECT_EQ(ShownList(), "theory them The");
    EXPECT_EQ(call().AutoCGetCurrent(), 0);

    // At most 100 candidates: the hundred most frequent of 150.
    std::string text;
    for (int i = 0; i < 150; ++i) {
        const std::string word = "zw" + std::to_string(1000 + i);
        for (int n = 0; n <= i; ++n) text += word + ' ';
    }
    ProvideText(text);
    view().SetText("");
    Type(L"zw");
    std::vector<std::string> shown;
    for (size_t start = 0; start < completion_.lastShown().size();) {
        const size_t space = completion_.lastShown().find(' ', start);
        shown.push_back(completion_.lastShown().substr(start, space - start));
        start = space == std::string::npos ? completion_.lastShown().size() : space + 1;
    }
    ASSERT_EQ(shown.size(), 100u);
    EXPECT_EQ(shown.front(), "zw1149");
    EXPECT_EQ(shown.back(), "zw1050");
    EXPECT_EQ(call().AutoCGetCurrent(), 0);
}

TEST_F(WordCompletionTest, TheFirstRealPrefixStartsTheFillWithoutWaitingAndANewProviderStartsOver) {
    ProvideText("alpha alpine", false);
    view().SetText("");
    Type(L"a");
    EXPECT_FALSE(completion_.filling());
    EXPECT_EQ(Idle(), FillProgress::Done);  // nothing asked for yet
    EXPECT_EQ(providerRuns_, 0);
    Type(L"l");
    // The key is not held up: the fill is only asked for, and the empty index offers nothing.
    EXPECT_TRUE(completion_.filling());
    EXPECT_EQ(providerRuns_, 0);
    EXPECT_EQ(ShownList(), "");
    EXPECT_EQ(Idle(), FillProgress::Done);
    EXPECT_EQ(providerRuns_, 1);
    EXPECT_TRUE(completion_.built());
    EXPECT_EQ(Idle(), FillProgress::Done);
    Type(L"p");
    EXPECT_EQ(providerRuns_, 1);
    EXPECT_EQ(ShownList(), "alpha alpine");

    ProvideText("other", false);
    EXPECT_FALSE(completion_.built());
    EXPECT_FALSE(completion_.filling());
    EXPECT_EQ(completion_.index().size(), 0u);

    // No provider: completion is off.
    completion_.SetProvider({});
    view().SetText("");
    Type(L"al");
    EXPECT_EQ(ShownList(), "");
}

TEST_F(WordCompletionTest, UntilTheFillIsDoneTheListOffersWhatTheIndexHolds) {
    const char* const slices[] = {"alpha", "alpine alpha", "alps"};
    size_t next = 0;
    completion_.SetProvider([&](WordIndex& index, FillDeadline) {
        (void)index.AddWordsFromText(slices[next++]);
        return next == std::size(slices) ? FillProgress::Done : FillProgress::More;
    });
    view().SetText("");
    Type(L"al");
    EXPECT_EQ(ShownList(), "");
    ASSERT_EQ(Idle(), FillProgress::More);
    Type(L"p");
    EXPECT_EQ(ShownList(), "alpha");
    // A word finished while the fill runs is left to the fill, which reads the note anyway.
    Type(L"s ");
    EXPECT_EQ(completion_.index().CountOf("alps"), 0);
    ASSERT_EQ(Idle(), FillProgress::More);
    Type(L"alp");
    EXPECT_EQ(ShownList(), "alpha alpine");
    ASSERT_EQ(Idle(), FillProgress::Done);
    EXPECT_TRUE(completion_.built());
    Type(L"s");
    Type(L" alp");
    EXPECT_EQ(ShownList(), "alps alpha alpine");
    EXPECT_EQ(completion_.index().CountOf("alps"), 2);  // the fill's one and the word just finished
}

TEST_F(WordCompletionTest, FinishedWordsAreCountedAsTypedAndDeletingForgetsNothing) {
    ProvideText("hello");
    view().SetText("");
    Type(L"he");
    ASSERT_TRUE(completion_.built());
    ASSERT_EQ(completion_.index().CountOf("hello"), 1);

    struct Step {
        const char* name;
        std::wstring typed;
        const char* word;
        int count;
    };
    const Step steps[] = {
        {"space after a word", L"llo ", "hello", 2},
        {"too short", L"hi ", "hi", 0},
        {"punctuation", L"hello,", "hello", 3},
        {"japanese after a word", L"hello\u3002", "hello", 4},
        {"word between japanese", L"\u65E5world\u672C", "world", 1},
        {"starts with a digit", L"9lives ", "9lives", 0},
        {"underscore inside", L"abc_1 ", "abc_1", 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        Type(s.typed);
        EXPECT_EQ(completion_.index().CountOf(s.word), s.count);
    }

    // Enter learns the word once, though both characters of the line end are reported.
    RunEditorLineEnd();
    EXPECT_EQ(completion_.index().CountOf("world"), 1);
    Type(L"world");
    RunEditorLineEnd();
    EXPECT_EQ(completion_.index().CountOf("world"), 2);

    // Deleting text leaves the counts; the word typed again counts once more.
    const int before = completion_.index().CountOf("hello");
    view().SetText("");
    EXPECT_EQ(completion_.index().CountOf("hello"), before);
    Type(L"hello ");
    EXPECT_EQ(completion_.index().CountOf("hello"), before + 1);
}

TEST_F(WordCompletionTest, NothingIsLearnedBeforeTheIndexIsFilledOrFromAnInputMethod) {
    ProvideText("seed", false);
    // Typing a word would start the fill at its second letter; this one is already there.
    view().SetText("hello");
    call().GotoPos(5);
    Type(L" ");
    EXPECT_FALSE(completion_.built());
    EXPECT_EQ(completion_.index().CountOf("hello"), 0);

    Type(L"se");
    ASSERT_EQ(Idle(), FillProgress::Done);
    completion_.Update(view());
    ASSERT_TRUE(call().AutoCActive());
    // An input method's character (tentative or result) closes the list and learns nothing.
    for (auto source : {Scintilla::CharacterSource::TentativeInput, Scintilla::CharacterSource::ImeResult}) {
        view().SetText("");
        Type(L"hello");
        call().AddText(3, "\xE3\x81\x82");
        completion_.OnCharAdded(view(), 0x3042, source);
        EXPECT_FALSE(call().AutoCActive());
        EXPECT_EQ(completion_.index().CountOf("hello"), 0);
    }
    // Text inserted at once is learned once the index is filled.
    completion_.LearnInsertedText("pasted words pasted");
    EXPECT_EQ(completion_.index().CountOf("pasted"), 2);
}

TEST_F(WordCompletionTest, ListIsResentOnlyWhenItChangesAndFollowsBackspace) {
    ProvideText("abcd abce abx");
    view().SetText("");
    Type(L"ab");
    // Equal counts: the shorter word first.
    ASSERT_EQ(ShownList(), "abx abcd abce");
    // The user moves the highlight; an update with the same list keeps it there.
    call().LineDown();
    ASSERT_EQ(call().AutoCGetCurrent(), 1);
    completion_.Update(view());
    EXPECT_EQ(call().AutoCGetCurrent(), 1);
    // A new word changes the list: it is sent again, first item selected.
    completion_.index().AddWord("abzz");
    completion_.Update(view());
    EXPECT_EQ(ShownList(), "abx abcd abce abzz");
    EXPECT_EQ(call().AutoCGetCurrent(), 0);

    Type(L"c");
    EXPECT_EQ(ShownList(), "abcd abce");
    window_->PressKey(VK_BACK);
    EXPECT_EQ(ShownList(), "abx abcd abce abzz");
    window_->PressKey(VK_BACK);
    EXPECT_EQ(ShownList(), "");
    EXPECT_EQ(window_->Text(), "a");
}

TEST_F(WordCompletionTest, TypingOnWithTheSameCandidatesKeepsTheUsersRow) {
    ProvideText("abcd abce");
    view().SetText("");
    Type(L"ab");
    ASSERT_EQ(ShownList(), "abcd abce");
    window_->PressKey(VK_DOWN);
    ASSERT_EQ(call().AutoCGetCurrent(), 1);
    // "abc" has the same candidates: nothing is re-sent and "abce" stays highlighted.
    Type(L"c");
    ASSERT_EQ(ShownList(), "abcd abce");
    EXPECT_EQ(call().AutoCGetCurrent(), 1);
    // New candidates are a new list, shown from its first item.
    completion_.index().AddWord("abczz");
    Type(L"z");
    EXPECT_EQ(ShownList(), "abczz");
    EXPECT_EQ(call().AutoCGetCurrent(), 0);
}

TEST_F(WordCompletionTest, ASelectionClosesTheList) {
    ProvideText("abcdef");
    view().SetText("ab ab");
    call().GotoPos(2);
    completion_.Update(view());
    ASSERT_TRUE(call().AutoCActive());
    call().SetSel(0, 2);
    completion_.Update(view());
    EXPECT_FALSE(call().AutoCActive());
    // More than one selection, even empty ones.
    call().SetEmptySelection(2);
    call().AddSelection(5, 5);
    completion_.Update(view());
    EXPECT_FALSE(call().AutoCActive());
}

}  // namespace
}  // namespace lq
