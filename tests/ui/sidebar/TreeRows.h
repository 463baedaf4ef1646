#pragma once

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/TextConversion.h"
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

// Everything the sidebar shows of every row, in order, children included whether shown or not: the
// row as DescribeTreeRow gives it, its item parameter, the bold and expanded states, the children
// flag and whether it is the selected row. Two trees that give the same lines look and act the same.
inline std::vector<std::string> TreeSnapshot(HWND tree) {
    std::vector<std::string> lines;
    const HTREEITEM selected = TreeView_GetSelection(tree);
    const auto describe = [&](HTREEITEM item, const char* indent) {
        TVITEMW query{};
        query.mask = TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN | TVIF_HANDLE;
        query.stateMask = TVIS_BOLD | TVIS_EXPANDED;
        query.hItem = item;
        if (!TreeView_GetItem(tree, &query)) return std::string(indent) + "?";
        std::string line = indent + DescribeTreeRow(tree, item) + " param=" + std::to_string(query.lParam);
        if (query.state & TVIS_BOLD) line += " bold";
        if (query.state & TVIS_EXPANDED) line += " expanded";
        line += " children=" + std::to_string(query.cChildren);
        if (item == selected) line += " selected";
        return line;
    };
    for (HTREEITEM p = TreeView_GetRoot(tree); p; p = TreeView_GetNextSibling(tree, p)) {
        lines.push_back(describe(p, ""));
        for (HTREEITEM n = TreeView_GetChild(tree, p); n; n = TreeView_GetNextSibling(tree, n)) {
            lines.push_back(describe(n, "  "));
        }
    }
    return lines;
}

}  // namespace lq::test
