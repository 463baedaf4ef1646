// The real program on a file where one note's stored text cannot be read (a page of its text
// garbled, as a failing disk leaves it) while the sidebar still lists it: starting on that note,
// choosing it, stepping through the notes and searching all of them each say so once, the sidebar
// keeps pointing at the note that is open, typing goes there, and nothing is written over the
// damaged note.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EndToEndDatabase.h"
#include "EndToEndInput.h"
#include "ProgramFile.h"
#include "ProgramRun.h"
#include "resources/ResourceIds.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/SettingsStore.h"
#include "support/FileBytes.h"
#include "support/StoreDatabase.h"
#include "support/SystemInput.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

using test::ProgramRun;
using test::ProgramString;
using test::ProgramWindows;

// Long enough to run over several overflow pages; one byte value that nothing else in the file has
// in a whole page.
constexpr char kBrokenByte = 'Q';
constexpr size_t kBrokenLength = 5 * test::kDatabasePageSize;

// Project "Inbox" with A, Broken and C in this order; the program starts on A.
struct DamagedFile {
    int64_t a = 0;
    int64_t broken = 0;
    int64_t c = 0;
    size_t damagedPage = 0;
    std::string damagedBytes;  // that page as damaged
};

// An overflow page of Broken's text: after its 4-byte link to the next page, nothing but the text.
bool IsBrokenTextPage(std::string_view page) {
    return page.substr(4).find_first_not_of(kBrokenByte) == std::string_view::npos;
}

void MakeFileWithUnreadableNote(const std::wstring& path, DamagedFile& file) {
    {
        std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr);
        const std::optional<int64_t> project = ProjectStore(*db).InsertProject("Inbox", 1);
        ASSERT_TRUE(project);
        const auto add = [&](const char* title, const std::string& content) {
            const std::optional<int64_t> id = NoteStore(*db).InsertNote(*project, title, 1);
            EXPECT_TRUE(id && NoteStore(*db).SaveNote(*id, content, NoteViewState{}, 1));
            return id.value_or(0);
        };
        file.a = add("A", "alpha");
        file.broken = add("Broken", std::string(kBrokenLength, kBrokenByte));
        file.c = add("C", "gamma");
        ASSERT_TRUE(SettingsStore(*db).SetSetting("last.note_id", std::to_string(file.a)));
    }
    // The second of the text's overflow pages: its link is garbled with it, so the text ends nowhere.
    const std::optional<std::string> bytes = test::ReadFileBytes(path);
    ASSERT_TRUE(bytes);
    size_t seen = 0;
    for (size_t page = 1; page * test::kDatabasePageSize < bytes->size(); ++page) {
        const std::string_view view(bytes->data() + page * test::kDatabasePageSize, test::kDatabasePageSize);
        if (IsBrokenTextPage(view) && ++seen == 2) file.damagedPage = page;
    }
    ASSERT_NE(file.damagedPage, 0u) << "no overflow pages of the long note";
    ASSERT_TRUE(test::DamageDatabasePages(path, file.damagedPage, 1));
    const std::optional<std::string> damaged = test::ReadFileBytes(path);
    ASSERT_TRUE(damaged);
    file.damagedBytes = damaged->substr(file.damagedPage * test::kDatabasePageSize, test::kDatabasePageSize);

    // The sidebar can list the note; its text cannot be read; the others can.
    std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr);
    const std::optional<std::vector<NoteListRow>> listed = NoteStore(*db).ListNotes();
    ASSERT_TRUE(listed) << "the listing must still work";
    ASSERT_EQ(listed->size(), 3u);
    ASSERT_FALSE(NoteStore(*db).GetNoteForEditor(file.broken)) << "the damaged note must be unreadable";
    ASSERT_TRUE(NoteStore(*db).GetNoteForEditor(file.a));
    ASSERT_TRUE(NoteStore(*db).GetNoteForEditor(file.c));
}

HTREEITEM TreeItem(HWND tree, UINT relation, HTREEITEM from = nullptr) {
    return reinterpret_cast<HTREEITEM>(
        test::SendQuery(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)).value_or(0));
}

