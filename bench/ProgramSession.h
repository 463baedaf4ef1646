#pragma once

// One run of the real program driven by a benchmark: started on a database, waited for until its
// window is up and idle, then operations timed from a command to the state that shows their result,
// with the longest block of the window meanwhile.
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "ProgramDriver.h"

namespace lq::bench {

// The result of one timed operation: its time to the result state and the longest block meanwhile.
struct Timed {
    double ms = -1.0;
    double block = -1.0;
    bool timeout = false;
};

inline void PrintTimed(const char* name, const Timed& timed) {
    if (timed.timeout) {
        std::printf("  %-30s timeout (after %.0f ms; longest block %.0f ms)\n", name, timed.ms, timed.block);
    } else {
        std::printf("  %-30s %8.0f ms, longest block %6.0f ms\n", name, timed.ms, timed.block);
    }
    std::fflush(stdout);
}

class Session {
public:
    Session(const std::wstring& program, const std::wstring& database)
        : process_(program, L"--db " + Quoted(database)), database_(database) {}
    ~Session() {
        probe_.reset();
        if (process_.Running()) {
            TerminateProcess(process_.info.hProcess, 99);
            WaitForSingleObject(process_.info.hProcess, 30000);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Waits for the main window with its tree filled and the window answering; false on failure.
    bool Start() {
        const Clock::time_point start = Clock::now();
        while (process_.started && !main_ && MillisSince(start) < 300000) {
            if (!process_.Running()) break;
            main_ = lq::bench::FindMainWindow(process_.info.dwProcessId);
            if (!main_) Sleep(20);
        }
        if (!main_) {
            std::printf("  the program's main window did not appear\n");
            return false;
        }
        WaitForInputIdle(process_.info.hProcess, 60000);
        tree_ = lq::bench::FindChild(main_, WC_TREEVIEWW);
        editor_ = lq::bench::FindEditor(main_);
        if (!tree_ || !editor_) {
            std::printf("  the program's tree or editor was not found\n");
            return false;
        }
        if (!WaitFor([&] { return TreeCount() > 0; }, 120000)) {
            std::printf("  the tree stayed empty\n");
            return false;
        }
        threadId_ = GetWindowThreadProcessId(main_, nullptr);
        Settle();
        probe_ = std::make_unique<StallProbe>(main_);
        return true;
    }

    // Waits until the window answers at once a few times in a row (start-up focus, idle slices).
    void Settle() {
        int quick = 0;
        const Clock::time_point start = Clock::now();
        while (quick < 5 && MillisSince(start) < 60000) {
            const double trip = RoundTrip(main_, WM_NULL);
            quick = (trip >= 0 && trip < 30.0) ? quick + 1 : 0;
            Sleep(20);
        }
    }

    // Runs `act` and waits until `done`; its time and the longest block of the window meanwhile.
    Timed Time(const std::function<void()>& act, const std::function<bool()>& done, DWORD timeoutMs = 120000) {
        probe_->Reset();
        const Clock::time_point start = Clock::now();
        act();
        Timed timed;
        timed.timeout = !WaitFor(done, timeoutMs);
        timed.ms = MillisSince(start);
        RoundTrip(main_, WM_NULL);
        timed.block = probe_->LongestMs();
        return timed;
    }

    static bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
        const Clock::time_point start = Clock::now();
        while (!done()) {
            if (MillisSince(start) > timeoutMs) return false;
            Sleep(2);
        }
        return true;
    }

    LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        LRESULT answer = 0;
        if (RoundTrip(window, message, &answer, wParam, lParam, 120000) < 0) return -1;
        return answer;
    }
    [[nodiscard]] long TreeCount() const { return static_cast<long>(Ask(tree_, TVM_GETCOUNT)); }
    [[nodiscard]] bool LabelEditOpen() const { return Ask(tree_, TVM_GETEDITCONTROL) > 0; }
    [[nodiscard]] LRESULT Caret() const { return Ask(tree_, TVM_GETNEXTITEM, TVGN_CARET); }
    [[nodiscard]] LRESULT Root() const { return Ask(tree_, TVM_GETNEXTITEM, TVGN_ROOT); }

    [[nodiscard]] HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(threadId_, &info)) return nullptr;
        return info.hwndFocus;
    }

    void PostKey(HWND target, WPARAM key) const {
        const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
        PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
    }
    void Command(UINT id) const { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // Moves the keyboard focus to the tree with the focus-switching key; false when it did not get there.
    bool FocusTree() {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const HWND focus = Focus();
            if (focus == tree_) return true;
            PostKey(focus ? focus : main_, VK_F6);
            if (WaitFor([&] { return Focus() != focus; }, 10000) && Focus() == tree_) return true;
        }
        std::printf("  the tree did not take the focus\n");
        return false;
    }

    // A dialog of the program, when one is shown.
    [[nodiscard]] HWND Dialog() const { return lq::bench::FindProcessDialog(process_.info.dwProcessId); }

    Process& process() { return process_; }
    [[nodiscard]] const std::wstring& database() const { return database_; }
    [[nodiscard]] HWND main() const { return main_; }
    [[nodiscard]] HWND tree() const { return tree_; }
    [[nodiscard]] HWND editor() const { return editor_; }
    StallProbe& probe() { return *probe_; }

private:
    Process process_;
    std::wstring database_;
    HWND main_ = nullptr;
    HWND tree_ = nullptr;
    HWND editor_ = nullptr;
    DWORD threadId_ = 0;
    std::unique_ptr<StallProbe> probe_;
};

}  // namespace lq::bench
