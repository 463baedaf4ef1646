// Word index on generated notes: building it from 10,000 notes of 2 to 20 KB of mixed Japanese and
// ASCII text (time and memory), and completion lookups on the result. Prints figures; fixed seed.

#include <windows.h>

#include <psapi.h>  // after windows.h, which it needs

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "BenchSupport.h"
#include "completion/WordIndex.h"

namespace {

using lq::bench::Clock;
using lq::bench::MillisSince;

struct Memory {
    double commitMb = 0;
    double workingSetMb = 0;
    double peakWorkingSetMb = 0;
};

Memory ReadMemory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    Memory memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters))) {
        // PrivateUsage stays 0 under Wine; PagefileUsage is the same commit charge there and on Windows.
        memory.commitMb = static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
        memory.workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
        memory.peakWorkingSetMb = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    }
    return memory;
}

// splitmix64: the same sequence on every compiler and library.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t bound) { return static_cast<size_t>(Next() % bound); }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

private:
    uint64_t state_;
};

const char* const kBaseWords[] = {
    "the",        "and",       "for",        "with",     "that",       "this",     "from",     "have",
    "not",        "are",       "meeting",    "agenda",   "server",     "config",   "TODO",     "FIXME",
    "http",       "https",     "www",        "com",      "json",       "data",     "user",     "update",
    "release",    "version",   "build",      "test",     "error",      "log",      "file",     "path",
    "note",       "project",   "memo",       "index",    "query",      "function", "class",    "return",
    "value",      "string",    "list",       "table",    "select",     "where",    "python",   "windows",
    "github",     "docker",    "api",        "model",    "report",     "review",   "deploy",   "branch",
    "merge",      "commit",    "issue",      "ticket",   "customer",   "invoice",  "budget",   "schedule",
    "deadline",   "draft",     "final",      "status",   "check",      "setup",    "install",  "network",
    "proxy",      "cache",     "memory",     "thread",   "process",    "window",   "button",   "dialog",
    "editor",     "search",    "replace",    "export",   "import",     "backup",   "restore",  "database",
    "schema",     "migration", "option",     "setting",  "profile",    "account",  "password", "token",
    "session",    "request",   "response",   "header",   "payload",    "format",   "encode",   "decode",
    "utf",        "shift",     "jis",        "unicode",  "text",       "line",     "column",   "row",
    "cell",       "sheet",     "chart",      "graph",    "node",       "tree",     "map",      "set",
    "vector",     "array",     "queue",      "stack",    "hash",       "sort",     "filter",   "reduce",
    "async",      "await",     "promise",    "event",    "handler",    "callback", "timer",    "clock",
    "date",       "time",      "zone",       "Tokyo",    "Osaka",      "Kyoto",    "Monday",   "Friday",
    "January",    "April",     "October",    "Slack",    "Zoom",       "Teams",    "Excel",    "Word",
    "PowerPoint", "Chrome",    "Firefox",    "Linux",    "macOS",      "Android",  "iPhone",   "Kubernetes",
    "Terraform",  "AWS",       "Azure",      "GCP",      "SQL",        "NoSQL",    "Redis",    "Postgres",
    "MySQL",      "SQLite",    "Rust",       "Go",       "Java",       "Kotlin",   "Swift",    "JavaScript",
    "TypeScript", "React",     "Vue",        "Angular",  "Node",       "npm",      "pip",      "cargo",
    "gradle",     "maven",     "CMake",      "Ninja",    "compiler",   "linker",   "debug",    "profile",
    "benchmark",  "latency",   "throughput", "sprint",   "retro",      "standup",  "roadmap",  "milestone",
    "feature",    "bugfix",    "hotfix",     "refactor", "cleanup",    "document", "spec",     "design",
    "prototype",  "mockup",    "figma",      "sketch",   "idea",       "question", "answer",   "summary",
    "detail",     "example",   "sample",     "template", "pattern",    "strategy", "market",   "sales",
    "price",      "order",     "shipping",   "delivery", "inventory",  "supplier", "contract", "legal",
    "policy",     "security",  "privacy",    "audit",    "compliance", "incident", "outage",   "monitor",
    "alert",      "metric",    "dashboard",
};

