// A heavy user's operations on the real program, on generated databases of tens of thousands of notes.
// The program runs as the user runs it ("--db" on a fresh copy of a cached database); the commands go
// to it as the user's input arrives (posted menu commands and keys), and for each operation this prints
//   - the longest block of the window: the longest WM_NULL round trip of a probe thread that sends one
//     every 10 ms while the operation runs, and
//   - the operation's time, from the command to the state that shows its result (a tree row count, the
//     label edit box, a question, the result list).
// Each wait has a time limit and prints "timeout" instead of hanging. Run with --help for the usage.
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ProgramDriver.h"
#include "ProgramSession.h"
#include "Scintilla.h"
#include "platform/FileHandle.h"
#include "resources/ResourceIds.h"
#include "support/TempFolder.h"

namespace {

using lq::bench::Clock;
using lq::bench::MillisSince;
using lq::bench::Process;
using lq::bench::Quoted;
using lq::bench::RoundTrip;
using lq::bench::Session;
using lq::bench::Timed;

constexpr wchar_t kUsage[] =
    L"usage: operations_bench.exe [program.exe] [--only NAME[,NAME...]] [--sizes N[,N...]]\n"
    L"                            [--projects N[,N...]] [--keep DIR] [--minutes N] [--repeat N]\n"
    L"  program.exe  the program to drive (default: dist\\lanternquill.exe of the repository,\n"
    L"               else lanternquill.exe beside this benchmark)\n"
    L"  --only       operations to run (default: all but replace-many and completion-limit):\n"
    L"               new-note search replace-count replace-one replace-many first-selection\n"
    L"               first-delete first-undo delete-project undo-project import-100\n"
    L"               completion-limit (delete-project includes undo-project and the other way round)\n"
    L"  --sizes      note counts (default 50000,100000)\n"
    L"  --projects   project counts (default 50,2000); 2,000 projects are run at the first size only\n"
    L"  --keep DIR   keeps the generated databases in DIR and reuses them (each run works on a copy)\n"
    L"  --minutes N  how long completion-limit types (default 2)\n"
    L"  --repeat N   new notes made in one run (default 5)\n";

// The word planted once in the generated notes (the one-match query) and the word of many matches.
constexpr char kNeedle[] = "needlework";
constexpr wchar_t kNeedleW[] = L"needlework";
constexpr wchar_t kManyW[] = L"lantern";

struct Options {
    std::wstring program;
    std::set<std::wstring> only;
    std::vector<int> sizes{50000, 100000};
    std::vector<int> projects{50, 2000};
    std::wstring keep;
    int minutes = 2;
    int repeat = 5;

    [[nodiscard]] bool Wants(const std::wstring& name) const {
        if (only.empty()) return name != L"replace-many" && name != L"completion-limit";
        return only.count(name) != 0;
    }
};

std::vector<std::wstring> SplitList(const std::wstring& text) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(L',', start);
        const std::wstring part = text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        if (!part.empty()) parts.push_back(part);
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    return parts;
}

std::wstring DefaultProgram() {
    // build/bin/operations_bench.exe -> dist/lanternquill.exe of the same checkout.
    const std::filesystem::path beside = lq::bench::Beside(L"lanternquill.exe");
    const std::filesystem::path dist = beside.parent_path().parent_path().parent_path() / L"dist" / L"lanternquill.exe";
    std::error_code error;
    if (std::filesystem::exists(dist, error)) return dist.wstring();
    return beside.wstring();
}

// ---- Databases ----

// Pool text, with the needle word in the middle note only.
std::function<std::string(uint32_t&, size_t)> NeedleText(int notes) {
    auto counter = std::make_shared<int>(0);
    return [counter, notes](uint32_t& state, size_t bytes) {
        std::string text = lq::bench::CutFromPool(state, bytes);
        if ((*counter)++ == notes / 2) text += std::string(" ") + kNeedle + "\r\n";
        return text;
    };
}

// Pool text with four words of their own in every note (a hash, an identifier, a URL and a key): far
// more distinct words than the word index keeps.
std::function<std::string(uint32_t&, size_t)> ManyWordsText() {
    auto counter = std::make_shared<uint32_t>(0);
    return [counter](uint32_t& state, size_t bytes) {
        std::string text = lq::bench::CutFromPool(state, bytes);
        const uint32_t n = (*counter)++;
        char words[200];
        std::snprintf(words, sizeof words, " h%08x%04x ident_%u_value https://example.org/page%u key%uend\r\n",
                      n * 2654435761u, n & 0xFFFF, n, n, n * 7u + 3u);
        text += words;
        return text;
    };
}

