#pragma once

#include <string>

#include "editor/EditorView.h"

namespace lq::test {

// A document with its selection written into the text: "|" is the caret and "^" the anchor (the
// anchor sits on the caret when it is not written). Neither character occurs in the texts tested.
struct MarkedText {
    std::string text;
    int64_t anchor = 0;
    int64_t caret = 0;
};

inline MarkedText ParseMarked(const std::string& marked) {
    MarkedText result;
    bool anchorWritten = false;
    for (char c : marked) {
        if (c == '|') {
            result.caret = static_cast<int64_t>(result.text.size());
        } else if (c == '^') {
            result.anchor = static_cast<int64_t>(result.text.size());
            anchorWritten = true;
        } else {
            result.text += c;
        }
    }
    if (!anchorWritten) result.anchor = result.caret;
    return result;
}

// Fills the editor's document and sets its selection from `marked`.
inline void SetMarked(EditorView& view, const std::string& marked) {
    const MarkedText parsed = ParseMarked(marked);
    view.SetText(parsed.text);
    view.call().SetSel(parsed.anchor, parsed.caret);
}

// The editor's document with its main selection written in.
inline std::string GetMarked(EditorView& view) {
    auto& call = view.call();
    std::string text = call.GetText(call.Length());
    const auto caret = static_cast<size_t>(call.CurrentPos());
    const auto anchor = static_cast<size_t>(call.Anchor());
    // Insert the later marker first so the earlier position stays right.
    if (anchor == caret) {
        text.insert(caret, "|");
    } else if (anchor > caret) {
        text.insert(anchor, "^");
        text.insert(caret, "|");
    } else {
        text.insert(caret, "|");
        text.insert(anchor, "^");
    }
    return text;
}

}  // namespace lq::test
