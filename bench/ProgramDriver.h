#pragma once

// What the benchmarks that drive the real program share: its process, its windows, round trips to
// them, a probe thread that times the longest block of the window, and the generated databases.
#define PSAPI_VERSION 2
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "store/Database.h"
#include "ui/main/MainWindow.h"

namespace lq::bench {

inline std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// A file beside this benchmark program.
inline std::wstring Beside(const std::wstring& name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path() / name).wstring();
}

// ---- Generated data ----

// Words to cut note texts from: ASCII and Japanese, lines of about 60 bytes.
inline std::string MakeTextPool() {
    static const char* const kWords[] = {"lantern", "quill", "メモ", "notes", "日本語", "project", "plan",
                                         "draft",   "today", "会議", "idea",  "list",   "writing", "予定",
                                         "summary", "todo",  "確認", "memo",  "paper",  "journal"};
    std::string pool;
    uint32_t state = 7;
    size_t line = 0;
    while (pool.size() < (1u << 20)) {
        state = state * 1103515245u + 12345u;
        const char* word = kWords[(state >> 16) % (sizeof(kWords) / sizeof(kWords[0]))];
        pool += word;
        line += std::strlen(word) + 1;
        if (line > 60) {
            pool += "\r\n";
            line = 0;
        } else {
            pool += ' ';
        }
    }
    return pool;
}

// Text of `bytes` bytes cut from the pool at a place the generator state picks.
inline std::string CutFromPool(uint32_t& state, size_t bytes) {
    static const std::string pool = MakeTextPool();
    state = state * 1103515245u + 12345u;
    const size_t start = (state >> 4) % (pool.size() - bytes);
    return pool.substr(start, bytes);
}

// A database of `notes` notes of 2 to 20 KB in `projects` projects at `path`, each note's text made
// by `makeText` (the pool's by default); false when it cannot be made.
inline bool GenerateDatabase(const std::wstring& path, int projects, int notes,
                             std::function<std::string(uint32_t&, size_t)> makeText = CutFromPool) {
    std::unique_ptr<Database> db = OpenDatabase(path);
    if (!db) return false;
    size_t total = 0;
    const Clock::time_point start = Clock::now();
    const bool made = !AddGeneratedNotes(*db, projects, notes, 11, 18 * 1024, makeText, total).empty();
    db.reset();
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    std::printf("  generated %d notes in %d projects: %.0f MB file, %.1f s\n", notes, projects,
                static_cast<double>(size) / 1e6, MillisSince(start) / 1000.0);
    return made;
}

// ---- Processes ----

struct Process {
    PROCESS_INFORMATION info{};
    bool started = false;

    Process(const std::wstring& program, const std::wstring& arguments) {
        std::wstring line = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &info) != FALSE;
    }
    ~Process() {
        if (!started) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The exit code, or none when it did not end in time (it is then ended).
    std::optional<DWORD> Wait(DWORD timeoutMs) {
        if (!started || WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    [[nodiscard]] bool Running() const { return started && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
    double PeakWorkingSetMb() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))) return -1.0;
        return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    }
    // The process's private bytes now, in MB.
    double PrivateMb() const {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                  sizeof(counters))) {
            return -1.0;
        }
        // Wine leaves PrivateUsage at zero for another process; the commit charge is the same figure.
        const SIZE_T bytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
        return static_cast<double>(bytes) / (1024.0 * 1024.0);
    }
    double WorkingSetMb() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))) return -1.0;
        return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
    }
    // User and kernel time the process used so far, in seconds. Under Wine, GetProcessTimes of another
    // process counts a small part of it only, so there the Linux process's own figures are read
    // (through the Z: drive), found once by a text of its command line such as its database path.
    double CpuSeconds(const std::wstring& commandLineText = {}) {
        if (!commandLineText.empty()) {
            if (unixProcess_ == 0) unixProcess_ = FindUnixProcess(commandLineText);
            if (unixProcess_ > 0) {
                const double seconds = UnixCpuSeconds(unixProcess_);
                if (seconds >= 0) return seconds;
            }
        }
        return OwnCpuSeconds();
    }

private:
    int unixProcess_ = 0;  // -1: not under Wine or not found

    static std::string ReadAll(const std::filesystem::path& path) {
        std::string bytes;
        if (std::FILE* file = _wfopen(path.c_str(), L"rb")) {
            char buffer[4096];
            size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
            std::fclose(file);
        }
        return bytes;
    }
    static int FindUnixProcess(const std::wstring& text) {
        std::error_code error;
        const std::filesystem::path proc = L"Z:\\proc";
        if (!std::filesystem::exists(proc / L"self", error)) return -1;
        std::string wanted;
        for (wchar_t c : text) wanted += static_cast<char>(c < 128 ? c : '?');
        for (const auto& entry : std::filesystem::directory_iterator(proc, error)) {
            const std::wstring name = entry.path().filename().wstring();
            if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
            std::string line = ReadAll(entry.path() / L"cmdline");
            std::replace(line.begin(), line.end(), '\0', ' ');
            if (line.find(wanted) != std::string::npos && line.find("--db") != std::string::npos) {
                return std::stoi(name);
            }
        }
        return -1;
    }
    // Fields 14 and 15 of /proc/PID/stat (after the parenthesised name), in ticks of 1/100 s.
    static double UnixCpuSeconds(int pid) {
        const std::string stat = ReadAll(std::filesystem::path(L"Z:\\proc") / std::to_wstring(pid) / L"stat");
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) return -1.0;
        std::vector<std::string> fields;
        size_t at = close + 2;
        while (at < stat.size() && fields.size() < 13) {
            const size_t space = stat.find(' ', at);
            fields.push_back(stat.substr(at, space - at));
            if (space == std::string::npos) break;
            at = space + 1;
        }
        if (fields.size() < 13) return -1.0;
        return (std::stod(fields[11]) + std::stod(fields[12])) / 100.0;
    }

