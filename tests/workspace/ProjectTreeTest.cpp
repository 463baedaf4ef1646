#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "workspace/ProjectTree.h"

namespace lq {
namespace {

// "1[10 11] 2[]": project ids in order, each with its note ids in order.
std::string Describe(const ProjectTree& tree) {
    std::string text;
    for (const ProjectNode& project : tree.projects) {
        if (!text.empty()) text += ' ';
        text += std::to_string(project.id) + '[';
        for (size_t i = 0; i < project.notes.size(); ++i) {
            if (i > 0) text += ' ';
            text += std::to_string(project.notes[i].id);
        }
        text += ']';
    }
    return text;
}

ProjectRow Project(int64_t id) {
    return ProjectRow{id, "project " + std::to_string(id), id * 10, id % 2 == 0};
}
NoteListRow Note(int64_t id, int64_t projectId) {
    return NoteListRow{id, projectId, "note " + std::to_string(id), id};
}

// Projects 1, 2, 3; notes 10 11 12 in 1, 20 in 2, none in 3.
ProjectTree SampleTree() {
    ProjectTree tree;
    tree.Rebuild({Project(1), Project(2), Project(3)}, {Note(10, 1), Note(20, 2), Note(11, 1), Note(12, 1)});
    return tree;
}

TEST(ProjectTreeTest, RebuildKeepsStoredOrderAndDropsOrphans) {
    ProjectTree tree;
    tree.Rebuild({Project(2), Project(1)}, {Note(5, 1), Note(6, 9), Note(4, 1), Note(7, 2)});
    EXPECT_EQ(Describe(tree), "2[7] 1[5 4]");
    EXPECT_EQ(tree.projects[0].name, "project 2");
    EXPECT_EQ(tree.projects[0].sortOrder, 20);
    EXPECT_TRUE(tree.projects[0].expanded);
    EXPECT_FALSE(tree.projects[1].expanded);
    EXPECT_EQ(tree.FindNote(6), nullptr);

    // A rebuild replaces everything; without projects every note is dropped.
    tree.Rebuild({}, {Note(5, 1)});
    EXPECT_TRUE(tree.projects.empty());
}

TEST(ProjectTreeTest, RebuildGivesNotesOfARepeatedProjectIdToTheFirstNode) {
    ProjectTree tree;
    tree.Rebuild({Project(1), Project(2), Project(1)}, {Note(10, 1), Note(20, 2)});
    EXPECT_EQ(Describe(tree), "1[10] 2[20] 1[]");
}

TEST(ProjectTreeTest, LookupsTakeTheFirstMatch) {
    ProjectTree tree = SampleTree();
    ASSERT_NE(tree.FindNote(11), nullptr);
    EXPECT_EQ(tree.FindNote(11)->title, "note 11");
    EXPECT_EQ(tree.FindNote(99), nullptr);
    EXPECT_EQ(tree.ProjectOfNote(20), 2);
    EXPECT_EQ(tree.ProjectOfNote(99), std::nullopt);
    ASSERT_NE(tree.FindProject(3), nullptr);
    EXPECT_TRUE(tree.FindProject(3)->notes.empty());
    EXPECT_EQ(tree.FindProject(4), nullptr);

    // A duplicated note id (only possible through a damaged file) answers with its first row.
    tree.InsertNote(NoteListRow{10, 2, "copy", 0}, 0);
    EXPECT_EQ(tree.FindNote(10)->title, "note 10");
    EXPECT_EQ(tree.ProjectOfNote(10), 1);
}

TEST(ProjectTreeTest, NeighbourNoteStaysInsideTheProject) {
    const ProjectTree tree = SampleTree();
    const struct {
        int64_t note;
        std::optional<int64_t> neighbour;
    } cases[] = {
        {10, 11},            // first: the next one
        {11, 12},            // middle: the next one
        {12, 11},            // last: the one before
        {20, std::nullopt},  // alone in its project; never one of another project
        {99, std::nullopt},  // not in the tree
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        EXPECT_EQ(tree.NeighbourNote(c.note), c.neighbour);
    }
}

TEST(ProjectTreeTest, ProjectInsertionsClampTheirIndex) {
    ProjectTree tree = SampleTree();
    tree.AppendProject(Project(4));
    tree.InsertProject(Project(5), 0);
    tree.InsertProject(Project(6), 2);
    tree.InsertProject(Project(7), 1000);
    EXPECT_EQ(Describe(tree), "5[] 1[10 11 12] 6[] 2[20] 3[] 4[] 7[]");
    EXPECT_EQ(tree.projects.back().name, "project 7");
}

TEST(ProjectTreeTest, MoveProject) {
    const struct {
        int64_t project;
        size_t index;
        bool moved;
        const char* after;
    } cases[] = {
        {1, 2, true, "2[20] 3[] 1[10 11 12]"},  {1, 99, true, "2[20] 3[] 1[10 11 12]"},
        {3, 0, true, "3[] 1[10 11 12] 2[20]"},  {2, 1, true, "1[10 11 12] 2[20] 3[]"},
        {9, 0, false, "1[10 11 12] 2[20] 3[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.project << " to " << c.index);
        ProjectTree tree = SampleTree();
        EXPECT_EQ(tree.MoveProject(c.project, c.index), c.moved);
        EXPECT_EQ(Describe(tree), c.after);
    }
}

TEST(ProjectTreeTest, RemoveProjectRemovesEveryNodeWithTheId) {
    ProjectTree tree = SampleTree();
    EXPECT_EQ(tree.RemoveProject(9), 0u);
    tree.InsertProject(Project(2), 0);
    EXPECT_EQ(tree.RemoveProject(2), 2u);
    EXPECT_EQ(Describe(tree), "1[10 11 12] 3[]");
    EXPECT_EQ(tree.FindNote(20), nullptr);
}

TEST(ProjectTreeTest, InsertAndRemoveNotes) {
    ProjectTree tree = SampleTree();
    tree.InsertNote(Note(30, 3), 5);
    tree.InsertNote(Note(13, 1), 1);
    tree.InsertNote(Note(14, 1), 1000);
    tree.InsertNote(Note(90, 9), 0);  // no such project: ignored
    EXPECT_EQ(Describe(tree), "1[10 13 11 12 14] 2[20] 3[30]");
    EXPECT_EQ(tree.FindNote(90), nullptr);

    tree.InsertNote(Note(11, 3), 0);  // a second row with id 11
    tree.RemoveNote(11);
    tree.RemoveNote(99);
    EXPECT_EQ(Describe(tree), "1[10 13 12 14] 2[20] 3[30]");
}

TEST(ProjectTreeTest, MoveNote) {
    const struct {
        int64_t note;
        int64_t target;
        size_t index;
        bool moved;
        const char* after;
    } cases[] = {
        // Inside one project the index counts among the other notes.
        {10, 1, 2, true, "1[11 12 10] 2[20] 3[]"},
        {12, 1, 0, true, "1[12 10 11] 2[20] 3[]"},
        {11, 1, 1, true, "1[10 11 12] 2[20] 3[]"},
        // Into another project.
        {11, 2, 0, true, "1[10 12] 2[11 20] 3[]"},
        {11, 2, 99, true, "1[10 12] 2[20 11] 3[]"},
        {20, 3, 0, true, "1[10 11 12] 2[] 3[20]"},
        // Absent note or target: nothing changes.
        {11, 9, 0, false, "1[10 11 12] 2[20] 3[]"},
        {99, 2, 0, false, "1[10 11 12] 2[20] 3[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.note << " to " << c.target << " at " << c.index);
        ProjectTree tree = SampleTree();
        EXPECT_EQ(tree.MoveNote(c.note, c.target, c.index), c.moved);
        EXPECT_EQ(Describe(tree), c.after);
        if (c.moved) {
            ASSERT_NE(tree.FindNote(c.note), nullptr);
            EXPECT_EQ(tree.FindNote(c.note)->projectId, c.target);
            EXPECT_EQ(tree.FindNote(c.note)->title, "note " + std::to_string(c.note));
        } else if (c.note != 99) {
            EXPECT_EQ(tree.FindNote(c.note)->projectId, 1);
        }
    }
}

}  // namespace
}  // namespace lq
