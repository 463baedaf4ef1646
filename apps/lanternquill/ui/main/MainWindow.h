#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "completion/WordCompletion.h"
#include "completion/WordIndexFill.h"
#include "editor/EditorRange.h"
#include "editor/EditorView.h"
#include "store/Rows.h"
#include "ui/commands/KeyScope.h"
#include "ui/find/FindPanel.h"
#include "ui/frame/DarkTitleBar.h"
#include "ui/menus/DarkMenu.h"
#include "ui/menus/MenuBar.h"
#include "ui/search/GlobalSearchView.h"
#include "ui/sidebar/SidebarTree.h"
#include "ui/sidebar/TreeAction.h"
#include "ui/sidebar/TreeItemKey.h"
#include "ui/status/StatusInfo.h"
#include "workspace/SaveReason.h"

namespace lq {

class Bench;
class Workspace;

// The window class of the main window and the property that carries its instance key.
inline constexpr wchar_t kMainWindowClass[] = L"Lanternquill.Main";
inline constexpr wchar_t kInstanceProperty[] = L"Lanternquill.Instance";
// Set on the main window once the word index holds every note, so that a test or a benchmark driving
// the program from outside can tell when its idle fill (which reads the file mapped) has ended.
inline constexpr wchar_t kWordsFilledProperty[] = L"Lanternquill.WordsFilled";

// Private messages the main window posts or is sent.
inline constexpr UINT kLabelEditDoneMessage = WM_APP + 1;     // a tree label edit ended (or a new project)
inline constexpr UINT kLabelEditRequestMessage = WM_APP + 2;  // lParam: the row's item parameter
inline constexpr UINT kCaretFixUpMessage = WM_APP + 3;        // after a double click or a line click
// A choice from the sidebar's context menu: wParam the menu id, lParam the item parameter of the
// row the menu was opened for (0 for empty space).
inline constexpr UINT kTreeMenuChoiceMessage = WM_APP + 4;
// kSidebarReportMessage (WM_APP + 20) is SidebarTree's.

// The autosave debounce: timer 1 on the main window, 800 ms, killed when it fires.
inline constexpr UINT_PTR kAutosaveTimerId = 1;
inline constexpr UINT kAutosaveDelayMs = 800;

// The program's one top-level window and the owner of every part of the user interface: menu strip,
// sidebar tree (or the global search view in its place), splitter, editor, status strip and the
// floating find panel. It borrows the Workspace and the Bench; it owns neither. The fields are read
// and written by the window's own operations, which live in several files by concern (creation and
// layout, painting, the window procedure, keys and commands, notes, find, search across all notes,
// files, saving). UI thread only. Editing-component calls may throw Scintilla::Failure; the window
// procedure's guard catches what a message handler lets through.
class MainWindow {
public:
    MainWindow();
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // --- Creation, layout and painting ---
    // Creates the hidden window with menu strip, sidebar tree and editor at its start size. False
    // when any of them could not be made (what was made stays, for the caller to destroy).
    [[nodiscard]] bool Create(HINSTANCE instanceHandle, Bench* benchMarks, bool closeAfterFirstPaintFlag);
    // Attaches the loaded workspace (or detaches it with null) and gives completion its word provider.
    void SetWorkspace(Workspace* attached);
    // Shows or hides the sidebar column with the width in DIP (never below 160).
    void SetSidebarVisible(int32_t widthDip, bool visible);
    void Layout();
    void Paint(HDC dc, const RECT& paintRect);
    // Layout quantities, recomputed from the client area and `dpi` on every call.
    [[nodiscard]] int32_t MenuHeight() const;
    [[nodiscard]] int32_t StatusBarTop() const;
    [[nodiscard]] int32_t SidebarWidthPx() const;
    [[nodiscard]] RECT SplitterRect() const;
    [[nodiscard]] RECT NewProjectButtonRect() const;
    [[nodiscard]] RECT NewProjectHighlightRect() const;
    // The status strip: full client width, from StatusBarTop to the client bottom.
    [[nodiscard]] RECT StatusStripRect() const;

    // --- Window procedure ---
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // For a WM_CLOSE: true when it must not run now, because it arrived inside one of the window's
    // own handlers (through a dialog's or a menu's loop); it is then run once they have all returned
    // (HandlerScope). A close arriving while a close is asking about unsaved notes is answered by
    // that one.
    [[nodiscard]] bool DeferCloseWhileBusy() noexcept;
    // Applies a stored "window.placement" text and shows the window (at its start size when the
    // text is unusable).
    void RestorePlacement(std::string_view text);

