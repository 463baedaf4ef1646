#pragma once

#include <windows.h>

namespace lq {

// Registers the editing component's window class "Scintilla" for this process, as the component's
// own registration does; it keeps `instance` to unregister at ReleaseEditorResources. False on failure.
[[nodiscard]] bool RegisterEditorClass(HINSTANCE instance) noexcept;

// Releases the component's process resources and its class; after every editor window is gone.
void ReleaseEditorResources() noexcept;

}  // namespace lq
