#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "textfiles/ImportDecoding.h"

namespace lq {

// What the import, export and backup commands make of paths and of their failures.

// The text after the last '\' or '/' of a path; the whole path when it has neither.
[[nodiscard]] std::wstring_view FileNameOfPath(std::wstring_view path) noexcept;

// The text before the last '\' or '/' of a path (so no trailing separator); the whole path when it has
// neither. The folder the export and backup commands remember.
[[nodiscard]] std::wstring_view FolderOfPath(std::wstring_view path) noexcept;

// The string id of the reason a file was refused; 0 for ImportError::None.
[[nodiscard]] UINT ImportErrorReasonId(ImportError error) noexcept;

// One line of the import report: the file's name, " — ", the reason.
[[nodiscard]] std::wstring ImportFailureLine(std::wstring_view path, std::wstring_view reason);

// The import report: the heading, then each failure line after a line feed.
[[nodiscard]] std::wstring ImportFailureReport(std::wstring_view heading, const std::vector<std::wstring>& lines);

// The program's own folder (where "memo.db" lies by default); empty when it cannot be read.
[[nodiscard]] std::wstring ProgramFolder();

}  // namespace lq
