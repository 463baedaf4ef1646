#pragma once

#include <windows.h>

#include <string>

namespace lq::test {

// The full path of lanternquill.exe, which lies beside the test executable.
[[nodiscard]] std::wstring ProgramPath();

// The program's own string-table text, read from lanternquill.exe loaded as data; empty when the
// file or the string is missing.
[[nodiscard]] std::wstring ProgramString(UINT id);
// The same with its first "%1" replaced by `argument` and its first "%2" by `second`, as the program
// fills them in.
[[nodiscard]] std::wstring ProgramString(UINT id, const std::wstring& argument, const std::wstring& second = {});

}  // namespace lq::test
