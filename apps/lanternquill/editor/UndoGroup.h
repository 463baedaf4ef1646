#pragma once

#include "editor/ScintillaHeaders.h"

namespace lq {

// Groups the component calls made during its lifetime into one undo step, and closes the group
// however they end (a Scintilla::Failure leaving the scope included).
class UndoGroup {
public:
    explicit UndoGroup(Scintilla::ScintillaCall& call) : call_(call) { call_.BeginUndoAction(); }
    ~UndoGroup() {
        try {
            call_.EndUndoAction();
        } catch (const Scintilla::Failure&) {
            // The failure that ended the group is reported by whoever catches it.
        }
    }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    Scintilla::ScintillaCall& call_;
};

}  // namespace lq
