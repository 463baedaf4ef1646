#include "WindowClasses.h"

#include "editor/EditorClass.h"
#include "ui/FindPanel.h"
#include "ui/MainWindow.h"

namespace lq {

ExitCode RegisterWindowClasses(HINSTANCE instance) {
    if (!RegisterEditorClass(instance)) return ExitCode::EditorClassFailed;
    if (!RegisterMainWindowClass(instance)) return ExitCode::WindowClassFailed;
    if (!FindPanel::RegisterClass(instance)) return ExitCode::WindowClassFailed;
    return ExitCode::Ok;
}

}  // namespace lq
