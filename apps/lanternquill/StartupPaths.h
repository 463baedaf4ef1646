#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace lq {

// The program file's folder with its trailing separator; empty when the module path has neither "\"
// nor "/" (the database is then the bare "memo.db" in the current folder).
[[nodiscard]] std::wstring GetExecutableDirectory();

// A new path for the self-test's database in the temporary folder:
// "lnq-smoke-<process id>-<tick count>.db". The file does not exist yet; opening creates it. Empty when
// the system gives no temporary folder.
[[nodiscard]] std::wstring MakeSmokeDatabasePath();

// The text before the last "\" or "/" of `path`, without it; "." when there is neither.
[[nodiscard]] std::wstring ParentDirectoryOf(std::wstring_view path);

// The text after the last "\" or "/" of `path`; the whole path when there is neither. The messages
// about a refused file name it so.
[[nodiscard]] std::wstring FileNameOf(std::wstring_view path);

// Where a damaged database is moved when the user starts over: "memo-damaged-YYYYMMDD-hhmmss.db" (local
// time) in the database's folder, whatever the database file is called.
[[nodiscard]] std::wstring MakeDamagedDatabasePath(std::wstring_view databasePath);
// The same for a given local time.
[[nodiscard]] std::wstring MakeDamagedDatabasePath(std::wstring_view databasePath, const SYSTEMTIME& localTime);

}  // namespace lq
