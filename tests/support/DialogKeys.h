#pragma once

#include <windows.h>

namespace lq::test {

// Presses Escape in a dialog as the keyboard does: WM_KEYDOWN and WM_KEYUP posted to the control
// that has the focus on the dialog's thread (the dialog itself when none has), so the dialog's own
// modal loop handles the key. Works for a dialog of another process too.
void PressEscapeIn(HWND dialog);

}  // namespace lq::test
