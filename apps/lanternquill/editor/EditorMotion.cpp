#include "editor/EditorMotion.h"

#include <algorithm>
#include <string_view>

namespace lq {
namespace {

bool IsBraceByte(int c) noexcept {
    return c > 0 && std::string_view("()<>[]{}").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsCurlyByte(int c) noexcept {
    return c == '{' || c == '}';
}

// The caret, or the position just before it when a brace of the kind is there and not at the caret.
template <typename IsKind>
int64_t BraceReference(Scintilla::ScintillaCall& call, IsKind isKind) {
    const int64_t caret = call.CurrentPos();
    if (!isKind(call.CharAt(caret)) && caret > 0 && isKind(call.CharAt(caret - 1))) return caret - 1;
    return caret;
}

std::string_view Bytes(Scintilla::ScintillaCall& call, int64_t start, int64_t length) {
    if (length <= 0) return {};
    const auto* bytes = static_cast<const char*>(call.RangePointer(start, length));
    return bytes ? std::string_view(bytes, static_cast<size_t>(length)) : std::string_view{};
}

}  // namespace

EditorRange VisualLineRange(EditorView& view, int64_t pos) {
    auto& call = view.call();
    const int64_t length = call.Length();
    pos = std::clamp<int64_t>(pos, 0, length);
    const Scintilla::Line line = call.LineFromPosition(pos);
    const int64_t start = call.PositionFromLine(line);
    const int64_t next = line + 1 < call.LineCount() ? call.PositionFromLine(line + 1) : length;
    if (call.WrapMode() == Scintilla::Wrap::None) return {start, next};

    const int y = call.PointYFromPosition(pos);
    const int height = call.TextHeight(line);
    const int64_t a = call.PositionFromPoint(0, y);
    const int64_t b = call.PositionFromPoint(0, y + height);
    const int64_t rowStart = std::clamp(a, start, next);
    const int64_t rowEnd = (rowStart < b && b <= next) ? b : next;
    return {rowStart, rowEnd};
}

bool IsCaretOnEdgeDisplayLine(EditorView& view, bool last) {
    auto& call = view.call();
    if (call.SelectionIsRectangle()) return false;
    const int64_t edge = last ? call.Length() : 0;
    return call.PointYFromPosition(call.CurrentPos()) == call.PointYFromPosition(edge);
}

void MoveCaretThirdPage(EditorView& view, bool down) {
    auto& call = view.call();
    const int64_t steps = std::max<int64_t>(call.LinesOnScreen() / 3, 1);
    for (int64_t i = 0; i < steps; ++i) {
        if (IsCaretOnEdgeDisplayLine(view, down)) break;
        if (down) {
            call.LineDown();
        } else {
            call.LineUp();
        }
    }
}

bool GoToMatchingBrace(EditorView& view) {
    auto& call = view.call();
    const int64_t pos = BraceReference(call, IsBraceByte);
    const int64_t match = call.BraceMatch(pos, 0);
    if (match < 0) return false;
    call.GotoPos(match);
    return true;
}

bool JumpToEnclosingBrace(EditorView& view, bool backward) {
    auto& call = view.call();
    const int64_t length = call.Length();
    int64_t pos = BraceReference(call, IsCurlyByte);
    if (backward) {
        const std::string_view text = Bytes(call, 0, std::min(length, pos + 1));
        // A { at the reference opens the block the caret is in, so the walk starts before it.
        int64_t i = (pos < length && call.CharAt(pos) == '{') ? pos - 1 : std::min(length - 1, pos);
        i = std::min<int64_t>(i, static_cast<int64_t>(text.size()) - 1);
        for (int depth = 0; i >= 0; --i) {
            const char c = text[static_cast<size_t>(i)];
            if (c == '}') {
                ++depth;
            } else if (c == '{') {
                if (depth == 0) {
                    call.GotoPos(i);
                    return true;
                }
                --depth;
            }
        }
        return false;
    }
    if (pos >= length) return false;
    // A } at the reference closes the block the caret is in, so the walk starts after it.
    if (call.CharAt(pos) == '}') ++pos;
    if (pos >= length) return false;
    const std::string_view text = Bytes(call, pos, length - pos);
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{') {
            ++depth;
        } else if (text[i] == '}') {
            if (depth == 0) {
                call.GotoPos(pos + static_cast<int64_t>(i));
                return true;
            }
            --depth;
        }
    }
    return false;
}

bool MoveOverMultiLineSelection(EditorView& view, bool right) {
    auto& call = view.call();
    if (call.SelectionEmpty() || call.SelectionIsRectangle() || call.Selections() != 1) return false;
    if (call.LineFromPosition(call.SelectionStart()) == call.LineFromPosition(call.SelectionEnd())) return false;
    call.SetEmptySelection(call.CurrentPos());
    if (right) {
        call.CharRight();
    } else {
        call.CharLeft();
    }
    return true;
}

}  // namespace lq
