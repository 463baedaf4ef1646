#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <optional>
#include <string>
#include <vector>

namespace lq {

// One entry of a file dialog's type list: the name shown and its patterns ("*.txt;*.md").
struct FileType {
    std::wstring name;
    std::wstring pattern;
};

// What the save dialog is set up with for one of its two modes.
struct SaveDialogMode {
    FileType type;                  // the only file type offered
    std::wstring defaultExtension;  // added to a name typed without one
};

// Initialises COM for the calling (UI) thread once per process as a single-threaded apartment and
// returns whether COM is usable; later calls return the stored answer. COM is never uninitialised.
[[nodiscard]] bool EnsureComInitialized() noexcept;

// The item's file-system path; empty when it has none.
[[nodiscard]] std::wstring ShellItemPath(IShellItem* item);

// The import dialog's file types, in order: text files (*.txt;*.md), then all files (*.*).
[[nodiscard]] std::vector<FileType> ImportFileTypes(HINSTANCE instance);

// The save dialog's mode: a database backup (*.db) or an exported text file (*.txt).
[[nodiscard]] SaveDialogMode SaveDialogModeFor(HINSTANCE instance, bool isDatabase);

// The name the backup dialog proposes for the local time `now`:
// "Lanternquill-backup-YYYY-MM-DD-hhmm.db".
[[nodiscard]] std::wstring MakeBackupFileName(const SYSTEMTIME& now);

// Asks for text files to import (several at once), modal to `owner`. Returns their paths in the
// dialog's order; empty when cancelled or on any failure. Items without a file-system path are
// skipped. Shows no message.
[[nodiscard]] std::vector<std::wstring> ShowImportDialog(HWND owner, HINSTANCE instance);

// Asks where to save, modal to `owner`, opening in `folder` when it is given and still exists
// (otherwise where the shell remembers) with `fileName` proposed; choosing an existing file asks
// before overwriting. Returns the chosen path; none when cancelled or on any failure.
[[nodiscard]] std::optional<std::wstring> ShowSaveDialog(HWND owner, HINSTANCE instance, const std::wstring& folder,
                                                         const std::wstring& fileName, bool isDatabase);

}  // namespace lq
