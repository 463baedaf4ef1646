#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "store/Database.h"

namespace lq {

// The start-up's open loop with the program's own dialogs (no owner window): every failure outcome
// is an error message, a damaged file a question whether to start over with a new database. With
// `quiet` (the self-test) nothing is shown. Null when no database was opened.
[[nodiscard]] std::unique_ptr<Database> OpenDatabaseInteractive(HINSTANCE instance, const std::wstring& path,
                                                                bool quiet);

}  // namespace lq
