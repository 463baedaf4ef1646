#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/gdi/GdiObjects.h"

namespace lq {

// The window class of the find panel.
inline constexpr wchar_t kFindPanelClass[] = L"Lanternquill.Find";

// The floating panel over the editor's top-right corner for finding, replacing and going to a line
// in the open note. It searches nothing itself: every request reaches the main window through the
// one callback. The main window creates it on first use and owns it; the child edits go with the
// panel window. Not copyable or movable: its window and edits point back at it.
class FindPanel {
public:
    enum class Mode : int32_t { Find = 0, Replace = 1, GoToLine = 2 };
    enum class Action : int32_t {
        FindNext = 0,
        FindPrevious = 1,
        Replace = 2,
        ReplaceAll = 3,
        GoToLine = 4,
        FindTextChanged = 5,
        ReplaceTextChanged = 6,
    };
    using ActionCallback = std::function<void(Action)>;

    // Button types of the hit areas.
    static constexpr int32_t kPrevious = 1;
    static constexpr int32_t kNext = 2;
    static constexpr int32_t kClose = 3;
    static constexpr int32_t kReplace = 4;
    static constexpr int32_t kReplaceAll = 5;

    // A button of the panel and where it lies (panel client coordinates).
    struct HitArea {
        int32_t type = 0;  // kPrevious .. kReplaceAll
        RECT rect{};
    };

    FindPanel() = default;
    // Destroys the panel window when it still exists, so no window is left pointing at a panel that
    // is gone.
    ~FindPanel();
    FindPanel(const FindPanel&) = delete;
    FindPanel& operator=(const FindPanel&) = delete;

    // Registers "Lanternquill.Find"; a class that already exists counts as success.
    [[nodiscard]] static bool RegisterClass(HINSTANCE instance);
    // Creates the hidden panel and its three edits under `parent`. False when the class or any of the
    // four windows could not be made; the owner then discards the panel (its destructor destroys
    // what was made).
    [[nodiscard]] bool Create(HWND parentWindow, HINSTANCE instanceHandle, int32_t dpiValue, ActionCallback callback);
    // Gives the three edits the panel font for `dpi`; when none can be made the old one stays.
    void ApplyFont();
    // The line edit's cue banner "行 1–<count>" (a count below 1 shows as 1).
    void SetLineCount(int64_t lineCount);
    // Places the panel in the editor's rectangle `host` (main window client coordinates), pushed
    // down by `verticalOffset`, which a new host rectangle resets.
    void SetHostRect(const RECT& host);
    // Rebuilds `hitAreas` for the panel's width and mode and places the edits.
    void Layout();
    // Puts `edit` in its frame on `row` (0 or 1), left of the buttons.
    void PlaceEdit(HWND edit, int32_t row);
    // The type of the button under `point` (client coordinates), 0 for none.
    [[nodiscard]] int32_t HitTest(POINT point) const;
    // WM_PAINT.
    void Paint();
    // Draws the whole client area into `dc`: WM_PAINT and WM_PRINTCLIENT.
    void Draw(HDC dc);
    // The rounded frame around a visible edit: red when flagged, green while it has the focus.
    void DrawEditFrame(HDC dc, HWND edit, bool flagged);
    // Whether the find edit holds text: the buttons other than close work only then.
    [[nodiscard]] bool HasFindText() const;
    // Whether a button of that type is usable now.
    [[nodiscard]] bool IsEnabled(int32_t type) const;

    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditSubclassProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR panel);

    HWND hwnd = nullptr;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    HWND findEdit = nullptr;
    HWND replaceEdit = nullptr;
    HWND lineEdit = nullptr;
    UniqueFont font;
    int32_t dpi = 96;
    Mode mode = Mode::Find;
    bool notFound = false;
    int32_t hotType = 0;
    bool trackingLeave = false;
    std::vector<HitArea> hitAreas;
    RECT hostRect{};
    int32_t verticalOffset = 0;
    ActionCallback onAction;

private:
    void Raise(Action action);
    [[nodiscard]] HFONT DrawingFont() const;
    // The edits' height: the font's, but at most 2 pixels less than a frame.
    [[nodiscard]] int32_t TextHeight() const;
    LRESULT OnEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    // Enter in an edit (as WM_KEYDOWN or WM_SYSKEYDOWN); the message is handed on when it returns none.
    [[nodiscard]] bool OnEnter(HWND edit, UINT message);
};

// Ctrl+Backspace (backward) and Ctrl+Delete (forward) in an edit: deletes the selection, or with none
// the word before or after the caret together with the blanks between, as one undoable step.
void DeleteWordInEdit(HWND edit, bool forward);

// RoundRect with the DC brush and pen in those colours; corner ellipses of 2 × radius.
void FillRoundRect(HDC dc, const RECT& rect, COLORREF fill, COLORREF outline, int32_t radius);

}  // namespace lq
