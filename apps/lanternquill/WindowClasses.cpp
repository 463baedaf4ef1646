#include "WindowClasses.h"

#include "editor/EditorClass.h"
#include "ui/find/FindPanel.h"
#include "ui/main/MainWindow.h"

namespace lq {

ExitCode RegisterWindowClasses(HINSTANCE instance) {
    if (!RegisterEditorClass(instance)) return ExitCode::EditorClassFailed;
    if (!RegisterMainWindowClass(instance)) return ExitCode::WindowClassFailed;
    if (!FindPanel::RegisterClass(instance)) return ExitCode::WindowClassFailed;
    return ExitCode::Ok;
}

}  // namespace lq