    // --- Message loop and keys ---
    // Runs until WM_QUIT; its exit code, or 0 when GetMessageW fails.
    int RunMessageLoop();
    // One slice of background work (filling completion's index) when some is pending and no message
    // waits in the queue; true when it ran one and more may follow.
    bool RunIdleWork();
    // The kind of the window that has the keyboard focus, as the key bindings see it.
    [[nodiscard]] KeyScope FocusScope() const;
    // Sees every message of the thread before it is translated; true when it consumed it.
    bool PreTranslateMessage(const MSG& message, KeyScope scope);
    // Runs a command code; false only for a key the command leaves to the focused window.
    bool ExecuteCommand(int32_t command);
    // Undo, redo, cut, copy, paste, duplicate or select all (49 to 55) on `target`.
    void EditCommand(int32_t command, HWND target);
    void OnInitMenuPopup(HMENU menu);

    // --- Saving on request ---
    void SaveNow(SaveReason reason);
    void UpdateSaveFailedIndicator();
    // Warns once (per database, remembered in the settings) when the database lies in OneDrive.
    bool WarnIfInOneDrive(const std::wstring& databasePath, const std::vector<std::wstring>& oneDriveRoots);

    // --- Find, replace and go to line in the open note ---
    void ShowFloating(FindPanel::Mode mode);
    bool CloseFloating();
    void OnFindPanelAction(FindPanel::Action action);
    void FindNext(bool forward);
    void SetNotFound(bool notFound);
    void ScrollRangeIntoView(EditorRange range);

    // --- Search and replace across all notes ---
    void ShowGlobalView(GlobalSearchView::Mode mode);
    // Closes the global search view and gives the sidebar column back to the tree; false when it
    // was not shown.
    bool CloseGlobalView();
    void OnGlobalViewAction(GlobalSearchView::Action action, int argument);
    void RunGlobalCount(const std::wstring& query);
    void OpenGlobalHit(int index);
    void ReplaceInAllNotes();
    void InvalidateSidebarArea();

    // --- Import, export and backup ---
    void RunImportCommand();
    void RunExportCommand();
    void RunBackupCommand();
    void ImportTextFiles(const std::vector<std::wstring>& paths);
    bool ExportNoteTo(const std::wstring& path);
    bool BackupTo(const std::wstring& path);
    // A folder setting's stored text; the program's folder when it is absent, empty or unreadable.
    [[nodiscard]] std::wstring GetSetting(std::string_view key);

    // --- Note and project commands ---
    void NewNote(std::optional<int64_t> projectId);
    void NewProject();
    void SelectAdjacentNote(bool forward);
    void BeginRename(std::optional<TreeItemKey> key);
    void DeleteSelected();
    // Deletes that note or project (the selected one, a context menu's row).
    void DeleteItem(TreeItemKey key);
    // Runs a choice of the sidebar's context menu on the row it was opened for, whatever the
    // selection did since (a row that could not be opened gives the selection back to the open note).
    void RunTreeMenuChoice(UINT menuId, std::optional<TreeItemKey> row);
    void UndoDelete();
    void MoveSelected(bool up);
    // After an opening that failed: the sidebar's selection goes back to the row that is open (the
    // open note, else the current project), so what is typed goes where the sidebar points.
    void SelectOpenRow();
    // Tells the user that the note's stored text could not be read.
    void ReportUnreadableNote(int64_t noteId);
    // The same for the sidebar's arrows, which meet the note at every pass: a message the first time
    // in this run, a status notice after that.
    void ReportUnreadableNoteOnce(int64_t noteId);
    // What a walk over rows found: the row it opened, and the first note it passed over because that
    // could not be read (0 for none).
    struct OpenedStep {
        std::optional<TreeItemKey> opened;
        int64_t passedOver = 0;
    };
    // Opens the first of the rows `next` gives in turn that opens, passing over notes that cannot be
    // read; stops at any other failure or when `next` gives none. Selects nothing.
    OpenedStep OpenFirstReadable(const std::function<std::optional<TreeItemKey>()>& next);
    // The arrows moved the selection from the open row onto `row`, a note that cannot be read: the
    // selection goes on past it in the same direction to the next row that opens. True when one did.
    bool StepPastUnreadableRow(TreeItemKey row);
    // Tells the user the message `messageId` with the note's title as its "%1".
    void TellAboutNote(UINT messageId, int64_t noteId);
    // Tells the user, once, of an operation that could not be done (a message without arguments).
    void ReportFailure(UINT stringId);
    // Completes the tree label edit stored by PostTreeEdit (WM_APP+1).
    void CompleteLabelEdit();
    // Commits what the user is in the middle of typing (an input-method composition in the editor,
    // a name in the sidebar's label editor) so that the save after it, perhaps the last, stores it.
    void FinishInputBeforeSave() noexcept;
    [[nodiscard]] int64_t CurrentProjectId() const;
    [[nodiscard]] std::string TodayTitle() const;
    void UpdateTitle();
    void UpdateStatus();
    void UpdateTitleAndStatus();
    void SetStatusMessage(std::wstring message);
    void PeekSidebar();
    void EndSidebarPeek();
    // Whether the user wants the sidebar shown, which is what the settings keep: a column shown only
    // for a label edit, or only for the search view standing in the place of a hidden sidebar, is
    // hidden as far as the user is concerned.
    [[nodiscard]] bool SidebarChosenVisible() const;
    void ShowTreeContextMenu(const TreeAction& action);
    void ShowEditorContextMenu(LPARAM point);
    // Tracks the menu (destroyed afterwards) at a screen point; the chosen id, 0 for none.
    UINT TrackMenu(HMENU menu, POINT screenPoint);

