#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "DamagedFileMove.h"
#include "store/Database.h"

namespace lq {

// What the start-up's open loop may say to the user; both are shown without an owner window, since no
// main window exists yet. Either may be empty (nothing is shown; an empty question answers "exit").
struct DatabaseOpenDialogs {
    // An error message: string-table id, its "%1" and its "%2".
    std::function<void(UINT messageId, const std::wstring& argument, const std::wstring& second)> showError;
    // The damaged-database question about the file of that name (without its folder): true to move the
    // file aside and start with a new database.
    std::function<bool(const std::wstring& fileName)> askStartOver;
};

// Opens the database file with every check of Database::Open and turns each failure outcome into its
// message. A damaged or foreign file may be moved aside (MakeDamagedDatabasePath) when the user chooses
// to start over, after which a new database is made in its place. With `quiet` nothing is shown or
// asked and a damaged file is never moved. Null when no database was opened.
[[nodiscard]] std::unique_ptr<Database> OpenDatabaseWithDialogs(const std::wstring& path, bool quiet,
                                                                const DatabaseOpenDialogs& dialogs);

// After the file turned out damaged past opening's checks (its connection closed by now): the same
// question, the file moved aside when the user starts over, and a new database opened in its place
// as OpenDatabaseWithDialogs opens it. Null when the user chose to exit or the file could not be moved.
[[nodiscard]] std::unique_ptr<Database> StartOverWithDialogs(const std::wstring& path,
                                                             const DatabaseOpenDialogs& dialogs);

// The error message for an outcome that gives no database: string-table id, its "%1" and its "%2".
struct OpenFailureMessage {
    UINT id = 0;
    std::wstring argument;
    std::wstring second;
};
// None for Ok and for a damaged or foreign file, which is a question instead.
[[nodiscard]] std::optional<OpenFailureMessage> MessageForOpenFailure(const DatabaseOpenResult& result,
                                                                      const std::wstring& path);

}  // namespace lq
