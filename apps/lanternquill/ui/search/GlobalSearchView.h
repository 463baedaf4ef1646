#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/Rows.h"
#include "ui/gdi/GdiObjects.h"
#include "ui/search/GlobalSearchLayout.h"
#include "ui/search/GlobalSearchText.h"

namespace lq {

// The panel that stands in the sidebar's place for searching and replacing across all notes: a query
// edit, a replacement edit, the owner-drawn "すべて置換" button and an owner-drawn list of results,
// all four children of the main window. It runs no search and holds no notes: the main window hands
// it the hits, lays it out, paints the edits' frames and the status text, and gets every request
// through the one callback. Not copyable or movable: its controls point back at it.
class GlobalSearchView {
public:
    enum class Mode : uint32_t {
        Search = 0,   // query edit and list
        Replace = 1,  // query edit, replacement edit, the button with the status text, then the list
    };
    enum class Action : int32_t {
        QueryChanged = 0,  // argument -1: Enter in an edit
        OpenHit = 1,       // argument: the row index
        ReplaceAll = 2,    // argument -1: Ctrl+Alt+Enter in an edit in Replace mode, Enter on the button
    };
    using ActionCallback = std::function<void(Action, int)>;

    GlobalSearchView() = default;
    // Destroys the controls that still exist (normally the main window has destroyed them already),
    // so no control is left pointing at a view that is gone.
    ~GlobalSearchView();
    GlobalSearchView(const GlobalSearchView&) = delete;
    GlobalSearchView& operator=(const GlobalSearchView&) = delete;

    // Creates the four hidden controls under `parent` (the button disabled), subclasses them, sets the
    // cue banners and the font. A `dpi` of 0 or less counts as 96. False when any control could not be
    // made; none is left behind then. False as well on a view already created.
    [[nodiscard]] bool Create(HWND parent, HINSTANCE instance, int dpi, ActionCallback onAction);

    // Makes the UI font for `dpi()` and gives it to the controls, with the list's row height; when the
    // font cannot be made everything stays as it was.
    void UpdateFonts();
    // Shows the query edit and the list (without activating), and the replacement edit and the button
    // in Replace mode only; hides all four when not visible.
    void Show(bool visible);
    // Lays the controls out in `area` (client pixels of the parent) and computes `statusRect()`.
    void Layout(const RECT& area);
    // Replaces the rows with `hits` in order, highlighting `query`; no row is selected afterwards.
    void SetResults(const std::vector<SearchHit>& hits, std::wstring_view query);
    // Draws the button or a result row; false when the item belongs to another control.
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    // Moves the focus from `from` to the next control of the focus ring (the previous when
    // `backwards`); a list reached without a selection selects its first row.
    void FocusNext(HWND from, bool backwards);

    static LRESULT CALLBACK EditSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR view);
    static LRESULT CALLBACK ButtonSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                               DWORD_PTR view);
    static LRESULT CALLBACK ListSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR view);

    [[nodiscard]] HWND parent() const noexcept { return parent_; }
    [[nodiscard]] HWND queryEdit() const noexcept { return queryEdit_; }
    [[nodiscard]] HWND replaceEdit() const noexcept { return replaceEdit_; }
    [[nodiscard]] HWND replaceAllButton() const noexcept { return replaceAllButton_; }
    [[nodiscard]] HWND resultList() const noexcept { return resultList_; }

    // The mode is the main window's to set; it then shows the controls and lays the view out again.
    [[nodiscard]] Mode mode() const noexcept { return mode_; }
    void SetMode(Mode mode) noexcept { mode_ = mode; }
    [[nodiscard]] const RECT& area() const noexcept { return area_; }
    // Where the main window draws statusText() in Replace mode; all zero in Search mode.
    [[nodiscard]] const RECT& statusRect() const noexcept { return statusRect_; }
    [[nodiscard]] const std::wstring& statusText() const noexcept { return statusText_; }
    // A text too wide for its place beside the button moves below the button row, so the view is laid
    // out again (in its last area) whenever the place of the text changes.
    void SetStatusText(std::wstring text);
    // The status text in #9D9D9D in the view's font: on one line beside the button, or wrapped on lines
    // of its own below it; the main window calls this while it paints the sidebar column.
    void PaintStatusText(HDC dc) const;
    // The last search or replace found nothing; the main window frames the query edit in red.
    [[nodiscard]] bool noMatch() const noexcept { return noMatch_; }
    void SetNoMatch(bool noMatch) noexcept { noMatch_ = noMatch; }
    [[nodiscard]] uint32_t dpi() const noexcept { return dpi_; }
    // Stores the DPI (0 counts as 96); UpdateFonts and the next Layout use it.
    void SetDpi(uint32_t dpi) noexcept { dpi_ = dpi == 0 ? 96 : dpi; }
    [[nodiscard]] HFONT font() const noexcept { return font_.get(); }

    // The rows of the last SetResults; row i is list item i.
    [[nodiscard]] const std::vector<GlobalSearchRow>& rows() const noexcept { return rows_; }

private:
    void SendAction(Action action, int argument);
    [[nodiscard]] int MeasureButtonText() const;
    [[nodiscard]] GlobalSearchStatusExtent MeasureStatusText(int fieldWidth) const;
    [[nodiscard]] GlobalSearchLayoutRects ComputeLayout(const RECT& area) const;
    [[nodiscard]] bool ListHasRows() const;
    void FocusListFirstRow();
    void DrawButton(const DRAWITEMSTRUCT& item) const;
    void DrawRow(const DRAWITEMSTRUCT& item) const;
    LRESULT OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnListMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void ForgetControl(HWND hwnd) noexcept;

    HWND parent_ = nullptr;
    HWND queryEdit_ = nullptr;
    HWND replaceEdit_ = nullptr;
    HWND replaceAllButton_ = nullptr;
    HWND resultList_ = nullptr;
    Mode mode_ = Mode::Search;
    RECT area_{};
    RECT statusRect_{};
    bool statusWraps_ = false;
    std::wstring statusText_;
    UniqueFont font_;
    uint32_t dpi_ = 96;
    // One record per row in place of five parallel lists: they cannot drift apart in length.
    std::vector<GlobalSearchRow> rows_;
    bool noMatch_ = false;
    bool listPressed_ = false;  // a left press began in the list and its release is still to come
    ActionCallback onAction_;
};

}  // namespace lq
