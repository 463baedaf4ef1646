#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ui/sidebar/TreeItemKey.h"

namespace lq {

// What a notification of the sidebar tree asks the main window to do. Filled by
// SidebarTree::OnNotify; every field not named for the kind stays cleared.
struct TreeAction {
    enum Kind : int32_t {
        None = 0,
        Select = 1,          // the user moved the selection to `item`
        ExpandChanged = 2,   // `item` was expanded (`expanded`) or collapsed
        EndLabelEdit = 3,    // the label edit of `item` ended; `newText` absent when cancelled
        ContextMenu = 4,     // right click at `screenPoint`; `item` only when a row lies there
        BeginLabelEdit = 5,  // a double-click on the label of `item` asks for a rename
    };

    int32_t kind = None;
    std::optional<TreeItemKey> item;
    bool byMouse = false;
    bool byKeyboard = false;  // Select: the arrows or another key of the control's own moved it
    bool expanded = false;
    std::optional<std::string> newText;  // UTF-8
    POINT screenPoint{};
};

}  // namespace lq
