#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "completion/WordIndex.h"

namespace lq {
namespace {

using Counts = std::vector<std::pair<std::string, int32_t>>;

// Distinct words made from a number: "w" and five base-26 letters, most significant first, so that
// words of increasing numbers also sort in increasing order.
std::string NumberedWord(size_t n) {
    std::string word = "waaaaa";
    for (size_t i = word.size() - 1; i > 0; --i) {
        word[i] = static_cast<char>('a' + n % 26);
        n /= 26;
    }
    return word;
}

// Reference completion: every stored word, filtered and fully ordered by the documented rules.
std::vector<std::string> BruteForceComplete(const std::vector<std::string>& distinct, const WordIndex& index,
                                            const std::string& prefix) {
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    std::vector<std::string> matches;
    for (const std::string& word : distinct) {
        if (word.size() < prefix.size() || word == prefix) continue;
        bool same = true;
        for (size_t i = 0; i < prefix.size() && same; ++i) same = fold(word[i]) == fold(prefix[i]);
        if (same) matches.push_back(word);
    }
    std::sort(matches.begin(), matches.end(), [&](const std::string& a, const std::string& b) {
        if (index.CountOf(a) != index.CountOf(b)) return index.CountOf(a) > index.CountOf(b);
        if (a.size() != b.size()) return a.size() < b.size();
        return WordIndex::LessNoCase(a, b);
    });
    if (matches.size() > WordIndex::kMaxCandidates) matches.resize(WordIndex::kMaxCandidates);
    return matches;
}

TEST(WordIndexTest, WordRuleTakesWholeRunsOnly) {
    const std::string longest(64, 'a');
    const std::string tooLong = "b" + std::string(64, 'x');
    const std::string backing = "abcdef";
    struct Case {
        const char* name;
        std::string text;
        Counts expected;
    };
    const Case cases[] = {
        {"underscore and digit inside", "abc_1", {{"abc_1", 1}}},
        {"underscore first", "_abc", {}},
        {"digit first", "9abc", {}},
        {"digit first, longer run", "9abc_def", {}},
        {"two bytes", "ab", {}},
        {"three bytes", "abc", {{"abc", 1}}},
        {"letter then digits and underscore", "x9_ A__", {{"x9_", 1}, {"A__", 1}}},
        {"64 bytes", longest, {{longest, 1}}},
        {"65 bytes, not even a part", tooLong + " end", {{"end", 1}}},
        {"65 bytes at the very end", "end " + tooLong, {{"end", 1}}},
        {"kanji before", "日本語abc", {{"abc", 1}}},
        {"kanji between", "abc日本語def", {{"abc", 1}, {"def", 1}}},
        {"japanese around",
         "今日はmemoを書いた。todoリスト、Lanternの設定",
         {{"memo", 1}, {"todo", 1}, {"Lantern", 1}}},
        {"accented letter separates", "café", {{"caf", 1}}},
        {"full-width letters are no word", "ａｂｃｄ", {}},
        {"japanese punctuation between", "alpha「beta」gamma", {{"alpha", 1}, {"beta", 1}, {"gamma", 1}}},
        {"ascii punctuation", "foo-bar.baz,foo", {{"foo", 2}, {"bar", 1}, {"baz", 1}}},
        {"url", "https://example.com/path_to?q=1", {{"https", 1}, {"example", 1}, {"com", 1}, {"path_to", 1}}},
        {"line ends and tabs", "one\r\ntwo\tthree\n", {{"one", 1}, {"two", 1}, {"three", 1}}},
        {"nul separates", std::string("abc\0def", 7), {{"abc", 1}, {"def", 1}}},
        {"case kept", "Word word WORD word", {{"Word", 1}, {"word", 2}, {"WORD", 1}}},
        {"empty", "", {}},
        {"only separators", " \t\r\n。、", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WordIndex index;
        (void)index.AddWordsFromText(c.text);
        EXPECT_EQ(index.size(), c.expected.size());
        for (const auto& [word, count] : c.expected) EXPECT_EQ(index.CountOf(word), count) << word;
    }

    // The scan stops at the end of the view, not at the end of the buffer behind it.
    WordIndex index;
    (void)index.AddWordsFromText(std::string_view(backing).substr(0, 4));
    EXPECT_EQ(index.CountOf("abcd"), 1);
    EXPECT_EQ(index.CountOf("abcdef"), 0);
    EXPECT_EQ(index.size(), 1u);
}

TEST(WordIndexTest, AddWordIgnoresAnythingThatIsNotOneWord) {
    const char* rejected[] = {"", "ab", "_abc", "9abc", "two words", "abc\xE6\x97\xA5", "日本語", "abc-def"};
    WordIndex index;
    for (const char* text : rejected) index.AddWord(text);
    index.AddWord(std::string(65, 'a'));
    EXPECT_EQ(index.size(), 0u);
    EXPECT_TRUE(index.Complete("a").empty());

    index.AddWord(std::string(64, 'a'));
    index.AddWord("abc");
    EXPECT_EQ(index.size(), 2u);
}

TEST(WordIndexTest, LessNoCaseOrdersFoldedThenShorterThenCapitalsFirst) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"ABC", "Abc", true}, {"Abc", "abc", true}, {"abc", "ABC", false}, {"abc", "abc", false}, {"abc", "ABD", true},
        {"ab", "abc", true},  {"abc", "ab", false}, {"ABC", "abcd", true}, {"aBc", "abC", true},  {"abC", "aBc", false},
        {"a_", "aA", true},   {"a", "Z", true},     {"Z", "a", false},     {"a9", "a_", true},    {"x", "X", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WordIndex::LessNoCase(c.a, c.b), c.less) << c.a << " < " << c.b;
    }
}

