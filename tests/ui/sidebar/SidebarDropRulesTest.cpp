#include "ui/sidebar/SidebarDropRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "support/RectCompare.h"

namespace lq {

inline std::ostream& operator<<(std::ostream& out, const DropPlan& plan) {
    return out << "{project " << plan.projectId << ", index " << plan.index << ", mark " << static_cast<int>(plan.mark)
               << "}";
}

namespace {

// The sidebar the cases talk about: projects 1, 2, 3 at indices 0, 1, 2; project 1 holds notes 10,
// 11, 12; project 2 is empty; project 3 holds notes 30 and 31.
struct Row {
    TreeItemKey key;
    int64_t index;
    int64_t projectId;     // a note's project
    int64_t projectIndex;  // a note's project's index
    int64_t children;      // a project's notes
};
constexpr Row P1{{true, 1}, 0, 0, 0, 3};
constexpr Row P2{{true, 2}, 1, 0, 0, 0};
constexpr Row P3{{true, 3}, 2, 0, 0, 2};
constexpr Row N10{{false, 10}, 0, 1, 0, 0};
constexpr Row N11{{false, 11}, 1, 1, 0, 0};
constexpr Row N12{{false, 12}, 2, 1, 0, 0};
constexpr Row N31{{false, 31}, 1, 3, 2, 0};

DropQuery Query(const Row& dragged, const Row& target, bool upperHalf) {
    DropQuery query;
    query.dragged = dragged.key;
    query.draggedIndex = dragged.index;
    query.draggedProjectId = dragged.projectId;
    query.target = target.key;
    query.targetIndex = target.index;
    query.upperHalf = upperHalf;
    query.targetProjectId = target.projectId;
    query.targetProjectIndex = target.projectIndex;
    query.targetChildCount = target.children;
    return query;
}

constexpr bool kUpper = true;
constexpr bool kLower = false;

TEST(SidebarDropRules, WhereADroppedRowGoes) {
    using enum DropMark;
    struct Case {
        const char* what;
        Row dragged;
        Row target;
        bool upperHalf;
        DropPlan expected;
    };
    const Case cases[] = {
        // Projects among projects: the index counts the list without the dragged project.
        {"project down, before a project", P1, P3, kUpper, {0, 1, BeforeRow}},
        {"project down, after the last project", P1, P3, kLower, {0, 2, AfterProject}},
        {"project up, before the first", P3, P1, kUpper, {0, 0, BeforeRow}},
        {"project up, after a project and its notes", P3, P1, kLower, {0, 1, AfterProject}},
        {"project onto its own upper half", P2, P2, kUpper, {0, 1, BeforeRow}},
        {"project onto its own lower half", P2, P2, kLower, {0, 1, AfterProject}},
        {"project over a note: after that note's project", P1, N31, kUpper, {0, 2, AfterProject}},
        {"project over a note of the project above it", P3, N11, kUpper, {0, 1, AfterProject}},
        {"project over one of its own notes", P1, N12, kLower, {0, 0, AfterProject}},
        // Notes onto project rows go last into them.
        {"note into another project", N10, P3, kUpper, {3, 2, IntoProject}},
        {"note into an empty project", N10, P2, kLower, {2, 0, IntoProject}},
        {"note onto its own project's row", N10, P1, kUpper, {1, 2, IntoProject}},
        // Notes among notes.
        {"note down, before a note", N10, N12, kUpper, {1, 1, BeforeRow}},
        {"note down, after the last note", N10, N12, kLower, {1, 2, AfterRow}},
        {"note up, before the first", N12, N10, kUpper, {1, 0, BeforeRow}},
        {"note just below itself", N11, N11, kLower, {1, 1, AfterRow}},
        {"note onto its own upper half", N11, N11, kUpper, {1, 1, BeforeRow}},
        {"note just below the note above it", N11, N10, kLower, {1, 1, AfterRow}},
        {"note just above the note below it", N11, N12, kUpper, {1, 1, BeforeRow}},
        {"note before a note of another project", N12, N31, kUpper, {3, 1, BeforeRow}},
        {"note after a note of another project", N10, N31, kLower, {3, 2, AfterRow}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlanDrop(Query(c.dragged, c.target, c.upperHalf)), c.expected) << c.what;
    }
}

TEST(SidebarDropRules, ANoteOverARowOfAnUnreadableProjectGoesNowhereReal) {
    // The note's project could not be read (0): no same-list correction, and no real project.
    Row orphan = N11;
    orphan.projectId = 0;
    EXPECT_EQ(PlanDrop(Query(N10, orphan, kLower)), (DropPlan{0, 2, DropMark::AfterRow}));
}

TEST(SidebarDropRules, IndicatorLineScalesAndNeverTurnsInsideOut) {
    EXPECT_EQ(DropLineThickness(96), 2);
    EXPECT_EQ(DropLineThickness(144), 3);
    EXPECT_EQ(DropLineThickness(20), 1);

    // Centred on the row edge y: thickness split t/2 above and the rest below.
    EXPECT_EQ(DropLineRect(40, 56, 250, 96), (RECT{34, 55, 242, 57}));
    EXPECT_EQ(DropLineRect(60, 84, 375, 144), (RECT{51, 83, 363, 86}));
    // A sidebar narrower than the text's indent: the line is empty rather than reversed.
    EXPECT_EQ(DropLineRect(40, 56, 20, 96), (RECT{34, 55, 34, 57}));
}

}  // namespace
}  // namespace lq
