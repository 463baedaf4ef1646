#pragma once

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <string>
#include <vector>

#include "store/TextConversion.h"
#include "ui/sidebar/TreeItemKey.h"

namespace lq::test {

// One row of the sidebar's tree control: "P1 Inbox" for a project, "N10 first" for a note, "?" when
// the control does not know the item.
inline std::string DescribeTreeRow(HWND tree, HTREEITEM item) {
    wchar_t text[512] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT | TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = 512;
    if (!TreeView_GetItem(tree, &query)) return "?";
    const TreeItemKey key = DecodeTreeItemParam(query.lParam);
    return (key.isProject ? "P" : "N") + std::to_string(key.id) + " " + Utf16ToUtf8(text);
}

// Every row of the control in order, each note indented under its project: "P1 Inbox", "  N10 first".
inline std::vector<std::string> TreeRows(HWND tree) {
    std::vector<std::string> rows;
    for (HTREEITEM p = TreeView_GetRoot(tree); p; p = TreeView_GetNextSibling(tree, p)) {
        rows.push_back(DescribeTreeRow(tree, p));
        for (HTREEITEM n = TreeView_GetChild(tree, p); n; n = TreeView_GetNextSibling(tree, n)) {
            rows.push_back("  " + DescribeTreeRow(tree, n));
        }
    }
    return rows;
}

}  // namespace lq::test
