#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "MainWindowFixture.h"
#include "resources/ResourceIds.h"
#include "store/MappedReads.h"
#include "support/MapProbe.h"
#include "ui/dialogs/ResourceString.h"
#include "ui/search/GlobalSearchMessages.h"

namespace lq::test {
namespace {

using Mode = GlobalSearchView::Mode;
using Action = GlobalSearchView::Action;

bool Shown(HWND window) {
    return window != nullptr && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

// Three notes in "Work" and one in the collapsed project "Closed"; "beta" stands in the content of
// Plan (twice, in two cases), only in the title of Beta notes, and in the content of Hidden.
class MainWindowGlobalSearchTest : public MainWindowFixture {
protected:
    void StartWithNotes(MainWindowStart options = {}) {
        work_ = AddProject("Work");
        plan_ = AddNote(work_, "Plan", "alpha BETA\r\ngamma beta");
        titleOnly_ = AddNote(work_, "Beta notes", "nothing here", NoteViewState{3, 3, 0, 0, 0, 0});
        other_ = AddNote(work_, "Other", "zzz");
        closed_ = AddProject("Closed");
        hidden_ = AddNote(closed_, "Hidden", "one beta");
        Exec("UPDATE projects SET expanded = 0 WHERE id = " + std::to_string(closed_));
        SetSetting("last.note_id", std::to_string(other_));
        Start(options);
        main->showMessage = [this](const std::wstring& text) { messages_.push_back(text); };
        main->confirm = [this](const std::wstring& text) {
            questions_.push_back(text);
            return answer_;
        };
    }

    GlobalSearchView& View() { return *main->globalView; }
    // What the user does: types into the view's edits (the window sees EN_CHANGE) and presses Enter.
    void TypeQuery(const wchar_t* text) { SetWindowTextW(View().queryEdit(), text); }
    void TypeReplacement(const wchar_t* text) { SetWindowTextW(View().replaceEdit(), text); }
    void PressEnterIn(HWND edit) {
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
        Pump();
    }
    [[nodiscard]] std::wstring Text(UINT id, const std::wstring& first = {}, const std::wstring& second = {}) const {
        return LoadResourceString(GetModuleHandleW(nullptr), id, first, second);
    }
    [[nodiscard]] LRESULT ListCount() { return SendMessageW(View().resultList(), LB_GETCOUNT, 0, 0); }
    [[nodiscard]] bool TreeRowExpanded(int64_t projectId) {
        const HTREEITEM item = main->sidebar.FindItem(TreeItemKey{true, projectId});
        return item != nullptr &&
               (SendMessageW(main->sidebar.hwnd(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    [[nodiscard]] std::vector<int64_t> HitIds() const {
        std::vector<int64_t> ids;
        for (const SearchHit& hit : main->globalHits) ids.push_back(hit.noteId);
        return ids;
    }

    int64_t work_ = 0, plan_ = 0, titleOnly_ = 0, other_ = 0, closed_ = 0, hidden_ = 0;
    std::vector<std::wstring> messages_;
    std::vector<std::wstring> questions_;
    bool answer_ = true;
};

TEST_F(MainWindowGlobalSearchTest, TakesTheTreesPlaceAndGivesItBack) {
    StartWithNotes();
    main->findQuery = L"from the panel";
    main->ShowGlobalView(Mode::Search);
    ASSERT_TRUE(main->globalView);
    EXPECT_TRUE(main->globalViewShown);
    EXPECT_FALSE(main->sidebarHiddenBeforeGlobalView);
    EXPECT_FALSE(Shown(main->sidebar.hwnd()));
    EXPECT_TRUE(Shown(View().queryEdit()));
    EXPECT_TRUE(Shown(View().resultList()));
    EXPECT_FALSE(Shown(View().replaceEdit()));
    EXPECT_FALSE(Shown(View().replaceAllButton()));
    EXPECT_EQ(TextOf(View().queryEdit()), L"from the panel");
    EXPECT_EQ(GetFocus(), View().queryEdit());
    EXPECT_EQ(SendMessageW(View().queryEdit(), EM_GETSEL, 0, 0), MAKELRESULT(0, 14)) << "all text selected";

    // The same view again in Replace mode: the replacement row appears, seeded too.
    main->replaceText = L"with this";
    main->ShowGlobalView(Mode::Replace);
    EXPECT_EQ(View().mode(), Mode::Replace);
    EXPECT_TRUE(Shown(View().replaceEdit()));
    EXPECT_TRUE(Shown(View().replaceAllButton()));
    EXPECT_TRUE(IsWindowEnabled(View().replaceAllButton()));
    EXPECT_EQ(TextOf(View().replaceEdit()), L"with this");

    ASSERT_TRUE(main->CloseFloating());
    EXPECT_FALSE(main->globalViewShown);
    EXPECT_TRUE(main->sidebarVisible);
    EXPECT_TRUE(Shown(main->sidebar.hwnd()));
    for (HWND control : {View().queryEdit(), View().replaceEdit(), View().replaceAllButton(), View().resultList()}) {
        EXPECT_FALSE(Shown(control));
    }
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_FALSE(main->CloseFloating()) << "nothing is left to close";
}

TEST_F(MainWindowGlobalSearchTest, AColumnOpenedForTheViewClosesWithIt) {
    MainWindowStart options;
    options.sidebarVisible = false;
    StartWithNotes(options);
    main->ShowGlobalView(Mode::Replace);
    ASSERT_TRUE(main->globalView);
    EXPECT_TRUE(main->sidebarVisible);
    EXPECT_TRUE(main->sidebarHiddenBeforeGlobalView);
    EXPECT_TRUE(Shown(View().queryEdit()));
    EXPECT_FALSE(Shown(main->sidebar.hwnd()));
    EXPECT_FALSE(IsWindowEnabled(View().replaceAllButton())) << "nothing to replace yet";
    RECT editor{};
    GetWindowRect(main->editor.hwnd(), &editor);
    MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&editor), 2);
    EXPECT_EQ(editor.left, main->SidebarWidthPx() + 1);

    // Opening it again while shown keeps what the sidebar was before.
    main->ShowGlobalView(Mode::Search);
    EXPECT_TRUE(main->sidebarHiddenBeforeGlobalView);

    ASSERT_TRUE(main->CloseGlobalView());
    EXPECT_FALSE(main->sidebarVisible);
    EXPECT_FALSE(main->sidebarHiddenBeforeGlobalView);
    EXPECT_FALSE(Shown(main->sidebar.hwnd()));
    EXPECT_FALSE(Shown(View().queryEdit()));
    GetWindowRect(main->editor.hwnd(), &editor);
    MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&editor), 2);
    EXPECT_EQ(editor.left, 0);
}

TEST_F(MainWindowGlobalSearchTest, EnterSearchesTitlesAndContentsInSidebarOrder) {
    StartWithNotes();
    main->ShowGlobalView(Mode::Search);
    TypeQuery(L"beta");
    PressEnterIn(View().queryEdit());

    EXPECT_EQ(main->globalQuery, L"beta");
    EXPECT_EQ(HitIds(), (std::vector<int64_t>{plan_, titleOnly_, hidden_}));
    EXPECT_EQ(ListCount(), 3);
    ASSERT_EQ(View().rows().size(), 3u);
    EXPECT_EQ(View().rows()[1].title, L"Beta notes");
    EXPECT_TRUE(View().statusText().empty()) << "Search mode shows no count";
    EXPECT_FALSE(View().noMatch());
}

TEST_F(MainWindowGlobalSearchTest, SearchSeesUnsavedTextAndCountsInReplaceMode) {
    StartWithNotes();
    Type("beta ");  // in the open note Other, not saved yet
    main->ShowGlobalView(Mode::Replace);
    TypeQuery(L"BETA");
    PressEnterIn(View().replaceEdit());  // plain Enter in either edit searches

    EXPECT_EQ(Stored(other_).content, "beta zzz") << "saved before the search";
    EXPECT_EQ(HitIds(), (std::vector<int64_t>{plan_, titleOnly_, other_, hidden_}));
    EXPECT_EQ(View().statusText(), Text(IDS_MATCH_COUNT, L"4", L"3"));
    EXPECT_FALSE(View().noMatch());

    // The first keystroke afterwards clears the count, while the list keeps its hits.
    TypeQuery(L"BETAX");
    EXPECT_TRUE(View().statusText().empty());
    EXPECT_EQ(ListCount(), 4);
}

// The search and the count read the file mapped right after their save. Typed text that could not be
// saved keeps them reading through the file API, so a failing disk cannot take that text with it.
TEST_F(MainWindowGlobalSearchTest, SearchAndCountReadMappedOnlyAfterASaveThatWentThrough) {
    StartWithNotes();
    MapProbe probe(db->handle());
    ASSERT_TRUE(probe.installed());
    const auto all = [](const std::vector<int64_t>& limits, int64_t expected) {
        return !limits.empty() && std::all_of(limits.begin(), limits.end(), [&](int64_t l) { return l == expected; });
    };
    Type("beta ");
    main->ShowGlobalView(Mode::Replace);
    TypeQuery(L"beta");
    PressEnterIn(View().queryEdit());
    EXPECT_EQ(HitIds(), (std::vector<int64_t>{plan_, titleOnly_, other_, hidden_}));
    EXPECT_EQ(View().statusText(), Text(IDS_MATCH_COUNT, L"4", L"3"));
    EXPECT_TRUE(all(probe.reads, kMappedReadBytes)) << testing::PrintToString(probe.reads);
    EXPECT_TRUE(all(probe.writes, 0)) << "the save before: " << testing::PrintToString(probe.writes);
    EXPECT_EQ(MapLimit(db->handle()), 0);

    main->workspace->saveFailureReported = true;  // the failure was told already: no dialog now
    Type("beta ");
    Exec("CREATE TRIGGER refuse BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END");
    probe.Clear();
    PressEnterIn(View().queryEdit());
    Exec("DROP TRIGGER refuse");
    EXPECT_TRUE(main->status.saveFailed());
    EXPECT_EQ(HitIds().size(), 4u);
    EXPECT_TRUE(all(probe.reads, 0)) << testing::PrintToString(probe.reads);
}

// The replace in all notes holds the window twice, for its count and for the replace: the count reads
// the file mapped after its save, as the search does, and both show the wait cursor over the whole
// window, the editor included, which is gone again when the question and the result come.
TEST_F(MainWindowGlobalSearchTest, ReplaceAllCountsMappedAndShowsTheWaitCursorWhileItWorks) {
    StartWithNotes();
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    // The cursor of the thread and the one the editor chooses under the pointer.
    const auto cursors = [&] {
        const HCURSOR thread = GetCursor();
        SendMessageW(main->editor.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(main->editor.hwnd()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        const HCURSOR overEditor = GetCursor();
        SetCursor(thread);
        return std::make_pair(thread, overEditor);
    };
    main->ShowGlobalView(Mode::Replace);
    TypeQuery(L"beta");
    TypeReplacement(L"delta");
    Type("beta ");  // the replace's own save has this to write
    MapProbe probe(db->handle());
    ASSERT_TRUE(probe.installed());

    // Statements call the progress handler as they run: a moment inside the count and the replace.
    struct Seen {
        std::vector<std::pair<HCURSOR, HCURSOR>> counting, replacing;
        std::optional<std::pair<HCURSOR, HCURSOR>> atQuestion;
    } seen;
    std::vector<int64_t> countReads;
    std::function<void()> onStep = [&] { (seen.atQuestion ? seen.replacing : seen.counting).push_back(cursors()); };
    sqlite3_progress_handler(
        db->handle(), 1,
        [](void* context) {
            (*static_cast<std::function<void()>*>(context))();
            return 0;
        },
        &onStep);
    main->confirm = [&](const std::wstring& text) {
        questions_.push_back(text);
        seen.atQuestion = cursors();
        countReads = probe.reads;
        return true;
    };
    main->ReplaceInAllNotes();
    sqlite3_progress_handler(db->handle(), 0, nullptr, nullptr);

    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], ConfirmReplaceAllText(GetModuleHandleW(nullptr), ReplaceCount{4, 3}));
    EXPECT_EQ(View().statusText(), Text(IDS_REPLACED_ALL, L"4", L"3"));
    EXPECT_EQ(Stored(other_).content, "delta zzz");
    // The save before the count wrote through the file API; the count read mapped.
    ASSERT_FALSE(countReads.empty());
    EXPECT_TRUE(std::all_of(countReads.begin(), countReads.end(), [](int64_t l) { return l == kMappedReadBytes; }))
        << testing::PrintToString(countReads);

    const auto waited = [&](const std::vector<std::pair<HCURSOR, HCURSOR>>& moments) {
        return std::count(moments.begin(), moments.end(), std::make_pair(wait, wait)) > 0;
    };
    EXPECT_TRUE(waited(seen.counting)) << "the count showed no wait cursor";
    EXPECT_TRUE(waited(seen.replacing)) << "the replace showed no wait cursor";
    ASSERT_TRUE(seen.atQuestion);
    EXPECT_NE(seen.atQuestion->first, wait) << "the question was asked under the wait cursor";
    EXPECT_NE(seen.atQuestion->second, wait);
    const auto after = cursors();
    EXPECT_NE(after.first, wait);
    EXPECT_NE(after.second, wait);
}

TEST_F(MainWindowGlobalSearchTest, NothingFoundFlagsTheQueryUntilTheNextKeystroke) {
    StartWithNotes();
    main->ShowGlobalView(Mode::Replace);
    main->RunGlobalCount(L"no such words");
    EXPECT_TRUE(main->globalHits.empty());
    EXPECT_EQ(ListCount(), 0);
    EXPECT_TRUE(View().noMatch());
    EXPECT_EQ(View().statusText(), Text(IDS_NO_MATCHES));

    TypeQuery(L"no such word");
    EXPECT_FALSE(View().noMatch());
    EXPECT_TRUE(View().statusText().empty());
}

TEST_F(MainWindowGlobalSearchTest, AnEmptyQueryEmptiesTheListWithoutSaving) {
    StartWithNotes();
    main->RunGlobalCount(L"beta");  // opens the view by itself
    ASSERT_TRUE(main->globalView);
    EXPECT_TRUE(main->globalViewShown);
    ASSERT_EQ(ListCount(), 3);

    Type("unsaved ");
    main->ShowGlobalView(Mode::Replace);
    main->RunGlobalCount(L"");
    EXPECT_TRUE(main->globalHits.empty());
    EXPECT_EQ(ListCount(), 0);
    EXPECT_TRUE(View().statusText().empty());
    EXPECT_FALSE(View().noMatch());
    EXPECT_EQ(Stored(other_).content, "zzz");
}

TEST_F(MainWindowGlobalSearchTest, AFailedSearchClaimsNeitherHitsNorTheirAbsence) {
    StartWithNotes();
    main->ShowGlobalView(Mode::Replace);
    main->RunGlobalCount(L"beta");
    ASSERT_EQ(ListCount(), 3);
    main->SaveNow(SaveReason::UserSave);  // nothing is left to save, so no save runs into the failure

    // Every statement of the connection is interrupted from here on.
    sqlite3_progress_handler(
        db->handle(), 1, [](void*) { return 1; }, nullptr);
    main->RunGlobalCount(L"alpha");
    sqlite3_progress_handler(db->handle(), 0, nullptr, nullptr);

    EXPECT_TRUE(main->globalHits.empty());
    EXPECT_EQ(ListCount(), 0);
    EXPECT_FALSE(View().noMatch()) << "a failure is not \"nothing found\"";
    EXPECT_TRUE(View().statusText().empty()) << "no count, not \"0件\"";
    // The user is told that the search itself failed, once.
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_SEARCH_UNREADABLE));
}

TEST_F(MainWindowGlobalSearchTest, OpeningAContentHitSelectsItsFirstMatchIgnoringCase) {
    StartWithNotes();
    main->RunGlobalCount(L"beta");
    main->OpenGlobalHit(0);

    EXPECT_EQ(workspace->currentNoteId, plan_);
    EXPECT_EQ(main->sidebar.GetSelection(), (TreeItemKey{false, plan_}));
    EXPECT_EQ(call().SelectionStart(), 6);
    EXPECT_EQ(call().SelectionEnd(), 10);
    EXPECT_EQ(main->findQuery, L"beta");
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_TRUE(main->globalViewShown) << "the view stays; the tree only follows behind it";

    // F3 goes on to the next one in the note.
    main->FindNext(true);
    EXPECT_EQ(call().SelectionStart(), 18);
}

TEST_F(MainWindowGlobalSearchTest, OpeningATitleHitKeepsTheSavedCaret) {
    StartWithNotes();
    main->RunGlobalCount(L"beta");
    main->OpenGlobalHit(1);
    EXPECT_EQ(workspace->currentNoteId, titleOnly_);
    EXPECT_EQ(call().CurrentPos(), 3);
    EXPECT_EQ(call().Anchor(), 3);
}

TEST_F(MainWindowGlobalSearchTest, OpeningAHitInACollapsedProjectExpandsIt) {
    StartWithNotes();
    ASSERT_FALSE(TreeRowExpanded(closed_));
    main->RunGlobalCount(L"beta");
    main->OpenGlobalHit(2);
    EXPECT_EQ(workspace->currentNoteId, hidden_);
    EXPECT_TRUE(workspace->tree.FindProject(closed_)->expanded);
    EXPECT_TRUE(TreeRowExpanded(closed_));
    EXPECT_EQ(main->sidebar.GetSelection(), (TreeItemKey{false, hidden_}));
    EXPECT_EQ(call().SelectionStart(), 4);
}

// A hit whose note can no longer be read (its row went after the search) is reported, and the open
// note with the sidebar's selection on it stays as it was.
TEST_F(MainWindowGlobalSearchTest, OpeningAHitThatCannotBeReadSaysSoAndKeepsTheOpenNote) {
    StartWithNotes();
    main->RunGlobalCount(L"beta");
    ASSERT_EQ(HitIds(), (std::vector<int64_t>{plan_, titleOnly_, hidden_}));
    Exec("DELETE FROM notes WHERE id = " + std::to_string(plan_));
    main->OpenGlobalHit(0);
    EXPECT_EQ(workspace->currentNoteId, other_);
    EXPECT_EQ(main->sidebar.GetSelection(), (TreeItemKey{false, other_}));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_NOTE_UNREADABLE, L"Plan"));
}

