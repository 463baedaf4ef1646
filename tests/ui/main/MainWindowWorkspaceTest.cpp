#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstring>

#include "MainWindowFixture.h"
#include "support/OnePassWordIndex.h"

namespace lq::test {
namespace {

// The window's dealings with the attached workspace: word completion's provider and the tree's
// expansion reports.
class MainWindowWorkspaceTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        project = AddProject("Work");
        open = AddNote(project, "Open", "some text");
        AddNote(project, "Zoo", "an elephant and a giraffe");
        SetSetting("last.note_id", std::to_string(open));
    }

    int64_t StoredSortOrder(int64_t noteId) {
        int64_t order = -1;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db->handle(), "SELECT sort_order FROM notes WHERE id = ?1", -1, &statement, nullptr) ==
            SQLITE_OK) {
            sqlite3_bind_int64(statement, 1, noteId);
            if (sqlite3_step(statement) == SQLITE_ROW) order = sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
        return order;
    }

    void TypeChars(const std::wstring& text) {
        for (const wchar_t c : text) TypeChar(c);
    }

    int64_t project = 0;
    int64_t open = 0;
};

TEST_F(MainWindowWorkspaceTest, CompletionLearnsEveryNoteAndTheOpenNotesUnsavedText) {
    Start();
    call().DocumentEnd();
    Type(" zebrafish");  // unsaved: only the editor has it
    FinishWordFill();
    TypeChars(L" ele");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(main->completion.listText(), "elephant");
    TypeChars(L" zeb");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(main->completion.listText(), "zebrafish");

    // Text inserted at once after the index was filled is learned from its modification.
    Type(" kangaroo");
    TypeChars(L" kan");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(main->completion.listText(), "kangaroo");
}

// Keys typed while the index is still being filled are never held up: the list offers what the
// index holds so far, the idle loop goes on filling between keys, and the finished index is what one
// pass over the notes as they are then would give.
TEST_F(MainWindowWorkspaceTest, TypingWhileTheIndexFillsOffersWhatItHoldsAndEndsAsOnePass) {
    // Enough text that one slice of a few milliseconds cannot read it all.
    Exec("BEGIN");
    for (int i = 0; i < 1500; ++i) {
        std::string text = "zebrafish filler" + std::to_string(i) + "word ";
        while (text.size() < 4000) text += "lorem ipsum dolor sit amet " + std::to_string(i) + " ";
        AddNote(project, "n" + std::to_string(i), text);
    }
    AddNote(project, "last", "zeppelin");
    Exec("COMMIT");
    Start();
    ASSERT_TRUE(main->completion.filling()) << "the first paint starts the fill";
    // Idle slices until the first filled note is in: under load a slice of a few milliseconds may
    // read no more than the open note (passed over) or the note after it.
    ASSERT_TRUE(PumpUntil(
        [&] {
            (void)main->RunIdleWork();
            return main->completion.index().CountOf("zebrafish") > 0;
        },
        std::chrono::milliseconds(20000)));
    ASSERT_TRUE(main->completion.filling());

    SetFocus(main->editor.hwnd());
    call().DocumentEnd();
    TypeInLoop(L" ze");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(main->completion.listText(), "zebrafish") << "the last note is not read yet";
    EXPECT_TRUE(main->completion.filling());

    FinishWordFill();
    const std::string unsaved = call().Modify() ? EditorText() : std::string();
    EXPECT_TRUE(SameWords(OnePassWordIndex(db->handle(), unsaved), main->completion.index()));
    TypeInLoop(L"p");
    ASSERT_TRUE(call().AutoCActive());
    EXPECT_EQ(main->completion.listText(), "zeppelin");
}

TEST_F(MainWindowWorkspaceTest, DetachingTheWorkspaceSwitchesCompletionOff) {
    Start();
    main->SetWorkspace(nullptr);
    EXPECT_EQ(main->workspace, nullptr);
    call().DocumentEnd();
    TypeChars(L" ele");
    EXPECT_FALSE(call().AutoCActive());
    // Without a workspace an edit arms no timer either.
    EXPECT_FALSE(AutosaveTimerArmed());
    main->SetWorkspace(&*workspace);
}

