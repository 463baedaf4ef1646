#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "editor/EditorMetrics.h"
#include "editor/ScintillaCompat.h"
#include "editor/ScintillaHeaders.h"

namespace lq {

// Enable flags of the Edit menu and the editor's context menu.
struct EditState {
    bool canUndo = false;
    bool canRedo = false;
    bool canCut = false;
    bool canCopy = false;
    bool canPaste = false;
    bool canSelectAll = false;
};

// The note editor: the editing component's child window, configured once for plain UTF-8 text in the
// dark palette, driven through the component's call wrapper. Documents other than the one made at
// creation belong to their callers (the workspace), which only show them here.
// Component calls throw Scintilla::Failure on an error status; the host catches nothing itself, and
// whoever catches one calls RecoverFromFailure (or uses RunEditorOperation).
// The object must not move once created: the window's subclass points to it.
class EditorView {
public:
    EditorView() = default;
    ~EditorView() = default;
    EditorView(const EditorView&) = delete;
    EditorView& operator=(const EditorView&) = delete;

    // Creates the component's window as a child of `parent` (class "Scintilla", which must be
    // registered) at size 0 and configures it. False only when the window cannot be created.
    [[nodiscard]] bool Create(HWND parent, HINSTANCE instance);

    // Settings that belong to the attached document (UTF-8, CRLF, tabs); applied to every new document
    // before it is filled.
    void ApplyDocumentDefaults();
    // The default and line-number styles: face, size, colours.
    void ApplyFont();

    // Replaces the whole text with UTF-8 `text`: no undo history, at its save point, caret at 0.
    void SetText(std::string_view text);

    // The zoom: clamps to 6..72 and restyles only when the size changes.
    void SetFontSize(int32_t points);
    void ZoomIn() { SetFontSize(fontSize_ + 1); }
    void ZoomOut() { SetFontSize(fontSize_ - 1); }
    // Back to 16 points; nothing is sent when already there.
    void ResetFontSize();

    // Character wrap on or off.
    void SetWrap(bool wrap);

    // The horizontal scroll range back to 1 pixel (it grows again with the lines drawn).
    void ResetScrollWidth();
    // The widest end of the visible lines, in pixels from the text's left edge; at least 0.
    [[nodiscard]] int32_t MeasureVisibleWidth();
    // Without wrapping, grows the scroll width to the visible lines; it never shrinks here.
    void UpdateScrollWidth();

    // Hides (true) or shows caret, caret line and line numbers; nothing happens when unchanged.
    void SetEmptyState(bool empty);
    // Sizes the line-number margin for the line count; unforced, only when the digit count changed.
    void UpdateLineNumberMargin(bool force);
    // Rescales caret, left text margin and line-number margin (after WM_DPICHANGED reached the window).
    void SetDpi(int32_t dpi);

    [[nodiscard]] EditState GetEditState();

    // Input-method composition in the editor: whether one is in progress, and committing it into the
    // text. No input context: not composing, nothing to commit.
    [[nodiscard]] bool IsComposing() const noexcept;
    void CompleteComposition() noexcept;

    // Cut allowing a whole line (the Cut commands), and vertical scrolling to a document line and a
    // wrapped sub-line (view restore), whichever way the component provides them.
    void CutAllowLine() { lq::CutAllowLine(call_); }
    void ScrollVertical(Scintilla::Line line, Scintilla::Line subLine) { lq::ScrollVertical(call_, line, subLine); }

    // Clears the component's sticky error status after a caught Scintilla::Failure. Never throws.
    void RecoverFromFailure() noexcept;

    [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] Scintilla::ScintillaCall& call() noexcept { return call_; }
    // The adapter for what the component lacks (autocompletion options and list showing).
    [[nodiscard]] ScintillaCompat& compat() noexcept { return compat_; }
    [[nodiscard]] const std::wstring& fontFace() const noexcept { return fontFace_; }
    [[nodiscard]] int32_t fontSize() const noexcept { return fontSize_; }
    [[nodiscard]] bool wrap() const noexcept { return wrap_; }
    [[nodiscard]] int32_t lineNumberDigits() const noexcept { return lineNumberDigits_; }
    [[nodiscard]] bool emptyState() const noexcept { return emptyState_; }
    [[nodiscard]] int32_t dpi() const noexcept { return dpi_; }

private:
    void ApplySelectionColours();

    HWND hwnd_ = nullptr;
    Scintilla::ScintillaCall call_;
    std::wstring fontFace_;
    int32_t fontSize_ = kDefaultFontSize;
    bool wrap_ = true;
    int32_t lineNumberDigits_ = 0;
    bool emptyState_ = false;
    int32_t dpi_ = kDefaultDpi;
    // Declared last, so it detaches from the window before the call wrapper it uses goes.
    ScintillaCompat compat_;
};

}  // namespace lq