TEST_F(MainWindowGlobalSearchTest, AHitIndexOutsideTheListIsIgnored) {
    StartWithNotes();
    main->RunGlobalCount(L"beta");
    for (int index : {-1, 3, 1000}) {
        main->OpenGlobalHit(index);
        EXPECT_EQ(workspace->currentNoteId, other_) << index;
    }
}

TEST_F(MainWindowGlobalSearchTest, ConfirmedReplaceRewritesEveryNoteAndSaysHowMany) {
    StartWithNotes();
    main->ShowGlobalView(Mode::Replace);
    TypeQuery(L"beta");
    TypeReplacement(L"delta");
    PressEnterIn(View().queryEdit());
    ASSERT_EQ(ListCount(), 3);

    SendMessageW(View().replaceAllButton(), BM_CLICK, 0, 0);
    Pump();

    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], ConfirmReplaceAllText(GetModuleHandleW(nullptr), ReplaceCount{3, 2}));
    EXPECT_EQ(Stored(plan_).content, "alpha delta\r\ngamma delta");
    EXPECT_EQ(Stored(hidden_).content, "one delta");
    EXPECT_EQ(Stored(titleOnly_).title, "Beta notes") << "titles are never replaced";
    EXPECT_TRUE(main->globalHits.empty());
    EXPECT_EQ(ListCount(), 0);
    EXPECT_FALSE(View().noMatch());
    EXPECT_EQ(View().statusText(), Text(IDS_REPLACED_ALL, L"3", L"2"));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowGlobalSearchTest, DeclinedReplaceChangesNothing) {
    StartWithNotes();
    answer_ = false;
    main->ShowGlobalView(Mode::Replace);
    TypeQuery(L"beta");
    TypeReplacement(L"delta");
    main->OnGlobalViewAction(Action::ReplaceAll, -1);

    EXPECT_EQ(questions_.size(), 1u);
    EXPECT_EQ(Stored(plan_).content, "alpha BETA\r\ngamma beta");
    EXPECT_EQ(Stored(hidden_).content, "one beta");
    EXPECT_TRUE(View().statusText().empty());
}

