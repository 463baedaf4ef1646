#include "editor/ScintillaCompat.h"

#include <commctrl.h>

#include <algorithm>

#include "editor/EditorFailure.h"
#include "editor/UndoGroup.h"

namespace lq {
namespace {

using Scintilla::KeyMod;
using Scintilla::Keys;
using Scintilla::Message;

constexpr UINT_PTR kSubclassId = 1;

bool IsKeyDown(int virtualKey) noexcept { return (GetKeyState(virtualKey) & 0x8000) != 0; }

KeyMod CurrentModifiers() noexcept {
    int modifiers = 0;
    if (IsKeyDown(VK_SHIFT)) modifiers |= static_cast<int>(KeyMod::Shift);
    if (IsKeyDown(VK_CONTROL)) modifiers |= static_cast<int>(KeyMod::Ctrl);
    if (IsKeyDown(VK_MENU)) modifiers |= static_cast<int>(KeyMod::Alt);
    return static_cast<KeyMod>(modifiers);
}

// Messages after which the component may have re-selected a list item by the typed prefix.
bool MayReselectListItem(UINT message) noexcept {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_UNICHAR:
        case WM_IME_CHAR:
        case WM_IME_COMPOSITION:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CutAllowLine(Scintilla::ScintillaCall& call) {
#ifdef SCI_CUTALLOWLINE
    call.Call(static_cast<Message>(SCI_CUTALLOWLINE));
#else
    if (!call.SelectionEmpty()) {
        call.Cut();
        return;
    }
    // A cut must not leave the line on the clipboard while the text keeps it.
    if (call.ReadOnly()) return;
    UndoGroup group(call);
    call.CopyAllowLine();
    call.LineDelete();
#endif
}

void ScrollVertical(Scintilla::ScintillaCall& call, Scintilla::Line line, Scintilla::Line subLine) {
#ifdef SCI_SCROLLVERTICAL
    call.Call(static_cast<Message>(SCI_SCROLLVERTICAL), static_cast<uintptr_t>(line), subLine);
#else
    const Scintilla::Line lines = std::max<Scintilla::Line>(call.LineCount(), 1);
    line = std::clamp<Scintilla::Line>(line, 0, lines - 1);
    // The component completes its pending wrapping here (of the whole document, when wrapping is
    // still pending at or before the line; there are no folds to open), so the display line
    // computed next is final rather than an estimate of the background wrapping.
    call.EnsureVisible(line);
    const Scintilla::Line subLines = std::max<Scintilla::Line>(call.WrapCount(line), 1);
    subLine = std::clamp<Scintilla::Line>(subLine, 0, subLines - 1);
    call.SetFirstVisibleLine(call.VisibleFromDocLine(line) + subLine);
#endif
}

int ComponentKeyFromVirtualKey(WPARAM virtualKey) noexcept {
    switch (virtualKey) {
        case VK_DOWN: return static_cast<int>(Keys::Down);
        case VK_UP: return static_cast<int>(Keys::Up);
        case VK_LEFT: return static_cast<int>(Keys::Left);
        case VK_RIGHT: return static_cast<int>(Keys::Right);
        case VK_HOME: return static_cast<int>(Keys::Home);
        case VK_END: return static_cast<int>(Keys::End);
        case VK_PRIOR: return static_cast<int>(Keys::Prior);
        case VK_NEXT: return static_cast<int>(Keys::Next);
        case VK_DELETE: return static_cast<int>(Keys::Delete);
        case VK_INSERT: return static_cast<int>(Keys::Insert);
        case VK_ESCAPE: return static_cast<int>(Keys::Escape);
        case VK_BACK: return static_cast<int>(Keys::Back);
        case VK_TAB: return static_cast<int>(Keys::Tab);
        case VK_RETURN: return static_cast<int>(Keys::Return);
        case VK_ADD: return static_cast<int>(Keys::Add);
        case VK_SUBTRACT: return static_cast<int>(Keys::Subtract);
        case VK_DIVIDE: return static_cast<int>(Keys::Divide);
        case VK_LWIN: return static_cast<int>(Keys::Win);
        case VK_RWIN: return static_cast<int>(Keys::RWin);
        case VK_APPS: return static_cast<int>(Keys::Menu);
        case VK_OEM_2: return '/';
        case VK_OEM_3: return '`';
        case VK_OEM_4: return '[';
        case VK_OEM_5: return '\\';
        case VK_OEM_6: return ']';
        default: return static_cast<int>(virtualKey);
    }
}

ScintillaCompat::~ScintillaCompat() { Detach(); }

bool ScintillaCompat::Attach(HWND editor, Scintilla::ScintillaCall* call) noexcept {
    Detach();
    if (!editor || !call) return false;
    if (!SetWindowSubclass(editor, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    hwnd_ = editor;
    call_ = call;
    return true;
}

void ScintillaCompat::Detach() noexcept {
    if (hwnd_) RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    hwnd_ = nullptr;
    call_ = nullptr;
}

void ScintillaCompat::AssignKey(int keyDefinition, KeyCommand command) {
    std::erase_if(emulatedKeys_, [&](const EmulatedKey& key) { return key.keyDefinition == keyDefinition; });
    if (!call_) return;
    if (command.clears()) {
        call_->ClearCmdKey(keyDefinition);
        return;
    }
    if (command.compat == CompatCommand::CutAllowLine) {
#ifdef SCI_CUTALLOWLINE
        call_->AssignCmdKey(keyDefinition, SCI_CUTALLOWLINE);
#else
        call_->AssignCmdKey(keyDefinition, static_cast<int>(Message::Null));
        emulatedKeys_.push_back({keyDefinition, command.compat});
#endif
        return;
    }
    call_->AssignCmdKey(keyDefinition, static_cast<int>(command.message));
}

void ScintillaCompat::SetAutoCompleteOptions(int options) {
    selectFirstItem_ = (options & kAutoCompleteSelectFirstItem) != 0;
    if (!call_) return;
    if constexpr (!kComponentHasSelectFirstItem) options &= ~kAutoCompleteSelectFirstItem;
    call_->AutoCSetOptions(static_cast<Scintilla::AutoCompleteOption>(options));
}

void ScintillaCompat::ShowAutoComplete(Scintilla::Position lengthEntered, const char* itemList) {
    if (!call_) return;
    call_->AutoCShow(lengthEntered, itemList);
    shownDuringMessage_ = true;
    SelectListRow(0);
}

void ScintillaCompat::SelectListRow(int row) {
    if constexpr (kComponentHasSelectFirstItem) return;
    if (!selectFirstItem_ || !call_ || row < 0 || !call_->AutoCActive()) return;
    // While the list is open the line commands move within it: line-start to its first item, line
    // up and down by one row.
    int current = call_->AutoCGetCurrent();
    if (current == row) return;
    if (row == 0 || current < 0) {
        call_->VCHome();
        current = 0;
    }
    for (; current < row; ++current) call_->LineDown();
    for (; current > row; --current) call_->LineUp();
}

CompatCommand ScintillaCompat::EmulatedCommandForKey(WPARAM virtualKey) const noexcept {
    if (emulatedKeys_.empty()) return CompatCommand::None;
    const int definition = KeyDefinition(ComponentKeyFromVirtualKey(virtualKey), CurrentModifiers());
    for (const EmulatedKey& key : emulatedKeys_) {
        if (key.keyDefinition == definition) return key.command;
    }
    return CompatCommand::None;
}

void ScintillaCompat::Run(CompatCommand command) {
    switch (command) {
        case CompatCommand::CutAllowLine:
            CutAllowLine(*call_);
            break;
        case CompatCommand::None:
            break;
    }
}

LRESULT CALLBACK ScintillaCompat::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR refData) noexcept {
    auto* self = reinterpret_cast<ScintillaCompat*>(refData);
    if (message == WM_NCDESTROY) {
        self->Detach();
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return self->Proc(message, wParam, lParam);
}

LRESULT ScintillaCompat::Proc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    // Nothing may be thrown back into the system's message dispatch: a failure of the component met
    // here is cleared so the editor keeps working, and the key simply did nothing.
    HWND hwnd = hwnd_;
    CompatCommand command = CompatCommand::None;
    Scintilla::Position caretBefore = -1;
    int rowBefore = -1;
    // Messages may nest; each one asks only whether the list was shown while it was handled.
    const bool shownBefore = shownDuringMessage_;
    shownDuringMessage_ = false;
    try {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) command = EmulatedCommandForKey(wParam);
        if (selectFirstItem_ && !kComponentHasSelectFirstItem && MayReselectListItem(message)) {
            caretBefore = call_->CurrentPos();
            rowBefore = call_->AutoCActive() ? call_->AutoCGetCurrent() : -1;
        }
    } catch (const Scintilla::Failure&) {
        ClearComponentFailure(*call_);
    } catch (...) {
    }

    // The component sees the key too: its key map binds it to SCI_NULL, which marks the key consumed
    // so the character message that follows (Ctrl+X gives 0x18) is not typed into the text.
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    const bool shownNow = shownDuringMessage_;
    shownDuringMessage_ = shownBefore || shownNow;
    if (!hwnd_) return result;

    try {
        if (command != CompatCommand::None) Run(command);
        // A typed or deleted character makes the component pick a row by the prefix: undone, so a
        // list shown meanwhile starts on its first item and otherwise the user's row stays. The
        // arrow keys move no caret and keep the row they chose.
        if (caretBefore >= 0 && call_->CurrentPos() != caretBefore) SelectListRow(shownNow ? 0 : rowBefore);
    } catch (const Scintilla::Failure&) {
        ClearComponentFailure(*call_);
    } catch (...) {
    }
    return result;
}

}  // namespace lq
