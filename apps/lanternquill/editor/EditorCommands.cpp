#include "editor/EditorCommands.h"

#include "editor/CharBoundary.h"
#include "editor/ClipboardAppend.h"
#include "editor/EditorMotion.h"

namespace lq {
namespace {

void ToggleWrap(EditorView& view) {
    view.SetWrap(!view.wrap());
    // The new layout is drawn before the caret is scrolled to, so the scroll uses it.
    UpdateWindow(view.hwnd());
    view.call().ScrollCaret();
    view.UpdateScrollWidth();
}

void CaretSettled(Scintilla::ScintillaCall& call, int64_t pos) {
    call.SetEmptySelection(pos);
    call.ChooseCaretX();
    call.ScrollCaret();
}

void OpenLineAbove(Scintilla::ScintillaCall& call) {
    const int64_t lineStart = call.PositionFromLine(call.LineFromPosition(call.CurrentPos()));
    call.InsertText(lineStart, "\r\n");
    CaretSettled(call, lineStart);
}

void DeleteDisplayLine(EditorView& view) {
    auto& call = view.call();
    const EditorRange row = VisualLineRange(view, call.CurrentPos());
    call.DeleteRange(row.start, row.end - row.start);
    CaretSettled(call, row.start);
}

void CopyLine(Scintilla::ScintillaCall& call) {
    const Scintilla::Line line = call.LineFromPosition(call.CurrentPos());
    const int64_t start = call.PositionFromLine(line);
    const int64_t end = line + 1 < call.LineCount() ? call.PositionFromLine(line + 1) : call.Length();
    call.CopyRange(start, end);
}

void Append(EditorView& view, bool cut, const EditorCommandContext& context) {
    if (AppendSelectionToClipboard(view, view.hwnd(), cut) != ClipboardAppendResult::ClipboardUnavailable) return;
    if (context.onClipboardUnavailable) {
        context.onClipboardUnavailable();
    } else {
        MessageBeep(MB_ICONWARNING);
    }
}

void GoToLastEdit(Scintilla::ScintillaCall& call, const EditorCommandContext& context) {
    if (!context.lastEditPositions) return;
    const auto found = context.lastEditPositions->find(context.openNoteId);
    if (found == context.lastEditPositions->end()) return;
    call.GotoPos(SnapToCharacter(call, found->second));
}

}  // namespace

bool RunEditorCommand(EditorView& view, int32_t code, const EditorCommandContext& context) {
    if (!IsEditorCommand(code)) return false;
    auto& call = view.call();
    switch (static_cast<EditorCommand>(code)) {
        case EditorCommand::ToggleWrap:
            ToggleWrap(view);
            return true;
        case EditorCommand::NewLine:
            call.NewLine();
            return true;
        case EditorCommand::OpenLineAbove:
            OpenLineAbove(call);
            return true;
        case EditorCommand::DeleteDisplayLine:
            DeleteDisplayLine(view);
            return true;
        case EditorCommand::Tab:
            call.Tab();
            return true;
        case EditorCommand::CopyLine:
            CopyLine(call);
            return true;
        case EditorCommand::CutAndAppend:
            Append(view, true, context);
            return true;
        case EditorCommand::CopyAndAppend:
            Append(view, false, context);
            return true;
        case EditorCommand::GoToLastEdit:
            GoToLastEdit(call, context);
            return true;
        case EditorCommand::CaretUpThird:
            MoveCaretThirdPage(view, false);
            return true;
        case EditorCommand::CaretDownThird:
            MoveCaretThirdPage(view, true);
            return true;
        case EditorCommand::WordLeft:
            call.WordLeft();
            return true;
        case EditorCommand::WordRight:
            call.WordRight();
            return true;
        case EditorCommand::GoToWordStart:
            call.GotoPos(call.WordStartPosition(call.CurrentPos(), true));
            return true;
        case EditorCommand::GoToWordEnd:
            call.GotoPos(call.WordEndPosition(call.CurrentPos(), true));
            return true;
        case EditorCommand::GoToMatchingBrace:
            (void)GoToMatchingBrace(view);
            return true;
        case EditorCommand::EnclosingBraceBackward:
            (void)JumpToEnclosingBrace(view, true);
            return true;
        case EditorCommand::EnclosingBraceForward:
            (void)JumpToEnclosingBrace(view, false);
            return true;
        case EditorCommand::LeftOverSelection:
            return MoveOverMultiLineSelection(view, false);
        case EditorCommand::RightOverSelection:
            return MoveOverMultiLineSelection(view, true);
        case EditorCommand::UpGuard:
            return IsCaretOnEdgeDisplayLine(view, false);
        case EditorCommand::DownGuard:
            return IsCaretOnEdgeDisplayLine(view, true);
    }
    return false;
}

}  // namespace lq
