#include "OpenDatabaseInteractive.h"

#include "DatabaseOpening.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/ResourceString.h"

namespace lq {
namespace {

// Both without an owner window: no main window exists yet.
DatabaseOpenDialogs StartupDialogs(HINSTANCE instance) {
    DatabaseOpenDialogs dialogs;
    dialogs.showError = [instance](UINT messageId, const std::wstring& argument, const std::wstring& second) {
        ShowMessage(nullptr, instance, LoadResourceString(instance, messageId, argument, second), MessageKind::Error);
    };
    dialogs.askStartOver = [instance](const std::wstring& fileName) { return AskDamagedDatabase(instance, fileName); };
    return dialogs;
}

}  // namespace

std::unique_ptr<Database> OpenDatabaseInteractive(HINSTANCE instance, const std::wstring& path, bool quiet) {
    return OpenDatabaseWithDialogs(path, quiet, StartupDialogs(instance));
}

std::unique_ptr<Database> StartOverWithNewDatabase(HINSTANCE instance, const std::wstring& path) {
    return StartOverWithDialogs(path, StartupDialogs(instance));
}

}  // namespace lq
