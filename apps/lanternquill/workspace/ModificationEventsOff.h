#pragma once

#include "editor/EditorFailure.h"
#include "editor/ScintillaHeaders.h"

namespace lq {

// Silences the editor's modification notifications for a scope: filling a document with a note's
// stored text is no edit, so nothing listening (the autosave timer, the word index) may see it as
// one. The previous mask comes back however the scope is left.
class ModificationEventsOff {
public:
    explicit ModificationEventsOff(Scintilla::ScintillaCall& call) : call_(call), mask_(call.ModEventMask()) {
        call_.SetModEventMask(Scintilla::ModificationFlags::None);
    }
    ~ModificationEventsOff() {
        try {
            call_.SetModEventMask(mask_);
        } catch (const Scintilla::Failure&) {
            // Leaving by a failure: the status is sticky, so clear it to put the mask back; the
            // failure in flight still reaches its catcher.
            ClearComponentFailure(call_);
            try {
                call_.SetModEventMask(mask_);
            } catch (...) {
            }
        }
    }
    ModificationEventsOff(const ModificationEventsOff&) = delete;
    ModificationEventsOff& operator=(const ModificationEventsOff&) = delete;

private:
    Scintilla::ScintillaCall& call_;
    Scintilla::ModificationFlags mask_;
};

}  // namespace lq
