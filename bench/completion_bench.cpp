// Typing the first word right after start-up while word completion fills its index: the real main
// window over 10,000 and 50,000 generated notes (2 to 20 KB each), driven by a copy of its message
// loop that times every turn. A key is "posted" at its scheduled time; its wait is from then until
// its handling ends. Printed against one pass over every note as the index was filled before (the
// stall the second letter of the first word used to wait). Usage: completion_bench [notes...]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "editor/EditorClass.h"
#include "store/MappedReads.h"
#include "support/OnePassWordIndex.h"
#include "support/TempFolder.h"
#include "ui/find/FindPanel.h"
#include "ui/main/MainWindow.h"
#include "workspace/Workspace.h"

namespace {

using lq::bench::Clock;
using lq::bench::MillisSince;
using lq::bench::MixedText;

struct Figures {
    double longestKeyWaitMs = 0;
    double longestTurnMs = 0;
    double longestSliceMs = 0;
    double fillMs = 0;  // first paint to the index complete
    int slices = 0;
    int keys = 0;
    int listsShown = 0;  // keys after which the list was open
    int restarts = 0;
};

bool Run(int notes) {
    using namespace lq;
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    std::unique_ptr<Database> db = bench::OpenDatabase(path);
    if (!db) return false;
    size_t totalBytes = 0;
    const auto made = Clock::now();
    if (bench::AddGeneratedNotes(*db, 20, notes, 11, 18 * 1024, MixedText, totalBytes).empty()) return false;
    std::printf("%d notes, %.0f MB of text (generated in %.0f s)\n", notes,
                static_cast<double>(totalBytes) / (1024 * 1024), MillisSince(made) / 1000);

    // The index as it was filled before: one pass through the file API, on the UI thread.
    const auto onePassStart = Clock::now();
    const WordIndex onePass = test::OnePassWordIndex(db->handle(), {});
    const double onePassMs = MillisSince(onePassStart);
    double onePassMappedMs = 0;
    {
        const MappedReads mapped(*db);
        const auto start = Clock::now();
        const WordIndex again = test::OnePassWordIndex(db->handle(), {});
        onePassMappedMs = MillisSince(start);
    }

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto window = std::make_unique<MainWindow>();
    if (!window->Create(instance, nullptr, false)) return false;
    std::optional<Workspace> workspace;
    workspace.emplace(*db, window->editor);
    if (!workspace->Load()) return false;
    window->SetWorkspace(&*workspace);
    window->sidebar.Populate(workspace->tree, workspace->currentNoteId, TreeItemKey{false, workspace->currentNoteId});
    ProvideWindowSettings(*window, *workspace);
    window->RestorePlacement("");
    SetFocus(window->editor.hwnd());
    window->editor.call().DocumentEnd();

    // The user starts typing 100 ms after the window appears, a key every 110 ms.
    const std::wstring typed = L" release notes update relea";
    const auto shown = Clock::now();
    std::vector<Clock::time_point> due;
    for (size_t i = 0; i < typed.size(); ++i) due.push_back(shown + std::chrono::milliseconds(100 + 110 * i));

    Figures figures;
    size_t next = 0;
    bool filled = false;
    MSG message{};
    while (next < typed.size() || !filled) {
        if (MillisSince(shown) > 600000) break;
        // The loop's idle turns, as RunMessageLoop has them.
        for (;;) {
            const auto start = Clock::now();
            const bool more = window->RunIdleWork();
            const double took = MillisSince(start);
            if (!more && !window->completion.filling()) break;
            ++figures.slices;
            figures.longestSliceMs = std::max(figures.longestSliceMs, took);
            figures.longestTurnMs = std::max(figures.longestTurnMs, took);
            if (!more || (next < typed.size() && Clock::now() >= due[next])) break;
        }
        if (!filled && window->completion.built()) {
            filled = true;
            figures.fillMs = MillisSince(shown);
        }
        if (next < typed.size() && Clock::now() >= due[next]) {
            PostMessageW(window->editor.hwnd(), WM_CHAR, typed[next], 1);
        }
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
            continue;
        }
        const auto start = Clock::now();
        if (!window->PreTranslateMessage(message, window->FocusScope())) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        figures.longestTurnMs = std::max(figures.longestTurnMs, MillisSince(start));
        if (message.message == WM_CHAR && next < typed.size()) {
            const double wait = std::chrono::duration<double, std::milli>(Clock::now() - due[next]).count();
            figures.longestKeyWaitMs = std::max(figures.longestKeyWaitMs, wait);
            ++figures.keys;
            if (window->editor.call().AutoCActive()) ++figures.listsShown;
            ++next;
        }
    }
    figures.restarts = window->wordFill ? window->wordFill->restarts() : -1;

    std::printf("  one pass over every note (the old fill, one stall): %.0f ms through the file API, %.0f ms mapped\n",
                onePassMs, onePassMappedMs);
    std::printf("  typing %zu keys from 100 ms after the window shows, one every 110 ms:\n", typed.size());
    std::printf("    longest wait of a key      %8.1f ms\n", figures.longestKeyWaitMs);
    std::printf("    longest turn of the loop   %8.1f ms\n", figures.longestTurnMs);
    std::printf("    longest idle slice         %8.1f ms (%d slices)\n", figures.longestSliceMs, figures.slices);
    std::printf("    index complete after       %8.0f ms (%zu words, one pass %zu; %d restarts)\n", figures.fillMs,
                window->completion.index().size(), onePass.size(), figures.restarts);
    std::printf("    keys with the list open    %8d of %d\n", figures.listsShown, figures.keys);

    DestroyWindow(window->hwnd);
    MSG rest{};
    while (PeekMessageW(&rest, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&rest);
    workspace.reset();
    window.reset();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!lq::RegisterEditorClass(instance) || !lq::RegisterMainWindowClass(instance) ||
        !lq::FindPanel::RegisterClass(instance)) {
        std::printf("window classes could not be registered\n");
        return 1;
    }
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 50000};
    for (const int notes : sizes) {
        if (!Run(notes)) {
            std::printf("%d notes: failed\n", notes);
            return 1;
        }
    }
    return 0;
}