// The sidebar's rows of the three notes, in order.
struct NoteRows {
    HTREEITEM a = nullptr;
    HTREEITEM broken = nullptr;
    HTREEITEM c = nullptr;
};

NoteRows FindNoteRows(HWND tree) {
    NoteRows rows;
    rows.a = TreeItem(tree, TVGN_CHILD, TreeItem(tree, TVGN_ROOT));
    rows.broken = TreeItem(tree, TVGN_NEXT, rows.a);
    rows.c = TreeItem(tree, TVGN_NEXT, rows.broken);
    return rows;
}

std::wstring CaptionOf(const wchar_t* title) {
    return std::wstring(L"Inbox / ") + title + L" \u2014 Lanternquill";
}

class EndToEndUnreadableNoteTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MakeFileWithUnreadableNote(path, file));
        const std::optional<ProgramWindows> found = test::StartInFront(run, path);
        ASSERT_TRUE(found);
        windows = *found;
        rows = FindNoteRows(windows.tree);
        ASSERT_NE(rows.c, nullptr) << "the sidebar does not list the three notes";
        ASSERT_EQ(test::Caption(windows.main), CaptionOf(L"A"));
    }

    void TearDown() override { test::ReleaseTestKeys(); }

    // The one message about the damaged note, answered; and no second one.
    void ExpectToldOnceThatTheNoteIsUnreadable() {
        const HWND message = run->WaitForDialog(10000);
        ASSERT_NE(message, nullptr) << "the user was not told that the note cannot be read";
        std::wstring text = ProgramString(IDS_NOTE_UNREADABLE);
        ASSERT_NE(text.find(L"%1"), std::wstring::npos);
        test::ExpectDialogShows(message, text.replace(text.find(L"%1"), 2, L"Broken"));
        test::PressTaskDialogButton(message, IDOK);
        ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(message); }));
        EXPECT_EQ(run->WaitForDialog(1000), nullptr) << "told more than once";
    }

    HTREEITEM SelectedRow() const { return TreeItem(windows.tree, TVGN_CARET); }

    // Keys for the sidebar: opening a note hands the focus to the editor, F6 brings it back.
    void FocusSidebar() {
        if (test::FocusOnThreadOf(windows.main) != windows.tree) {
            ASSERT_TRUE(test::PressChord({VK_F6}));
        }
        ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOnThreadOf(windows.main) == windows.tree; }))
            << "the sidebar did not take the focus";
    }

    // The middle of the label of the sidebar's row `index` (0 is the project's; rows are 28 DIP).
    POINT RowPoint(int index) const {
        const int rowHeight = MulDiv(28, static_cast<int>(GetDpiForWindow(windows.tree)), 96);
        POINT point{rowHeight * 3, rowHeight * index + rowHeight / 2};
        ClientToScreen(windows.tree, &point);
        return point;
    }

    // A real click (or right-click) on the middle of the row `index`.
    void ClickRow(int index, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
        const POINT point = RowPoint(index);
        ASSERT_TRUE(test::SendMouseAt(point));
        ASSERT_TRUE(test::SendMouseAt(point, down));
        ASSERT_TRUE(test::SendMouseAt(point, up));
    }

    void RightClickRow(int index) { ClickRow(index, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }

    // Right-clicks the damaged row, answers the message about it and chooses the entry `index` (from
    // 0) of the context menu that then opens, with the keys, as the user can. Under Wine the menu
    // opened right after the message can be closed again by the window manager's late activation
    // of the main window: the user would right-click again, and so does this.
    void ChooseFromBrokenRowsMenu(int index) {
        HWND menu = nullptr;
        for (int attempt = 0; attempt < 3 && menu == nullptr; ++attempt) {
            ASSERT_NO_FATAL_FAILURE(RightClickRow(2));
            ASSERT_NO_FATAL_FAILURE(ExpectToldOnceThatTheNoteIsUnreadable());
            test::WaitUntil([&] { return (menu = test::FindOpenMenu(run->processId())) != nullptr; }, 3000);
        }
        ASSERT_NE(menu, nullptr) << "no context menu opened";
        ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(menu, index));
    }

    void ChooseFromMenu(HWND menu, int index) {
        for (int i = 0; i <= index; ++i) ASSERT_TRUE(test::SendKeys({VK_DOWN}));
        ASSERT_TRUE(test::SendKeys({VK_RETURN}));
        ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(menu); }));
    }

    // The one message `id` about `name` (its "%1"), answered.
    void ExpectToldAbout(UINT id, const std::wstring& name = L"Broken") {
        const HWND message = run->WaitForDialog(10000);
        ASSERT_NE(message, nullptr) << "the user was not told (" << id << ")";
        std::wstring text = ProgramString(id);
        ASSERT_NE(text.find(L"%1"), std::wstring::npos);
        test::ExpectDialogShows(message, text.replace(text.find(L"%1"), 2, name));
        test::PressTaskDialogButton(message, IDOK);
        ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(message); }));
    }

    // The notes the file lists once the program has closed, titles in order.
    std::vector<std::string> StoredTitles() const {
        std::vector<std::string> titles;
        std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
        if (db == nullptr) return titles;
        const std::optional<std::vector<NoteListRow>> listed = NoteStore(*db).ListNotes();
        if (!listed) return titles;
        for (const NoteListRow& row : *listed) titles.push_back(row.title);
        return titles;
    }

    // Closes the program, which must end well.
    void CloseProgram() {
        PostMessageW(windows.main, WM_CLOSE, 0, 0);
        ASSERT_EQ(run->Wait(30000), std::optional<DWORD>(0));
    }

    // The program has ended: the damaged page holds what it held.
    void ExpectDamagedPageAsItWas() const {
        const std::optional<std::string> bytes = test::ReadFileBytes(path);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->substr(file.damagedPage * test::kDatabasePageSize, test::kDatabasePageSize), file.damagedBytes)
            << "something was written over the damaged note";
    }

    // Closes the program; A holds `expectedA`, C `expectedC`, and the damaged page is as it was.
    void CloseAndExpectStored(const std::string& expectedA, const std::string& expectedC = "gamma") {
        ASSERT_NO_FATAL_FAILURE(CloseProgram());
        EXPECT_EQ(test::ReadNoteContent(path, file.a), std::optional<std::string>(expectedA));
        EXPECT_EQ(test::ReadNoteContent(path, file.c), std::optional<std::string>(expectedC));
        ExpectDamagedPageAsItWas();
        EXPECT_FALSE(test::ReadNoteContent(path, file.broken));
    }

    test::TempFolder folder;
    std::wstring path = folder.File(L"memo.db");
    DamagedFile file;
    std::unique_ptr<ProgramRun> run;
    ProgramWindows windows;
    NoteRows rows;
};

