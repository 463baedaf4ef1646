#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>

#include "editor/EditorView.h"

namespace lq {

// The codes of the editor's own commands in the program's command table.
enum class EditorCommand : int32_t {
    ToggleWrap = 15,
    NewLine = 16,
    OpenLineAbove = 17,
    DeleteDisplayLine = 18,
    Tab = 19,
    CopyLine = 20,
    CutAndAppend = 21,
    CopyAndAppend = 22,
    GoToLastEdit = 23,
    CaretUpThird = 24,
    CaretDownThird = 25,
    WordLeft = 26,
    WordRight = 27,
    GoToWordStart = 28,
    GoToWordEnd = 29,
    GoToMatchingBrace = 30,
    EnclosingBraceBackward = 31,
    EnclosingBraceForward = 32,
    LeftOverSelection = 33,
    RightOverSelection = 34,
    UpGuard = 35,
    DownGuard = 36,
};

inline constexpr int32_t kFirstEditorCommand = 15;
inline constexpr int32_t kLastEditorCommand = 36;

// Whether `code` is one of the commands RunEditorCommand runs.
[[nodiscard]] constexpr bool IsEditorCommand(int32_t code) noexcept {
    return code >= kFirstEditorCommand && code <= kLastEditorCommand;
}

// What the editor commands need from the main window.
struct EditorCommandContext {
    // The open note's id, 0 when none is open.
    int64_t openNoteId = 0;
    // The last-edit position of each note edited during this run; null: none.
    const std::unordered_map<int64_t, int64_t>* lastEditPositions = nullptr;
    // Told when an append to the clipboard changed nothing because the clipboard stayed busy;
    // empty: the system's warning sound is played instead.
    std::function<void()> onClipboardUnavailable;
};

// Runs editor command `code` on `view`; returns whether the key is handled (consumed). Codes 15 to
// 32 are always handled; 33 to 36 only when they acted (otherwise the key is the component's); any
// other code is not an editor command and is not handled. Component failures raise
// Scintilla::Failure.
bool RunEditorCommand(EditorView& view, int32_t code, const EditorCommandContext& context);

}  // namespace lq
