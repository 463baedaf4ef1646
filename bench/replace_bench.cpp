// Figures for counting and replacing in all notes over a real editor: 10,000 notes of 2 to 8 KB
// (20 projects) in which a common word appears in most notes, counted and replaced in one
// transaction, with the open note rewritten in place. Prints milliseconds; sets no targets.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "editor/EditorClass.h"
#include "editor/EditorView.h"
#include "store/Database.h"
#include "store/Migration.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/Transaction.h"
#include "support/TempFolder.h"
#include "workspace/ReplaceText.h"
#include "workspace/Workspace.h"

namespace {

using lq::bench::Clock;
using lq::bench::MillisSince;

// Deterministic text of about `bytes` bytes, mixing Japanese words and ASCII; "update" is common.
std::string MakeText(uint32_t& state, size_t bytes) {
    static const char* const kWords[] = {"今日は", "会議",  "議事録", "メモ",   "東京", "プロジェクト",
                                         "確認",   "lorem", "ipsum",  "dolor",  "note", "release",
                                         "2026",   "予定",  "資料",   "Update", "\r\n"};
    std::string text;
    while (text.size() < bytes) {
        state = state * 1103515245u + 12345u;
        const unsigned pick = (state >> 16) % 400;
        // About one word in 400 is "update" in some case.
        text += pick == 0 ? "update" : kWords[pick % (sizeof kWords / sizeof kWords[0] - 1)];
        text += (pick % 23 == 0) ? "\r\n" : " ";
    }
    return text;
}

}  // namespace

int main() {
    using namespace lq;
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    constexpr int kProjects = 20;
    constexpr int kNotes = 10000;

    std::unique_ptr<Database> opened = lq::bench::OpenDatabase(path);
    if (!opened) return 1;
    Database& db = *opened;
    size_t totalBytes = 0;
    const std::vector<int64_t> noteIds =
        lq::bench::AddGeneratedNotes(db, kProjects, kNotes, 7, 6 * 1024, MakeText, totalBytes);
    if (noteIds.empty()) return 1;
    std::printf("generated %d notes, %.1f MB of text\n", kNotes, static_cast<double>(totalBytes) / (1024 * 1024));

    lq::bench::EditorHost host;
    if (!host.ok) {
        std::printf("no editor window\n");
        return 1;
    }
    Workspace workspace(db, host.view);
    if (!workspace.Load()) return 1;
    // A few cached documents, as after some browsing; the last one stays open.
    for (int i = 0; i < 20; ++i) {
        if (!workspace.OpenNote(noteIds[static_cast<size_t>(i * 37)])) return 1;
    }
    if (workspace.SaveAll(SaveReason::UserSave) == SaveResult::Failed) return 1;

    for (const char* query : {"update", "UPDATE", "議事録", "no such text"}) {
        std::vector<double> runs;
        std::optional<ReplaceCount> count;
        for (int run = 0; run < 5; ++run) {
            const auto start = Clock::now();
            count = workspace.CountInAllNotes(query);
            runs.push_back(MillisSince(start));
        }
        if (!count) return 1;
        std::sort(runs.begin(), runs.end());
        std::printf("count \"%s\" in 10,000 notes: %lld matches in %lld notes, median %.1f ms, best %.1f ms of 5\n",
                    query, static_cast<long long>(count->occurrences), static_cast<long long>(count->noteCount),
                    runs[2], runs[0]);
    }

    {
        // The share of a replace spent reading and building the new texts, without writing them.
        NoteStore notes(db);
        int64_t replaced = 0;
        const auto start = Clock::now();
        const bool scanned = notes.ForEachNoteContaining("update", [&](int64_t, std::string_view content) {
            replaced += ReplaceAllNoCase(content, "update", "upgrade").count;
        });
        if (!scanned) return 1;
        std::printf("scan and build the new texts for \"update\" without writing: %lld replacements, %.1f ms\n",
                    static_cast<long long>(replaced), MillisSince(start));
    }

    const std::pair<const char*, const char*> replacements[] = {
        {"update", "upgrade"}, {"upgrade", "update"}, {"議事録", "議事メモ"}, {"議事メモ", "議事録"}};
    for (const auto& [query, replacement] : replacements) {
        const auto start = Clock::now();
        const ReplaceAllOutcome outcome = workspace.ReplaceInAllNotes(query, replacement);
        const double elapsed = MillisSince(start);
        if (outcome.status != ReplaceAllStatus::Replaced) {
            std::printf("replace \"%s\" failed with status %d\n", query, static_cast<int>(outcome.status));
            return 1;
        }
        std::printf("replace \"%s\" by \"%s\": %lld replacements in %lld notes, one transaction, %.1f ms\n", query,
                    replacement, static_cast<long long>(outcome.totalReplaced),
                    static_cast<long long>(outcome.notesChanged), elapsed);
    }
    return 0;
}