// The cached database for a shape, made when missing; empty when it cannot be made.
std::wstring CachedDatabase(const std::wstring& folder, const std::wstring& name, int projects, int notes,
                            const std::function<std::string(uint32_t&, size_t)>& makeText) {
    const std::wstring path = (std::filesystem::path(folder) / name).wstring();
    std::error_code error;
    if (std::filesystem::exists(path, error)) return path;
    const std::wstring making = path + L".making";
    std::filesystem::remove(making, error);
    std::printf("  making %ls (once; kept for later runs)\n", name.c_str());
    if (!lq::bench::GenerateDatabase(making, projects, notes, makeText)) return {};
    std::filesystem::rename(making, path, error);
    return error ? std::wstring{} : path;
}

// A fresh copy of `cached` that one run may change.
std::wstring FreshCopy(const std::wstring& cached, const std::wstring& folder) {
    const std::wstring copy = (std::filesystem::path(folder) / L"run.db").wstring();
    std::error_code error;
    for (const wchar_t* suffix : {L"", L"-journal", L"-wal", L"-shm"}) std::filesystem::remove(copy + suffix, error);
    if (!std::filesystem::copy_file(cached, copy, error)) {
        std::printf("  could not copy the database: %s\n", error.message().c_str());
        return {};
    }
    // A user's file has long been on the disk; a copy just made is still in the system's cache, and
    // the program's first commit would wait for the whole copy to be written when it flushes the file.
    const lq::FileHandle file(
        CreateFileW(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid() || FlushFileBuffers(file.get()) == FALSE) {
        std::printf("  could not write the copy of the database to the disk\n");
        return {};
    }
    return copy;
}

// ---- The operations ----

void NewNote(Session& session, int repeat) {
    std::vector<double> times;
    std::vector<double> blocks;
    for (int i = 0; i < repeat; ++i) {
        const long before = session.TreeCount();
        const Timed timed = session.Time([&] { session.Command(IDM_NEW_NOTE); },
                                         [&] { return session.TreeCount() > before && session.LabelEditOpen(); });
        char name[32];
        std::snprintf(name, sizeof name, "new-note #%d", i + 1);
        lq::bench::PrintTimed(name, timed);
        if (timed.timeout) return;
        times.push_back(timed.ms);
        blocks.push_back(timed.block);
        // The name as proposed; the next note comes after it.
        session.Ask(session.tree(), TVM_ENDEDITLABELNOW, FALSE);
        Session::WaitFor([&] { return !session.LabelEditOpen(); }, 30000);
        session.Settle();
    }
    std::printf("  new-note: time median %.0f ms, longest %.0f ms; block median %.0f ms, longest %.0f ms (%d runs)\n",
                lq::bench::MedianOf(times), *std::max_element(times.begin(), times.end()), lq::bench::MedianOf(blocks),
                *std::max_element(blocks.begin(), blocks.end()), repeat);
}

// The global view's controls that are direct children of the main window.
HWND ViewChild(HWND main, const wchar_t* className, HWND except = nullptr) {
    HWND found = nullptr;
    for (int skip = 0; skip < 20; ++skip) {
        const HWND child = lq::bench::FindChild(main, className, skip);
        if (!child) break;
        if (child != except && GetParent(child) == main) {
            found = child;
            break;
        }
    }
    return found;
}

void SetText(HWND window, const std::wstring& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 60000, &result);
}

// The search in all notes: the view, the query, Enter, until the result list has rows.
void Search(Session& session) {
    session.Command(IDM_SEARCH_ALL_NOTES);
    HWND query = nullptr;
    Session::WaitFor(
        [&] {
            query = session.Focus();
            wchar_t name[16] = {};
            if (query) GetClassNameW(query, name, 16);
            return query && _wcsicmp(name, L"Edit") == 0 && GetParent(query) == session.main();
        },
        30000);
    const HWND list = ViewChild(session.main(), L"ListBox");
    if (!query || !list) {
        std::printf("  search: the global search view was not found\n");
        return;
    }
    long rows = 0;
    SetText(query, kNeedleW);
    lq::bench::PrintTimed("search (one match)",
                          session.Time([&] { session.PostKey(query, VK_RETURN); },
                                       [&] { return (rows = session.Ask(list, LB_GETCOUNT)) > 0; }));
    const long one = rows;
    SetText(query, kManyW);
    lq::bench::PrintTimed("search (many matches)",
                          session.Time([&] { session.PostKey(query, VK_RETURN); },
                                       [&] { return (rows = session.Ask(list, LB_GETCOUNT)) > one; }));
    std::printf("  (result rows: %ld, then %ld)\n", one, rows);
}