TEST_F(EndToEndUnreadableNoteTest, ClickingTheNoteSaysSoAndTheSidebarStaysOnTheOpenNoteThatTypingGoesTo) {
    ASSERT_NO_FATAL_FAILURE(ClickRow(2));  // Broken's
    ASSERT_NO_FATAL_FAILURE(ExpectToldOnceThatTheNoteIsUnreadable());

    EXPECT_TRUE(test::WaitUntil([&] { return SelectedRow() == rows.a; })) << "the sidebar points at another note";
    EXPECT_EQ(test::Caption(windows.main), CaptionOf(L"A"));
    EXPECT_EQ(test::QueryText(windows.editor), L"alpha");

    test::PostCharacters(windows.editor, L"q");
    EXPECT_TRUE(test::WaitUntil([&] { return test::ReadNoteContent(path, file.a) == "qalpha"; }));
    EXPECT_EQ(SelectedRow(), rows.a);
    CloseAndExpectStored("qalpha");
}

TEST_F(EndToEndUnreadableNoteTest, CtrlTabPassesOverTheNoteBothWaysAndSaysSoOnce) {
    ASSERT_TRUE(test::PressChord({VK_CONTROL, VK_TAB}));
    ASSERT_NO_FATAL_FAILURE(ExpectToldOnceThatTheNoteIsUnreadable());
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"C"); }));
    EXPECT_EQ(test::QueryText(windows.editor), L"gamma");
    EXPECT_EQ(SelectedRow(), rows.c);

    ASSERT_TRUE(test::BringToFront(windows.main));
    ASSERT_TRUE(test::PressChord({VK_CONTROL, VK_SHIFT, VK_TAB}));
    ASSERT_NO_FATAL_FAILURE(ExpectToldOnceThatTheNoteIsUnreadable());
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"A"); }));
    EXPECT_EQ(SelectedRow(), rows.a);

    test::PostCharacters(windows.editor, L"q");
    EXPECT_TRUE(test::WaitUntil([&] { return test::ReadNoteContent(path, file.a) == "qalpha"; }));
    CloseAndExpectStored("qalpha");
}