    // --- Fields, in the order they come into being ---
    HWND hwnd = nullptr;
    HINSTANCE instance = nullptr;
    int32_t dpi = 96;
    TitleBarMode titleBarMode = TitleBarMode::None;
    HWND lastFocus = nullptr;
    EditorView editor;
    WordCompletion completion;
    // Fills completion's index from the attached workspace's notes while the loop is idle.
    std::unique_ptr<WordIndexFill> wordFill;
    SidebarTree sidebar;
    StatusInfo status;
    std::unique_ptr<FindPanel> findPanel;
    std::wstring findQuery;
    std::wstring replaceText;
    std::unique_ptr<GlobalSearchView> globalView;
    bool globalViewShown = false;
    std::vector<SearchHit> globalHits;
    std::wstring globalQuery;
    std::function<void(const std::wstring&)> showMessage;
    Workspace* workspace = nullptr;
    Bench* bench = nullptr;
    bool closeAfterFirstPaint = false;
    bool firstPaintDone = false;
    bool closing = false;
    bool closeRunning = false;     // WM_CLOSE is being handled; its question's loop may deliver another
    int32_t handlersRunning = 0;   // open HandlerScopes: the window's own code is on the stack
    bool closeDeferred = false;    // a close came while handlers ran; posted again when the last ends
    bool waitCursorShown = false;  // a long step runs: the wait cursor over the whole window (WaitCursor)
    int32_t wheelDelta = 0;
    bool clickActivated = false;
    bool swallowUntilButtonUp = false;
    bool marginClick = false;
    bool doubleClicked = false;
    int64_t pendingAnchor = -1;
    int64_t pendingCaret = -1;
    std::unordered_map<int64_t, int64_t> lastEditPos;
    std::unordered_set<int64_t> unreadableToldOnce;  // notes the arrows have told of in a message
    HFONT uiFont = nullptr;                          // owned; released at WM_DESTROY
    DarkMenu darkMenu;
    HMENU mainMenu = nullptr;  // owned; destroyed at WM_DESTROY
    MenuBar menuBar;
    std::wstring newProjectLabel;
    bool focusEditorAfterTreeAction = false;
    int32_t sidebarWidthDip = 250;
    bool sidebarVisible = true;
    bool draggingSplitter = false;
    bool newProjectHot = false;
    bool sidebarPeeking = false;
    bool sidebarHiddenBeforeGlobalView = false;
    int32_t afterLabelEdit = 0;  // 0 nothing, 1 the note was just created, 2 the project was just created
    std::function<bool(const std::wstring&)> confirm;
};

// Registers the class "Lanternquill.Main" (arrow cursor, icon resource 1, no background brush).
[[nodiscard]] bool RegisterMainWindowClass(HINSTANCE instance);

// The frame the main window paints around a panel's edit box (rounded, filled #3C3C3C; red when
// flagged, green while the box has the focus, grey otherwise).
void FrameEditBorder(HWND mainWindow, int32_t dpi, HDC dc, int32_t cornerSize, HWND edit, bool flagged);

// The "window.placement" text of a window: "left,top,right,bottom,maximised".
[[nodiscard]] std::string FormatWindowPlacement(HWND window);

// Gives the workspace what it saves of the window (each replaces what it held): the placement, and
// the sidebar's width with the user's choice of showing it.
void ProvideWindowSettings(MainWindow& window, Workspace& workspace);

// The message a second process sends to bring the running one to the front; 0 when it could not be
// registered (it then matches no message).
[[nodiscard]] UINT ActivateMessageId();

// The pending label-edit result: one slot, replaced by every call, read by CompleteLabelEdit.
void PostTreeEdit(TreeItemKey key, std::optional<std::string> newText);

}  // namespace lq
