// What the user is in the middle of typing, committed before a save that may be the last one (the
// window closes, the session ends): otherwise it would go with the window.
#include "editor/EditorFailure.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowLabelEdit.h"

namespace lq {

void MainWindow::FinishInputBeforeSave() noexcept {
    editor.CompleteComposition();
    // A failure here costs at most the name being typed: the save after it must still run.
    try {
        FinishLabelEditFirst(*this);
    } catch (const Scintilla::Failure&) {
        editor.RecoverFromFailure();
    } catch (...) {
    }
}

}  // namespace lq
