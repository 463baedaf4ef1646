#include "workspace/Workspace.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "editor/EditorView.h"
#include "workspace/CharBoundary.h"

namespace lq {
namespace {

using Scintilla::Position;

// The widest character is four bytes, so three on each side decide where a position may stand.
constexpr Position kBoundaryReach = 3;

// Moves a position of the attached document back to a character boundary (never between CR and LF):
// a stored position, or one carried across a rewrite, may point into the middle of a character, and
// typing there would store broken UTF-8.
Position AlignToCharacter(Scintilla::ScintillaCall& call, Position position, Position length) {
    if (position <= 0 || position >= length) return position;
    const Position start = std::max<Position>(0, position - kBoundaryReach);
    const Position end = std::min(length, position + kBoundaryReach + 1);
    const auto* bytes = static_cast<const char*>(call.RangePointer(start, end - start));
    if (bytes == nullptr) return position;
    const std::string_view around(bytes, static_cast<size_t>(end - start));
    return start + static_cast<Position>(CharBoundaryAtOrBefore(around, static_cast<size_t>(position - start)));
}

}  // namespace

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
    const Position length = call.Length();
    const Position anchor = AlignToCharacter(call, std::clamp<Position>(view.anchorPos, 0, length), length);
    const Position caret = AlignToCharacter(call, std::clamp<Position>(view.cursorPos, 0, length), length);
    call.SetSel(anchor, caret);

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