public:
    // The Linux process whose figures CpuSeconds reads; 0 or -1 when none.
    [[nodiscard]] int unixProcess() const noexcept { return unixProcess_; }
    double OwnCpuSeconds() const {
        FILETIME created{}, exited{}, kernel{}, user{};
        if (!GetProcessTimes(info.hProcess, &created, &exited, &kernel, &user)) return -1.0;
        const auto seconds = [](const FILETIME& time) {
            return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
        };
        return seconds(kernel) + seconds(user);
    }
};

// ---- Windows of the program ----

// A visible top-level window of the process of window class `className`; null when there is none.
inline HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
    struct Search {
        DWORD processId;
        const wchar_t* className;
        HWND found;
    } search{processId, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* state = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (owner == state->processId && IsWindowVisible(window) && std::wcscmp(name, state->className) == 0) {
                state->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND FindMainWindow(DWORD processId) {
    return FindProcessWindow(processId, kMainWindowClass);
}

// A visible dialog ("#32770") of the process: message boxes, task dialogs and file dialogs.
inline HWND FindProcessDialog(DWORD processId) {
    return FindProcessWindow(processId, L"#32770");
}

// The first visible child of `parent` of window class `className` (the `skip`+1-th one).
inline HWND FindChild(HWND parent, const std::wstring& className, int skip = 0) {
    struct Search {
        const std::wstring* className;
        int skip;
        HWND found;
    } search{&className, skip, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto* state = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (_wcsicmp(name, state->className->c_str()) == 0 && IsWindowVisible(window)) {
                if (state->skip-- == 0) {
                    state->found = window;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND FindEditor(HWND main) {
    return FindChild(main, L"Scintilla");
}

// One round trip to the window; milliseconds, or -1 when it did not answer within `timeoutMs`.
inline double RoundTrip(HWND window, UINT message, LRESULT* answer = nullptr, WPARAM wParam = 0, LPARAM lParam = 0,
                        UINT timeoutMs = 60000) {
    const Clock::time_point start = Clock::now();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) return -1.0;
    if (answer) *answer = static_cast<LRESULT>(result);
    return MillisSince(start);
}

// The longest WM_NULL round trip during `ms` of back-to-back pings; trips over 100 ms are printed
// with their time since `origin`.
inline double LongestRoundTripFor(HWND window, double ms, Clock::time_point origin) {
    double longest = 0.0;
    const Clock::time_point start = Clock::now();
    while (MillisSince(start) < ms) {
        const Clock::time_point sent = Clock::now();
        const double trip = RoundTrip(window, WM_NULL);
        if (trip < 0) return -1.0;
        if (trip > 100.0) {
            std::printf("    a stall of %.0f ms from %.0f ms on\n", trip,
                        std::chrono::duration<double, std::milli>(sent - origin).count());
        }
        longest = std::max(longest, trip);
    }
    return longest;
}

// A thread that sends the window a WM_NULL every 10 ms while it lives and keeps the longest round
// trip: how long the window held the user's input at most. A trip still waiting when the probe is
// read counts with its time so far.
class StallProbe {
public:
    explicit StallProbe(HWND window) : window_(window), thread_([this] { Run(); }) {}
    ~StallProbe() {
        stop_ = true;
        thread_.join();
    }
    StallProbe(const StallProbe&) = delete;
    StallProbe& operator=(const StallProbe&) = delete;

    // Starts a new longest-trip count.
    void Reset() {
        longest_ = 0.0;
        generation_++;
    }
    [[nodiscard]] double LongestMs() const {
        double pending = 0.0;
        if (sending_) pending = MillisSince(sentAt_.load());
        return std::max(longest_.load(), pending);
    }

private:
    void Run() {
        while (!stop_) {
            const Clock::time_point sent = Clock::now();
            const int generation = generation_;
            sentAt_ = sent;
            sending_ = true;
            DWORD_PTR result = 0;
            const bool answered = SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 1800000, &result) != FALSE;
            sending_ = false;
            const double trip = MillisSince(sent);
            if (generation == generation_ && trip > longest_) longest_ = trip;
            if (!answered && !IsWindow(window_)) return;
            const double rest = 10.0 - MillisSince(sent);
            if (rest > 0) Sleep(static_cast<DWORD>(rest));
        }
    }

    HWND window_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> sending_{false};
    std::atomic<int> generation_{0};
    std::atomic<Clock::time_point> sentAt_{Clock::now()};
    std::atomic<double> longest_{0.0};
    std::thread thread_;
};

}  // namespace lq::bench
