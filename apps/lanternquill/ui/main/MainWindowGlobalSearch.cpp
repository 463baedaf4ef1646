#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "editor/CharBoundary.h"
#include "editor/EditorSearch.h"
#include "platform/TextConversion.h"
#include "resources/ResourceIds.h"
#include "store/MappedReads.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/main/MainWindow.h"
#include "ui/main/SplitterZone.h"
#include "ui/main/WaitCursor.h"
#include "ui/search/GlobalSearchMessages.h"
#include "workspace/Workspace.h"

// The main window's side of the search and replace across all notes: the view in the sidebar's
// place, searches run on Enter, hits opened in the editor, and the replace with its confirmation.
namespace lq {
namespace {

constexpr int32_t kMinSidebarWidthDip = 160;

std::wstring WindowText(HWND window) {
    if (window == nullptr) return {};
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

// Sets the text only when it differs, so an unchanged edit sends no change notification.
void SetTextWhenDifferent(HWND edit, const std::wstring& text) {
    if (edit != nullptr && WindowText(edit) != text) SetWindowTextW(edit, text.c_str());
}

bool HasWindowStyle(HWND window, LONG style) {
    return window != nullptr && (GetWindowLongW(window, GWL_STYLE) & style) != 0;
}

// What the user is told of notes a search or replace passed over: the note by its title, or how many.
std::wstring PassedOverText(HINSTANCE instance, const Workspace& workspace, const std::vector<int64_t>& noteIds) {
    if (noteIds.size() == 1) {
        const NoteListRow* row = workspace.tree.FindNote(noteIds.front());
        return LoadResourceString(instance, IDS_NOTE_PASSED_OVER, row ? Utf8ToUtf16(row->title) : std::wstring());
    }
    return LoadResourceString(instance, IDS_NOTES_PASSED_OVER,
                              std::to_wstring(static_cast<unsigned long long>(noteIds.size())));
}

}  // namespace

void MainWindow::InvalidateSidebarArea() {
    if (hwnd == nullptr) return;
    const RECT area{0, MenuHeight(), SidebarWidthPx() + 1, StatusBarTop()};
    InvalidateRect(hwnd, &area, FALSE);
}

void MainWindow::ShowGlobalView(GlobalSearchView::Mode mode) {
    if (!globalView) {
        auto view = std::make_unique<GlobalSearchView>();
        const bool made = view->Create(hwnd, instance, dpi, [this](GlobalSearchView::Action action, int argument) {
            OnGlobalViewAction(action, argument);
        });
        // A view that could not be made whole is dropped with whatever it made.
        if (!made) return;
        globalView = std::move(view);
        // The list reaches the sidebar's edge, where the splitter's zone begins.
        AttachSplitterZone(globalView->resultList(), *this);
    }
    GlobalSearchView& view = *globalView;

    // A sidebar shown only for a label edit was hidden by the user: closing the view hides it again.
    if (!globalViewShown) sidebarHiddenBeforeGlobalView = !sidebarVisible || sidebarPeeking;
    globalViewShown = true;
    sidebarPeeking = false;

    if (mode != view.mode()) {
        view.SetMode(mode);
        view.SetStatusText({});
        if (HasWindowStyle(view.queryEdit(), WS_VISIBLE)) {
            view.Show(true);
            view.Layout(view.area());
        }
    }

    // The view opens with whatever was last typed here or in the find panel.
    SetTextWhenDifferent(view.queryEdit(), findQuery);
    if (mode == GlobalSearchView::Mode::Replace) SetTextWhenDifferent(view.replaceEdit(), replaceText);
    EnableWindow(view.replaceAllButton(), GetWindowTextLengthW(view.queryEdit()) > 0);

    sidebarWidthDip = std::max(sidebarWidthDip, kMinSidebarWidthDip);
    sidebarVisible = true;
    if (sidebar.hwnd() != nullptr) ShowWindow(sidebar.hwnd(), SW_HIDE);
    view.Show(true);
    Layout();
    InvalidateRect(hwnd, nullptr, FALSE);

    // Opening runs no search: the list shows what it showed before.
    SetFocus(view.queryEdit());
    SendMessageW(view.queryEdit(), EM_SETSEL, 0, -1);
}

bool MainWindow::CloseGlobalView() {
    if (!globalView || !globalViewShown || !sidebarVisible) return false;
    globalViewShown = false;
    globalView->Show(false);
    if (sidebar.hwnd() != nullptr) ShowWindow(sidebar.hwnd(), SW_SHOWNA);
    if (sidebarHiddenBeforeGlobalView) {
        // The column was opened for the view only: it goes with it.
        sidebarHiddenBeforeGlobalView = false;
        sidebarVisible = false;
        sidebarWidthDip = std::max(sidebarWidthDip, kMinSidebarWidthDip);
        if (sidebar.hwnd() != nullptr) ShowWindow(sidebar.hwnd(), SW_HIDE);
        globalView->Show(false);
        Layout();
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    SetFocus(editor.hwnd());
    return true;
}

void MainWindow::OnGlobalViewAction(GlobalSearchView::Action action, int argument) {
    // The view calls in from its own controls' procedures, which the window procedure's guard does
    // not cover: a component failure ends here, and the editor must keep working after it.
    try {
        switch (action) {
            case GlobalSearchView::Action::OpenHit:
                OpenGlobalHit(argument);
                return;
            case GlobalSearchView::Action::ReplaceAll:
                ReplaceInAllNotes();
                return;
            case GlobalSearchView::Action::QueryChanged:
                break;
        }
        // QueryChanged, and any action this window does not know, runs the search.
        if (globalView) RunGlobalCount(WindowText(globalView->queryEdit()));
    } catch (const Scintilla::Failure&) {
        editor.RecoverFromFailure();
    }
}

void MainWindow::RunGlobalCount(const std::wstring& query) {
    if (workspace == nullptr) return;
    if (!globalView || !globalViewShown || !sidebarVisible) ShowGlobalView(GlobalSearchView::Mode::Search);
    if (!globalView) return;
    GlobalSearchView& view = *globalView;

    SetTextWhenDifferent(view.queryEdit(), query);
    globalQuery = query;

    std::optional<ReplaceCount> count;
    bool searchFailed = false;
    std::vector<int64_t> passedOver;  // notes whose text cannot be read; the others are searched
    if (query.empty()) {
        globalHits.clear();
    } else {
        // The search reads the stored texts; it runs whatever the save gave. Both scans read the file
        // mapped, unless that save failed (see MappedReads).
        SaveNow(SaveReason::BeforeBulkOperation);
        const MappedReads mapped(workspace->db);
        const std::string utf8 = Utf16ToUtf8(query);
        std::optional<std::vector<SearchHit>> hits = workspace->notes.SearchNotes(utf8, &passedOver);
        searchFailed = !hits;
        globalHits = hits ? std::move(*hits) : std::vector<SearchHit>{};
        if (view.mode() == GlobalSearchView::Mode::Replace) {
            std::vector<int64_t> notCounted;
            count = workspace->CountInAllNotes(utf8, &notCounted);
            if (passedOver.empty()) passedOver = std::move(notCounted);
        }
    }

    view.SetResults(globalHits, query);
    view.SetStatusText(MatchCountText(instance, count));
    // A search that failed found nothing, but must not say so: the list is empty without the red frame.
    view.SetNoMatch(!query.empty() && globalHits.empty() && !searchFailed);
    InvalidateSidebarArea();
    // The empty list is no answer: the user is told that the notes could not be searched.
    if (!showMessage) return;
    if (searchFailed) {
        showMessage(LoadResourceString(instance, IDS_SEARCH_UNREADABLE));
    } else if (!passedOver.empty()) {
        // The list holds what the readable notes gave; the user learns once what it could not hold.
        showMessage(PassedOverText(instance, *workspace, passedOver));
    }
}

void MainWindow::OpenGlobalHit(int index) {
    if (workspace == nullptr || index < 0 || static_cast<size_t>(index) >= globalHits.size()) return;
    const SearchHit hit = globalHits[static_cast<size_t>(index)];
    if (!workspace->OpenNote(hit.noteId)) {
        if (workspace->unreadableNoteId != 0) ReportUnreadableNote(workspace->unreadableNoteId);
        return;
    }

    if (const std::optional<int64_t> projectId = workspace->tree.ProjectOfNote(hit.noteId)) {
        const ProjectNode* project = workspace->tree.FindProject(*projectId);
        if (project != nullptr && !project->expanded) {
            workspace->SetProjectExpanded(*projectId, true);
            sidebar.ExpandProject(*projectId);
        }
    }
    // The tree stays behind the view; only its selection follows.
    sidebar.Select(TreeItemKey{false, hit.noteId});
    UpdateTitleAndStatus();

    // A match only in the title keeps the caret where the note's saved view put it.
    if (hit.inContent) {
        Scintilla::ScintillaCall& call = editor.call();
        call.SetEmptySelection(0);
        if (!globalQuery.empty()) {
            // The stored match ignored the case of A-Z, whatever letters the query has.
            call.SetSearchFlags(Scintilla::FindOption::None);
            const EditorMatch match = SearchInRange(call, Utf16ToUtf8(globalQuery), 0, call.Length());
            if (match.found) {
                call.SetSel(SnapToCharacter(call, match.start), SnapToCharacter(call, match.end));
                ScrollRangeIntoView(EditorRange{match.start, match.end});
            }
        }
    }
    // F3 goes on with the same text in the note.
    findQuery = globalQuery;
    SetFocus(editor.hwnd());
}

void MainWindow::ReplaceInAllNotes() {
    if (workspace == nullptr || !globalView || globalView->mode() != GlobalSearchView::Mode::Replace) return;
    GlobalSearchView& view = *globalView;
    const std::wstring query = WindowText(view.queryEdit());
    if (query.empty()) return;

    // This flow reports its own failure to save, so it bypasses SaveNow's message and timer.
    const SaveResult saved = workspace->SaveAllCatchingFailure(SaveReason::BeforeBulkOperation);
    UpdateSaveFailedIndicator();
    if (saved == SaveResult::Failed) {
        if (showMessage) showMessage(LoadResourceString(instance, IDS_REPLACE_ALL_NOT_SAVED));
        return;
    }

    const std::string utf8Query = Utf16ToUtf8(query);
    std::optional<ReplaceCount> count;
    std::vector<int64_t> notCounted;
    {
        // The count reads every note, mapped as the search's (everything was just saved); the pointer
        // waits with it, and is back before the question.
        const WaitCursor waiting(*this);
        const MappedReads mapped(workspace->db);
        count = workspace->CountInAllNotes(utf8Query, &notCounted);
    }
    if (!count) {
        if (showMessage) showMessage(LoadResourceString(instance, IDS_REPLACE_ALL_FAILED));
        return;
    }
    // Notes whose text cannot be read are neither counted nor rewritten; the user is told so once,
    // with the question when there is one.
    const bool passedOver = !notCounted.empty();
    if (count->occurrences == 0) {
        view.SetStatusText(MatchCountText(instance, count));
        view.SetNoMatch(true);
        InvalidateSidebarArea();
        if (passedOver && showMessage) showMessage(PassedOverText(instance, *workspace, notCounted));
        return;
    }
    std::wstring question = ConfirmReplaceAllText(instance, *count);
    if (passedOver) question += L"\n\n" + PassedOverText(instance, *workspace, notCounted);
    if (!confirm || !confirm(question)) return;

    const std::string replacement = Utf16ToUtf8(WindowText(view.replaceEdit()));
    ReplaceAllOutcome outcome;
    {
        const WaitCursor waiting(*this);
        // The notes the count could not read are not read again.
        outcome = workspace->ReplaceInAllNotes(utf8Query, replacement, notCounted);
    }
    switch (outcome.status) {
        case ReplaceAllStatus::Replaced:
            // A last-edit position belongs to the text it was taken in.
            for (const int64_t noteId : outcome.changedNoteIds) lastEditPos.erase(noteId);
            UpdateTitleAndStatus();
            globalHits.clear();
            view.SetResults(globalHits, query);
            view.SetNoMatch(false);
            view.SetStatusText(ReplacedAllText(instance, outcome));
            break;
        case ReplaceAllStatus::NothingToDo:
            view.SetStatusText(MatchCountText(instance, ReplaceCount{}));
            view.SetNoMatch(true);
            break;
        case ReplaceAllStatus::OpenNoteNotSaved:
            if (showMessage) showMessage(LoadResourceString(instance, IDS_REPLACE_ALL_NOT_SAVED));
            break;
        case ReplaceAllStatus::DatabaseFailed:
            if (showMessage) showMessage(LoadResourceString(instance, IDS_REPLACE_ALL_FAILED));
            break;
    }
    InvalidateSidebarArea();
    // Told with the question already, unless the replace found them alone.
    if (!passedOver && !outcome.unreadableNoteIds.empty() && showMessage) {
        showMessage(PassedOverText(instance, *workspace, outcome.unreadableNoteIds));
    }
}

}  // namespace lq