TEST(WordIndexTest, CompletesInCountThenLengthThenFoldedOrder) {
    WordIndex index;
    (void)index.AddWordsFromText("the the the them them them theory theory theory theory theory The");

    // The exact prefix is skipped; a word differing only in case is offered.
    EXPECT_EQ(index.Complete("the"), (std::vector<std::string>{"theory", "them", "The"}));
    EXPECT_EQ(index.Complete("The"), (std::vector<std::string>{"theory", "the", "them"}));
    EXPECT_EQ(index.Complete("th"), (std::vector<std::string>{"theory", "the", "them", "The"}));
    EXPECT_EQ(index.Complete("theory"), std::vector<std::string>{});
    EXPECT_EQ(index.Complete("THEORY"), std::vector<std::string>{"theory"});
    EXPECT_EQ(index.Complete("theoryx"), std::vector<std::string>{});
    EXPECT_EQ(index.Complete(""), std::vector<std::string>{});
    EXPECT_EQ(index.Complete("x"), std::vector<std::string>{});
    EXPECT_EQ(index.Complete("日本"), std::vector<std::string>{});

    // Equal counts and lengths: capitals first, as LessNoCase orders them.
    WordIndex ties;
    (void)ties.AddWordsFromText("abc Abc ABC abd abcd ab_x");
    EXPECT_EQ(ties.Complete("a"), (std::vector<std::string>{"ABC", "Abc", "abc", "abd", "ab_x", "abcd"}));
}

TEST(WordIndexTest, PrefixMatchesEveryLetterCaseAndNothingAround) {
    WordIndex index;
    // Neighbours in the sorted order that must not leak in: folded just before and just after "th".
    (void)index.AddWordsFromText("tgzz thing Thong tHat THIS tiara t_hx th9x Th_x tha");
    const std::vector<std::string> expected = {"tha", "th9x", "Th_x", "tHat", "THIS", "thing", "Thong"};
    for (const char* prefix : {"th", "TH", "Th", "tH"}) {
        SCOPED_TRACE(prefix);
        EXPECT_EQ(index.Complete(prefix), expected);
    }
}

TEST(WordIndexTest, KeepsTheHundredBestCandidates) {
    for (const size_t stored : {size_t{100}, size_t{101}, size_t{250}}) {
        SCOPED_TRACE(stored);
        WordIndex index;
        // Word i is added i + 1 times, so the best are the last ones, in descending order.
        for (size_t i = 0; i < stored; ++i) {
            for (size_t k = 0; k <= i; ++k) index.AddWord("pre" + NumberedWord(i));
        }
        index.AddWord("other");
        const std::vector<std::string> words = index.Complete("pre");
        ASSERT_EQ(words.size(), 100u);
        for (size_t rank = 0; rank < words.size(); ++rank) {
            EXPECT_EQ(words[rank], "pre" + NumberedWord(stored - 1 - rank));
        }
    }
}

