#include "editor/ClipboardAppend.h"

#include <cstring>
#include <string>

#include "platform/TextConversion.h"

namespace lq {
namespace {

constexpr int kOpenAttempts = 50;
constexpr DWORD kOpenRetryMillis = 10;

// The clipboard opened for one window, closed on leaving the scope.
class ClipboardOpening {
public:
    explicit ClipboardOpening(HWND owner) noexcept {
        for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
            if (OpenClipboard(owner)) {
                open_ = true;
                return;
            }
            Sleep(kOpenRetryMillis);
        }
    }
    ~ClipboardOpening() {
        if (open_) CloseClipboard();
    }
    ClipboardOpening(const ClipboardOpening&) = delete;
    ClipboardOpening& operator=(const ClipboardOpening&) = delete;
    [[nodiscard]] bool open() const noexcept { return open_; }

private:
    bool open_ = false;
};

// CF_UNICODETEXT of the open clipboard; empty when there is none.
std::wstring ReadOpenClipboardText() {
    std::wstring text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return text;
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
        // The block may be larger than the text; the text ends at its terminator.
        text.assign(chars, wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t)));
        GlobalUnlock(data);
    }
    return text;
}

// Places `text` on the open clipboard after emptying it; false when it is not there afterwards.
bool PlaceOnOpenClipboard(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;  // the clipboard owns the memory now
}

}  // namespace

ClipboardAppendResult AppendSelectionToClipboard(EditorView& view, HWND owner, bool cut) {
    auto& call = view.call();
    if (call.SelectionEmpty()) return ClipboardAppendResult::NothingSelected;
    const std::string selected = call.GetSelText();
    {
        // One opening for reading and writing, so nobody can change the clipboard in between.
        ClipboardOpening clipboard(owner);
        if (!clipboard.open()) return ClipboardAppendResult::ClipboardUnavailable;
        const std::wstring previous = ReadOpenClipboardText();
        if (!PlaceOnOpenClipboard(previous + Utf8ToUtf16(selected))) {
            // Emptied but not written: put back what was there rather than leave nothing.
            (void)PlaceOnOpenClipboard(previous);
            return ClipboardAppendResult::ClipboardUnavailable;
        }
    }
    if (cut) {
        call.ReplaceSel("");
    } else {
        call.SetEmptySelection(call.CurrentPos());
    }
    return ClipboardAppendResult::Appended;
}

}  // namespace lq