TEST_F(MainWindowGlobalSearchTest, ReplaceWithoutAMatchAsksNothing) {
    StartWithNotes();
    main->ShowGlobalView(Mode::Replace);
    TypeQuery(L"Beta notes");  // only a title holds it
    main->ReplaceInAllNotes();
    EXPECT_TRUE(questions_.empty());
    EXPECT_EQ(View().statusText(), Text(IDS_NO_MATCHES));
    EXPECT_TRUE(View().noMatch());

    // Search mode has no replace at all.
    main->ShowGlobalView(Mode::Search);
    TypeQuery(L"beta");
    main->ReplaceInAllNotes();
    EXPECT_TRUE(questions_.empty());
}

TEST_F(MainWindowGlobalSearchTest, ReplaceStopsWhenTheOpenNoteCannotBeSaved) {
    StartWithNotes();
    main->ShowGlobalView(Mode::Replace);
    TypeQuery(L"beta");
    TypeReplacement(L"delta");
    Type("beta ");
    Exec("CREATE TRIGGER refuse BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END");

    main->ReplaceInAllNotes();
    Exec("DROP TRIGGER refuse");

    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_REPLACE_ALL_NOT_SAVED));
    EXPECT_TRUE(questions_.empty());
    EXPECT_TRUE(main->status.saveFailed());
    EXPECT_EQ(Stored(plan_).content, "alpha BETA\r\ngamma beta");
    EXPECT_EQ(Stored(other_).content, "zzz");
    EXPECT_EQ(EditorText(), "beta zzz") << "the unsaved text stays in the editor";
}