TEST(WordIndexTest, CapStopsNewWordsButCountsKeepGrowing) {
    // Both ways in: single words into a complete sorted list, and a bulk text.
    for (const bool bulk : {false, true}) {
        SCOPED_TRACE(bulk ? "bulk" : "single");
        WordIndex index;
        std::string text;
        for (size_t i = 0; i < WordIndex::kMaxWords; ++i) {
            if (bulk) {
                text += NumberedWord(i);
                text += ' ';
            } else {
                index.AddWord(NumberedWord(i));
            }
        }
        if (bulk) {
            EXPECT_TRUE(index.AddWordsFromText(text));
        }
        ASSERT_EQ(index.size(), WordIndex::kMaxWords);
        EXPECT_EQ(index.CountOf(NumberedWord(WordIndex::kMaxWords - 1)), 1);
        EXPECT_EQ(index.Complete("w").size(), WordIndex::kMaxCandidates);

        index.AddWord("newcomer");
        EXPECT_FALSE(index.AddWordsFromText("another newcomer"));  // nothing new stored: the list stays complete
        EXPECT_EQ(index.size(), WordIndex::kMaxWords);
        EXPECT_EQ(index.CountOf("newcomer"), 0);
        EXPECT_TRUE(index.Complete("new").empty());

        index.AddWord(NumberedWord(7));
        EXPECT_FALSE(index.AddWordsFromText(NumberedWord(7) + " " + NumberedWord(7)));
        EXPECT_EQ(index.CountOf(NumberedWord(7)), 4);
        EXPECT_FALSE(index.stale());
    }
}

TEST(WordIndexTest, StaleOnlyWhileTheSortedListMissesWords) {
    WordIndex index;
    EXPECT_FALSE(index.stale());
    EXPECT_FALSE(index.AddWordsFromText(""));
    EXPECT_FALSE(index.AddWordsFromText("ab 9x _under 日本語"));
    EXPECT_TRUE(index.AddWordsFromText("alpha beta"));
    EXPECT_TRUE(index.AddWordsFromText("alpha"));  // was stale already
    EXPECT_EQ(index.Complete("al"), std::vector<std::string>{"alpha"});
    EXPECT_FALSE(index.stale());

    // Known words only: counts change, the list stays complete and still answers rightly.
    EXPECT_FALSE(index.AddWordsFromText("beta beta beta"));
    index.AddWord("alphabet");  // in place
    EXPECT_FALSE(index.stale());
    EXPECT_EQ(index.Complete("AL"), (std::vector<std::string>{"alpha", "alphabet"}));
    EXPECT_EQ(index.CountOf("beta"), 4);

    EXPECT_TRUE(index.AddWordsFromText("gamma"));
    index.AddWord("gammaray");  // while stale: left for the rebuild
    EXPECT_EQ(index.Complete("gam"), (std::vector<std::string>{"gamma", "gammaray"}));
}

