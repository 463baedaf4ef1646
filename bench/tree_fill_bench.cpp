// The sidebar's fill at the sizes heavy users reach: SidebarTree::Populate of 1k, 10k and 50k notes in
// 50 and 2,000 expanded projects, beside a plain tree-view control (no subclass, no custom draw)
// filled with the same rows, and a second Populate over the filled tree (what a rebuild costs).
// Prints figures; each the median of three runs.
#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "platform/TextConversion.h"
#include "support/TestHostWindow.h"
#include "ui/sidebar/SidebarTree.h"

namespace {

using lq::bench::Clock;
using lq::bench::MillisSince;

lq::ProjectTree MakeTree(int projects, int notes) {
    lq::ProjectTree tree;
    for (int p = 0; p < projects; ++p) {
        lq::ProjectNode node;
        node.id = p + 1;
        node.name = "P" + std::to_string(p);
        node.expanded = true;
        tree.projects.push_back(std::move(node));
    }
    for (int n = 0; n < notes; ++n) {
        lq::ProjectNode& project = tree.projects[static_cast<size_t>(n % projects)];
        project.notes.push_back(lq::NoteListRow{n + 1, project.id, "メモ " + std::to_string(n), 0, 0});
    }
    return tree;
}

// The same rows in a plain control the simple way: appended in order, each project expanded after its
// notes, redrawing off.
double PlainFill(const lq::ProjectTree& tree) {
    lq::test::TestHostWindow host(250, 800);
    HWND control = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 0, 0,
                                   250, 800, host.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    const Clock::time_point start = Clock::now();
    SendMessageW(control, WM_SETREDRAW, FALSE, 0);
    for (const lq::ProjectNode& project : tree.projects) {
        std::wstring name = lq::Utf8ToUtf16(project.name);
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = name.data();
        auto item =
            reinterpret_cast<HTREEITEM>(SendMessageW(control, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        HTREEITEM after = TVI_FIRST;
        for (const lq::NoteListRow& note : project.notes) {
            std::wstring title = lq::Utf8ToUtf16(note.title);
            insert.hParent = item;
            insert.hInsertAfter = after;
            insert.item.pszText = title.data();
            after = reinterpret_cast<HTREEITEM>(
                SendMessageW(control, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        }
        SendMessageW(control, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(control, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(control);
    lq::test::TestHostWindow::PumpMessages();
    return MillisSince(start);
}

// A shown sidebar filled with `tree`, its first note selected, drawn once: where a new note goes.
struct FilledSidebar {
    lq::SidebarTree sidebar;  // before the host, so it goes after the window it was attached to
    lq::test::TestHostWindow host{250, 800};
    HWND control = nullptr;

    explicit FilledSidebar(const lq::ProjectTree& tree) {
        ShowWindow(host.hwnd(), SW_SHOWNOACTIVATE);
        control = lq::CreateSidebarControl(host.hwnd(), GetModuleHandleW(nullptr));
        if (!control || !sidebar.Attach(control)) {
            control = nullptr;
            return;
        }
        sidebar.SetDpi(96);
        MoveWindow(control, 0, 0, 250, 800, FALSE);
        sidebar.Populate(tree, 1, lq::TreeItemKey{false, 1});
        UpdateWindow(control);
        lq::test::TestHostWindow::PumpMessages();
    }
};

// The same three messages AddNote sends, sent straight to the control and timed one by one.
void RawSteps(const lq::ProjectTree& tree, int projects, int notes) {
    FilledSidebar filled(tree);
    if (!filled.control) return;
    HWND control = filled.control;
    HTREEITEM project = TreeView_GetRoot(control);
    std::wstring title = L"新しいメモ";
    TVINSERTSTRUCTW insert{};
    insert.hParent = project;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = title.data();
    Clock::time_point start = Clock::now();
    auto item =
        reinterpret_cast<HTREEITEM>(SendMessageW(control, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    const double inserted = MillisSince(start);
    TVITEMW change{};
    change.mask = TVIF_CHILDREN | TVIF_HANDLE;
    change.hItem = project;
    change.cChildren = 1;
    start = Clock::now();
    SendMessageW(control, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
    const double flag = MillisSince(start);
    start = Clock::now();
    SendMessageW(control, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(project));
    const double expand = MillisSince(start);
    start = Clock::now();
    SendMessageW(control, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    const double select = MillisSince(start);
    std::printf("raw, %6d notes in %4d projects: insert %7.1f ms, flag %7.1f ms, expand %7.1f ms, select %7.1f ms\n",
                notes, projects, inserted, flag, expand, select);
}

// The steps of a new note over a filled sidebar, each message timed on its own: the row appended to
// the first project, its children flag, the expand, the selection, the scroll into view and the
// label editor opened and closed.
void NewNoteSteps(const lq::ProjectTree& tree, int projects, int notes) {
    FilledSidebar filled(tree);
    if (!filled.control) return;
    HWND control = filled.control;
    lq::SidebarTree& sidebar = filled.sidebar;
    const int64_t id = notes + 1;
    Clock::time_point start = Clock::now();
    sidebar.AddNote(lq::NoteListRow{id, 1, "新しいメモ", 0, 0});
    const double add = MillisSince(start);
    start = Clock::now();
    sidebar.Select(lq::TreeItemKey{false, id});
    const double select = MillisSince(start);
    start = Clock::now();
    sidebar.EditLabel(lq::TreeItemKey{false, id});
    const double edit = MillisSince(start);
    start = Clock::now();
    lq::test::TestHostWindow::PumpMessages();
    const double pump = MillisSince(start);
    start = Clock::now();
    TreeView_EndEditLabelNow(control, TRUE);
    const double end = MillisSince(start);
    std::printf(
        "new note, %6d notes in %4d projects: AddNote %7.1f ms, Select %7.1f ms, EditLabel %7.1f ms, "
        "paint %7.1f ms, end edit %7.1f ms\n",
        notes, projects, add, select, edit, pump, end);
}

// A deletion over a filled sidebar, as the delete command and its undo do it: a note of the first
// project removed and its neighbour selected; then the first project (every note of it) removed and
// put back with its notes.
void DeleteSteps(const lq::ProjectTree& tree, int projects, int notes) {
    FilledSidebar filled(tree);
    if (!filled.control) return;
    lq::SidebarTree& sidebar = filled.sidebar;
    Clock::time_point start = Clock::now();
    sidebar.RemoveItem(lq::TreeItemKey{false, 1});
    const double removeNote = MillisSince(start);
    start = Clock::now();
    sidebar.Select(lq::TreeItemKey{false, 1 + projects});
    lq::test::TestHostWindow::PumpMessages();
    const double select = MillisSince(start);
    lq::ProjectTree without = tree;
    without.projects.front().notes.erase(without.projects.front().notes.begin());
    start = Clock::now();
    sidebar.RemoveItem(lq::TreeItemKey{true, 1});
    lq::test::TestHostWindow::PumpMessages();
    const double removeProject = MillisSince(start);
    start = Clock::now();
    sidebar.Sync(without, lq::TreeItemKey{true, 1});
    lq::test::TestHostWindow::PumpMessages();
    const double putBack = MillisSince(start);
    std::printf(
        "delete, %6d notes in %4d projects: note %7.1f ms, select next %7.1f ms, project of %zu notes %7.1f ms, "
        "put back %7.1f ms\n",
        notes, projects, removeNote, select, without.projects.front().notes.size(), removeProject, putBack);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--new-note") {
        for (const int projects : {50, 2000}) {
            for (const int notes : {1000, 50000, 100000}) {
                const lq::ProjectTree tree = MakeTree(projects, notes);
                RawSteps(tree, projects, notes);
                NewNoteSteps(tree, projects, notes);
            }
        }
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "--delete") {
        for (const int projects : {50, 2000}) {
            for (const int notes : {1000, 50000, 100000}) DeleteSteps(MakeTree(projects, notes), projects, notes);
        }
        return 0;
    }
    for (const int projects : {50, 2000}) {
        for (const int notes : {1000, 10000, 50000}) {
            const lq::ProjectTree tree = MakeTree(projects, notes);
            std::vector<double> plain, fill, refill;
            for (int run = 0; run < 3; ++run) {
                plain.push_back(PlainFill(tree));
                lq::SidebarTree sidebar;
                lq::test::TestHostWindow host(250, 800);
                HWND control = lq::CreateSidebarControl(host.hwnd(), GetModuleHandleW(nullptr));
                if (!control || !sidebar.Attach(control)) return 1;
                sidebar.SetDpi(96);
                MoveWindow(control, 0, 0, 250, 800, FALSE);
                Clock::time_point start = Clock::now();
                sidebar.Populate(tree, 1, lq::TreeItemKey{false, 1});
                UpdateWindow(control);
                lq::test::TestHostWindow::PumpMessages();
                fill.push_back(MillisSince(start));
                start = Clock::now();
                sidebar.Populate(tree, 1, lq::TreeItemKey{false, 1});
                UpdateWindow(control);
                lq::test::TestHostWindow::PumpMessages();
                refill.push_back(MillisSince(start));
            }
            std::printf(
                "%6d notes in %4d projects: Populate %7.1f ms, again over the filled tree %7.1f ms; plain "
                "control %7.1f ms\n",
                notes, projects, lq::bench::MedianOf(fill), lq::bench::MedianOf(refill), lq::bench::MedianOf(plain));
        }
    }
    return 0;
}