// The text the user is told when the damaged note was passed over.
std::wstring PassedOverBroken() {
    std::wstring text = ProgramString(IDS_NOTE_PASSED_OVER);
    return text.replace(text.find(L"%1"), 2, L"Broken");
}

TEST_F(EndToEndUnreadableNoteTest, SearchingAllNotesListsTheReadableOnesAndNamesTheDamagedNoteOnce) {
    ASSERT_TRUE(test::PressChord({VK_CONTROL, VK_SHIFT, 'F'}));
    HWND query = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] {
        query = test::FocusOnThreadOf(windows.main);
        return query != nullptr && query != windows.editor;
    })) << "Ctrl+Shift+F did not open the search view";
    const HWND list = test::FindDescendant(windows.main, L"ListBox");
    ASSERT_NE(list, nullptr);

    // Text that lives only in the two healthy notes (and A's title).
    test::PostCharacters(query, L"a");
    test::PostKey(query, VK_RETURN);
    const HWND message = run->WaitForDialog(10000);
    ASSERT_NE(message, nullptr) << "the user was not told that a note was passed over";
    test::ExpectDialogShows(message, PassedOverBroken());
    test::PressTaskDialogButton(message, IDOK);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(message); }));
    EXPECT_EQ(run->WaitForDialog(1000), nullptr) << "told more than once";
    EXPECT_EQ(test::SendQuery(list, LB_GETCOUNT), std::optional<LRESULT>(2)) << "the healthy notes are not listed";
    CloseAndExpectStored("alpha");
}

// A context menu's command acts on the row it was opened for. On the damaged row the selection has
// gone back to the open note by the time the menu opens; deleting or renaming must not reach A.
TEST_F(EndToEndUnreadableNoteTest, DeletingTheNoteFromItsContextMenuSaysWhyItCannotAndLeavesTheOpenNote) {
    ASSERT_NO_FATAL_FAILURE(ChooseFromBrokenRowsMenu(2));  // 新しいメモ, 名前を変更, 削除
    // Its pages cannot even be freed: the user hears why, and nothing is deleted.
    ASSERT_NO_FATAL_FAILURE(ExpectToldAbout(IDS_UNREADABLE_NOT_DELETED));
    EXPECT_EQ(run->WaitForDialog(1000), nullptr) << "told more than once";

    EXPECT_EQ(test::Caption(windows.main), CaptionOf(L"A"));
    EXPECT_EQ(test::QueryText(windows.editor), L"alpha");
    EXPECT_EQ(SelectedRow(), rows.a);
    EXPECT_EQ(FindNoteRows(windows.tree).broken, rows.broken);
    CloseAndExpectStored("alpha");
    EXPECT_EQ(StoredTitles(), (std::vector<std::string>{"A", "Broken", "C"}));
}

TEST_F(EndToEndUnreadableNoteTest, RenamingTheNoteFromItsContextMenuSaysWhyItCannotAndRenamesNothing) {
    ASSERT_NO_FATAL_FAILURE(ChooseFromBrokenRowsMenu(1));
    HWND labelEdit = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] {
        labelEdit = reinterpret_cast<HWND>(test::SendQuery(windows.tree, TVM_GETEDITCONTROL).value_or(0));
        return labelEdit != nullptr;
    })) << "no label edit opened";
    EXPECT_EQ(test::QueryText(labelEdit), L"Broken") << "the edit is not on the damaged row";
    ASSERT_TRUE(test::TypeThroughInput(L"Renamed\n"));
    ASSERT_NO_FATAL_FAILURE(ExpectToldAbout(IDS_UNREADABLE_NOT_RENAMED));

    EXPECT_TRUE(test::WaitUntil([&] { return SelectedRow() == rows.a; })) << "the sidebar points at another note";
    EXPECT_EQ(test::Caption(windows.main), CaptionOf(L"A"));
    CloseAndExpectStored("alpha");
    EXPECT_EQ(StoredTitles(), (std::vector<std::string>{"A", "Broken", "C"}));
}