const char* const kJapanese[] = {
    "今日は",
    "会議の",
    "議事録",
    "について",
    "確認する",
    "必要がある",
    "予定",
    "明日",
    "来週",
    "東京で",
    "打ち合わせ",
    "資料を",
    "作成した",
    "メモ",
    "課題",
    "対応",
    "完了",
    "未定",
    "検討中",
    "ありがとうございます",
    "よろしくお願いします",
    "お疲れさまです",
    "設定を",
    "変更した",
    "ファイルを",
    "保存",
    "エラーが",
    "発生した",
    "原因は",
    "不明",
    "調査",
    "結果",
    "報告",
    "次回",
    "までに",
    "提出",
    "担当者",
    "連絡",
    "返信待ち",
    "見積もり",
    "請求書",
    "契約",
    "仕様",
    "変更点",
    "テスト",
    "リリース",
    "本番環境",
    "開発環境",
    "バックアップ",
    "復元",
    "読書",
    "感想",
    "買い物",
    "牛乳",
    "卵",
    "パン",
    "病院",
    "予約",
    "週末",
    "旅行",
    "京都",
    "新幹線",
    "ホテル",
    "天気",
    "晴れ",
    "雨",
    "思う",
    "考える",
    "ことにした",
    "らしい",
    "かもしれない",
    "です",
    "ます",
    "でした",
    "は",
    "が",
    "を",
    "に",
    "で",
    "と",
    "の",
    "も",
    "から",
    "まで",
};
const char* const kPunctuation[] = {"。", "、", "！", "？", "「", "」", "（", "）", "・", "…"};
const char* const kShortTokens[] = {"a", "I",  "ok",   "v2",    "OK",   "x",    "id",  "to", "of",  "in",
                                    "5", "10", "2024", "10:30", "3.14", "_tmp", "9am", "#1", "@me", "->"};

// About 150,000 distinct ASCII words in a fixed rank order: the base words first, then compounds
// and variants of them as people write identifiers, names and abbreviations.
// `seen` is the caller's, kept to the end so that its memory is not reused by the index and hidden
// from the process figures.
std::vector<std::string> MakeVocabulary(Random& random, size_t wanted, std::unordered_set<std::string>& seen) {
    const size_t baseCount = std::size(kBaseWords);
    std::vector<std::string> words;
    auto add = [&](std::string word) {
        if (seen.insert(word).second) words.push_back(std::move(word));
    };
    for (const char* word : kBaseWords) add(word);
    while (words.size() < wanted) {
        const std::string a = kBaseWords[random.Below(baseCount)];
        const std::string b = kBaseWords[random.Below(baseCount)];
        std::string word;
        switch (random.Below(6)) {
            case 0:
                word = a + "_" + b;
                break;
            case 1: {
                std::string capitalised = b;
                capitalised[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capitalised[0])));
                word = a + capitalised;
                break;
            }
            case 2:
                word = a + std::to_string(random.Below(1000));
                break;
            case 3:
                word = a + b + std::to_string(random.Below(100));
                break;
            case 4: {
                word = a + "_" + b + "_" + kBaseWords[random.Below(baseCount)];
                break;
            }
            default: {
                // Made-up names and romanised words: syllables.
                static const char* const syllables[] = {"ka", "shi", "tsu", "ne", "ho", "mi", "yu", "ra", "wo",
                                                        "n",  "ta",  "ki",  "ro", "sa", "ya", "ma", "no", "ri"};
                const size_t count = 2 + random.Below(4);
                for (size_t i = 0; i < count; ++i) word += syllables[random.Below(std::size(syllables))];
                if (random.Below(3) == 0) word[0] = static_cast<char>(word[0] - ('a' - 'A'));
                break;
            }
        }
        if (word.size() <= 64) add(std::move(word));
    }
    return words;
}

// Zipf-like ranks: a few words very often, most rarely.
class RankSampler {
public:
    RankSampler(size_t count, double exponent) : cumulative_(count) {
        double total = 0;
        for (size_t rank = 0; rank < count; ++rank) {
            total += 1.0 / std::pow(static_cast<double>(rank + 1), exponent);
            cumulative_[rank] = total;
        }
        for (double& value : cumulative_) value /= total;
    }
    size_t Sample(Random& random) const {
        const auto it = std::upper_bound(cumulative_.begin(), cumulative_.end(), random.Unit());
        return std::min(static_cast<size_t>(it - cumulative_.begin()), cumulative_.size() - 1);
    }

private:
    std::vector<double> cumulative_;
};

