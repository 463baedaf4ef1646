#include "completion/WordIndex.h"

#include <algorithm>
#include <array>
#include <limits>

namespace lq {
namespace {

constexpr unsigned char FoldToLower(char c) noexcept {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

constexpr char FoldToUpper(char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

// The scan over whole notes looks each byte up here rather than testing three ranges.
constexpr std::array<bool, 256> kWordByteTable = [] {
    std::array<bool, 256> table{};
    for (int byte = 0; byte < 256; ++byte) table[byte] = WordIndex::IsWordByte(static_cast<char>(byte));
    return table;
}();

inline bool IsWordByteFast(char c) noexcept {
    return kWordByteTable[static_cast<unsigned char>(c)];
}

// Calls `visit` with every word of `text` by the word rule, in order: the runs of word bytes of
// kMinWordBytes to kMaxWordBytes that begin with an ASCII letter.
template <typename Visit>
void ForEachWordIn(std::string_view text, Visit&& visit) {
    const char* cursor = text.data();
    const char* const end = cursor + text.size();
    while (cursor < end) {
        if (!IsWordByteFast(*cursor)) {
            ++cursor;
            continue;
        }
        const char* const start = cursor;
        while (cursor < end && IsWordByteFast(*cursor)) ++cursor;
        const auto length = static_cast<size_t>(cursor - start);
        if (length >= WordIndex::kMinWordBytes && length <= WordIndex::kMaxWordBytes &&
            WordIndex::IsAsciiLetter(*start)) {
            visit(std::string_view(start, length));
        }
    }
}

bool StartsWithNoCase(std::string_view word, std::string_view prefix) noexcept {
    if (word.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (FoldToLower(word[i]) != FoldToLower(prefix[i])) return false;
    }
    return true;
}

}  // namespace

WordIndex::WordIndex(WordIndex&& other) noexcept
    : counts_(std::move(other.counts_)), sorted_(std::move(other.sorted_)), stale_(other.stale_) {
    other.counts_.clear();
    other.sorted_.clear();
    other.stale_ = false;
}

WordIndex& WordIndex::operator=(WordIndex&& other) noexcept {
    if (this != &other) {
        counts_ = std::move(other.counts_);
        sorted_ = std::move(other.sorted_);
        stale_ = other.stale_;
        other.counts_.clear();
        other.sorted_.clear();
        other.stale_ = false;
    }
    return *this;
}

bool WordIndex::LessNoCase(std::string_view a, std::string_view b) noexcept {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char foldedA = FoldToLower(a[i]);
        const unsigned char foldedB = FoldToLower(b[i]);
        if (foldedA != foldedB) return foldedA < foldedB;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;  // char_traits compares as unsigned bytes: capitals first
}

void WordIndex::AddWord(std::string_view word) {
    if (IsWord(word)) AddCheckedWord(word);
}

void WordIndex::AddCheckedWord(std::string_view word) {
    if (const auto found = counts_.find(word); found != counts_.end()) {
        if (found->second < std::numeric_limits<int32_t>::max()) ++found->second;
        return;
    }
    if (counts_.size() >= kMaxWords) return;
    const Entry& entry = *counts_.emplace(std::string(word), 1).first;
    if (!stale_) {
        // Marked stale until the insertion has succeeded, so a failed allocation leaves a list
        // that will be rebuilt rather than one that silently misses the word.
        stale_ = true;
        const auto position =
            std::lower_bound(sorted_.begin(), sorted_.end(), word,
                             [](const Entry* e, std::string_view w) { return LessNoCase(e->first, w); });
        sorted_.insert(position, &entry);
        stale_ = false;
    }
}

bool WordIndex::AddWordsFromText(std::string_view text) {
    const bool wasStale = stale_;
    const size_t wordsBefore = counts_.size();
    stale_ = true;  // no sorted insertions during a bulk add
    ForEachWordIn(text, [this](std::string_view word) { AddCheckedWord(word); });
    stale_ = wasStale || counts_.size() > wordsBefore;
    return stale_;
}

void WordIndex::RemoveWordsFromText(std::string_view text) {
    ForEachWordIn(text, [this](std::string_view word) {
        const auto found = counts_.find(word);
        if (found == counts_.end() || --found->second > 0) return;
        // The sorted list would point at the freed node: it is rebuilt before the next query.
        sorted_.clear();
        stale_ = true;
        counts_.erase(found);
    });
}

void WordIndex::EnsureSorted() {
    if (!stale_) return;
    sorted_.clear();
    sorted_.reserve(counts_.size());
    for (const Entry& entry : counts_) sorted_.push_back(&entry);
    std::sort(sorted_.begin(), sorted_.end(),
              [](const Entry* a, const Entry* b) { return LessNoCase(a->first, b->first); });
    stale_ = false;
}

std::vector<std::string> WordIndex::Complete(std::string_view prefix) {
    if (prefix.empty()) return {};
    EnsureSorted();

    // The upper-case key sorts before every word it is a folded prefix of, whatever their case.
    std::string key(prefix);
    std::transform(key.begin(), key.end(), key.begin(), FoldToUpper);
    auto it = std::lower_bound(sorted_.begin(), sorted_.end(), std::string_view(key),
                               [](const Entry* e, std::string_view k) { return LessNoCase(e->first, k); });

    std::vector<const Entry*> candidates;
    for (; it != sorted_.end(); ++it) {
        const std::string& word = (*it)->first;
        if (!StartsWithNoCase(word, prefix)) break;
        if (word == prefix) continue;
        candidates.push_back(*it);
    }

    const size_t kept = std::min(candidates.size(), kMaxCandidates);
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(kept), candidates.end(),
                      [](const Entry* a, const Entry* b) {
                          if (a->second != b->second) return a->second > b->second;
                          if (a->first.size() != b->first.size()) return a->first.size() < b->first.size();
                          return LessNoCase(a->first, b->first);
                      });

    std::vector<std::string> words;
    words.reserve(kept);
    for (size_t i = 0; i < kept; ++i) words.push_back(candidates[i]->first);
    return words;
}

int32_t WordIndex::CountOf(std::string_view word) const noexcept {
    const auto found = counts_.find(word);
    return found == counts_.end() ? 0 : found->second;
}

size_t WordIndex::CountedBytes() const noexcept {
    // A node of the map holds the next pointer, the entry and the cached hash code.
    constexpr size_t kNodeBytes = sizeof(void*) + sizeof(Entry) + sizeof(size_t);
    size_t bytes = sizeof(*this) + counts_.size() * kNodeBytes + counts_.bucket_count() * sizeof(void*) +
                   sorted_.capacity() * sizeof(const Entry*);
    const size_t inlineCapacity = std::string().capacity();
    for (const Entry& entry : counts_) {
        if (entry.first.capacity() > inlineCapacity) bytes += entry.first.capacity() + 1;
    }
    return bytes;
}

std::vector<std::pair<std::string, int32_t>> WordIndex::Entries() const {
    std::vector<std::pair<std::string, int32_t>> entries(counts_.begin(), counts_.end());
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return LessNoCase(a.first, b.first); });
    return entries;
}

}  // namespace lq
