#pragma once

#include "editor/EditorRange.h"
#include "editor/EditorView.h"

namespace lq {

// Caret and line operations of the editor commands that need the component's layout.

// The display line holding `pos`: without wrapping the whole document line with its line end; with
// wrapping the sub-line, where a middle sub-line ends where the next begins and the last sub-line
// takes the line end with it.
[[nodiscard]] EditorRange VisualLineRange(EditorView& view, int64_t pos);

// Whether the caret is on the first (or, with `last`, the last) display line of the document;
// always false while the selection is rectangular.
[[nodiscard]] bool IsCaretOnEdgeDisplayLine(EditorView& view, bool last);

// Moves the caret a third of the lines on screen (at least one) up or down, stopping at the first
// or last display line; the selection is not extended.
void MoveCaretThirdPage(EditorView& view, bool down);

// Moves the caret to the brace matching the one at (or else just before) the caret, of ( ) < > [ ]
// { }; false when there is no brace there or it has no match.
bool GoToMatchingBrace(EditorView& view);

// Moves the caret to the { (backward) or } (forward) of the curly block enclosing the caret; a
// brace at (or else just before) the caret belongs to the block it opens or closes. False when
// there is no such brace.
bool JumpToEnclosingBrace(EditorView& view, bool backward);

// Left or Right over a selection that spans lines: collapses it to the caret and moves one character
// left (`right` false) or right. False (nothing done: the key is the component's) for an empty,
// rectangular or multiple selection, or one within a single line.
bool MoveOverMultiLineSelection(EditorView& view, bool right);

}  // namespace lq
