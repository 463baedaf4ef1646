#include <windows.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "StoreTestSupport.h"
#include "platform/TextConversion.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "support/FileBytes.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

// Statements of the connection that have stepped and not been reset.
int RunningStatements(sqlite3* handle) {
    int running = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(handle, nullptr); s != nullptr; s = sqlite3_next_stmt(handle, s)) {
        if (sqlite3_stmt_busy(s) != 0) ++running;
    }
    return running;
}

class NoteStoreTest : public test::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        projects = std::make_unique<ProjectStore>(*db);
        notes = std::make_unique<NoteStore>(*db);
        first = *projects->InsertProject("一番", 1);
        second = *projects->InsertProject("second", 1);
    }
    // A note with content, saved the store's way.
    int64_t Note(int64_t project, const std::string& title, const std::string& content) {
        const auto id = notes->InsertNote(project, title, 5);
        EXPECT_TRUE(id);
        EXPECT_TRUE(notes->SaveNote(*id, content, NoteViewState{}, 6));
        return *id;
    }
    std::unique_ptr<ProjectStore> projects;
    std::unique_ptr<NoteStore> notes;
    int64_t first = 0;
    int64_t second = 0;
};

TEST_F(NoteStoreTest, InsertedNotesGoLastInTheirProjectAndListInSidebarOrder) {
    const int64_t b1 = *notes->InsertNote(second, "b1", 10);
    const int64_t a1 = *notes->InsertNote(first, "a1", 10);
    const int64_t a2 = *notes->InsertNote(first, "メモ", 10);
    const int64_t b2 = *notes->InsertNote(second, "b2", 10);
    const auto rows = notes->ListNotes();
    ASSERT_TRUE(rows);
    std::vector<std::pair<int64_t, int64_t>> order;  // id, sort order
    for (const NoteListRow& row : *rows) order.emplace_back(row.id, row.sortOrder);
    EXPECT_EQ(order, (std::vector<std::pair<int64_t, int64_t>>{{a1, 1}, {a2, 2}, {b1, 1}, {b2, 2}}));
    EXPECT_EQ((*rows)[1].title, "メモ");
    EXPECT_EQ((*rows)[1].projectId, first);
    EXPECT_EQ((*rows)[1].openedAt, 0);

    const auto record = notes->GetNoteRecord(a2);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->content, "");
    EXPECT_EQ(record->view, NoteViewState{});
    EXPECT_EQ(record->createdAt, 10);
    EXPECT_EQ(record->updatedAt, 10);
}

// The user cannot reach a note whose project is gone: listing, searching and the scan that counts
// and replaces in all notes all pass it over alike.
TEST_F(NoteStoreTest, NotesOfMissingProjectsAreNeitherListedNorSearchedNorScanned) {
    ASSERT_EQ(sqlite3_exec(db->handle(),
                           "PRAGMA foreign_keys = OFF; INSERT INTO notes (project_id, title, content, created_at, "
                           "updated_at) VALUES (999, 'orphan', 'needle', 0, 0); PRAGMA foreign_keys = ON;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const int64_t kept = *notes->InsertNote(first, "kept", 1);
    ASSERT_TRUE(notes->SaveNote(kept, "a needle", NoteViewState{}, 1));
    const auto rows = notes->ListNotes();
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->front().id, kept);
    EXPECT_FALSE(notes->InsertNote(999, "no project", 1));  // foreign keys are on

    const auto hits = notes->SearchNotes("needle");
    ASSERT_TRUE(hits);
    ASSERT_EQ(hits->size(), 1u);
    EXPECT_EQ(hits->front().noteId, kept);
    std::vector<int64_t> scanned;
    EXPECT_TRUE(notes->ForEachNoteContaining("NEEDLE", [&](int64_t id, std::string_view) { scanned.push_back(id); }));
    EXPECT_EQ(scanned, std::vector<int64_t>{kept});
}

TEST_F(NoteStoreTest, SaveWritesContentAndViewOnlyForExistingNotes) {
    const int64_t id = *notes->InsertNote(first, "t", 1);
    const NoteViewState view{12, 3, 40, 1, 0, 777};
    EXPECT_TRUE(notes->SaveNote(id, "本文\r\nline 2", view, 50));
    const auto loaded = notes->GetNoteForEditor(id);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->content, "本文\r\nline 2");
    EXPECT_EQ(loaded->title, "t");
    EXPECT_EQ(loaded->projectId, first);
    EXPECT_EQ(loaded->view, view);
    EXPECT_EQ(notes->GetNoteRecord(id)->updatedAt, 50);

    const NoteViewState moved{1, 1, 2, 0, 5, 900};
    EXPECT_TRUE(notes->SaveViewState(id, moved));
    EXPECT_EQ(notes->GetNoteForEditor(id)->view, moved);
    EXPECT_EQ(notes->GetNoteForEditor(id)->content, "本文\r\nline 2");

    // A note deleted meanwhile: the save fails, the view-only update still counts as done.
    EXPECT_FALSE(notes->SaveNote(id + 100, "lost?", view, 60));
    EXPECT_TRUE(notes->SaveViewState(id + 100, view));
    EXPECT_FALSE(notes->GetNoteForEditor(id + 100));
    EXPECT_FALSE(notes->GetNoteRecord(id + 100));
}

