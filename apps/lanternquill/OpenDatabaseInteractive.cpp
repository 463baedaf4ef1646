#include "OpenDatabaseInteractive.h"

#include "DatabaseOpening.h"
#include "ui/Dialogs.h"

namespace lq {

std::unique_ptr<Database> OpenDatabaseInteractive(HINSTANCE instance, const std::wstring& path, bool quiet) {
    DatabaseOpenDialogs dialogs;
    dialogs.showError = [instance](UINT messageId, const std::wstring& argument) {
        ShowErrorMessage(nullptr, instance, messageId, argument);
    };
    dialogs.askStartOver = [instance] { return AskDamagedDatabase(instance); };
    return OpenDatabaseWithDialogs(path, quiet, dialogs);
}

}  // namespace lq
