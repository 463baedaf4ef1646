// What a heavy user feels at start-up and right after it, in one run:
//   - the first paint of the real program (its "--bench" timing file's "first_paint" mark) on
//     generated databases of 1k, 10k and 50k notes in 50 and in 2,000 projects, beside that of a bare
//     window with one editing component child (bare_window.exe), each the median of three runs after
//     one warm-up run;
//   - the longest stall while typing the first word into the start-up note at 50k notes, and the
//     program's peak working set then;
//   - one import of a text file at 50k notes, through the main window's import command in this
//     process.
// Usage: startup_bench.exe [program.exe]   (default: lanternquill.exe beside this program)
//        startup_bench.exe --make PATH NOTES PROJECTS   (only makes such a database, to look at by hand)
//        startup_bench.exe --import-only                (only the import at 50k notes)
//
// How the stall is measured: the real program runs on the 50k database without "--bench". Once it is
// idle, each character of the word is posted to its editor window as WM_CHAR, so it goes through the
// program's message loop, key pre-translation and the editor (word completion included) as a typed
// character does. After each character the benchmark asks the editor for its length with
// SendMessageTimeout until the character is in the document: that time is the character's latency.
// Between characters (150 ms, a quick typist) and for 5 s after the word it sends WM_NULL round trips
// without pause; the longest round trip is the longest the program did not answer. Both are printed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ProgramDriver.h"
#include "Scintilla.h"
#include "editor/EditorClass.h"
#include "store/Database.h"
#include "support/TempFolder.h"
#include "ui/find/FindPanel.h"
#include "ui/main/MainWindow.h"
#include "workspace/Workspace.h"

namespace {

using lq::bench::Beside;
using lq::bench::Clock;
using lq::bench::FindEditor;
using lq::bench::FindMainWindow;
using lq::bench::GenerateDatabase;
using lq::bench::LongestRoundTripFor;
using lq::bench::MillisSince;
using lq::bench::Process;
using lq::bench::Quoted;
using lq::bench::RoundTrip;

// The value of one "name=ms" line of a timing file; none when it is missing.
std::optional<double> ReadMark(const std::wstring& path, const std::string& name) {
    std::ifstream file{std::filesystem::path(path)};
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(name + "=", 0) == 0) return std::stod(line.substr(name.size() + 1));
    }
    return std::nullopt;
}

struct PaintRun {
    double firstPaint = -1.0;
    double treePopulated = -1.0;
    double noteOpened = -1.0;
};

// One run that writes a timing file and closes itself after its first paint.
std::optional<PaintRun> RunOnce(const std::wstring& program, const std::wstring& arguments,
                                const std::wstring& timing) {
    std::error_code error;
    std::filesystem::remove(timing, error);
    Process run(program, arguments);
    const std::optional<DWORD> code = run.Wait(180000);
    if (!code || *code != 0) {
        std::printf("  run failed (%s)\n", code ? std::to_string(*code).c_str() : "timeout");
        return std::nullopt;
    }
    PaintRun result;
    result.firstPaint = ReadMark(timing, "first_paint").value_or(-1.0);
    result.treePopulated = ReadMark(timing, "tree_populated").value_or(-1.0);
    result.noteOpened = ReadMark(timing, "startup_note_opened").value_or(-1.0);
    return result;
}

// The median of three runs after one warm-up run (by first paint).
std::optional<PaintRun> MedianRun(const std::wstring& program, const std::wstring& arguments,
                                  const std::wstring& timing) {
    if (!RunOnce(program, arguments, timing)) return std::nullopt;
    std::vector<PaintRun> runs;
    for (int i = 0; i < 3; ++i) {
        std::optional<PaintRun> run = RunOnce(program, arguments, timing);
        if (!run) return std::nullopt;
        runs.push_back(*run);
    }
    std::sort(runs.begin(), runs.end(),
              [](const PaintRun& a, const PaintRun& b) { return a.firstPaint < b.firstPaint; });
    return runs[1];
}

// ---- The typing stall ----

void MeasureTyping(const std::wstring& program, const std::wstring& database) {
    Process run(program, L"--db " + Quoted(database));
    HWND main = nullptr;
    const Clock::time_point start = Clock::now();
    while (run.started && !main && MillisSince(start) < 180000) {
        main = FindMainWindow(run.info.dwProcessId);
        if (!main) Sleep(20);
    }
    HWND editor = main ? FindEditor(main) : nullptr;
    if (!editor) {
        std::printf("  typing: the program's editor window was not found\n");
        return;
    }
    WaitForInputIdle(run.info.hProcess, 60000);
    const double idleBefore = LongestRoundTripFor(main, 1000, Clock::now());
    const double startupPeak = run.PeakWorkingSetMb();

    const std::wstring word = L"lanternquill ";
    double longestCharacter = 0.0;
    double longestTrip = 0.0;
    const Clock::time_point typing = Clock::now();
    // The word goes at the end of the note, after its last word: typed in front of a word, completion
    // would have nothing to complete and the first word would not reach the index at all.
    RoundTrip(editor, SCI_DOCUMENTEND);
    LRESULT length = 0;
    RoundTrip(editor, SCI_GETLENGTH, &length);
    for (wchar_t character : word) {
        const Clock::time_point sent = Clock::now();
        PostMessageW(editor, WM_CHAR, character, 1);
        LRESULT now = length;
        while (now <= length) {
            if (RoundTrip(editor, SCI_GETLENGTH, &now) < 0 || MillisSince(sent) > 60000) break;
        }
        length = now;
        longestCharacter = std::max(longestCharacter, MillisSince(sent));
        longestTrip = std::max(longestTrip, LongestRoundTripFor(main, 150, typing));
    }
    longestTrip = std::max(longestTrip, LongestRoundTripFor(main, 5000, typing));
    const double peak = run.PeakWorkingSetMb();
    std::printf(
        "  typing \"lanternquill \" at 50k notes: longest character-to-document %.1f ms, longest stall "
        "(WM_NULL round trip) %.1f ms; idle before typing %.1f ms\n",
        longestCharacter, longestTrip, idleBefore);
    std::printf("  peak working set at 50k notes: %.0f MB after start-up, %.0f MB after typing\n", startupPeak, peak);
    PostMessageW(main, WM_CLOSE, 0, 0);
    const std::optional<DWORD> code = run.Wait(120000);
    if (!code || *code != 0) std::printf("  the program did not end cleanly\n");
}

