#pragma once

// What the benchmark programs share: a millisecond clock, a database filled with generated notes, and
// a hidden top-level window holding the editor, sized like a main window's editing area.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/EditorClass.h"
#include "editor/EditorView.h"
#include "store/Database.h"
#include "store/Migration.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/Transaction.h"

namespace lq::bench {

using Clock = std::chrono::steady_clock;

inline double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A database made the program's way at `path`; null, with the reason printed, when it cannot be.
inline std::unique_ptr<Database> OpenDatabase(const std::wstring& path) {
    DatabaseOpenResult opened = Database::Open(path, MakeMigrations());
    if (opened.outcome != OpenOutcome::Ok) {
        std::printf("open failed: %s\n", opened.error.c_str());
        return nullptr;
    }
    return std::move(opened.db);
}

// Deterministic text of about `bytes` bytes, mixing Japanese words and ASCII, with a line end now and
// then: the notes of the scan and completion benchmarks.
inline std::string MixedText(uint32_t& state, size_t bytes) {
    static const char* const kWords[] = {"今日は", "会議",  "議事録", "メモ",  "東京", "プロジェクト",
                                         "確認",   "lorem", "ipsum",  "dolor", "note", "release",
                                         "2026",   "予定",  "資料",   "Update"};
    std::string text;
    while (text.size() < bytes) {
        state = state * 1103515245u + 12345u;
        const unsigned pick = (state >> 16) % 1000;
        text += kWords[pick % (sizeof kWords / sizeof kWords[0])];
        text += (pick % 23 == 0) ? "\r\n" : " ";
    }
    return text;
}

// Generated notes, in one transaction: `notes` of them spread over `projects` projects in turn, each of
// 2 KB plus up to `spreadBytes` of text from `makeText` (a generator state, the bytes wanted). The new
// note ids in order, with the text's total size in `totalBytes`; empty on failure.
inline std::vector<int64_t> AddGeneratedNotes(Database& db, int projects, int notes, uint32_t seed, size_t spreadBytes,
                                              const std::function<std::string(uint32_t&, size_t)>& makeText,
                                              size_t& totalBytes) {
    ProjectStore projectStore(db);
    NoteStore noteStore(db);
    uint32_t state = seed;
    Transaction transaction(db);
    std::vector<int64_t> projectIds;
    for (int p = 0; p < projects; ++p) {
        const auto id = projectStore.InsertProject("P" + std::to_string(p), 1);
        if (!id) return {};
        projectIds.push_back(*id);
    }
    std::vector<int64_t> noteIds;
    for (int n = 0; n < notes; ++n) {
        const auto id =
            noteStore.InsertNote(projectIds[static_cast<size_t>(n % projects)], "メモ " + std::to_string(n), 1);
        state = state * 1103515245u + 12345u;
        const std::string text = makeText(state, 2048 + (state >> 8) % spreadBytes);
        totalBytes += text.size();
        if (!id || !noteStore.SaveNote(*id, text, NoteViewState{}, 2)) return {};
        noteIds.push_back(*id);
    }
    if (!transaction.Commit()) return {};
    return noteIds;
}

// The middle value (the upper one of an even count); `values` must not be empty.
inline double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class EditorHost {
public:
    EditorHost() {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW host{};
        host.cbSize = sizeof(host);
        host.lpfnWndProc = DefWindowProcW;
        host.hInstance = instance;
        host.lpszClassName = L"Lanternquill.BenchHost";
        if (!RegisterEditorClass(instance) || !RegisterClassExW(&host)) return;
        hwnd_ = CreateWindowExW(0, host.lpszClassName, L"bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 800,
                                nullptr, nullptr, instance, nullptr);
        if (!hwnd_ || !view.Create(hwnd_, instance)) return;
        MoveWindow(view.hwnd(), 0, 0, 980, 760, FALSE);
        ok = true;
    }
    ~EditorHost() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    EditorHost(const EditorHost&) = delete;
    EditorHost& operator=(const EditorHost&) = delete;

    EditorView view;
    bool ok = false;

private:
    HWND hwnd_ = nullptr;
};

}  // namespace lq::bench
