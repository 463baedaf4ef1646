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

// After the workspace found the open file damaged (its connection closed by now): the damaged-file
// question, and on starting over the file moved aside and a new database made in its place. Null when
// the user chose to exit or the file could not be moved (which is reported).
[[nodiscard]] std::unique_ptr<Database> StartOverWithNewDatabase(HINSTANCE instance, const std::wstring& path);

}  // namespace lq