// ---- The import ----

bool RegisterClasses() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    return lq::RegisterEditorClass(instance) && lq::RegisterMainWindowClass(instance) &&
           lq::FindPanel::RegisterClass(instance);
}

void PumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The main window over the database as the start-up makes it, then one file imported through the
// window's import command (after its file dialog); the time until the window has repainted.
void MeasureImport(const std::wstring& database, const std::wstring& textFile) {
    std::unique_ptr<lq::Database> db = lq::bench::OpenDatabase(database);
    if (!db || !RegisterClasses()) return;
    {
        lq::MainWindow window;
        if (!window.Create(GetModuleHandleW(nullptr), nullptr, false)) return;
        std::optional<lq::Workspace> workspace;
        workspace.emplace(*db, window.editor);
        window.SetSidebarVisible(250, true);
        Clock::time_point start = Clock::now();
        if (!workspace->Load().loaded) return;
        const double load = MillisSince(start);
        window.SetWorkspace(&*workspace);
        start = Clock::now();
        window.sidebar.Populate(workspace->tree, workspace->currentNoteId,
                                lq::TreeItemKey{false, workspace->currentNoteId});
        const double fill = MillisSince(start);
        window.UpdateTitle();
        window.UpdateStatus();
        ShowWindow(window.hwnd, SW_SHOWNORMAL);
        UpdateWindow(window.hwnd);
        PumpMessages();

        start = Clock::now();
        window.ImportTextFiles({textFile});
        UpdateWindow(window.hwnd);
        PumpMessages();
        const double import = MillisSince(start);
        std::printf("  in-process at 50k notes: load %.0f ms, tree fill %.0f ms, one import %.0f ms\n", load, fill,
                    import);
        window.SetWorkspace(nullptr);
        workspace->ReleaseDocuments();
        DestroyWindow(window.hwnd);
        PumpMessages();
        workspace.reset();
    }
    PumpMessages();
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments != nullptr && count == 2 && std::wstring(arguments[1]) == L"--import-only") {
        LocalFree(arguments);
        lq::test::TempFolder folder;
        const std::wstring database = folder.File(L"notes.db");
        const std::wstring textFile = folder.File(L"imported.txt");
        if (!GenerateDatabase(database, 50, 50000)) return 1;
        if (std::FILE* file = _wfopen(textFile.c_str(), L"wb")) {
            std::fputs("an imported note\r\nwith two lines\r\n", file);
            std::fclose(file);
        }
        MeasureImport(database, textFile);
        return 0;
    }
    if (arguments != nullptr && count == 4 && std::wstring(arguments[1]) == L"--typing") {
        const std::wstring program = std::filesystem::absolute(arguments[2]).wstring();
        const std::wstring database = arguments[3];
        LocalFree(arguments);
        MeasureTyping(program, database);
        return 0;
    }
    if (arguments != nullptr && count == 5 && std::wstring(arguments[1]) == L"--make") {
        const bool made = GenerateDatabase(arguments[2], std::stoi(arguments[4]), std::stoi(arguments[3]));
        LocalFree(arguments);
        return made ? 0 : 1;
    }
    const std::wstring program = (arguments != nullptr && count >= 2)
                                     ? std::filesystem::absolute(arguments[1]).wstring()
                                     : Beside(L"lanternquill.exe");
    if (arguments) LocalFree(arguments);
    const std::wstring bare = Beside(L"bare_window.exe");
    std::printf("program: %ls\n", program.c_str());

    lq::test::TempFolder folder;
    const std::wstring timing = folder.File(L"timing.txt");
    const std::optional<PaintRun> bareRun = MedianRun(bare, Quoted(timing), timing);
    if (!bareRun) return 1;
    std::printf("bare window first paint: %.0f ms\n", bareRun->firstPaint);

    for (const int projects : {50, 2000}) {
        for (const int notes : {1000, 10000, 50000}) {
            const std::wstring database = folder.File(L"notes.db");
            std::printf("%d notes in %d projects:\n", notes, projects);
            if (!GenerateDatabase(database, projects, notes)) return 1;
            const std::optional<PaintRun> run =
                MedianRun(program, L"--db " + Quoted(database) + L" --bench " + Quoted(timing), timing);
            if (run) {
                std::printf(
                    "  first paint %.0f ms (%.1fx the bare window); start-up note opened %.0f ms, tree "
                    "filled %.0f ms\n",
                    run->firstPaint, run->firstPaint / bareRun->firstPaint, run->noteOpened, run->treePopulated);
            }
            if (notes == 50000 && projects == 50) {
                MeasureTyping(program, database);
                const std::wstring textFile = folder.File(L"imported.txt");
                if (std::FILE* file = _wfopen(textFile.c_str(), L"wb")) {
                    std::fputs("an imported note\r\nwith two lines\r\n", file);
                    std::fclose(file);
                }
                MeasureImport(database, textFile);
            }
            std::error_code error;
            std::filesystem::remove(database, error);
            std::filesystem::remove(database + L"-journal", error);
        }
    }
    return 0;
}
