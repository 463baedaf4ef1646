#include "ui/sidebar/SidebarDropRules.h"

#include <algorithm>

namespace lq {

DropPlan PlanDrop(const DropQuery& query) noexcept {
    DropPlan plan;
    if (query.dragged.isProject) {
        // Over a note the project goes after that note's project: projects only sit among projects.
        const bool before = query.target.isProject && query.upperHalf;
        const int64_t anchor = query.target.isProject ? query.targetIndex : query.targetProjectIndex;
        const int64_t slot = anchor + (before ? 0 : 1);
        plan.index = slot > query.draggedIndex ? slot - 1 : slot;
        plan.mark = before ? DropMark::BeforeRow : DropMark::AfterProject;
        return plan;
    }
    if (query.target.isProject) {
        plan.projectId = query.target.id;
        const bool sameProject = query.target.id == query.draggedProjectId;
        plan.index = std::max<int64_t>(0, query.targetChildCount - (sameProject ? 1 : 0));
        plan.mark = DropMark::IntoProject;
        return plan;
    }
    plan.projectId = query.targetProjectId;
    const int64_t slot = query.targetIndex + (query.upperHalf ? 0 : 1);
    const bool sameProject = query.targetProjectId == query.draggedProjectId;
    plan.index = sameProject && slot > query.draggedIndex ? slot - 1 : slot;
    plan.mark = query.upperHalf ? DropMark::BeforeRow : DropMark::AfterRow;
    return plan;
}

int32_t DropLineThickness(int32_t dpi) noexcept {
    return std::max(1, MulDiv(2, dpi, 96));
}

RECT DropLineRect(LONG textLeft, LONG y, int32_t sidebarWidth, int32_t dpi) noexcept {
    const LONG thickness = DropLineThickness(dpi);
    const LONG left = textLeft - MulDiv(6, dpi, 96);
    const LONG rightLimit = sidebarWidth - MulDiv(8, dpi, 96);
    return RECT{left, y - thickness / 2, std::max(rightLimit, left), y + thickness - thickness / 2};
}

}  // namespace lq
