#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ProgramRun.h"

namespace lq::test {

// The windows a user sees of a running program.
struct ProgramWindows {
    HWND main = nullptr;
    HWND editor = nullptr;  // "Scintilla"
    HWND tree = nullptr;    // "SysTreeView32"
};

// Waits for the program's main window and finds its editor and sidebar tree; none when one is missing.
[[nodiscard]] std::optional<ProgramWindows> WaitForProgramWindows(const ProgramRun& run, DWORD timeoutMs = 60000);
// Starts the program silently on the database at `databasePath` into `run` and waits for its
// windows, brought to the front with the editor focused as the user finds it; none when it did not
// start or its windows did not appear.
[[nodiscard]] std::optional<ProgramWindows> StartInFront(std::unique_ptr<ProgramRun>& run,
                                                         const std::wstring& databasePath);
// Waits until the program's idle fill of the word index has read every note (the main window's
// "Lanternquill.WordsFilled" property); false when it did not in time. The fill maps the database
// file in its slices, so a test that watches the file's views, or races the program's reads, waits
// for this first.
bool WaitUntilWordsFilled(HWND main, DWORD timeoutMs = 60000);
// The search view's controls, children of the main window in the order the view makes them; null
// where the view has not made them (yet).
struct SearchControls {
    HWND query = nullptr;
    HWND replacement = nullptr;
    HWND button = nullptr;
    HWND list = nullptr;
};
[[nodiscard]] SearchControls FindSearchControls(HWND main);

// The popup menu the process is tracking (a visible "#32768" window of it), or null.
[[nodiscard]] HWND FindOpenMenu(DWORD processId);

// The first descendant of `parent` with that window class, or null.
[[nodiscard]] HWND FindDescendant(HWND parent, const wchar_t* className);

// The direct child of `parent` with that window class and text, or null.
[[nodiscard]] HWND FindChildWithText(HWND parent, const wchar_t* className, const std::wstring& text);

// Polls `condition` every 20 ms until it holds or `timeoutMs` has passed; its last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000);

// A message sent to a window of another process; none when it did not answer in time.
[[nodiscard]] std::optional<LRESULT> SendQuery(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The window's text as it answers WM_GETTEXT (which the system carries across processes; the
// editor answers with its document), or the caption for a top-level window.
[[nodiscard]] std::wstring QueryText(HWND window);
[[nodiscard]] std::wstring Caption(HWND window);
// The editor's caret and anchor (byte positions of its UTF-8 document).
[[nodiscard]] std::optional<LRESULT> EditorCaret(HWND editor);
[[nodiscard]] std::optional<LRESULT> EditorAnchor(HWND editor);
// The window that has the keyboard focus on the thread that owns `window`.
[[nodiscard]] HWND FocusOnThreadOf(HWND window);

// Input posted to a window's queue the way the message loop meets keyboard input: a key as
// WM_KEYDOWN and WM_KEYUP (the loop's translation makes its WM_CHAR, as for a real key), text as
// the WM_CHAR messages an input method gives, one per UTF-16 unit.
void PostKey(HWND window, UINT virtualKey, int times = 1);
void PostCharacters(HWND window, std::wstring_view text);
// Characters as WM_CHAR, each "\n" as the Enter key.
void PostTyping(HWND window, std::wstring_view text);

// Makes `window` the foreground window; false when it did not become it in time.
bool BringToFront(HWND window);
// Presses the keys in order and releases them in reverse through the system's input (SendInput),
// which goes to the foreground window and sets the key state the program reads.
bool PressChord(std::initializer_list<WORD> virtualKeys);
// Types text through the system's input into whatever has the focus: each UTF-16 unit as a
// character key (VK_PACKET), each "\n" as the Enter key. Keyboard input after a chord must take this
// way too: posted messages overtake the chord's releases still queued, so the program would read the
// chord's keys as held (Enter would be Ctrl+Enter).
bool TypeThroughInput(std::wstring_view text);

// Opens the replace in all notes (its query box has the focus when it opens), types `text` and
// presses the replace button; `question` is the question that follows.
void AskToReplaceInAllNotes(ProgramRun& run, const ProgramWindows& windows, const wchar_t* text, HWND& question);

}  // namespace lq::test
