#pragma once

#include <array>

#include "editor/ScintillaCompat.h"

namespace lq {

// One change the editor makes to the component's own key map.
struct EditorKeyAssignment {
    int key;  // the component's key code (a letter or Scintilla::Keys)
    Scintilla::KeyMod modifiers;
    KeyCommand command;  // kClearKey: the key is cleared
};

// The changes, in the order they are made. Redo on Ctrl+Shift+Z, line moves on Alt+arrows, Home and
// End by display line (wrapped lines), cut allowing a whole line, and the component's own zoom keys
// cleared: zoom is the program's font size.
extern const std::array<EditorKeyAssignment, 14> kEditorKeyAssignments;

// Makes every change of kEditorKeyAssignments through the adapter, which is attached to the editor.
void ApplyEditorKeyMap(ScintillaCompat& compat);

}  // namespace lq