// A healthy row right-clicked while another is selected: its command acts on it, and the note that
// opens in its place is one that can be read.
TEST_F(EndToEndUnreadableNoteTest, DeletingAnotherNoteFromItsContextMenuDeletesThatNote) {
    ASSERT_EQ(SelectedRow(), rows.a);
    ASSERT_NO_FATAL_FAILURE(RightClickRow(3));
    HWND menu = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] { return (menu = test::FindOpenMenu(run->processId())) != nullptr; }))
        << "no context menu opened";
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenu(menu, 2));
    EXPECT_TRUE(test::WaitUntil([&] { return FindNoteRows(windows.tree).c == nullptr; })) << "C is still listed";
    // C was last: the note before it cannot be read, so A, before that, opens in its place.
    ASSERT_NO_FATAL_FAILURE(ExpectToldOnceThatTheNoteIsUnreadable());
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"A"); }));
    EXPECT_EQ(SelectedRow(), rows.a);
    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    EXPECT_EQ(StoredTitles(), (std::vector<std::string>{"A", "Broken"}));
    EXPECT_EQ(test::ReadNoteContent(path, file.a), std::optional<std::string>("alpha"));
    ExpectDamagedPageAsItWas();
}

// Deleting A, beside the damaged note, opens the next note that can be read and says why it passed
// over Broken.
TEST_F(EndToEndUnreadableNoteTest, DeletingTheNoteBesideItOpensTheNextNoteThatCanBeRead) {
    ASSERT_NO_FATAL_FAILURE(FocusSidebar());
    ASSERT_TRUE(test::PressChord({VK_DELETE}));
    ASSERT_NO_FATAL_FAILURE(ExpectToldOnceThatTheNoteIsUnreadable());
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"C"); }));
    EXPECT_EQ(test::QueryText(windows.editor), L"gamma");
    EXPECT_EQ(SelectedRow(), rows.c);

    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    EXPECT_EQ(StoredTitles(), (std::vector<std::string>{"Broken", "C"}));
    EXPECT_EQ(test::ReadNoteContent(path, file.c), std::optional<std::string>("gamma"));
    ExpectDamagedPageAsItWas();
}

// Its project cannot be deleted either (the damaged row can be neither kept for undo nor freed): the
// user is told so once instead of seeing nothing happen, and every note stays.
TEST_F(EndToEndUnreadableNoteTest, DeletingItsProjectSaysItCouldNotAndKeepsEveryNote) {
    ASSERT_NO_FATAL_FAILURE(FocusSidebar());
    ASSERT_TRUE(test::PressChord({VK_HOME}));
    ASSERT_TRUE(test::WaitUntil([&] { return SelectedRow() == TreeItem(windows.tree, TVGN_ROOT); }));
    ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOnThreadOf(windows.main) == windows.tree; }));
    ASSERT_TRUE(test::PressChord({VK_DELETE}));
    ASSERT_NO_FATAL_FAILURE(ExpectToldAbout(IDS_DELETE_FAILED, L"Inbox"));
    EXPECT_EQ(run->WaitForDialog(1000), nullptr) << "told more than once";
    EXPECT_EQ(FindNoteRows(windows.tree).broken, rows.broken);
    CloseAndExpectStored("alpha");
    EXPECT_EQ(StoredTitles(), (std::vector<std::string>{"A", "Broken", "C"}));
}

