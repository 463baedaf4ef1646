#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <vector>

namespace lq::test {

// Input through the system's own queue (SendInput), as a keyboard and a mouse give it: it goes to the
// foreground window's thread, to the focused window or the one under the pointer (or holding the
// capture), and sets the key state the program reads. The window must be in front (BringToForeground).

// Makes `window` the foreground window with the focus on its thread; false when it did not become it.
bool BringToForeground(HWND window);

// One key pressed or released.
bool SendKey(UINT virtualKey, bool down);
// Keys pressed in order and released in reverse: a chord, or a single key.
bool SendKeys(std::initializer_list<UINT> virtualKeys);
// The pointer moved to a screen point; with a button event at that point when `button` is one of
// MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP (0: a move only).
bool SendMouseAt(POINT screen, DWORD button = 0);
// Every key the tests press comes up, in the system's state and the thread's.
void ReleaseTestKeys();

// Runs `steps` one per tick of a thread timer while `loop` runs a message loop that ends on WM_QUIT
// (the program's own loop, or the test's): each step sends input and the messages it causes are
// handled by that loop, and by any modal loop inside it, before the next step. After the last step
// the quit message ends the loop. False when the steps had not all run within `timeout` (the loop
// was then ended from outside).
bool RunInputScript(const std::vector<std::function<void()>>& steps, const std::function<void()>& loop,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

}  // namespace lq::test
