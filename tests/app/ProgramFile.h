#pragma once

#include <string>

namespace lq::test {

// The full path of lanternquill.exe, which lies beside the test executable.
[[nodiscard]] std::wstring ProgramPath();

}  // namespace lq::test
