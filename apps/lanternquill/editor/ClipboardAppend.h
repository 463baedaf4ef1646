#pragma once

#include <windows.h>

#include "editor/EditorView.h"

namespace lq {

enum class ClipboardAppendResult {
    NothingSelected,       // empty selection: clipboard and text untouched
    Appended,              // the clipboard holds its old text followed by the selection
    ClipboardUnavailable,  // the clipboard could not be opened or written: nothing changed
};

// Cut or copy and append: puts the clipboard's text followed directly by the selected text on the
// clipboard (CF_UNICODETEXT, no separator), then deletes the selection (cut) or collapses it to the
// caret (copy). The clipboard is opened for `owner` with up to 50 attempts 10 ms apart (about half a
// second on the UI thread at worst). The selection is deleted only once the clipboard holds it.
ClipboardAppendResult AppendSelectionToClipboard(EditorView& view, HWND owner, bool cut);

}  // namespace lq
