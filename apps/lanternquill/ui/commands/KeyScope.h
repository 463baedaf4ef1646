#pragma once

#include <cstdint>

namespace lq {

// Where a key binding applies, and which kind of window has the keyboard focus: the message loop
// passes the focused window's kind with every message it hands to the key pre-translation.
enum class KeyScope : uint32_t {
    Any = 0,            // a binding for whatever window has the focus; never a window's kind
    Editor = 1,         // the editing component
    Other = 2,          // no window, or one not listed here (the panels' edit boxes among them)
    SidebarTree = 3,    // the sidebar tree control
    TreeLabelEdit = 4,  // the tree's label edit box: matches no binding, keys are left to it
};

}  // namespace lq