// "Replace all" in the global view: the count until its question, then cancel or replace.
void ReplaceAll(Session& session, const wchar_t* query, const wchar_t* replacement, bool replace, const char* label) {
    session.Command(IDM_REPLACE_ALL_NOTES);
    HWND queryEdit = nullptr;
    Session::WaitFor(
        [&] {
            queryEdit = session.Focus();
            wchar_t name[16] = {};
            if (queryEdit) GetClassNameW(queryEdit, name, 16);
            return queryEdit && _wcsicmp(name, L"Edit") == 0 && GetParent(queryEdit) == session.main();
        },
        30000);
    const HWND replaceEdit = queryEdit ? ViewChild(session.main(), L"Edit", queryEdit) : nullptr;
    if (!queryEdit || !replaceEdit) {
        std::printf("  replace: the global replace view was not found\n");
        return;
    }
    // The button beside the replacement box: the visible button child nearest to it.
    HWND button = nullptr;
    RECT editRect{};
    GetWindowRect(replaceEdit, &editRect);
    long best = LONG_MAX;
    for (int skip = 0; skip < 20; ++skip) {
        const HWND child = lq::bench::FindChild(session.main(), L"Button", skip);
        if (!child) break;
        if (GetParent(child) != session.main()) continue;
        RECT rect{};
        GetWindowRect(child, &rect);
        const long distance = std::abs(rect.top - editRect.top) + std::abs(rect.left - editRect.right);
        if (distance < best) {
            best = distance;
            button = child;
        }
    }
    if (!button) {
        std::printf("  replace: the replace-all button was not found\n");
        return;
    }
    SetText(queryEdit, query);
    SetText(replaceEdit, replacement);
    HWND dialog = nullptr;
    const Timed count = session.Time([&] { PostMessageW(button, BM_CLICK, 0, 0); },
                                     [&] { return (dialog = session.Dialog()) != nullptr; }, 600000);
    lq::bench::PrintTimed((std::string("replace-count (") + label + ")").c_str(), count);
    if (!dialog) return;
    if (!replace) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDS_CANCEL, BN_CLICKED), 0);
        Session::WaitFor([&] { return !IsWindow(dialog); }, 30000);
        return;
    }
    const Timed done =
        session.Time([&] { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDS_REPLACE, BN_CLICKED), 0); },
                     [&] { return !IsWindow(dialog) && RoundTrip(session.main(), WM_NULL) >= 0; }, 900000);
    lq::bench::PrintTimed((std::string("replace (") + label + ")").c_str(), done);
    if (const HWND message = session.Dialog()) std::printf("  a message followed the replace (%p)\n", (void*)message);
}

// The first project selected in a session: Home in the tree.
bool FirstSelection(Session& session, bool print) {
    if (!session.FocusTree()) return false;
    const LRESULT root = session.Root();
    const bool onRoot = session.Caret() == root;
    const Timed timed = session.Time([&] { session.PostKey(session.tree(), onRoot ? VK_DOWN : VK_HOME); },
                                     [&] { return onRoot ? session.Caret() != root : session.Caret() == root; });
    if (print) lq::bench::PrintTimed(onRoot ? "first-selection (down)" : "first-selection", timed);
    return !timed.timeout;
}

// The note selected at start-up deleted with the delete command.
bool DeleteSelectedNote(Session& session, const char* label) {
    const long before = session.TreeCount();
    const Timed timed =
        session.Time([&] { session.Command(IDM_DELETE); }, [&] { return session.TreeCount() != before; });
    if (label) lq::bench::PrintTimed(label, timed);
    return !timed.timeout;
}

// The undo of the last delete (the edit menu's undo while the tree has the focus).
void Undo(Session& session, long expected, const char* label) {
    if (!session.FocusTree()) return;
    const Timed timed =
        session.Time([&] { session.Command(IDM_UNDO); }, [&] { return session.TreeCount() == expected; });
    lq::bench::PrintTimed(label, timed);
}