TEST_F(NoteStoreTest, RestoreKeepsAFreeIdAndTakesANewOneWhenTaken) {
    NoteRecord deleted{31, first, "消したメモ", "内容 100%", NoteViewState{4, 2, 1, 0, 0, 88}, 7, 8};
    const auto restored = notes->RestoreNote(deleted, second, 3);
    ASSERT_TRUE(restored);
    EXPECT_EQ(*restored, 31);
    const auto record = notes->GetNoteRecord(31);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->projectId, second);  // the argument, not the record's
    EXPECT_EQ(record->title, "消したメモ");
    EXPECT_EQ(record->content, "内容 100%");
    EXPECT_EQ(record->view, deleted.view);
    EXPECT_EQ(record->createdAt, 7);
    EXPECT_EQ(record->updatedAt, 8);
    EXPECT_EQ(notes->ListNotes()->front().sortOrder, 3);

    deleted.title = "again";
    const auto again = notes->RestoreNote(deleted, first, 1);
    ASSERT_TRUE(again);
    EXPECT_NE(*again, 31);
    EXPECT_EQ(notes->GetNoteRecord(*again)->title, "again");
    EXPECT_FALSE(notes->RestoreNote(deleted, 999, 1));  // its project is gone
}

TEST_F(NoteStoreTest, SearchMatchesTitleOrContentWithTheQueryBound) {
    const std::string longTitleOnly(100, 'x');
    const int64_t percent = Note(first, "割引", "now 100% off");
    const int64_t underscore = Note(first, "code", "snake_case names");
    const int64_t quotes = Note(first, "q", "he said \"it's\" fine");
    const int64_t japanese = Note(second, "日本語", "今日は東京で会議があります。");
    const int64_t titleOnly = Note(second, "Budget 2026", longTitleOnly);
    const int64_t umlaut = Note(second, "u", "Äpfel");
    (void)Note(second, "other", "nothing here");

    struct Case {
        const char* query;
        std::vector<int64_t> hits;
    };
    const Case cases[] = {
        {"%", {percent}},        {"0%", {percent}},
        {"_", {underscore}},     {"e_c", {underscore}},
        {"'", {quotes}},         {"\"it's\"", {quotes}},
        {"東京", {japanese}},    {"日本", {japanese}},
        {"BUDGET", {titleOnly}}, {"SNAKE_CASE", {underscore}},
        {"äpfel", {}},  // only ASCII letters fold
        {"Äpfel", {umlaut}},     {"'; DROP TABLE notes; --", {}},
        {"missing", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const auto hits = notes->SearchNotes(c.query);
        ASSERT_TRUE(hits);
        std::vector<int64_t> ids;
        for (const SearchHit& hit : *hits) ids.push_back(hit.noteId);
        EXPECT_EQ(ids, c.hits);
    }
    EXPECT_TRUE(notes->ListNotes());  // the injection attempt was only text

    const auto title = notes->SearchNotes("budget");
    ASSERT_TRUE(title && title->size() == 1);
    EXPECT_FALSE(title->front().inContent);
    EXPECT_EQ(title->front().snippet, std::string(80, 'x'));
    EXPECT_EQ(title->front().projectName, "second");
    EXPECT_EQ(title->front().title, "Budget 2026");

    const auto empty = notes->SearchNotes("");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST_F(NoteStoreTest, SnippetStartsSixCharactersBeforeTheMatch) {
    const std::string early = "abXYZ" + std::string(100, '-');
    const std::string later = "あいうえおかきくけこさしすせそ目標" + std::string(100, '.');  // match at character 16
    (void)Note(first, "early", early);
    (void)Note(first, "later", later);
    const auto hits = notes->SearchNotes("xyz");
    ASSERT_TRUE(hits && hits->size() == 1);
    EXPECT_TRUE(hits->front().inContent);
    EXPECT_EQ(hits->front().snippet, early.substr(0, 80));

    const auto japanese = notes->SearchNotes("目標");
    ASSERT_TRUE(japanese && japanese->size() == 1);
    // Counted in characters, not bytes: six before the match is character 10, "こ".
    EXPECT_EQ(japanese->front().snippet.substr(0, 8 * 3), "こさしすせそ目標");
    EXPECT_EQ(Utf8ToUtf16(japanese->front().snippet).size(), 80u);
}

TEST_F(NoteStoreTest, SearchStopsAtFiveHundredInSidebarOrder) {
    ASSERT_EQ(sqlite3_exec(db->handle(), "BEGIN", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int i = 0; i < 260; ++i) {
        (void)notes->InsertNote(second, "s" + std::to_string(i) + " hit", 1);
        (void)notes->InsertNote(first, "f" + std::to_string(i) + " hit", 1);
    }
    ASSERT_EQ(sqlite3_exec(db->handle(), "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto hits = notes->SearchNotes("HIT");
    ASSERT_TRUE(hits);
    ASSERT_EQ(hits->size(), 500u);
    EXPECT_EQ(hits->front().title, "f0 hit");
    EXPECT_EQ((*hits)[259].title, "f259 hit");
    EXPECT_EQ((*hits)[260].title, "s0 hit");
    EXPECT_EQ(hits->back().title, "s239 hit");
}

TEST_F(NoteStoreTest, ForEachNoteContainingVisitsContentMatchesInIdOrder) {
    const int64_t a = Note(second, "a", "一 Needle 二");
    (void)Note(first, "needle in title only", "hay");
    const int64_t c = Note(first, "c", "NEEDLE");
    std::vector<std::pair<int64_t, std::string>> seen;
    const auto visit = [&](int64_t id, std::string_view content) { seen.emplace_back(id, std::string(content)); };
    EXPECT_TRUE(notes->ForEachNoteContaining("needle", visit));
    EXPECT_EQ(seen, (std::vector<std::pair<int64_t, std::string>>{{a, "一 Needle 二"}, {c, "NEEDLE"}}));

    seen.clear();
    EXPECT_TRUE(notes->ForEachNoteContaining("", visit));
    EXPECT_TRUE(seen.empty());
}

// A callback that throws must not leave the shared scan statement running: an active statement keeps
// the file's read lock and a half-done scan would be picked up by the next caller of the literal.
TEST_F(NoteStoreTest, ScanIsResetWhenTheCallbackThrows) {
    (void)Note(first, "a", "needle one");
    (void)Note(first, "b", "needle two");
    int calls = 0;
    EXPECT_THROW((void)notes->ForEachNoteContaining("needle",
                                                    [&](int64_t, std::string_view) {
                                                        ++calls;
                                                        throw std::runtime_error("out of memory");
                                                    }),
                 std::runtime_error);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(RunningStatements(db->handle()), 0);

    int again = 0;
    EXPECT_TRUE(notes->ForEachNoteContaining("needle", [&](int64_t, std::string_view) { ++again; }));
    EXPECT_EQ(again, 2);
}

TEST_F(NoteStoreTest, FailuresAreReportedNotEmpty) {
    (void)Note(first, "t", "c");
    ASSERT_EQ(sqlite3_exec(db->handle(), "PRAGMA foreign_keys = OFF; DROP TABLE notes;", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_FALSE(notes->ListNotes());
    EXPECT_FALSE(notes->SearchNotes("t"));
    EXPECT_FALSE(notes->ForEachNoteContaining("c", [](int64_t, std::string_view) {}));
    EXPECT_FALSE(notes->InsertNote(first, "t", 1));
    EXPECT_FALSE(notes->SaveNote(1, "c", NoteViewState{}, 1));
    EXPECT_FALSE(notes->SaveViewState(1, NoteViewState{}));
    EXPECT_FALSE(notes->GetNoteForEditor(1));
}

// Damaged pages of table notes: listing, searching and scanning fail instead of returning part.
TEST(NoteStoreDamageTest, DamagedPageFailsListingAndSearches) {
    test::TempFolder folder;
    const std::wstring path = folder.File(L"memo.db");
    ASSERT_TRUE(
        test::MakeSchemaDatabase(path, 1,
                                 "INSERT INTO projects VALUES (1, 'p', 1, 1, 0, 0);"
                                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                                 "INSERT INTO notes (project_id, title, content, sort_order, created_at, updated_at) "
                                 "SELECT 1, 'note ' || i, printf('%0900d needle', i), i, 0, 0 FROM n;"));
    const size_t pages = test::DatabasePageCount(path);
    ASSERT_GT(pages, 40u);
    ASSERT_TRUE(test::DamageDatabasePages(path, pages / 3, 3));

    auto db = test::OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr);
    NoteStore notes(*db);
    EXPECT_FALSE(notes.ListNotes());
    EXPECT_FALSE(notes.SearchNotes("needle"));
    int visited = 0;
    EXPECT_FALSE(notes.ForEachNoteContaining("needle", [&](int64_t, std::string_view) { ++visited; }));
    EXPECT_GT(visited, 0);  // it had read some notes before the damage: still a failure

    // Pages of the table itself are no note's text: nothing is passed over, the scans still fail.
    std::vector<int64_t> unreadable;
    EXPECT_FALSE(notes.SearchNotes("needle", &unreadable));
    EXPECT_FALSE(notes.ForEachNoteContaining(
        "needle", [](int64_t, std::string_view) {}, &unreadable));
    EXPECT_TRUE(unreadable.empty());
}

// One note whose text runs over several overflow pages, one of them garbled; A before it and C after.
class NoteStoreUnreadableNoteTest : public testing::Test {
protected:
    void SetUp() override {
        {
            auto made = test::OpenStoreDatabase(path);
            ASSERT_NE(made, nullptr);
            const int64_t project = *ProjectStore(*made).InsertProject("p", 1);
            NoteStore store(*made);
            const auto add = [&](const char* title, const std::string& content) {
                const int64_t id = *store.InsertNote(project, title, 1);
                EXPECT_TRUE(store.SaveNote(id, content, NoteViewState{}, 1));
                return id;
            };
            a = add("A", "alpha");
            broken = add("Broken", std::string(5 * test::kDatabasePageSize, 'Q'));
            c = add("C", "gamma");
        }
        const std::string bytes = test::ReadFileBytes(path).value_or("");
        size_t seen = 0;
        size_t damaged = 0;
        for (size_t page = 1; (page + 1) * test::kDatabasePageSize <= bytes.size(); ++page) {
            const std::string_view view(bytes.data() + page * test::kDatabasePageSize, test::kDatabasePageSize);
            if (view.substr(4).find_first_not_of('Q') == std::string_view::npos && ++seen == 2) damaged = page;
        }
        ASSERT_NE(damaged, 0u);
        ASSERT_TRUE(test::DamageDatabasePages(path, damaged, 1));
        db = test::OpenStoreDatabase(path);
        ASSERT_NE(db, nullptr);
        ASSERT_FALSE(NoteStore(*db).GetNoteForEditor(broken));
    }

    test::TempFolder folder;
    std::wstring path = folder.File(L"memo.db");
    std::unique_ptr<Database> db;
    int64_t a = 0, broken = 0, c = 0;
};

// Searching and scanning go over the notes that can be read and name the one that cannot; asked to,
// that is. Without the list to name it in, the damage fails them as before.
TEST_F(NoteStoreUnreadableNoteTest, SearchesAndScansPassOverTheNoteAndNameIt) {
    NoteStore notes(*db);
    EXPECT_FALSE(notes.SearchNotes("a"));
    EXPECT_FALSE(notes.ForEachNoteContaining("a", [](int64_t, std::string_view) {}));

    for (const char* query : {"a", "Q", "gamma", "none"}) {
        SCOPED_TRACE(query);
        std::vector<int64_t> unreadable;
        const std::optional<std::vector<SearchHit>> hits = notes.SearchNotes(query, &unreadable);
        ASSERT_TRUE(hits);
        std::vector<int64_t> hitIds;
        for (const SearchHit& hit : *hits) hitIds.push_back(hit.noteId);
        const std::string q = query;
        const std::vector<int64_t> expected = q == "a"       ? std::vector<int64_t>{a, c}
                                              : q == "gamma" ? std::vector<int64_t>{c}
                                                             : std::vector<int64_t>{};
        EXPECT_EQ(hitIds, expected);
        EXPECT_EQ(unreadable, std::vector<int64_t>{broken});

        unreadable.clear();
        std::vector<int64_t> visited;
        EXPECT_TRUE(notes.ForEachNoteContaining(
            query, [&](int64_t id, std::string_view) { visited.push_back(id); }, &unreadable));
        EXPECT_EQ(visited, expected) << "each readable note once, in id order";
        EXPECT_EQ(unreadable, std::vector<int64_t>{broken});
    }
}

// A file that lost its end is no damaged note: everything fails, nothing is passed over.
TEST_F(NoteStoreUnreadableNoteTest, AFileCutShortIsAFailureNotANotePassedOver) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(3 * test::kDatabasePageSize);
    const bool cut = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(cut);

    NoteStore notes(*db);
    std::vector<int64_t> unreadable;
    EXPECT_FALSE(notes.SearchNotes("a", &unreadable));
    EXPECT_FALSE(notes.ForEachNoteContaining(
        "a", [](int64_t, std::string_view) {}, &unreadable));
    EXPECT_TRUE(unreadable.empty());
}

}  // namespace
}  // namespace lq
