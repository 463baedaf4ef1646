#include "ui/commands/NoteCommandRules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "resources/ResourceIds.h"

namespace lq {
namespace {

ProjectNode Project(int64_t id, std::string name, std::vector<std::pair<int64_t, std::string>> notes,
                    bool expanded = true) {
    ProjectNode node;
    node.id = id;
    node.name = std::move(name);
    node.expanded = expanded;
    for (auto& [noteId, title] : notes) node.notes.push_back(NoteListRow{noteId, id, title, 0, 0});
    return node;
}

// 1 "Inbox" (10, 11, 12), 2 "空" (no notes), 3 "Work" (collapsed: 30, 31).
ProjectTree SmallTree() {
    ProjectTree tree;
    tree.projects.push_back(Project(1, "Inbox", {{10, "first"}, {11, "second"}, {12, "third"}}));
    tree.projects.push_back(Project(2, "空", {}));
    tree.projects.push_back(Project(3, "Work", {{30, "plan"}, {31, "日本語のメモ"}}, false));
    return tree;
}

TEST(NoteCommandRulesTest, CaptionNamesTheOpenNoteBeforeTheProduct) {
    EXPECT_EQ(WindowTitleText(L"Inbox / メモ"), L"Inbox / メモ \u2014 Lanternquill");
    EXPECT_EQ(WindowTitleText(L""), L"Lanternquill");
}

TEST(NoteCommandRulesTest, DateTitleIsZeroPadded) {
    SYSTEMTIME date{};
    date.wYear = 2024;
    date.wMonth = 3;
    date.wDay = 7;
    date.wHour = 23;
    EXPECT_EQ(DateTitle(date), "2024-03-07");
    date.wYear = 987;
    date.wMonth = 12;
    date.wDay = 31;
    EXPECT_EQ(DateTitle(date), "0987-12-31");
}

TEST(NoteCommandRulesTest, AdjacentNoteWalksOneRingOverAllProjects) {
    const ProjectTree tree = SmallTree();
    struct Case {
        int64_t current;
        bool forward;
        NoteInProject expected;
    };
    const Case cases[] = {
        {10, true, {11, 1}},  {12, true, {30, 3}},    // over the empty project into a collapsed one
        {31, true, {10, 1}},                          // the last wraps to the first
        {30, false, {12, 1}}, {10, false, {31, 3}},   // the first wraps to the last
        {0, true, {10, 1}},   {0, false, {31, 3}},    // no note open
        {999, true, {10, 1}}, {999, false, {31, 3}},  // an open note the tree does not hold
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AdjacentNote(tree, c.current, c.forward), c.expected)
            << "from " << c.current << (c.forward ? " forward" : " backward");
    }

    ProjectTree single;
    single.projects.push_back(Project(5, "One", {{50, "only"}}));
    EXPECT_EQ(AdjacentNote(single, 50, true), (NoteInProject{50, 5}));

    ProjectTree noNotes;
    noNotes.projects.push_back(Project(5, "Empty", {}));
    EXPECT_FALSE(AdjacentNote(noNotes, 0, true));
    EXPECT_FALSE(AdjacentNote(ProjectTree{}, 0, false));
}

TEST(NoteCommandRulesTest, MoveTargetStaysAmongSiblings) {
    const ProjectTree tree = SmallTree();
    struct Case {
        TreeItemKey key;
        bool up;
        std::optional<uint64_t> expected;
    };
    const Case cases[] = {
        {{true, 1}, true, std::nullopt},    {{true, 1}, false, 1u},
        {{true, 3}, false, std::nullopt},   {{true, 3}, true, 1u},
        {{false, 10}, true, std::nullopt},  {{false, 10}, false, 1u},
        {{false, 12}, false, std::nullopt},  // the last note of a project does not move into the next
        {{false, 30}, true, std::nullopt},  {{false, 31}, true, 0u},
        {{false, 77}, false, std::nullopt}, {{true, 77}, true, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MoveTargetIndex(tree, c.key, c.up), c.expected)
            << (c.key.isProject ? "project " : "note ") << c.key.id << (c.up ? " up" : " down");
    }
}

TEST(NoteCommandRulesTest, DeletionNoticeDependsOnWhatGoes) {
    const ProjectTree tree = SmallTree();
    EXPECT_EQ(DeletionNoticeFor(tree, {true, 1}), (DeletionNotice{IDS_PROJECT_WITH_NOTES_DELETED, L"Inbox", L"3"}));
    EXPECT_EQ(DeletionNoticeFor(tree, {true, 2}), (DeletionNotice{IDS_EMPTY_PROJECT_DELETED, L"空", L""}));
    EXPECT_EQ(DeletionNoticeFor(tree, {false, 31}), (DeletionNotice{IDS_NOTE_DELETED, L"日本語のメモ", L""}));
    EXPECT_FALSE(DeletionNoticeFor(tree, {false, 2}));
    EXPECT_FALSE(DeletionNoticeFor(tree, {true, 10}));

    // The count is plain decimal, without the thousands separator of other counts.
    ProjectTree big;
    std::vector<std::pair<int64_t, std::string>> notes;
    for (int64_t i = 1; i <= 1234; ++i) notes.emplace_back(i, "n");
    big.projects.push_back(Project(7, "Big", notes));
    EXPECT_EQ(DeletionNoticeFor(big, {true, 7})->noteCount, L"1234");
}

TEST(NoteCommandRulesTest, SelectionAfterDeleteTakesTheNeighbour) {
    const ProjectTree tree = SmallTree();
    struct Case {
        TreeItemKey deleted;
        std::optional<TreeItemKey> expected;
    };
    const Case cases[] = {
        {{false, 11}, TreeItemKey{false, 12}},  // a middle note: the next one
        {{false, 12}, TreeItemKey{false, 11}},  // the last note: the previous one
        {{true, 1}, TreeItemKey{true, 2}},      // a project: the next project
        {{true, 3}, TreeItemKey{true, 2}},      // the last project: the previous one
        {{false, 77}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(SelectionAfterDelete(tree, c.deleted), c.expected) << c.deleted.id;

    ProjectTree lonely;
    lonely.projects.push_back(Project(4, "Solo", {{40, "only"}}));
    EXPECT_EQ(SelectionAfterDelete(lonely, {false, 40}), (TreeItemKey{true, 4}));  // the note's own project
    EXPECT_EQ(SelectionAfterDelete(lonely, {true, 4}), std::nullopt);
}

}  // namespace
}  // namespace lq