TEST_F(MainWindowWorkspaceTest, ExpandingOrCollapsingAProjectIsRecorded) {
    Start();
    ASSERT_TRUE(workspace->tree.FindProject(project)->expanded);
    NMTREEVIEWW info{};
    info.hdr.hwndFrom = main->sidebar.hwnd();
    info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(main->sidebar.hwnd()));
    info.hdr.code = TVN_ITEMEXPANDEDW;
    info.action = TVE_COLLAPSE;
    info.itemNew.hItem = main->sidebar.FindItem(TreeItemKey{true, project});
    info.itemNew.lParam = static_cast<LPARAM>(EncodeTreeItemParam(TreeItemKey{true, project}));
    SendMessageW(hwnd(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    EXPECT_FALSE(workspace->tree.FindProject(project)->expanded);
    EXPECT_EQ(workspace->pendingExpanded.count(project), 1u);
}

TEST_F(MainWindowWorkspaceTest, ALabelEditRequestOpensTheEditBox) {
    Start();
    SendMessageW(hwnd(), kLabelEditRequestMessage, 0,
                 static_cast<LPARAM>(EncodeTreeItemParam(TreeItemKey{false, open})));
    const auto edit = reinterpret_cast<HWND>(SendMessageW(main->sidebar.hwnd(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SendMessageW(main->sidebar.hwnd(), TVM_ENDEDITLABELNOW, TRUE, 0);
    Pump();
}

// Starts a drag of `from` as the control does (its TVN_BEGINDRAG), then releases the button over
// `point` of the tree.
void DragRow(MainWindow& window, HTREEITEM from, POINT point) {
    const HWND tree = window.sidebar.hwnd();
    RECT start{};
    std::memcpy(&start, &from, sizeof(from));
    ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&start)));
    NMTREEVIEWW info{};
    info.hdr.hwndFrom = tree;
    info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tree));
    info.hdr.code = TVN_BEGINDRAGW;
    info.action = 0;
    info.itemNew.hItem = from;
    info.ptDrag = POINT{(start.left + start.right) / 2, (start.top + start.bottom) / 2};
    SendMessageW(window.hwnd, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    SendMessageW(tree, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

TEST_F(MainWindowWorkspaceTest, ADroppedRowMovesAndTheEditorGetsTheFocus) {
    Start();
    const ProjectNode* node = workspace->tree.FindProject(project);
    ASSERT_EQ(node->notes.size(), 2u);
    const int64_t zoo = node->notes[1].id;
    const HTREEITEM openRow = main->sidebar.FindItem(TreeItemKey{false, open});
    HTREEITEM zooRow = main->sidebar.FindItem(TreeItemKey{false, zoo});
    RECT target{};
    std::memcpy(&target, &zooRow, sizeof(zooRow));
    ASSERT_TRUE(SendMessageW(main->sidebar.hwnd(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&target)));
    SetFocus(main->sidebar.hwnd());
    DragRow(*main, openRow, POINT{(target.left + target.right) / 2, target.bottom - 3});

    node = workspace->tree.FindProject(project);
    ASSERT_EQ(node->notes.size(), 2u);
    EXPECT_EQ(node->notes[0].id, zoo);
    EXPECT_EQ(node->notes[1].id, open);
    EXPECT_LT(StoredSortOrder(zoo), StoredSortOrder(open));
    // The tree shows the new order.
    const HTREEITEM projectRow = main->sidebar.FindItem(TreeItemKey{true, project});
    const auto first = reinterpret_cast<HTREEITEM>(
        SendMessageW(main->sidebar.hwnd(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(projectRow)));
    EXPECT_EQ(first, main->sidebar.FindItem(TreeItemKey{false, zoo}));
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
    EXPECT_FALSE(main->sidebar.TakePendingMove());
}

TEST_F(MainWindowWorkspaceTest, ADropWhereNothingMovesStillFocusesTheEditor) {
    Start();
    const HTREEITEM openRow = main->sidebar.FindItem(TreeItemKey{false, open});
    RECT own{};
    std::memcpy(&own, &openRow, sizeof(openRow));
    ASSERT_TRUE(SendMessageW(main->sidebar.hwnd(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&own)));
    SetFocus(main->sidebar.hwnd());
    DragRow(*main, openRow, POINT{(own.left + own.right) / 2, (own.top + own.bottom) / 2});
    EXPECT_EQ(workspace->tree.FindProject(project)->notes[0].id, open);
    EXPECT_EQ(GetFocus(), main->editor.hwnd());
}

}  // namespace
}  // namespace lq::test