std::string MakeNote(Random& random, const std::vector<std::string>& vocabulary, const RankSampler& ranks) {
    const size_t target = 2048 + random.Below(20480 - 2048 + 1);
    std::string note;
    note.reserve(target + 256);
    auto asciiWord = [&]() -> const std::string& { return vocabulary[ranks.Sample(random)]; };
    while (note.size() < target) {
        const size_t kind = random.Below(10);
        if (kind < 6) {
            // A Japanese sentence with ASCII words inside, sometimes spaced, sometimes not.
            const size_t parts = 4 + random.Below(10);
            for (size_t i = 0; i < parts; ++i) {
                if (random.Below(3) == 0) {
                    const bool spaced = random.Below(2) == 0;
                    if (spaced) note += ' ';
                    note += random.Below(8) == 0 ? std::string(kShortTokens[random.Below(std::size(kShortTokens))])
                                                 : asciiWord();
                    if (spaced) note += ' ';
                } else {
                    note += kJapanese[random.Below(std::size(kJapanese))];
                }
                if (random.Below(6) == 0) note += kPunctuation[random.Below(std::size(kPunctuation))];
            }
            note += "。";
        } else if (kind < 8) {
            // A list item or an ASCII-heavy line: code, commands, English.
            note += random.Below(2) == 0 ? "- " : "    ";
            const size_t words = 3 + random.Below(9);
            for (size_t i = 0; i < words; ++i) {
                note += asciiWord();
                note += " .,=(/:"[random.Below(7)];
            }
        } else if (kind == 8) {
            note += "https://";
            note += asciiWord();
            note += ".example.com/";
            note += asciiWord();
            note += "?id=";
            note += std::to_string(random.Below(100000));
        } else {
            note += "■ ";
            note += kJapanese[random.Below(std::size(kJapanese))];
            note += asciiWord();
        }
        note += "\r\n";
    }
    return note;
}

double MedianMicros(lq::WordIndex& index, std::string_view prefix, int repeats, size_t& found) {
    std::vector<double> times;
    times.reserve(static_cast<size_t>(repeats));
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        found = index.Complete(prefix).size();
        times.push_back(MillisSince(start) * 1000.0);
    }
    std::nth_element(times.begin(), times.begin() + repeats / 2, times.end());
    return times[static_cast<size_t>(repeats / 2)];
}

}  // namespace

