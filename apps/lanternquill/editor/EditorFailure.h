#pragma once

#include "editor/ScintillaHeaders.h"

namespace lq {

// The component's error status is sticky: after one failure every later call through the wrapper
// throws Scintilla::Failure again until the status is cleared. Whoever catches a Failure clears it
// here, so the editor keeps working, and reports its own operation as failed. Never throws.
void ClearComponentFailure(Scintilla::ScintillaCall& call) noexcept;

// Runs `operation`; a Scintilla::Failure it raises is caught, the status cleared and the result is
// false (the operation did not complete: a save that meets one is a failed save). Other exceptions
// pass through.
template <typename Operation>
[[nodiscard]] bool RunEditorOperation(Scintilla::ScintillaCall& call, Operation&& operation) {
    try {
        operation();
        return true;
    } catch (const Scintilla::Failure&) {
        ClearComponentFailure(call);
        return false;
    }
}

}  // namespace lq