// The arrows in the sidebar pass over the damaged note both ways; a message the first time, no
// dialog at the later passes.
TEST_F(EndToEndUnreadableNoteTest, TheArrowsPassOverTheNoteBothWaysAndSaySoOnce) {
    ASSERT_NO_FATAL_FAILURE(FocusSidebar());
    ASSERT_TRUE(test::PressChord({VK_DOWN}));
    ASSERT_NO_FATAL_FAILURE(ExpectToldOnceThatTheNoteIsUnreadable());
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"C"); }));
    EXPECT_EQ(SelectedRow(), rows.c);

    ASSERT_TRUE(test::BringToFront(windows.main));
    ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOnThreadOf(windows.main) == windows.tree; }));
    ASSERT_TRUE(test::PressChord({VK_UP}));
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"A"); }));
    EXPECT_EQ(SelectedRow(), rows.a);
    ASSERT_TRUE(test::PressChord({VK_DOWN}));
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"C"); }));
    EXPECT_EQ(run->WaitForDialog(1000), nullptr) << "told again at a later press";

    test::PostCharacters(windows.editor, L"q");
    EXPECT_TRUE(test::WaitUntil([&] { return test::ReadNoteContent(path, file.c) == "qgamma"; }));
    ASSERT_NO_FATAL_FAILURE(CloseProgram());
    EXPECT_EQ(test::ReadNoteContent(path, file.a), std::optional<std::string>("alpha"));
    ExpectDamagedPageAsItWas();
}

TEST_F(EndToEndUnreadableNoteTest, ReplacingInAllNotesRewritesTheReadableOnesAndNamesTheDamagedNoteOnce) {
    HWND question = nullptr;
    ASSERT_NO_FATAL_FAILURE(test::AskToReplaceInAllNotes(*run, windows, L"a", question));
    // Asked once, with the note that is left out named in the question: 2 in alpha, 2 in gamma.
    std::wstring expected = ProgramString(IDS_CONFIRM_REPLACE_ALL);
    expected.replace(expected.find(L"%1"), 2, L"4");
    expected.replace(expected.find(L"%2"), 2, L"2");
    test::ExpectDialogShows(question, expected + L"\n\n" + PassedOverBroken());
    test::PressTaskDialogButton(question, IDS_REPLACE);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(question); }));

    // Replaced by nothing in the healthy notes, committed while the program runs.
    EXPECT_TRUE(test::WaitUntil([&] {
        return test::ReadNoteContent(path, file.a) == "lph" && test::ReadNoteContent(path, file.c) == "gmm";
    })) << "the healthy notes were not replaced";
    EXPECT_EQ(run->WaitForDialog(1000), nullptr) << "told more than once, or the replace failed";
    EXPECT_EQ(test::QueryText(windows.editor), L"lph");
    CloseAndExpectStored("lph", "gmm");
}

// Note D after C; the program starts on A.
class EndToEndUnreadableNoteOrderTest : public EndToEndUnreadableNoteTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MakeFileWithUnreadableNote(path, file));
        {
            std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
            ASSERT_NE(db, nullptr);
            const std::optional<int64_t> id = NoteStore(*db).InsertNote(1, "D", 1);
            ASSERT_TRUE(id && NoteStore(*db).SaveNote(*id, "delta", NoteViewState{}, 1));
            d = *id;
        }
        const std::optional<ProgramWindows> found = test::StartInFront(run, path);
        ASSERT_TRUE(found);
        windows = *found;
        rows = FindNoteRows(windows.tree);
        ASSERT_NE(rows.c, nullptr) << "the sidebar does not list the notes";
        ASSERT_EQ(test::Caption(windows.main), CaptionOf(L"A"));
    }

    // Opens C with a click on its row. The click selects first and hands the focus to the editor once
    // the press is handled, a moment later: a key pressed in between would go to the wrong window.
    void OpenCByClick() {
        ASSERT_NO_FATAL_FAILURE(ClickRow(3));
        ASSERT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"C"); }));
        ASSERT_TRUE(test::WaitUntil([&] { return test::FocusOnThreadOf(windows.main) == windows.editor; }))
            << "the click did not hand the focus to the editor";
    }

    // The notes of "Inbox" in their stored order, read from the index alone (the damaged row's
    // record cannot be read); the program must have ended.
    std::vector<int64_t> StoredOrder() const {
        std::vector<int64_t> ids;
        std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
        if (db == nullptr) return ids;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db->handle(),
                               "SELECT id FROM notes INDEXED BY notes_by_project WHERE project_id = 1 ORDER BY "
                               "sort_order, id",
                               -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(statement, 0));
        }
        sqlite3_finalize(statement);
        return ids;
    }

    int64_t d = 0;
};

