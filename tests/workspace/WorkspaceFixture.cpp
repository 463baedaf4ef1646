#include "WorkspaceFixture.h"

#include <sqlite3.h>

#include "support/StoreDatabase.h"
#include "support/StoredRows.h"

namespace lq::test {

void WorkspaceFixture::SetUp() {
    path = folder.File(L"memo.db");
    db = OpenStoreDatabase(path);
    ASSERT_NE(db, nullptr);
    ASSERT_TRUE(window.ok());
}

Workspace& WorkspaceFixture::MakeWorkspace() {
    workspace.reset();
    workspace.emplace(*db, window.view());
    return *workspace;
}

Workspace& WorkspaceFixture::LoadWorkspace() {
    Workspace& made = MakeWorkspace();
    EXPECT_TRUE(made.Load());
    return made;
}

int64_t WorkspaceFixture::AddProject(const std::string& name) {
    return AddStoredProject(*db, name);
}

int64_t WorkspaceFixture::AddNote(int64_t projectId, const std::string& title, std::string_view content,
                                  const NoteViewState& view) {
    return AddStoredNote(*db, projectId, title, content, view);
}

void WorkspaceFixture::Exec(const std::string& sql) {
    ExecSql(*db, sql);
}

NoteRecord WorkspaceFixture::Stored(int64_t noteId) {
    return StoredNote(*db, noteId);
}

std::optional<std::string> WorkspaceFixture::StoredSetting(const char* key) {
    return StoredSettingOf(*db, key);
}

std::string WorkspaceFixture::Dump() {
    std::string text;
    for (const char* sql : {"SELECT * FROM projects ORDER BY id", "SELECT * FROM notes ORDER BY id",
                            "SELECT * FROM settings ORDER BY key"}) {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db->handle(), sql, -1, &statement, nullptr), SQLITE_OK);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
                text += value ? value : "NULL";
                text += '|';
            }
            text += '\n';
        }
        sqlite3_finalize(statement);
        text += "--\n";
    }
    return text;
}

int64_t WorkspaceFixture::CountRows(const char* table) {
    return CountTableRows(*db, table);
}

void WorkspaceFixture::Type(std::string_view text) {
    call().ReplaceSel(std::string(text).c_str());
}

::testing::AssertionResult SameView(const NoteViewState& expected, const NoteViewState& actual) {
    const auto describe = [](const NoteViewState& v) {
        return "caret " + std::to_string(v.cursorPos) + " anchor " + std::to_string(v.anchorPos) + " line " +
               std::to_string(v.firstVisibleDocLine) + " sub " + std::to_string(v.firstVisibleSubLine) + " x " +
               std::to_string(v.xOffset);
    };
    if (expected.cursorPos == actual.cursorPos && expected.anchorPos == actual.anchorPos &&
        expected.firstVisibleDocLine == actual.firstVisibleDocLine &&
        expected.firstVisibleSubLine == actual.firstVisibleSubLine && expected.xOffset == actual.xOffset) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected " << describe(expected) << ", got " << describe(actual);
}

StatementInterrupter::StatementInterrupter(Database& db, std::string sqlPrefix)
    : db_(db), prefix_(std::move(sqlPrefix)) {
    sqlite3_progress_handler(db_.handle(), 1, &StatementInterrupter::OnProgress, this);
}

StatementInterrupter::~StatementInterrupter() {
    sqlite3_progress_handler(db_.handle(), 0, nullptr, nullptr);
}

int StatementInterrupter::OnProgress(void* context) noexcept {
    auto* self = static_cast<StatementInterrupter*>(context);
    for (sqlite3_stmt* statement = sqlite3_next_stmt(self->db_.handle(), nullptr); statement != nullptr;
         statement = sqlite3_next_stmt(self->db_.handle(), statement)) {
        const char* sql = sqlite3_sql(statement);
        if (sqlite3_stmt_busy(statement) && sql != nullptr && std::string_view(sql).starts_with(self->prefix_)) {
            ++self->interruptions_;
            return 1;
        }
    }
    return 0;
}

namespace {

void FailEditor(sqlite3_context* context, int, sqlite3_value**) {
    SendMessageW(static_cast<HWND>(sqlite3_user_data(context)), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
    sqlite3_result_null(context);
}

}  // namespace

void FailEditorWhenNoteUpdated(Database& db, HWND editor, std::initializer_list<int64_t> noteIds) {
    std::string ids;
    for (const int64_t id : noteIds) ids += (ids.empty() ? "" : ", ") + std::to_string(id);
    ASSERT_EQ(
        sqlite3_create_function(db.handle(), "fail_editor", 0, SQLITE_UTF8, editor, &FailEditor, nullptr, nullptr),
        SQLITE_OK);
    const std::string sql = "CREATE TEMP TRIGGER fail_editor_on_update BEFORE UPDATE ON notes WHEN old.id IN (" + ids +
                            ") BEGIN SELECT fail_editor(); END;";
    ASSERT_EQ(sqlite3_exec(db.handle(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
}

}  // namespace lq::test
