#pragma once

#include <windows.h>

#include <string>

namespace lq::test {

// The full path of lanternquill.exe, which lies beside the test executable.
[[nodiscard]] std::wstring ProgramPath();

// The program's own string-table text, read from lanternquill.exe loaded as data; empty when the
// file or the string is missing.
[[nodiscard]] std::wstring ProgramString(UINT id);

}  // namespace lq::test
