// Figures for the workspace over a real editor: loading 10,000 notes of 2 to 20 KB (50 projects),
// opening a 1 MB and a 10 MB note for the first time and again from the cache, and saving 100 dirty
// notes among the 10,000 in one transaction. Prints milliseconds; sets no targets.
#include <windows.h>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "editor/EditorClass.h"
#include "editor/EditorView.h"
#include "store/Database.h"
#include "store/MappedReads.h"
#include "store/Migration.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/Transaction.h"
#include "support/LockingConnection.h"
#include "support/TempFolder.h"
#include "workspace/Workspace.h"

namespace {

using lq::bench::Clock;
using lq::bench::MillisSince;

// Deterministic text of about `bytes` bytes, mixing Japanese words and ASCII.
std::string MakeText(uint32_t& state, size_t bytes) {
    static const char* const kWords[] = {"今日は", "会議",  "議事録", "メモ",  "東京",   "プロジェクト",
                                         "確認",   "lorem", "ipsum",  "dolor", "update", "release",
                                         "2026",   "note",  "予定",   "資料",  "\r\n"};
    std::string text;
    while (text.size() < bytes) {
        state = state * 1103515245u + 12345u;
        text += kWords[(state >> 16) % (sizeof kWords / sizeof kWords[0])];
        text += ' ';
    }
    return text;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    using namespace lq;
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    constexpr int kProjects = 50;
    constexpr int kNotes = 10000;

    DatabaseOpenResult opened = Database::Open(path, MakeMigrations());
    if (opened.outcome != OpenOutcome::Ok) {
        std::printf("open failed: %s\n", opened.error.c_str());
        return 1;
    }
    Database& db = *opened.db;
    std::vector<int64_t> noteIds;
    int64_t oneMegabyte = 0;
    int64_t tenMegabytes = 0;
    {
        ProjectStore projects(db);
        NoteStore notes(db);
        uint32_t state = 1;
        Transaction transaction(db);
        std::vector<int64_t> projectIds;
        for (int p = 0; p < kProjects; ++p)
            projectIds.push_back(*projects.InsertProject("プロジェクト " + std::to_string(p), 1));
        for (int n = 0; n < kNotes; ++n) {
            const auto id = notes.InsertNote(projectIds[n % kProjects], "メモ " + std::to_string(n), 1);
            state = state * 1103515245u + 12345u;
            size_t bytes = 2048 + (state >> 8) % (18 * 1024);
            if (n == 1) bytes = 1024 * 1024;
            if (n == 2) bytes = 10 * 1024 * 1024;
            if (!id || !notes.SaveNote(*id, MakeText(state, bytes), NoteViewState{}, 2)) return 1;
            noteIds.push_back(*id);
        }
        oneMegabyte = noteIds[1];
        tenMegabytes = noteIds[2];
        if (!transaction.Commit()) return 1;
    }

    lq::bench::EditorHost host;
    if (!host.ok) {
        std::printf("no editor window\n");
        return 1;
    }

    std::vector<double> loads;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        Workspace workspace(db, host.view);
        if (!workspace.Load()) return 1;
        loads.push_back(MillisSince(start));
    }
    std::printf(
        "load 10,000 notes in 50 projects (settings, listing, tree, start-up note): median %.1f ms, "
        "best %.1f ms of 5\n",
        Median(loads), *std::min_element(loads.begin(), loads.end()));

    Workspace workspace(db, host.view);
    if (!workspace.Load()) return 1;
    for (const auto& [name, id] : {std::pair{"1 MB", oneMegabyte}, std::pair{"10 MB", tenMegabytes}}) {
        auto start = Clock::now();
        if (!workspace.OpenNote(id)) return 1;
        const double first = MillisSince(start);
        if (!workspace.OpenNote(noteIds[0])) return 1;
        start = Clock::now();
        if (!workspace.OpenNote(id)) return 1;
        const double again = MillisSince(start);
        std::printf("open a %s note: first %.1f ms (read, new document, fill, view), from the cache %.1f ms\n", name,
                    first, again);
    }
    {
        host.view.call().DocumentEnd();
        host.view.call().ReplaceSel("x");
        const auto start = Clock::now();
        const SaveResult result = workspace.SaveAll(SaveReason::UserSave);
        std::printf("save the edited 10 MB note: %.1f ms (%s)\n", MillisSince(start),
                    result == SaveResult::Saved ? "saved" : "failed");
        // Its view is now at the end, so coming back means scrolling to the end of a wrapped 10 MB text.
        if (!workspace.OpenNote(noteIds[0])) return 1;
        const auto reopen = Clock::now();
        if (!workspace.OpenNote(tenMegabytes)) return 1;
        std::printf("reopen the 10 MB note from the cache, scrolled to its end while wrapping: %.1f ms\n",
                    MillisSince(reopen));
    }

    // 100 notes with unsaved edits: left while another connection held the write lock (each save on
    // leaving fails at once with no busy wait), so 99 wait in the cache and one is open.
    sqlite3_busy_timeout(db.handle(), 0);
    {
        test::LockingConnection lock(path, false);
        if (!lock.locked()) return 1;
        for (int i = 0; i < 100; ++i) {
            if (!workspace.OpenNote(noteIds[static_cast<size_t>(100 + i * 97)])) return 1;
            host.view.call().DocumentEnd();
            host.view.call().ReplaceSel(" edited");
        }
    }
    sqlite3_busy_timeout(db.handle(), 2000);
    size_t dirty = 0;
    for (const auto& [id, cached] : workspace.documents) dirty += cached.dirty ? 1 : 0;
    const auto start = Clock::now();
    const SaveResult result = workspace.SaveAll(SaveReason::UserSave);
    std::printf("save 100 dirty notes among 10,000 (%zu cached and the open one) in one transaction: %.1f ms (%s)\n",
                dirty, MillisSince(start), result == SaveResult::Saved ? "saved" : "failed");
    if (result != SaveResult::Saved) return 1;

    // The last-opened scan, read through the file API (as while typing is unsaved) and mapped (as
    // when nothing is pending, the usual case right after the autosave).
    for (int i = 0; i < 200; ++i) {
        if (!workspace.OpenNote(noteIds[static_cast<size_t>(i * 43)])) return 1;
    }
    if (workspace.SaveAll(SaveReason::UserSave) != SaveResult::Saved) return 1;
    for (const bool mapped : {false, true}) {
        std::vector<double> scans;
        for (int run = 0; run < 3; ++run) {
            AllowMappedReads(mapped);
            workspace.lastOpenedNote.clear();
            workspace.lastOpenedLoaded.clear();
            const auto scanStart = Clock::now();
            for (const ProjectNode& project : workspace.tree.projects) workspace.LoadLastOpened(project.id);
            scans.push_back(MillisSince(scanStart));
        }
        std::printf("last-opened scan of every project, 10,000 notes (%zu projects found), %s: median %.1f ms of 3\n",
                    workspace.lastOpenedNote.size(), mapped ? "mapped" : "through the file API", Median(scans));
    }
    AllowMappedReads(true);
    return 0;
}