TEST_F(MainWindowGlobalSearchTest, AFailedReplaceIsReportedAndKeepsTheTexts) {
    StartWithNotes();
    main->ShowGlobalView(Mode::Replace);
    TypeQuery(L"beta");
    TypeReplacement(L"delta");
    // The save before finds nothing to write; the rewrite itself is refused.
    Exec("CREATE TRIGGER refuse BEFORE UPDATE OF content ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END");
    main->ReplaceInAllNotes();
    Exec("DROP TRIGGER refuse");

    EXPECT_EQ(questions_.size(), 1u);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], Text(IDS_REPLACE_ALL_FAILED));
    EXPECT_EQ(Stored(plan_).content, "alpha BETA\r\ngamma beta");
    EXPECT_TRUE(View().statusText().empty());
}

TEST_F(MainWindowGlobalSearchTest, AHitOpenedAfterItsNoteChangedSelectsWhereTheTextIsNow) {
    StartWithNotes();
    main->RunGlobalCount(L"zzz");
    ASSERT_EQ(HitIds(), (std::vector<int64_t>{other_}));
    // The open note changes after the search: shorter, with multi-byte text before the match.
    call().SetText("\xE6\x97\xA5\xE6\x9C\xAC ZZZ");
    main->OpenGlobalHit(0);
    EXPECT_EQ(call().SelectionStart(), 7);
    EXPECT_EQ(call().SelectionEnd(), 10);

    // Gone from the text altogether: nothing is selected, and the positions stay inside it.
    call().SetText("\xE6\x97\xA5");
    main->OpenGlobalHit(0);
    EXPECT_EQ(call().SelectionStart(), 0);
    EXPECT_EQ(call().SelectionEnd(), 0);
}

TEST_F(MainWindowGlobalSearchTest, AnEditorFailureWhileOpeningAHitFromTheListIsCleared) {
    StartWithNotes();
    main->RunGlobalCount(L"zzz");
    ASSERT_EQ(ListCount(), 1);
    SendMessageW(View().resultList(), LB_SETCURSEL, 0, 0);
    // Every editor call now throws; the hit is opened from the list's own window procedure, which
    // the main window's guard does not cover.
    SendMessageW(main->editor.hwnd(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
    SendMessageW(View().resultList(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    ASSERT_EQ(SendMessageW(main->editor.hwnd(), SCI_GETSTATUS, 0, 0), SC_STATUS_OK);

    // So the next save is not reported as failed.
    Type("more ");
    main->SaveNow(SaveReason::UserSave);
    EXPECT_FALSE(main->status.saveFailed());
    EXPECT_EQ(Stored(other_).content, "more zzz");
}

}  // namespace
}  // namespace lq::test