void DeleteProject(Session& session, bool undo) {
    if (!FirstSelection(session, false)) return;
    // The first project, selected now.
    if (session.Caret() != session.Root()) {
        session.PostKey(session.tree(), VK_HOME);
        Session::WaitFor([&] { return session.Caret() == session.Root(); }, 60000);
    }
    session.Settle();
    const long before = session.TreeCount();
    const Timed timed =
        session.Time([&] { session.Command(IDM_DELETE); }, [&] { return session.TreeCount() < before; });
    lq::bench::PrintTimed("delete-project", timed);
    if (timed.timeout || !undo) return;
    session.Settle();
    Undo(session, before, "undo-project");
}

void Import(Session& session, const std::wstring& folder) {
    std::wstring names;
    for (int i = 0; i < 100; ++i) {
        const std::wstring path =
            (std::filesystem::path(folder) / (L"imported" + std::to_wstring(i) + L".txt")).wstring();
        if (std::FILE* file = _wfopen(path.c_str(), L"wb")) {
            // Whole lines of the pool: a cut through a character would be refused as undecodable.
            uint32_t state = static_cast<uint32_t>(i) + 1;
            std::string text = lq::bench::CutFromPool(state, 6000);
            text = text.substr(text.find('\n') + 1);
            text.resize(text.rfind('\n') + 1);
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
        names += Quoted(path) + L" ";
    }
    const long before = session.TreeCount();
    session.Command(IDM_IMPORT);
    HWND dialog = nullptr;
    Session::WaitFor([&] { return (dialog = session.Dialog()) != nullptr; }, 30000);
    const HWND edit = dialog ? lq::bench::FindChild(dialog, L"Edit") : nullptr;
    if (!edit) {
        std::printf("  import-100: the file dialog was not found\n");
        return;
    }
    SetText(edit, names);
    HWND message = nullptr;
    // The file dialog turns the 100 names into items itself before it closes; that part is Wine's.
    std::optional<double> dialogClosed;
    const Clock::time_point pressed = Clock::now();
    const Timed timed = session.Time([&] { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); },
                                     [&] {
                                         if (IsWindow(dialog)) return false;
                                         if (!dialogClosed) dialogClosed = MillisSince(pressed);
                                         message = session.Dialog();
                                         return message != nullptr || session.TreeCount() >= before + 100;
                                     });
    lq::bench::PrintTimed("import-100", timed);
    if (dialogClosed) {
        std::printf("  (the file dialog closed %.0f ms after OK; the import after it took %.0f ms)\n", *dialogClosed,
                    timed.ms - *dialogClosed);
    }
    if (message) std::printf("  a message followed the import\n");
    std::printf("  (tree rows %ld -> %ld)\n", before, session.TreeCount());
}

// Moves the keyboard focus to `target` by posting the focus-switching key until it is there.
void SetFocusTo(Session& session, HWND target) {
    for (int attempt = 0; attempt < 3 && session.Focus() != target; ++attempt) {
        const HWND focus = session.Focus();
        session.PostKey(focus ? focus : session.main(), VK_F6);
        Session::WaitFor([&] { return session.Focus() != focus; }, 10000);
    }
}

