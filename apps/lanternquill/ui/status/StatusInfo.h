#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "editor/ScintillaHeaders.h"

namespace lq {

// The status strip along the bottom of the main window: what it shows and how it is painted. It is
// no window of its own; the main window feeds it the editor's notifications and paints it.
// Character counts follow the editor incrementally (CR, LF and UTF-8 continuation bytes are not
// counted, see CountStatusCharacters), so keystrokes in a large note never count the whole note.
// Editor calls may throw Scintilla::Failure, which the caller's window procedure catches.
class StatusInfo {
public:
    // Update flags: the editor's selection-changed bit, and the program's own refresh, which passes
    // it with 16 (a bit the editor never sets).
    static constexpr int kUpdateSelection = 2;
    static constexpr int kUpdateRefresh = 18;

    // Counts the whole document again (one pass over its bytes) and forgets the cached column, for
    // a note just opened or a document replaced.
    void RecountTotal(Scintilla::ScintillaCall& editor);

    // After SCN_UPDATEUI (with its update flags) or the program's refresh (kUpdateRefresh): reads
    // caret, line, column, selection and overtype from the editor. Updates that only scroll change
    // nothing unless a modification left the total to be recounted. True when anything shown
    // changed, so the strip must be repainted.
    [[nodiscard]] bool Update(Scintilla::ScintillaCall& editor, int updateFlags);

    // After SCN_MODIFIED: an insertion or deletion moves the total by the characters of its text (or
    // marks it for recounting when the notification has no text, as deletions without undo history
    // have) and forgets the cached column when it lies before the caret's last place. True when the
    // total changed, so the strip must be repainted: the update that follows compares with the total
    // already changed here and, after a forward delete, finds nothing else changed.
    [[nodiscard]] bool ApplyModification(const Scintilla::NotificationData& notification) noexcept;

    // Setters for the main window; each returns true when the value changed (repaint the strip).
    [[nodiscard]] bool SetSaveFailed(bool failed) noexcept;
    [[nodiscard]] bool SetNotFound(bool notFound) noexcept;
    [[nodiscard]] bool SetNotice(std::wstring_view notice);
    // Clears the transient texts (the not-found warning and the notice) on the user's next key or
    // button press. True when either was shown.
    [[nodiscard]] bool ClearTransient() noexcept;

    // The texts shown; SelectionText is empty without a selection.
    [[nodiscard]] std::wstring PositionText() const;
    [[nodiscard]] std::wstring SelectionText() const;
    [[nodiscard]] std::wstring TotalText() const;

    // Paints the strip `strip` of `hdc`: the dark background with its top border, the warnings and
    // the notice, position, selection and overtype on the left, total and encoding on the right.
    // `font` null uses the stock default GUI font; the DC's font, text colour and background mode
    // are restored afterwards. The two warning texts come from the string table (the caller loads
    // them).
    void Paint(HDC hdc, const RECT& strip, HFONT font, int dpi, std::wstring_view saveFailureText,
               std::wstring_view notFoundText) const;

    [[nodiscard]] int64_t line() const noexcept { return line_; }
    [[nodiscard]] int64_t column() const noexcept { return column_; }
    [[nodiscard]] bool hasSelection() const noexcept { return hasSelection_; }
    [[nodiscard]] int64_t selectedChars() const noexcept { return selectedChars_; }
    [[nodiscard]] bool overtype() const noexcept { return overtype_; }
    [[nodiscard]] int64_t totalChars() const noexcept { return totalChars_; }
    [[nodiscard]] bool saveFailed() const noexcept { return saveFailed_; }
    [[nodiscard]] bool notFound() const noexcept { return notFound_; }
    [[nodiscard]] const std::wstring& notice() const noexcept { return notice_; }
    [[nodiscard]] bool recountNeeded() const noexcept { return recountNeeded_; }
    [[nodiscard]] int64_t cachedCaretPos() const noexcept { return cachedCaretPos_; }
    [[nodiscard]] int64_t cachedLineStart() const noexcept { return cachedLineStart_; }

private:
    void UpdateColumn(Scintilla::ScintillaCall& editor, int64_t caret, int64_t lineStart);
    [[nodiscard]] int64_t CountSelectedChars(Scintilla::ScintillaCall& editor) const;

    int64_t line_ = 1;
    int64_t column_ = 1;
    bool hasSelection_ = false;
    int64_t selectedChars_ = 0;
    bool overtype_ = false;
    int64_t totalChars_ = 0;
    bool saveFailed_ = false;
    bool notFound_ = false;
    std::wstring notice_;
    bool recountNeeded_ = false;
    int64_t cachedCaretPos_ = -1;
    int64_t cachedLineStart_ = -1;
};

}  // namespace lq