int main() {
    constexpr size_t kNotes = 10000;
    Random random(0x4C616E7465726Eull);

    const Memory baseline = ReadMemory();
    const auto generationStart = Clock::now();
    std::unordered_set<std::string> vocabularySet;
    const std::vector<std::string> vocabulary = MakeVocabulary(random, 150000, vocabularySet);
    const RankSampler ranks(vocabulary.size(), 1.0);
    std::vector<std::string> notes;
    notes.reserve(kNotes);
    size_t totalBytes = 0;
    for (size_t i = 0; i < kNotes; ++i) {
        notes.push_back(MakeNote(random, vocabulary, ranks));
        totalBytes += notes.back().size();
    }
    std::printf(
        "notes: %zu, text %.1f MB (%zu to %zu bytes each), vocabulary %zu words, generated in %.0f ms\n", notes.size(),
        static_cast<double>(totalBytes) / (1024.0 * 1024.0),
        std::min_element(notes.begin(), notes.end(), [](auto& a, auto& b) { return a.size() < b.size(); })->size(),
        std::max_element(notes.begin(), notes.end(), [](auto& a, auto& b) { return a.size() < b.size(); })->size(),
        vocabulary.size(), MillisSince(generationStart));

    const Memory before = ReadMemory();
    lq::WordIndex index;
    const auto buildStart = Clock::now();
    for (const std::string& note : notes) (void)index.AddWordsFromText(note);
    const double addMs = MillisSince(buildStart);
    const auto sortStart = Clock::now();
    index.EnsureSorted();
    const double sortMs = MillisSince(sortStart);
    const Memory after = ReadMemory();

    std::printf("build: add all notes %.1f ms (%.0f MB/s), sort %.1f ms, total %.1f ms\n", addMs,
                static_cast<double>(totalBytes) / (1024.0 * 1024.0) / (addMs / 1000.0), sortMs, addMs + sortMs);
    std::printf("index: %zu distinct words (cap %zu), %.2f MB counted by the index\n", index.size(),
                lq::WordIndex::kMaxWords, static_cast<double>(index.CountedBytes()) / (1024.0 * 1024.0));
    // The process figures include the generated text; the growth across the build is the index's
    // own memory with the allocator's overhead.
    std::printf(
        "process memory (GetProcessMemoryInfo): baseline working set %.1f MB; before build commit %.1f MB, "
        "working set %.1f MB; after build commit %.1f MB (+%.1f), working set %.1f MB (+%.1f); "
        "peak working set %.1f MB (notes' text included)\n",
        baseline.workingSetMb, before.commitMb, before.workingSetMb, after.commitMb, after.commitMb - before.commitMb,
        after.workingSetMb, after.workingSetMb - before.workingSetMb, after.peakWorkingSetMb);

    // One lookup right after the build, as the first completion of a session does (sorted already).
    for (const char* prefix : {"co", "th", "TH", "re", "pro", "data", "ka", "Tok", "zz", "SQLite_"}) {
        const auto start = Clock::now();
        const size_t firstCount = index.Complete(prefix).size();
        const double firstMicros = MillisSince(start) * 1000.0;
        size_t found = 0;
        const double median = MedianMicros(index, prefix, 201, found);
        std::printf("lookup \"%s\": %zu candidates, first %.1f us, median of 201 %.1f us\n", prefix, firstCount,
                    firstMicros, median);
    }

    // The slowest two-letter prefix: the widest range to walk.
    double worstMicros = 0;
    std::string worstPrefix;
    for (char a = 'a'; a <= 'z'; ++a) {
        for (char b = 'a'; b <= 'z'; ++b) {
            const std::string prefix{a, b};
            size_t found = 0;
            const double median = MedianMicros(index, prefix, 21, found);
            if (median > worstMicros) {
                worstMicros = median;
                worstPrefix = prefix;
            }
        }
    }
    std::printf("lookup, slowest two-letter prefix \"%s\": median %.1f us\n", worstPrefix.c_str(), worstMicros);

    // A word typed and finished while the list is complete: inserted in place.
    lq::WordIndex partial;
    for (size_t i = 0; i < 1000; ++i) (void)partial.AddWordsFromText(notes[i]);
    partial.EnsureSorted();
    const size_t partialWords = partial.size();
    const auto insertStart = Clock::now();
    constexpr int kInserts = 1000;
    for (int i = 0; i < kInserts; ++i) partial.AddWord("typed" + std::to_string(i) + "word");
    std::printf("typed word into a sorted index of %zu words: %.2f us per new word\n", partialWords,
                MillisSince(insertStart) * 1000.0 / kInserts);

    // The index made again and again past its limit, as a fill that started over on every save of
    // the open note did, with what a typing session allocates in between: the text typed so far,
    // and a copy of it per save. Shows whether the allocator gives the index's memory back.
    constexpr int kRounds = 60;
    std::string typed;
    std::vector<std::string> saves;
    const Memory roundsStart = ReadMemory();
    std::printf("made again %d times past the limit while typing: commit %.1f MB at the start\n", kRounds,
                roundsStart.commitMb);
    for (int round = 1; round <= kRounds; ++round) {
        index = lq::WordIndex{};
        for (size_t i = 0; i < notes.size(); ++i) {
            (void)index.AddWordsFromText(notes[i]);
            if (i % 500 == 0) {
                typed += " typed" + std::to_string(round) + "x" + std::to_string(i);
                saves.push_back(typed);
                if (saves.size() > 4) saves.erase(saves.begin());
            }
        }
        index.EnsureSorted();
        if (round % 10 == 0) {
            const Memory now = ReadMemory();
            std::printf("  round %2d: %zu words, commit %.1f MB (%+.1f), working set %.1f MB\n", round, index.size(),
                        now.commitMb, now.commitMb - roundsStart.commitMb, now.workingSetMb);
        }
    }
    return 0;
}
