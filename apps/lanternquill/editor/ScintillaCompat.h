#pragma once

#include <windows.h>

#include <vector>

#include "editor/ScintillaHeaders.h"

namespace lq {

// What the program asks of the editing component that its version (5.3.3) lacks, carried out here
// with what it does have. Where a newer component defines the message, the native one is used.
//   - cut allowing a whole line (Ctrl+X, Shift+Delete and the Cut commands);
//   - vertical scrolling to a document line and one of its wrapped sub-lines (view restore);
//   - the autocompletion option that keeps the list's first item selected.
// The component's inactive selection colours already cover additional selections in this version,
// so the separate inactive-additional elements are simply not set.

#ifdef SCI_CUTALLOWLINE
inline constexpr bool kComponentHasCutAllowLine = true;
#else
inline constexpr bool kComponentHasCutAllowLine = false;
#endif
#ifdef SCI_SCROLLVERTICAL
inline constexpr bool kComponentHasScrollVertical = true;
#else
inline constexpr bool kComponentHasScrollVertical = false;
#endif
#ifdef SC_AUTOCOMPLETE_SELECT_FIRST_ITEM
inline constexpr bool kComponentHasSelectFirstItem = true;
#else
inline constexpr bool kComponentHasSelectFirstItem = false;
#endif

// Autocompletion option bits as the program passes them to ScintillaCompat::SetAutoCompleteOptions.
inline constexpr int kAutoCompleteFixedSize = 1;
inline constexpr int kAutoCompleteSelectFirstItem = 2;

// Cuts the selection; with an empty selection cuts the caret's whole line with its line end, as one
// undo step, leaving on the clipboard what the component's own line copy (SCI_COPYALLOWLINE) puts
// there. A read-only document is left alone.
void CutAllowLine(Scintilla::ScintillaCall& call);

// Makes wrapped sub-line `subLine` of document line `line` the top of the view; the line is clamped
// to the document, the sub-line to the line's wrap count. Pending wrapping is completed first (the
// component does all of it at once, so a long note costs one full wrap here), so the target holds
// however far the component's background wrapping had got.
void ScrollVertical(Scintilla::ScintillaCall& call, Scintilla::Line line, Scintilla::Line subLine);

// What a key is given in the component's key map: a component message, a command of this adapter,
// or nothing (the key is cleared).
enum class CompatCommand { None, CutAllowLine };
struct KeyCommand {
    Scintilla::Message message = Scintilla::Message::Null;
    CompatCommand compat = CompatCommand::None;
    [[nodiscard]] constexpr bool clears() const noexcept {
        return message == Scintilla::Message::Null && compat == CompatCommand::None;
    }
};
[[nodiscard]] constexpr KeyCommand SendsMessage(Scintilla::Message message) noexcept { return {message}; }
inline constexpr KeyCommand kClearKey{};
inline constexpr KeyCommand kCutAllowLineCommand{Scintilla::Message::Null, CompatCommand::CutAllowLine};

// The component's key code for a virtual-key code, as the component translates it (letters, digits
// and other keys unchanged).
[[nodiscard]] int ComponentKeyFromVirtualKey(WPARAM virtualKey) noexcept;
// The key definition of SCI_ASSIGNCMDKEY / SCI_CLEARCMDKEY: key code | modifiers << 16.
[[nodiscard]] constexpr int KeyDefinition(int key, Scintilla::KeyMod modifiers) noexcept {
    return key | (static_cast<int>(modifiers) << 16);
}

// The per-window part of the adapter: it subclasses the component's window to run the key bindings
// and the list behaviour the component lacks. One per editor window; it must not move while attached.
class ScintillaCompat {
public:
    ScintillaCompat() = default;
    ~ScintillaCompat();
    ScintillaCompat(const ScintillaCompat&) = delete;
    ScintillaCompat& operator=(const ScintillaCompat&) = delete;

    // Subclasses `editor`; `call` drives it and must outlive the attachment. False when subclassing
    // fails (the component then works, without the emulated behaviour).
    [[nodiscard]] bool Attach(HWND editor, Scintilla::ScintillaCall* call) noexcept;
    // Removes the subclass; also done when the window is destroyed.
    void Detach() noexcept;
    [[nodiscard]] bool attached() const noexcept { return hwnd_ != nullptr; }

    // Gives `command` to the key (SCI_ASSIGNCMDKEY), or clears it (SCI_CLEARCMDKEY). A command the
    // component lacks is bound to SCI_NULL in its key map, so the key stays consumed and types no
    // control character, and it is run here when the key is pressed.
    void AssignKey(int keyDefinition, KeyCommand command);

    // SCI_AUTOCSETOPTIONS with the bits the component knows; the select-first bit is kept here.
    void SetAutoCompleteOptions(int options);
    [[nodiscard]] bool selectsFirstItem() const noexcept { return selectFirstItem_; }
    // SCI_AUTOCSHOW, then the first item selected when that option is set. With the option, typing
    // or deleting a character while the list is open keeps the selected row (as the native option
    // does) unless the list is shown again meanwhile.
    void ShowAutoComplete(Scintilla::Position lengthEntered, const char* itemList);

private:
    struct EmulatedKey {
        int keyDefinition;
        CompatCommand command;
    };

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR refData) noexcept;
    LRESULT Proc(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    [[nodiscard]] CompatCommand EmulatedCommandForKey(WPARAM virtualKey) const noexcept;
    void Run(CompatCommand command);
    // Selects list row `row` when the select-first option is emulated and the list is open.
    void SelectListRow(int row);

    HWND hwnd_ = nullptr;
    Scintilla::ScintillaCall* call_ = nullptr;
    std::vector<EmulatedKey> emulatedKeys_;
    bool selectFirstItem_ = false;
    // Set by ShowAutoComplete; each message handled by the subclass reads and resets it.
    bool shownDuringMessage_ = false;
};

}  // namespace lq