// Typing a new word every few seconds at the end of the open note for `minutes`, on a database with
// more distinct words than the completion index keeps. The window is probed every 10 ms only, so the
// program's CPU time is its own work (the fill, the autosaves, the keys), not the benchmark's.
void CompletionLimit(Session& session, int minutes) {
    // The first note of the first project (the lowest id): once the fill reads in id order, every
    // later save of this note comes after the fill read it.
    if (session.FocusTree()) {
        session.PostKey(session.tree(), VK_HOME);
        Session::WaitFor([&] { return session.Caret() == session.Root(); }, 60000);
        const LRESULT root = session.Root();
        session.PostKey(session.tree(), VK_DOWN);
        Session::WaitFor([&] { return session.Caret() != root; }, 60000);
        session.Settle();
    }
    wchar_t title[200] = {};
    GetWindowTextW(session.main(), title, 200);
    std::printf("  typing into the note of the window \"%ls\"\n", title);
    const HWND editor = session.editor();
    SetFocusTo(session, editor);
    RoundTrip(editor, SCI_DOCUMENTEND);
    LRESULT length = 0;
    RoundTrip(editor, SCI_GETLENGTH, &length);
    Process& process = session.process();
    std::printf("  start: private %.0f MB, working set %.0f MB\n", process.PrivateMb(), process.WorkingSetMb());
    const Clock::time_point start = Clock::now();
    double cpuAtMinute = process.CpuSeconds(session.database());
    if (process.unixProcess() > 0) {
        std::printf("  CPU time from /proc/%d/stat (Wine's GetProcessTimes misses most of it)\n",
                    process.unixProcess());
    } else {
        std::printf("  CPU time from GetProcessTimes\n");
    }
    double cpuAtWindow = cpuAtMinute;
    Clock::time_point window = Clock::now();
    std::optional<double> idleAt;
    uint32_t state = 99;
    std::vector<double> keys;
    session.probe().Reset();
    for (int minute = 1; minute <= minutes; ++minute) {
        while (MillisSince(start) < minute * 60000.0) {
            state = state * 1103515245u + 12345u;
            char word[24];
            std::snprintf(word, sizeof word, "typed%05x ", (state >> 8) & 0xFFFFF);
            for (const char* c = word; *c; ++c) {
                const Clock::time_point sent = Clock::now();
                PostMessageW(editor, WM_CHAR, static_cast<WPARAM>(*c), 1);
                LRESULT now = length;
                while (now <= length) {
                    if (RoundTrip(editor, SCI_GETLENGTH, &now) < 0 || MillisSince(sent) > 60000) break;
                }
                length = now;
                keys.push_back(MillisSince(sent));
                Sleep(150);
            }
            // A pause after each word: the autosave of the changed note comes in it.
            Sleep(3000);
            if (MillisSince(window) >= 10000.0) {
                const double cpu = process.CpuSeconds(session.database());
                const double share = (cpu - cpuAtWindow) / (MillisSince(window) / 1000.0);
                if (!idleAt && share < 0.2) {
                    idleAt = MillisSince(start) / 1000.0;
                    std::printf(
                        "  the program's CPU fell idle (%.0f%% of a core over 10 s, under 20%%) by %.0f s: the fill "
                        "ended\n",
                        share * 100.0, *idleAt);
                } else if (idleAt && share >= 0.2) {
                    std::printf("  the program's CPU rose again (%.0f%% of a core) at %.0f s\n", share * 100.0,
                                MillisSince(start) / 1000.0);
                    idleAt.reset();
                }
                cpuAtWindow = cpu;
                window = Clock::now();
            }
        }
        const double cpu = process.CpuSeconds(session.database());
        std::printf(
            "  minute %d: private %.0f MB, working set %.0f MB, CPU %.1f s, key median %.1f ms, longest %.1f ms, "
            "longest block %.0f ms\n",
            minute, process.PrivateMb(), process.WorkingSetMb(), cpu - cpuAtMinute,
            keys.empty() ? 0.0 : lq::bench::MedianOf(keys),
            keys.empty() ? 0.0 : *std::max_element(keys.begin(), keys.end()), session.probe().LongestMs());
        std::fflush(stdout);
        cpuAtMinute = cpu;
        keys.clear();
        session.probe().Reset();
    }
    if (!idleAt) std::printf("  the program's CPU was not idle at the end of the typing\n");
}

// ---- Runs ----

struct Context {
    Options options;
    std::wstring keep;
    std::wstring work;
};

// One fresh run of the program on a copy of `cached`, handed to `body` once it is up.
void Run(const Context& context, const std::wstring& cached, const std::function<void(Session&)>& body) {
    const std::wstring copy = FreshCopy(cached, context.work);
    if (copy.empty()) return;
    {
        Session session(context.options.program, copy);
        const Clock::time_point start = Clock::now();
        if (!session.Start()) return;
        std::printf("  (program up in %.1f s, %ld tree rows)\n", MillisSince(start) / 1000.0, session.TreeCount());
        body(session);
    }
}

