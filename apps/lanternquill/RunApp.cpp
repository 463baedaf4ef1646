// The whole run on the UI thread: database path, single instance, opening, classes, main window and
// workspace, settings, loading, then the self-test or the visible run, and the shut-down in reverse
// order of creation.
#include "RunApp.h"

#include <dwmapi.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "DarkMode.h"
#include "ExitCode.h"
#include "InstanceMutex.h"
#include "OpenDatabaseInteractive.h"
#include "SingleInstance.h"
#include "SmokeCheck.h"
#include "StartupPaths.h"
#include "StartupSettings.h"
#include "WindowClasses.h"
#include "editor/EditorClass.h"
#include "platform/DatabasePaths.h"
#include "platform/OneDriveFolders.h"
#include "platform/ProgramProcessMark.h"
#include "resources/ResourceIds.h"
#include "store/MappedReads.h"
#include "store/ResultCodes.h"
#include "ui/dialogs/Dialogs.h"
#include "ui/dialogs/DialogsReadFault.h"
#include "ui/main/MainWindow.h"
#include "workspace/Workspace.h"

namespace lq {
namespace {

// The "--db" value as given, else a fresh temporary file for the self-test, else "memo.db" beside
// the program.
std::wstring ChooseDatabasePath(const LaunchOptions& options) {
    if (options.db) return *options.db;
    if (options.smoke) return MakeSmokeDatabasePath();
    return GetExecutableDirectory() + L"memo.db";
}

// Runs a start-up step that calls into the editing component, outside any window procedure's guard:
// whatever it throws becomes false, with the component's error status cleared.
template <typename Step>
bool RunGuarded(MainWindow& window, Step&& step) noexcept {
    try {
        return step();
    } catch (const Scintilla::Failure&) {
        window.editor.RecoverFromFailure();
    } catch (...) {
    }
    return false;
}

// Font size, wrap and the sidebar, from the stored settings or their defaults.
bool ApplySettings(MainWindow& window, Workspace& workspace) {
    const StartupSettings settings = ReadStartupSettings(workspace.settings);
    window.editor.SetFontSize(settings.fontSize);
    window.editor.SetWrap(settings.wrap);
    window.SetSidebarVisible(settings.sidebarWidth, settings.sidebarVisible);
    return true;
}

// The workspace attached, the tree filled, title and status up to date.
bool ShowLoadedWorkspace(MainWindow& window, Workspace& workspace) {
    window.SetWorkspace(&workspace);
    const TreeItemKey selected = workspace.currentNoteId != 0 ? TreeItemKey{false, workspace.currentNoteId}
                                                              : TreeItemKey{true, workspace.currentProjectId};
    window.sidebar.Populate(workspace.tree, workspace.currentNoteId, selected);
    window.UpdateTitle();
    window.UpdateStatus();
    return true;
}

// Destroys the window while its object is alive, so no message reaches a destroyed object. Its
// WM_DESTROY handling gives the documents back while the editor still exists and posts WM_QUIT.
void DestroyMainWindow(MainWindow& window) {
    if (window.hwnd != nullptr && IsWindow(window.hwnd)) DestroyWindow(window.hwnd);
}

// Takes down a main window that was never shown: its destruction posts WM_QUIT, which is taken from
// the queue here so that a dialog or message loop after it does not end at once.
void TakeDownUnshownWindow(MainWindow& window) {
    if (window.hwnd == nullptr || !IsWindow(window.hwnd)) return;
    DestroyWindow(window.hwnd);
    (void)window.RunMessageLoop();
}

// Types into the start-up note, saves, takes the window down and checks the file on a new
// connection. The database is closed here, before the check opens it again.
ExitCode RunSelfTest(MainWindow& window, Workspace& workspace, std::unique_ptr<Database>& db,
                     const std::wstring& path) {
    const std::string text = MakeSmokeText(GetTickCount64());
    SaveResult saved = SaveResult::Failed;
    RunGuarded(window, [&] {
        Scintilla::ScintillaCall& call = window.editor.call();
        call.DocumentEnd();
        call.AddText(static_cast<Scintilla::Position>(text.size()), text.data());
        saved = workspace.SaveAll(SaveReason::UserSave);
        return true;
    });
    const int64_t noteId = workspace.currentNoteId;
    window.SetWorkspace(nullptr);
    workspace.ReleaseDocuments();
    DestroyMainWindow(window);
    (void)window.RunMessageLoop();
    db.reset();
    if (saved != SaveResult::Saved) return ExitCode::SmokeSaveFailed;
    return CheckSmokeNote(path, noteId, text);
}

// The start-up note was opened at the window's start size, before the stored placement: the lines
// then visible decided whether its horizontal offset was kept (or dropped to 0) and where a wrapped
// sub-line fell. Its view goes back whole for the window as the user sees it, as any note's does.
void RestoreStartupView(MainWindow& window, Workspace& workspace) {
    // While wrapping, the offset is 0 whatever is stored, and the component keeps the top line as it
    // wraps again for the new width: a second restore would only wrap a long note twice at start.
    if (window.editor.wrap()) return;
    const auto view = workspace.viewStates.find(workspace.currentNoteId);
    if (workspace.currentNoteId == 0 || view == workspace.viewStates.end()) return;
    (void)RunGuarded(window, [&] {
        workspace.RestoreViewState(view->second);
        return true;
    });
}

// Shows the window fully drawn before the user sees it, warns about OneDrive once, and runs the
// message loop until the window is destroyed.
int RunVisible(MainWindow& window, Workspace& workspace, const std::wstring& normalizedPath, Bench& bench) {
    const std::string placement = workspace.settings.GetSetting("window.placement").value_or(std::string());
    BOOL cloak = TRUE;
    const bool cloaked = SUCCEEDED(DwmSetWindowAttribute(window.hwnd, DWMWA_CLOAK, &cloak, sizeof(cloak)));
    window.RestorePlacement(placement);
    RestoreStartupView(window, workspace);
    RedrawWindow(window.hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (cloaked) {
        cloak = FALSE;
        DwmSetWindowAttribute(window.hwnd, DWMWA_CLOAK, &cloak, sizeof(cloak));
    }
    // Showing draws the editor, so its first paint is usually marked before this.
    bench.Mark("window_shown");
    (void)window.WarnIfInOneDrive(normalizedPath, CollectOneDriveRoots());
    // The note the run would have started on could not be read, and another opened in its place.
    if (workspace.unreadableNoteId != 0) window.ReportUnreadableNote(workspace.unreadableNoteId);
    const int code = window.RunMessageLoop();

    // The loop ends with the window's destruction, after its closing save. Should GetMessageW itself
    // fail, the window is still there and nothing has saved the last edits: save them now, then
    // take the window down as closing would.
    if (window.hwnd != nullptr && IsWindow(window.hwnd)) {
        RunGuarded(window, [&] {
            (void)workspace.SaveAll(SaveReason::Closing);
            return true;
        });
        DestroyMainWindow(window);
    }
    return code;
}

}  // namespace

int RunApp(HINSTANCE instance, const LaunchOptions& options, Bench& bench) {
    // Before any temporary file exists: another instance's clean-up must see that this one owns its own.
    MarkThisProcessAsProgram();
    SetMessageBoxesAllowed(!options.silent);
    SetMappedReadFaultReporter(ReportMappedReadFault, ToInt(ExitCode::DatabaseReadFault));
    const bool deleteAtExit = options.smoke && !options.db;
    const std::wstring path = ChooseDatabasePath(options);

    // Declared in the order of creation, so that leaving early releases them in reverse: the
    // workspace before the main window object, the database after both, the mutex last.
    const std::wstring normalizedPath = NormalizePath(path);
    const uint64_t instanceKey = HashPath(normalizedPath);
    InstanceMutex mutex = InstanceMutex::Create(MakeInstanceMutexName(normalizedPath));
    if (mutex.alreadyExisted()) {
        // Unless the running instance was found closing and its mutex is now ours.
        const std::optional<ExitCode> handled = ActivateRunningInstance(instance, instanceKey, mutex);
        if (handled) return ToInt(*handled);
    }

    std::unique_ptr<Database> db = OpenDatabaseInteractive(instance, path, options.smoke);
    if (!db) return ToInt(ExitCode::NoDatabase);
    bench.Mark("db_opened");

    (void)EnableProcessDarkMode();
    if (const ExitCode registered = RegisterWindowClasses(instance); registered != ExitCode::Ok) {
        return ToInt(registered);
    }
    bench.Mark("classes_registered");

    std::optional<MainWindow> window;
    std::optional<Workspace> workspace;
    for (;;) {
        window.emplace();
        if (!window->Create(instance, &bench, options.bench.has_value())) {
            DestroyMainWindow(*window);
            return ToInt(ExitCode::WindowCreateFailed);
        }

        workspace.emplace(*db, window->editor);
        (void)RunGuarded(*window, [&] { return ApplySettings(*window, *workspace); });
        bench.Mark("settings_applied");

        LoadResult loaded;
        (void)RunGuarded(*window, [&] { return (loaded = workspace->Load()).loaded; });
        if (loaded) bench.Mark("startup_note_opened");
        if (loaded && RunGuarded(*window, [&] { return ShowLoadedWorkspace(*window, *workspace); })) break;

        // Nothing may hold the file any more when the user is asked about it or it is moved aside.
        TakeDownUnshownWindow(*window);
        workspace.reset();
        window.reset();
        db.reset();
        if (options.smoke) return ToInt(ExitCode::WorkspaceLoadFailed);
        if (!IsDamagedFileCode(loaded.storeCode)) {
            ShowErrorMessage(nullptr, instance, IDS_WORKSPACE_LOAD_FAILED, FileNameOf(path));
            return ToInt(ExitCode::WorkspaceLoadFailed);
        }
        // Damaged past opening's checks: the same choice as a file that fails them, then a fresh
        // start on the new database.
        db = StartOverWithNewDatabase(instance, path);
        if (!db) return ToInt(ExitCode::NoDatabase);
    }
    bench.Mark("tree_populated");

    // From here on a second process on the same file finds this window.
    SetPropW(window->hwnd, kInstanceProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(instanceKey)));
    ProvideWindowSettings(*window, *workspace);
    bench.Mark("note_loaded");

    // The loop's code is WM_QUIT's, which the window posts as 0.
    const int code = options.smoke ? ToInt(RunSelfTest(*window, *workspace, db, path))
                                   : RunVisible(*window, *workspace, normalizedPath, bench);

    // The workspace, the main window object, the editing component's process resources, the
    // self-test's file, the timing file, the database, and the mutex last.
    workspace.reset();
    window.reset();
    ReleaseEditorResources();
    if (deleteAtExit) DeleteFileW(path.c_str());
    const bool timingWritten = bench.path.empty() || WriteTimingFile(bench);
    db.reset();
    mutex.Close();
    return timingWritten ? code : ToInt(ExitCode::BenchWriteFailed);
}

}  // namespace lq