// Words typed one at a time and texts pasted in between, against a brute-force reference.
TEST(WordIndexTest, TypingAndPastingAgreeWithAFreshIndexAndAReference) {
    std::mt19937 random(20240611);
    const char alphabet[] = "aAbBcC_9";
    auto randomWord = [&] {
        std::string word(1, "abcABC"[random() % 6]);
        const size_t extra = 2 + random() % 4;
        for (size_t i = 0; i < extra; ++i) word.push_back(alphabet[random() % 8]);
        return word;
    };

    WordIndex typed;
    (void)typed.AddWordsFromText("start of the first note");
    (void)typed.Complete("st");  // the list is now complete, so typed words go in place
    std::string everything = "start of the first note";
    for (int step = 0; step < 3000; ++step) {
        if (step % 100 == 99) {
            std::string paste;
            for (int k = 0; k < 20; ++k) paste += randomWord() + "、";
            (void)typed.AddWordsFromText(paste);
            everything += " " + paste;
        } else {
            const std::string word = randomWord();
            typed.AddWord(word);
            everything += " " + word;
        }
        if (step % 500 == 250) (void)typed.Complete("a");  // a query between pastes rebuilds
    }

    // End with words typed into a complete list, so the last answers come from in-place insertions.
    (void)typed.Complete("a");
    for (int step = 0; step < 300; ++step) {
        const std::string word = randomWord();
        typed.AddWord(word);
        everything += " " + word;
    }
    ASSERT_FALSE(typed.stale());

    WordIndex fresh;
    (void)fresh.AddWordsFromText(everything);
    ASSERT_EQ(typed.size(), fresh.size());

    std::vector<std::string> distinct;
    {
        WordIndex scratch;
        size_t start = std::string::npos;
        for (size_t i = 0; i <= everything.size(); ++i) {
            const bool wordByte = i < everything.size() && WordIndex::IsWordByte(everything[i]);
            if (wordByte && start == std::string::npos) start = i;
            if (!wordByte && start != std::string::npos) {
                const std::string word = everything.substr(start, i - start);
                if (WordIndex::IsWord(word) && scratch.CountOf(word) == 0) {
                    scratch.AddWord(word);
                    distinct.push_back(word);
                }
                start = std::string::npos;
            }
        }
    }
    ASSERT_EQ(distinct.size(), typed.size());
    for (const std::string& word : distinct) ASSERT_EQ(typed.CountOf(word), fresh.CountOf(word)) << word;

    const char* prefixes[] = {"a", "A", "b", "C", "ab", "AB", "aB", "a_", "A9", "b_9", "cAb", "abc", "ABCA", "c9_a"};
    for (const char* prefix : prefixes) {
        SCOPED_TRACE(prefix);
        const std::vector<std::string> expected = BruteForceComplete(distinct, fresh, prefix);
        EXPECT_EQ(typed.Complete(prefix), expected);
        EXPECT_EQ(fresh.Complete(prefix), expected);
    }
}

TEST(WordIndexTest, MovedIndexKeepsWorkingAndTheSourceIsEmpty) {
    static_assert(!std::is_copy_constructible_v<WordIndex> && !std::is_copy_assignable_v<WordIndex>);
    WordIndex source;
    (void)source.AddWordsFromText("carry over the words");
    (void)source.Complete("ca");

    WordIndex moved(std::move(source));
    moved.AddWord("cargo");  // inserted into the moved sorted list
    EXPECT_EQ(moved.Complete("car"), (std::vector<std::string>{"cargo", "carry"}));
    EXPECT_EQ(source.size(), 0u);  // NOLINT(bugprone-use-after-move): documented state
    EXPECT_FALSE(source.stale());
    EXPECT_TRUE(source.Complete("car").empty());

    // Replacing by a fresh index, as setting a new provider does.
    moved = WordIndex();
    EXPECT_EQ(moved.size(), 0u);
    moved.AddWord("fresh");
    EXPECT_EQ(moved.Complete("fr"), std::vector<std::string>{"fresh"});
}

// Taking a text back leaves the index as if the text had never been added, the sorted list included.
TEST(WordIndexTest, TakingATextBackUndoesExactlyWhatAddingItDid) {
    WordIndex index;
    (void)index.AddWordsFromText("alpha alpine beta beta 日本語gamma ab _alps");
    ASSERT_EQ(index.Complete("al"), (std::vector<std::string>{"alpha", "alpine"}));  // sorted now
    (void)index.AddWordsFromText("alpine beta delta");
    index.RemoveWordsFromText("alpha beta gamma unknown ab 9alpha");
    WordIndex expected;
    (void)expected.AddWordsFromText("alpine beta alpine beta delta");
    EXPECT_TRUE(index == expected);
    EXPECT_EQ(index.CountOf("alpha"), 0);
    EXPECT_EQ(index.Complete("al"), std::vector<std::string>{"alpine"});
    EXPECT_EQ(index.Complete("de"), std::vector<std::string>{"delta"});
}

}  // namespace
}  // namespace lq
