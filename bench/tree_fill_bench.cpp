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

}  // namespace

int main() {
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
