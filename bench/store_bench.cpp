// Figures for the note store on 10,000 notes of 2 to 20 KB of mixed Japanese and ASCII text: opening
// with listing, one search through every note's content, 100 saves in one transaction, and a backup
// with its verification. Prints milliseconds; sets no targets.
#include <windows.h>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "store/Database.h"
#include "store/DatabaseFiles.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/Transaction.h"
#include "support/TempFolder.h"

namespace {

using lq::bench::Clock;
using lq::bench::MillisSince;

// Deterministic text of about `bytes` bytes, mixing Japanese words and ASCII.
std::string MakeText(uint32_t& state, size_t bytes) {
    static const char* const kWords[] = {"今日は", "会議", "議事録", "メモ", "東京", "プロジェクト", "確認",
                                         "lorem", "ipsum", "dolor", "update", "release", "2026", "note",
                                         "予定", "資料", "\r\n"};
    std::string text;
    while (text.size() < bytes) {
        state = state * 1103515245u + 12345u;
        text += kWords[(state >> 16) % (sizeof kWords / sizeof kWords[0])];
        text += ' ';
    }
    return text;
}

}  // namespace

int main() {
    using namespace lq;
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    constexpr int kProjects = 50;
    constexpr int kNotes = 10000;

    {
        DatabaseOpenResult created = Database::Open(path, MakeMigrations());
        if (created.outcome != OpenOutcome::Ok) {
            std::printf("open failed: %s\n", created.error.c_str());
            return 1;
        }
        Database& db = *created.db;
        ProjectStore projects(db);
        NoteStore notes(db);
        uint32_t state = 1;
        const auto start = Clock::now();
        Transaction transaction(db);
        int64_t projectIds[kProjects];
        for (int p = 0; p < kProjects; ++p) projectIds[p] = *projects.InsertProject("プロジェクト " + std::to_string(p), 1);
        uint64_t bytes = 0;
        for (int n = 0; n < kNotes; ++n) {
            const auto id = notes.InsertNote(projectIds[n % kProjects], "メモ " + std::to_string(n), 1);
            state = state * 1103515245u + 12345u;
            std::string content = MakeText(state, 2048 + (state >> 8) % (18 * 1024));
            if (n == 7777) content += " 見つけた needle";
            bytes += content.size();
            if (!id || !notes.SaveNote(*id, content, NoteViewState{}, 2)) {
                std::printf("fill failed: %s\n", db.LastError().c_str());
                return 1;
            }
        }
        if (!transaction.Commit()) return 1;
        std::printf("fill: %d notes, %.1f MB of content, %.0f ms\n", kNotes, bytes / 1048576.0, MillisSince(start));
    }

    auto start = Clock::now();
    DatabaseOpenResult opened = Database::Open(path, MakeMigrations());
    if (opened.outcome != OpenOutcome::Ok) return 1;
    Database& db = *opened.db;
    ProjectStore projects(db);
    NoteStore notes(db);
    const auto projectRows = projects.ListProjects();
    const auto noteRows = notes.ListNotes();
    if (!projectRows || !noteRows) return 1;
    std::printf("open + list all projects and notes: %.1f ms (%zu projects, %zu notes)\n", MillisSince(start),
                projectRows->size(), noteRows->size());

    start = Clock::now();
    int found = 0;
    const bool scanned = notes.ForEachNoteContaining("NEEDLE", [&](int64_t, std::string_view) { ++found; });
    std::printf("search through every note's content: %.1f ms (%d found, %s)\n", MillisSince(start), found,
                scanned ? "ok" : "failed");

    start = Clock::now();
    const auto hits = notes.SearchNotes("見つけた");
    std::printf("search with snippets (sidebar search): %.1f ms (%zu hits)\n", MillisSince(start),
                hits ? hits->size() : 0);

    start = Clock::now();
    {
        Transaction transaction(db);
        uint32_t state = 99;
        for (int i = 0; i < 100; ++i) {
            const NoteListRow& row = (*noteRows)[static_cast<size_t>(i) * 97];
            if (!notes.SaveNote(row.id, MakeText(state, 8192), NoteViewState{1, 1, 0, 0, 0, 3}, 3)) return 1;
        }
        if (!transaction.Commit()) return 1;
    }
    std::printf("update 100 notes in one transaction: %.1f ms\n", MillisSince(start));

    const std::wstring target = folder.File(L"backup.db");
    start = Clock::now();
    const bool backedUp = db.BackupTo(target);
    std::printf("backup with verification: %.1f ms (%s)\n", MillisSince(start), backedUp ? "ok" : "failed");
    start = Clock::now();
    const bool verified = VerifyDatabaseFile(target);
    std::printf("  of which a quick_check of the copy alone: %.1f ms (%s)\n", MillisSince(start),
                verified ? "ok" : "failed");
    return backedUp && verified && scanned ? 0 : 1;
}