void RunShape(const Context& context, int notes, int projects) {
    const Options& options = context.options;
    std::printf("%d notes in %d projects:\n", notes, projects);
    std::fflush(stdout);
    const std::wstring name = L"notes-" + std::to_wstring(notes) + L"-" + std::to_wstring(projects) + L".db";
    const std::wstring cached = CachedDatabase(context.keep, name, projects, notes, NeedleText(notes));
    if (cached.empty()) return;
    if (options.Wants(L"new-note")) Run(context, cached, [&](Session& s) { NewNote(s, options.repeat); });
    if (options.Wants(L"search")) Run(context, cached, [&](Session& s) { Search(s); });
    if (options.Wants(L"replace-count")) {
        // The replace of one match counts it first: that count is the same figure.
        if (!options.Wants(L"replace-one")) {
            Run(context, cached, [&](Session& s) { ReplaceAll(s, kNeedleW, L"needlecase", false, "one match"); });
        }
        Run(context, cached, [&](Session& s) { ReplaceAll(s, kManyW, L"lamp", false, "many matches"); });
    }
    if (options.Wants(L"replace-one")) {
        Run(context, cached, [&](Session& s) { ReplaceAll(s, kNeedleW, L"needlecase", true, "one match"); });
    }
    if (options.Wants(L"replace-many")) {
        Run(context, cached, [&](Session& s) { ReplaceAll(s, kManyW, L"lamp", true, "many matches"); });
    }
    if (options.Wants(L"first-selection")) Run(context, cached, [&](Session& s) { FirstSelection(s, true); });
    if (options.Wants(L"first-delete"))
        Run(context, cached, [&](Session& s) { DeleteSelectedNote(s, "first-delete"); });
    if (options.Wants(L"first-undo")) {
        Run(context, cached, [&](Session& s) {
            const long before = s.TreeCount();
            if (DeleteSelectedNote(s, "(delete before undo)")) {
                s.Settle();
                Undo(s, before, "first-undo");
            }
        });
    }
    if (options.Wants(L"delete-project") || options.Wants(L"undo-project")) {
        Run(context, cached, [&](Session& s) { DeleteProject(s, true); });
    }
    if (options.Wants(L"import-100")) Run(context, cached, [&](Session& s) { Import(s, context.work); });
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    Options options;
    for (int i = 1; arguments && i < count; ++i) {
        const std::wstring argument = arguments[i];
        const bool hasValue = i + 1 < count;
        if (argument == L"--help" || argument == L"-h") {
            std::printf("%ls", kUsage);
            return 0;
        } else if (argument == L"--only" && hasValue) {
            for (const std::wstring& name : SplitList(arguments[++i])) options.only.insert(name);
        } else if ((argument == L"--sizes" || argument == L"--projects") && hasValue) {
            std::vector<int> values;
            for (const std::wstring& value : SplitList(arguments[++i])) values.push_back(std::stoi(value));
            (argument == L"--sizes" ? options.sizes : options.projects) = values;
        } else if (argument == L"--keep" && hasValue) {
            options.keep = arguments[++i];
        } else if (argument == L"--minutes" && hasValue) {
            options.minutes = std::stoi(arguments[++i]);
        } else if (argument == L"--repeat" && hasValue) {
            options.repeat = std::max(1, std::stoi(arguments[++i]));
        } else if (argument.rfind(L"--", 0) == 0) {
            std::printf("unknown option %ls\n%ls", argument.c_str(), kUsage);
            return 2;
        } else {
            options.program = std::filesystem::absolute(argument).wstring();
        }
    }
    if (arguments) LocalFree(arguments);
    if (options.program.empty()) options.program = DefaultProgram();
    std::printf("program: %ls\n", options.program.c_str());

    lq::test::TempFolder temp;
    Context context;
    context.options = options;
    context.work = temp.path().wstring();
    context.keep = options.keep.empty() ? temp.path().wstring() : options.keep;
    std::error_code error;
    std::filesystem::create_directories(context.keep, error);

    // completion-limit alone needs no database of the shapes (1.2 GB each at 100,000 notes).
    const bool shapes = !(options.only.size() == 1 && options.Wants(L"completion-limit"));
    bool first = true;
    for (const int notes : shapes ? options.sizes : std::vector<int>()) {
        for (const int projects : options.projects) {
            if (projects != options.projects.front() && !first) continue;
            RunShape(context, notes, projects);
        }
        first = false;
    }
    if (options.Wants(L"completion-limit")) {
        const int notes = options.sizes.front();
        std::printf("completion past the word limit, %d notes in 50 projects, %d minutes:\n", notes, options.minutes);
        const std::wstring cached =
            CachedDatabase(context.keep, L"words-" + std::to_wstring(notes) + L"-50.db", 50, notes, ManyWordsText());
        if (!cached.empty()) Run(context, cached, [&](Session& s) { CompletionLimit(s, options.minutes); });
    }
    return 0;
}
