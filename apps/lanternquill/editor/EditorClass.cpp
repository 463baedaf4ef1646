#include "editor/EditorClass.h"

#include "editor/ScintillaHeaders.h"

namespace lq {

bool RegisterEditorClass(HINSTANCE instance) noexcept { return Scintilla_RegisterClasses(instance) != 0; }

void ReleaseEditorResources() noexcept { Scintilla_ReleaseResources(); }

}  // namespace lq
