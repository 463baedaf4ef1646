#pragma once

#include <windows.h>

namespace lq::test {

// A visible "#32770" top-level window of the process `processId` other than `known`, or null: a
// second dialog opened over a first one.
[[nodiscard]] HWND FindOtherDialog(DWORD processId, HWND known);

}  // namespace lq::test
