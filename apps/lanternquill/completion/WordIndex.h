#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lq {

// The distinct ASCII words of all notes with how often each was seen, from which word completion
// takes its candidates. Memory only, never saved; words are never removed, only the whole index is
// replaced. UI thread only.
//
// A word is a maximal run of [0-9A-Za-z_] bytes, 3 to 64 bytes long, beginning with an ASCII letter;
// every other byte (including every byte of a multi-byte UTF-8 character) separates words, and a run
// that breaks the rule is skipped whole. Words are kept as written: "Word" and "word" are two words.
class WordIndex {
public:
    static constexpr size_t kMaxWords = 100000;
    static constexpr size_t kMinWordBytes = 3;
    static constexpr size_t kMaxWordBytes = 64;
    static constexpr size_t kMaxCandidates = 100;

    [[nodiscard]] static constexpr bool IsAsciiLetter(char c) noexcept {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    }
    // The bytes words are made of: [0-9A-Za-z_].
    [[nodiscard]] static constexpr bool IsWordByte(char c) noexcept {
        return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_';
    }
    // True when the whole of `text` is one word by the rule above.
    [[nodiscard]] static constexpr bool IsWord(std::string_view text) noexcept {
        if (text.size() < kMinWordBytes || text.size() > kMaxWordBytes || !IsAsciiLetter(text.front())) return false;
        for (char c : text) {
            if (!IsWordByte(c)) return false;
        }
        return true;
    }

    WordIndex() = default;
    // The sorted list points into the map's nodes, which a move hands over intact; a copy would
    // point into the original, so there is none. A moved-from index is empty and not stale.
    WordIndex(const WordIndex&) = delete;
    WordIndex& operator=(const WordIndex&) = delete;
    WordIndex(WordIndex&& other) noexcept;
    WordIndex& operator=(WordIndex&& other) noexcept;
    ~WordIndex() = default;

    // Counts one more occurrence of `word`; a new word is stored only while fewer than kMaxWords are
    // held (then dropped silently). While the sorted list is complete the new word is inserted into
    // it in place. Anything that is not a word by the rule is ignored, so a stray space or a
    // multi-byte character can never reach the space-separated completion list. A count stops
    // growing at INT32_MAX.
    void AddWord(std::string_view word);

    // Adds every word of a UTF-8 text. The sorted list is not kept during the bulk add: returns true
    // when it is now stale (it was already, or a new word was stored), false when it is still complete.
    bool AddWordsFromText(std::string_view text);

    // Takes back what AddWordsFromText(text) added: one occurrence less of each word, a word at none
    // removed. Exact only while no new word was ever dropped at the limit. For the index's fill,
    // which corrects what it read of a note; completion itself never forgets a word.
    void RemoveWordsFromText(std::string_view text);

    // Rebuilds the sorted list when it is stale; nothing otherwise.
    void EnsureSorted();

    // Up to kMaxCandidates stored words that begin with `prefix` under A-Z/a-z folding, best first:
    // higher count, then shorter, then LessNoCase. A word equal to the prefix byte for byte is left
    // out (one differing only in letter case is offered). An empty prefix gives nothing.
    [[nodiscard]] std::vector<std::string> Complete(std::string_view prefix);

    // The order of the sorted list: bytewise with A-Z folded to a-z, a prefix before its longer
    // words, and words equal when folded ordered by plain bytes ("ABC" < "Abc" < "abc").
    [[nodiscard]] static bool LessNoCase(std::string_view a, std::string_view b) noexcept;

    // Number of distinct words stored.
    [[nodiscard]] size_t size() const noexcept { return counts_.size(); }
    // How many times `word` was added; 0 when it is not stored.
    [[nodiscard]] int32_t CountOf(std::string_view word) const noexcept;
    // True when the sorted list must be rebuilt before the next query.
    [[nodiscard]] bool stale() const noexcept { return stale_; }
    // The bytes the index itself holds (nodes, buckets, long word buffers, the sorted list), counted
    // from the containers' sizes; the allocator's own overhead is not included.
    [[nodiscard]] size_t CountedBytes() const noexcept;
    // Every stored word with its count, in LessNoCase order (for comparing two indexes).
    [[nodiscard]] std::vector<std::pair<std::string, int32_t>> Entries() const;
    // The same words with the same counts; the sorted lists' states do not matter.
    [[nodiscard]] friend bool operator==(const WordIndex& a, const WordIndex& b) { return a.counts_ == b.counts_; }

private:
    // Hashing a view lets a word seen in a text be looked up without building a string first.
    struct WordHash {
        using is_transparent = void;
        size_t operator()(std::string_view word) const noexcept { return std::hash<std::string_view>{}(word); }
    };
    using CountMap = std::unordered_map<std::string, int32_t, WordHash, std::equal_to<>>;
    using Entry = CountMap::value_type;

    void AddCheckedWord(std::string_view word);

    CountMap counts_;
    // Entries of counts_ (whose nodes never move) in LessNoCase order of their words.
    std::vector<const Entry*> sorted_;
    bool stale_ = false;
};

}  // namespace lq
