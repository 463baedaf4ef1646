// Figures for the status bar's counting over a real editor: recounting a 10 MB note, refreshing after
// a one-character caret move along a line of 100,000 characters (the incremental column) against the
// same refresh with the column counted from the line start, and a refresh with 1 MB selected.
// Prints milliseconds and microseconds; sets no targets.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "editor/EditorClass.h"
#include "editor/EditorView.h"
#include "ui/status/StatusInfo.h"

namespace {

double NowMs() {
    LARGE_INTEGER frequency{}, counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Lines of kana and ASCII with CRLF ends, about `size` bytes.
std::string MixedText(size_t size) {
    std::string text;
    text.reserve(size + 64);
    for (int line = 0; text.size() < size; ++line) {
        text += "\xE3\x83\xA1\xE3\x83\xA2 note line ";  // メモ
        text += std::to_string(line);
        text += " \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E text\r\n";  // 日本語
    }
    return text;
}

// Microseconds per refresh after moving the caret one character right, `moves` times from `start`;
// `fromLineStart` drops the cached column first, as a modification before the caret does.
double CaretMoveMicros(lq::EditorView& view, lq::StatusInfo& status, Scintilla::Position start, int moves,
                       bool fromLineStart) {
    auto& call = view.call();
    // An empty insertion at 0 drops the cached column without touching the total.
    Scintilla::NotificationData before{};
    before.modificationType = static_cast<Scintilla::ModificationFlags>(SC_MOD_INSERTTEXT);
    before.text = "";
    call.GotoPos(start);
    (void)status.Update(call, lq::StatusInfo::kUpdateRefresh);
    const double begin = NowMs();
    for (int i = 0; i < moves; ++i) {
        call.CharRight();
        if (fromLineStart) (void)status.ApplyModification(before);
        (void)status.Update(call, lq::StatusInfo::kUpdateSelection);
    }
    return (NowMs() - begin) * 1000.0 / moves;
}

}  // namespace

int main() {
    lq::bench::EditorHost host;
    if (!host.ok) {
        std::fprintf(stderr, "cannot create the editor\n");
        return 1;
    }
    auto& call = host.view.call();
    lq::StatusInfo status;

    const std::string note = MixedText(10u << 20);
    host.view.SetText(note);
    double best = 1e300;
    for (int run = 0; run < 5; ++run) {
        const double begin = NowMs();
        status.RecountTotal(call);
        best = std::min(best, NowMs() - begin);
    }
    std::printf("recount %.1f MB note (%lld characters): %.2f ms\n", static_cast<double>(note.size()) / 1048576.0,
                static_cast<long long>(status.totalChars()), best);

    call.SetSel(0, 1 << 20);
    double selectionBest = 1e300;
    for (int run = 0; run < 5; ++run) {
        status.RecountTotal(call);
        const double begin = NowMs();
        (void)status.Update(call, lq::StatusInfo::kUpdateRefresh);
        selectionBest = std::min(selectionBest, NowMs() - begin);
    }
    std::printf("refresh with 1 MB selected (%lld characters): %.2f ms\n",
                static_cast<long long>(status.selectedChars()), selectionBest);

    std::string line;
    for (int i = 0; i < 100000; ++i) line += (i % 3 == 0) ? "\xE3\x81\x82" : "w";
    host.view.SetText(line);
    status.RecountTotal(call);
    const Scintilla::Position middle = call.PositionRelative(0, 90000);
    // The line-start count is far slower; fewer moves keep the run short.
    const double incremental = CaretMoveMicros(host.view, status, middle, 5000, false);
    const double fromStart = CaretMoveMicros(host.view, status, middle, 200, true);
    std::printf(
        "caret move near column 90,000 of a 100,000-character line: %.2f us incremental, %.2f us from the "
        "line start\n",
        incremental, fromStart);
    return 0;
}