TEST_F(EndToEndUnreadableNoteOrderTest, CtrlZBringsBackANoteDeletedBesideTheDamagedOneInItsPlace) {
    ASSERT_NO_FATAL_FAILURE(OpenCByClick());
    ASSERT_NO_FATAL_FAILURE(FocusSidebar());
    ASSERT_TRUE(test::PressChord({VK_DELETE}));
    ASSERT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"D"); }))
        << "deleting C did not go on to D";
    ASSERT_TRUE(test::WaitUntil([&] { return !test::ReadNoteContent(path, file.c); }));

    ASSERT_NO_FATAL_FAILURE(FocusSidebar());
    ASSERT_TRUE(test::PressChord({VK_CONTROL, 'Z'}));
    EXPECT_TRUE(test::WaitUntil([&] { return test::Caption(windows.main) == CaptionOf(L"C"); }))
        << "Ctrl+Z did not bring C back";
    EXPECT_EQ(test::QueryText(windows.editor), L"gamma");
    EXPECT_EQ(run->WaitForDialog(1000), nullptr) << "a message for an undo that worked";
    EXPECT_EQ(TreeItem(windows.tree, TVGN_NEXT, rows.broken), SelectedRow()) << "C is not back after Broken";

    CloseAndExpectStored("alpha");
    EXPECT_EQ(StoredOrder(), (std::vector<int64_t>{file.a, file.broken, file.c, d}));
}

TEST_F(EndToEndUnreadableNoteOrderTest, AltUpMovesANoteAboveTheDamagedOneAndTheOrderIsStored) {
    ASSERT_NO_FATAL_FAILURE(OpenCByClick());
    ASSERT_NO_FATAL_FAILURE(FocusSidebar());
    ASSERT_TRUE(test::PressChord({VK_MENU, VK_UP}));
    EXPECT_TRUE(test::WaitUntil([&] { return TreeItem(windows.tree, TVGN_NEXT, rows.a) == SelectedRow(); }))
        << "C did not move above Broken";
    EXPECT_EQ(run->WaitForDialog(1000), nullptr) << "a message for a move that worked";
    EXPECT_EQ(test::Caption(windows.main), CaptionOf(L"C"));

    CloseAndExpectStored("alpha");
    EXPECT_EQ(StoredOrder(), (std::vector<int64_t>{file.a, file.c, file.broken, d}));
}

// The note the program would start on is the damaged one: it starts on the first note it can read
// instead, says so once, and the sidebar points at the note that is open.
class EndToEndUnreadableStartupNoteTest : public EndToEndUnreadableNoteTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MakeFileWithUnreadableNote(path, file));
        {
            std::unique_ptr<Database> db = test::OpenStoreDatabase(path);
            ASSERT_NE(db, nullptr);
            ASSERT_TRUE(SettingsStore(*db).SetSetting("last.note_id", std::to_string(file.broken)));
        }
        const std::optional<ProgramWindows> found = test::StartInFront(run, path);
        ASSERT_TRUE(found) << "one damaged note kept the program from starting";
        windows = *found;
        rows = FindNoteRows(windows.tree);
        ASSERT_NE(rows.c, nullptr) << "the sidebar does not list the three notes";
    }
};

TEST_F(EndToEndUnreadableStartupNoteTest, TheProgramStartsOnTheFirstNoteItCanReadAndSaysSoOnce) {
    ASSERT_NO_FATAL_FAILURE(ExpectToldOnceThatTheNoteIsUnreadable());
    EXPECT_EQ(test::Caption(windows.main), CaptionOf(L"A"));
    EXPECT_EQ(test::QueryText(windows.editor), L"alpha");
    EXPECT_TRUE(test::WaitUntil([&] { return SelectedRow() == rows.a; })) << "the sidebar points at another note";

    test::PostCharacters(windows.editor, L"q");
    EXPECT_TRUE(test::WaitUntil([&] { return test::ReadNoteContent(path, file.a) == "qalpha"; }));
    CloseAndExpectStored("qalpha");
}

}  // namespace
}  // namespace lq
