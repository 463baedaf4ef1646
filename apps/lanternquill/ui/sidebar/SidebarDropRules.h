#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/sidebar/TreeItemKey.h"

namespace lq {

// Where a dragged sidebar row would land if it were dropped now.
struct DropTarget {
    TreeItemKey item;       // the dragged row
    int64_t projectId = 0;  // the destination project of a note; 0 when a project is dragged
    int64_t index = 0;      // the position in the destination list
    RECT mark{};            // the indicator, in client coordinates of the tree
    bool into = false;      // the indicator is a frame around a project rather than a line
    bool valid = false;
};

// A move the tree leaves for the main window once a drag has been dropped.
struct TreeMove {
    TreeItemKey item;
    int64_t projectId = 0;
    int64_t index = 0;

    friend bool operator==(const TreeMove&, const TreeMove&) = default;
};

// What the control tells about the dragged row and the row under the pointer. Indices count the
// previous siblings of a row.
struct DropQuery {
    TreeItemKey dragged;
    int64_t draggedIndex = 0;
    int64_t draggedProjectId = 0;  // a dragged note's project; 0 when it cannot be read
    TreeItemKey target;
    int64_t targetIndex = 0;
    bool upperHalf = false;          // the pointer lies in the upper half of the target row
    int64_t targetProjectId = 0;     // a target note's project; 0 when it cannot be read
    int64_t targetProjectIndex = 0;  // the index of a target note's project row
    int64_t targetChildCount = 0;    // the notes under a target project row
};

// Where the indicator of a drop goes.
enum class DropMark : int32_t {
    IntoProject = 0,   // a frame around the target project row: the note goes last into it
    BeforeRow = 1,     // a line on the target row's top edge
    AfterRow = 2,      // a line on the target note's lower edge
    AfterProject = 3,  // a line after the anchor project and its notes (the target, or a target note's project)
};

struct DropPlan {
    int64_t projectId = 0;  // the destination project of a note; 0 for a project
    int64_t index = 0;      // counted without the dragged row when it stays in the same list
    DropMark mark = DropMark::BeforeRow;

    friend bool operator==(const DropPlan&, const DropPlan&) = default;
};

// The drop rules. A project goes before a project row in its upper half and after it (below its notes)
// in its lower half, and after the project of a note row it is over. A note goes last into a project
// row it is over, and before or after a note row by the half it is over. Every such place is valid;
// a row dropped on its own place gets its present index.
[[nodiscard]] DropPlan PlanDrop(const DropQuery& query) noexcept;

// The thickness of the indicator's line: 2 DIP, at least one pixel.
[[nodiscard]] int32_t DropLineThickness(int32_t dpi) noexcept;

// The indicator's line centred on `y`: from 6 DIP left of the anchor row's text to 8 DIP short of the
// sidebar's right edge (never ending left of where it starts).
[[nodiscard]] RECT DropLineRect(LONG textLeft, LONG y, int32_t sidebarWidth, int32_t dpi) noexcept;

}  // namespace lq
