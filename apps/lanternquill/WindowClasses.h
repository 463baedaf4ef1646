#pragma once

#include <windows.h>

#include "ExitCode.h"

namespace lq {

// Registers the editing component's class "Scintilla" (EditorClassFailed), then "Lanternquill.Main" and
// the find panel's "Lanternquill.Find" (WindowClassFailed). Classes registered before a failure stay
// registered until the process ends.
[[nodiscard]] ExitCode RegisterWindowClasses(HINSTANCE instance);

}  // namespace lq
