#include <gtest/gtest.h>
#include <sqlite3.h>

#include "StoreTestSupport.h"
#include "store/ProjectStore.h"
#include "store/SettingsStore.h"
#include "store/SharedSql.h"
#include "support/FileBytes.h"

namespace lq {
namespace {

class ProjectStoreTest : public test::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        projects = std::make_unique<ProjectStore>(*db);
    }
    std::unique_ptr<ProjectStore> projects;
};

TEST_F(ProjectStoreTest, InsertedProjectsGoLastAndStartExpanded) {
    const auto first = projects->InsertProject("仕事", 100);
    const auto second = projects->InsertProject("it's 100% _fun_", 200);
    ASSERT_TRUE(first && second);
    const auto rows = projects->ListProjects();
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].id, *first);
    EXPECT_EQ((*rows)[0].name, "仕事");
    EXPECT_EQ((*rows)[0].sortOrder, 1);
    EXPECT_TRUE((*rows)[0].expanded);
    EXPECT_EQ((*rows)[1].name, "it's 100% _fun_");
    EXPECT_EQ((*rows)[1].sortOrder, 2);

    const auto record = projects->GetProject(*second);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->name, "it's 100% _fun_");
    EXPECT_TRUE(record->expanded);
    EXPECT_EQ(record->createdAt, 200);
    EXPECT_EQ(record->updatedAt, 200);
    EXPECT_FALSE(projects->GetProject(*second + 100));
}

TEST_F(ProjectStoreTest, ListedBySortOrderThenId) {
    ASSERT_EQ(sqlite3_exec(db->handle(),
                           "INSERT INTO projects VALUES (5, 'e', 2, 0, 0, 0), (3, 'c', 1, 1, 0, 0), (4, 'd', 2, 1, 0, 0), "
                           "(9, 'i', 0, 1, 0, 0);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const auto rows = projects->ListProjects();
    ASSERT_TRUE(rows);
    std::vector<int64_t> ids;
    for (const ProjectRow& row : *rows) ids.push_back(row.id);
    EXPECT_EQ(ids, (std::vector<int64_t>{9, 3, 4, 5}));
    EXPECT_FALSE(rows->back().expanded);
}

TEST_F(ProjectStoreTest, RestoreKeepsAFreeIdAndTakesANewOneWhenTaken) {
    const ProjectRecord deleted{42, "戻る", false, 10, 20};
    const auto restored = projects->RestoreProject(deleted);
    ASSERT_TRUE(restored);
    EXPECT_EQ(*restored, 42);
    const auto record = projects->GetProject(42);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->name, "戻る");
    EXPECT_FALSE(record->expanded);
    EXPECT_EQ(record->createdAt, 10);
    EXPECT_EQ(record->updatedAt, 20);
    EXPECT_EQ(projects->ListProjects()->front().sortOrder, 0);  // the caller renumbers

    const auto again = projects->RestoreProject(ProjectRecord{42, "second", true, 1, 2});
    ASSERT_TRUE(again);
    EXPECT_NE(*again, 42);
    EXPECT_EQ(projects->GetProject(*again)->name, "second");
    EXPECT_EQ(projects->GetProject(42)->name, "戻る");
}

TEST_F(ProjectStoreTest, FailuresAreReportedNotEmpty) {
    ASSERT_EQ(sqlite3_exec(db->handle(), "PRAGMA foreign_keys = OFF; DROP TABLE projects;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_FALSE(projects->ListProjects());
    EXPECT_FALSE(projects->InsertProject("x", 1));
    EXPECT_FALSE(projects->GetProject(1));
    EXPECT_FALSE(projects->RestoreProject(ProjectRecord{1, "x", true, 0, 0}));
}

// A damaged page must not load as a shorter list: the workspace would take "no projects" for a new
// database and insert a first project into one that has many.
TEST(ProjectStoreDamageTest, DamagedPageFailsTheWholeListing) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    ASSERT_TRUE(test::MakeSchemaDatabase(
        path, 1,
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
        "INSERT INTO projects (name, sort_order, created_at, updated_at) SELECT printf('%0500d', i), i, 0, 0 FROM n;"));
    const size_t pages = test::DatabasePageCount(path);
    ASSERT_GT(pages, 20u);
    ASSERT_TRUE(test::DamageDatabasePages(path, pages / 2, 2));

    auto db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr);
    ProjectStore projects(*db);
    EXPECT_FALSE(projects.ListProjects());
    EXPECT_EQ(sqlite3_errcode(db->handle()) & 0xff, SQLITE_CORRUPT);
}

class SettingsStoreTest : public test::StoreTest {};

TEST_F(SettingsStoreTest, StoresReplacesAndReadsBack) {
    SettingsStore settings(*db);
    EXPECT_FALSE(settings.GetSetting("editor.font_size"));
    EXPECT_TRUE(settings.SetSetting("editor.font_size", "16"));
    EXPECT_TRUE(settings.SetSetting("editor.font_size", "18"));
    EXPECT_TRUE(settings.SetSetting("export.folder", "C:\\Users\\太郎\\書類 'x' %_"));
    EXPECT_TRUE(settings.SetSetting("warning.onedrive", ""));
    EXPECT_EQ(settings.GetSetting("editor.font_size"), "18");
    EXPECT_EQ(settings.GetSetting("export.folder"), "C:\\Users\\太郎\\書類 'x' %_");
    const auto empty = settings.GetSetting("warning.onedrive");
    ASSERT_TRUE(empty);
    EXPECT_EQ(*empty, "");
    int64_t rows = 0;
    static constexpr char kCount[] = "SELECT count(*) FROM settings";
    ASSERT_TRUE(db->QueryInt64(kCount, rows));
    EXPECT_EQ(rows, 3);
}

// Other rooms run the upsert directly; they must reach the very statement SetSetting uses.
TEST_F(SettingsStoreTest, UpsertIsOneSharedStatement) {
    SettingsStore settings(*db);
    ASSERT_TRUE(settings.SetSetting("sidebar.width", "250"));
    Statement* shared = db->Prepare(kSetSettingSql);
    ASSERT_NE(shared, nullptr);
    EXPECT_TRUE(shared->Reset().BindText(1, "sidebar.width").BindText(2, "300").Execute());
    shared->Reset();
    EXPECT_EQ(db->Prepare(kSetSettingSql), shared);
    EXPECT_EQ(settings.GetSetting("sidebar.width"), "300");
}

}  // namespace
}  // namespace lq
