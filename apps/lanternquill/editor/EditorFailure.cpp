#include "editor/EditorFailure.h"

namespace lq {

void ClearComponentFailure(Scintilla::ScintillaCall& call) noexcept {
    try {
        // The status reported back after this call is the cleared one, so the wrapper does not throw.
        call.SetStatus(Scintilla::Status::Ok);
    } catch (...) {
        // No direct function: there is no component status to clear.
    }
    call.statusLastCall = Scintilla::Status::Ok;
}

}  // namespace lq
