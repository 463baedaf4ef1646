#include "workspace/Workspace.h"

#include <algorithm>
#include <limits>

#include "editor/CharBoundary.h"
#include "editor/EditorView.h"

namespace lq {

NoteViewState Workspace::CaptureViewState() {
    auto& call = editor.call();
    NoteViewState view;
    view.cursorPos = call.CurrentPos();
    view.anchorPos = call.Anchor();
    const Scintilla::Line top = call.FirstVisibleLine();
    view.firstVisibleDocLine = call.DocLineFromVisible(top);
    const Scintilla::Line subLine = top - call.VisibleFromDocLine(view.firstVisibleDocLine);
    view.firstVisibleSubLine = subLine > 0 ? subLine : 0;
    view.xOffset = editor.wrap() ? 0 : static_cast<int64_t>(call.XOffset());
    if (auto current = viewStates.find(currentNoteId); current != viewStates.end()) {
        view.openedAt = current->second.openedAt;
    }
    return view;
}

void Workspace::RestoreViewState(const NoteViewState& view) {
    auto& call = editor.call();
    const Scintilla::Position length = call.Length();
    const auto outside = [length](int64_t position) { return position < 0 || position > length; };
    // A stored position the text does not have (a file edited elsewhere, a damaged row) must not
    // turn into a selection that the first key would replace: a caret outside the text goes to the
    // end, and an anchor outside it (or beside such a caret) falls onto the caret. A caret in range
    // stays where it was.
    const Scintilla::Position caret = outside(view.cursorPos) ? length : view.cursorPos;
    const Scintilla::Position anchor =
        outside(view.cursorPos) || outside(view.anchorPos) ? caret : static_cast<Scintilla::Position>(view.anchorPos);
    call.SetSel(SnapToCharacter(call, anchor), SnapToCharacter(call, caret));

    const Scintilla::Line lines = std::max<Scintilla::Line>(call.LineCount(), 1);
    const Scintilla::Line line = std::clamp<Scintilla::Line>(view.firstVisibleDocLine, 0, lines - 1);
    const Scintilla::Line subLine = std::max<Scintilla::Line>(view.firstVisibleSubLine, 0);
    if (line == 0 && subLine == 0) {
        // The top of the document is display line 0 however the text wraps; scrolling to a line
        // would first wrap the whole document, which costs a large note half a second.
        call.SetFirstVisibleLine(0);
    } else {
        // Twice: the first may land before wrapping of the lines above has settled.
        editor.ScrollVertical(line, subLine);
        editor.ScrollVertical(line, subLine);
    }

    if (editor.wrap()) {
        call.SetXOffset(0);
        return;
    }
    const int32_t x = static_cast<int32_t>(std::clamp<int64_t>(view.xOffset, 0, std::numeric_limits<int32_t>::max()));
    call.SetXOffset(x);
    // An offset beyond the widest visible line would show nothing but empty space.
    if (editor.MeasureVisibleWidth() <= x) call.SetXOffset(0);
    editor.UpdateScrollWidth();
}

}  // namespace lq
