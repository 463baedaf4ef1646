#include "store/NoteStore.h"

#include "store/Database.h"
#include "store/SharedSql.h"
#include "store/UnreadableNotes.h"

namespace lq {
namespace {

constexpr char kInsertNoteSql[] =
    "INSERT INTO notes (project_id, title, content, sort_order, created_at, updated_at) VALUES (?1, ?2, '', "
    "(SELECT coalesce(max(sort_order), 0) + 1 FROM notes WHERE project_id = ?1), ?3, ?3)";
constexpr char kListNotesSql[] =
    "SELECT n.id, n.project_id, n.title, n.sort_order FROM notes n JOIN projects p ON p.id = n.project_id ORDER BY "
    "p.sort_order, p.id, n.sort_order, n.id";
constexpr char kGetNoteRecordSql[] =
    "SELECT id, project_id, title, content, cursor_pos, anchor_pos, first_visible_doc_line, first_visible_sub_line, "
    "x_offset, opened_at, created_at, updated_at FROM notes WHERE id = ?1";
constexpr char kRestoreNoteSql[] =
    "INSERT INTO notes (id, project_id, title, content, sort_order, cursor_pos, anchor_pos, first_visible_doc_line, "
    "first_visible_sub_line, x_offset, opened_at, created_at, updated_at) VALUES ((SELECT CASE WHEN count(*) = 0 "
    "THEN ?1 END FROM notes WHERE id = ?1), ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)";
constexpr char kGetNoteForEditorSql[] =
    "SELECT id, project_id, title, content, cursor_pos, anchor_pos, first_visible_doc_line, first_visible_sub_line, "
    "x_offset, opened_at FROM notes WHERE id = ?1";
constexpr char kSaveNoteSql[] =
    "UPDATE notes SET content = ?1, cursor_pos = ?2, anchor_pos = ?3, first_visible_doc_line = ?4, "
    "first_visible_sub_line = ?5, x_offset = ?6, opened_at = ?7, updated_at = ?8 WHERE id = ?9";
constexpr char kSaveViewStateSql[] =
    "UPDATE notes SET cursor_pos = ?1, anchor_pos = ?2, first_visible_doc_line = ?3, first_visible_sub_line = ?4, "
    "x_offset = ?5, opened_at = ?6 WHERE id = ?7";

// The search and the scan of the replace again, passing over the notes in the JSON array ?2 whose text
// cannot be read. The test of the id comes first, so a passed-over row's text is never read.
constexpr char kSearchNotesPassingOverSql[] =
    "SELECT n.id, p.name, n.title, substr(n.content, max(1, instr(lower(n.content), lower(?1)) - 6), 80) AS snippet, "
    "instr(lower(n.content), lower(?1)) > 0 AS in_content FROM notes n JOIN projects p ON p.id = n.project_id WHERE "
    "n.id NOT IN (SELECT value FROM json_each(?2)) AND (instr(lower(n.title), lower(?1)) > 0 OR "
    "instr(lower(n.content), lower(?1)) > 0) ORDER BY p.sort_order, p.id, n.sort_order, n.id LIMIT 500";
// From after the note ?3 on, where the first scan stopped.
constexpr char kNotesContainingPassingOverSql[] =
    "SELECT id, content FROM notes WHERE id > ?3 AND id NOT IN (SELECT value FROM json_each(?2)) AND "
    "instr(lower(content), lower(?1)) > 0 AND EXISTS (SELECT 1 FROM projects WHERE projects.id = notes.project_id) "
    "ORDER BY id";

// The six view columns starting at `first`.
NoteViewState ReadView(const Statement& statement, int first) {
    return NoteViewState{statement.ColumnInt64(first),     statement.ColumnInt64(first + 1),
                         statement.ColumnInt64(first + 2), statement.ColumnInt64(first + 3),
                         statement.ColumnInt64(first + 4), statement.ColumnInt64(first + 5)};
}

// Binds the six view fields to ?first .. ?first+5.
Statement& BindView(Statement& statement, int first, const NoteViewState& view) {
    return statement.BindInt64(first, view.cursorPos)
        .BindInt64(first + 1, view.anchorPos)
        .BindInt64(first + 2, view.firstVisibleDocLine)
        .BindInt64(first + 3, view.firstVisibleSubLine)
        .BindInt64(first + 4, view.xOffset)
        .BindInt64(first + 5, view.openedAt);
}

}  // namespace

std::optional<int64_t> NoteStore::InsertNote(int64_t projectId, std::string_view title, int64_t now) {
    Statement* statement = db_->Prepare(kInsertNoteSql);
    if (statement == nullptr) return std::nullopt;
    const bool ran = statement->Reset().BindInt64(1, projectId).BindText(2, title).BindInt64(3, now).Execute();
    statement->Reset();
    if (!ran) return std::nullopt;
    return db_->LastInsertRowId();
}

std::optional<std::vector<NoteListRow>> NoteStore::ListNotes() {
    Statement* statement = db_->Prepare(kListNotesSql);
    if (statement == nullptr) return std::nullopt;
    statement->Reset();
    std::vector<NoteListRow> rows;
    while (statement->Step()) {
        rows.push_back(NoteListRow{statement->ColumnInt64(0), statement->ColumnInt64(1),
                                   std::string(statement->ColumnText(2)), statement->ColumnInt64(3), 0});
    }
    const bool complete = statement->ok();
    statement->Reset();
    if (!complete) return std::nullopt;
    return rows;
}

std::optional<std::vector<SearchHit>> NoteStore::SearchNotes(std::string_view query, std::vector<int64_t>* unreadable) {
    std::vector<SearchHit> hits;
    if (query.empty()) return hits;
    const auto search = [&](const char* sql, const std::string& passOver) {
        hits.clear();
        Statement* statement = db_->Prepare(sql);
        if (statement == nullptr) return 1;  // SQLITE_ERROR: no statement, no search
        const ScopedReset reset(*statement);
        statement->Reset().BindText(1, query);
        if (sql == kSearchNotesPassingOverSql) statement->BindText(2, passOver);
        while (statement->Step()) {
            hits.push_back(SearchHit{statement->ColumnInt64(0), std::string(statement->ColumnText(1)),
                                     std::string(statement->ColumnText(2)), std::string(statement->ColumnText(3)),
                                     statement->ColumnInt64(4) != 0});
        }
        return statement->ok() ? 0 : (statement->rc() != 0 ? statement->rc() : 1);
    };
    const int rc = search(kSearchNotesSql, {});
    if (rc == 0) return hits;
    if (unreadable == nullptr || !FailedOnDamagedRow(*db_, rc)) return std::nullopt;
    std::optional<std::vector<int64_t>> damaged = FindUnreadableNotes(*db_);
    if (!damaged || damaged->empty()) return std::nullopt;
    if (search(kSearchNotesPassingOverSql, IdsAsJson(*damaged)) != 0) return std::nullopt;
    *unreadable = std::move(*damaged);
    return hits;
}

bool NoteStore::ForEachNoteContaining(std::string_view query,
                                      const std::function<void(int64_t id, std::string_view content)>& visit,
                                      std::vector<int64_t>* unreadable) {
    if (query.empty()) return true;
    int64_t last = 0;
    int rc = 0;
    std::optional<std::vector<int64_t>> damaged;
    if (unreadable != nullptr && !unreadable->empty()) {
        // Known already: passed over from the start, so no damaged row is read at all.
        damaged = *unreadable;
    } else {
        Statement* statement = db_->Prepare(kNotesContainingSql);
        if (statement == nullptr) return false;
        const ScopedReset resetOnExit(*statement);
        statement->Reset().BindText(1, query);
        while (statement->Step()) {
            last = statement->ColumnInt64(0);
            visit(last, statement->ColumnText(1));
        }
        if (statement->ok()) return true;
        rc = statement->rc();
        // The notes visited stay visited: the scan goes on after the last of them, past the damaged ones.
        if (unreadable == nullptr || !FailedOnDamagedRow(*db_, rc)) return false;
        damaged = FindUnreadableNotes(*db_);
        if (!damaged || damaged->empty()) return false;
    }
    Statement* statement = db_->Prepare(kNotesContainingPassingOverSql);
    if (statement == nullptr) return false;
    const ScopedReset resetOnExit(*statement);
    statement->Reset().BindText(1, query).BindText(2, IdsAsJson(*damaged)).BindInt64(3, last);
    while (statement->Step()) visit(statement->ColumnInt64(0), statement->ColumnText(1));
    if (!statement->ok()) return false;
    *unreadable = std::move(*damaged);
    return true;
}

NoteRecord NoteStore::ReadNoteRecord(const Statement& statement) {
    return NoteRecord{statement.ColumnInt64(0),
                      statement.ColumnInt64(1),
                      std::string(statement.ColumnText(2)),
                      std::string(statement.ColumnText(3)),
                      ReadView(statement, 4),
                      statement.ColumnInt64(10),
                      statement.ColumnInt64(11)};
}

std::optional<NoteRecord> NoteStore::GetNoteRecord(int64_t id) {
    Statement* statement = db_->Prepare(kGetNoteRecordSql);
    if (statement == nullptr) return std::nullopt;
    std::optional<NoteRecord> record;
    if (statement->Reset().BindInt64(1, id).Step()) record = ReadNoteRecord(*statement);
    statement->Reset();
    return record;
}

std::optional<int64_t> NoteStore::RestoreNote(const NoteRecord& record, int64_t projectId, int64_t sortOrder) {
    Statement* statement = db_->Prepare(kRestoreNoteSql);
    if (statement == nullptr) return std::nullopt;
    statement->Reset()
        .BindInt64(1, record.id)
        .BindInt64(2, projectId)
        .BindText(3, record.title)
        .BindText(4, record.content)
        .BindInt64(5, sortOrder);
    const bool ran =
        BindView(*statement, 6, record.view).BindInt64(12, record.createdAt).BindInt64(13, record.updatedAt).Execute();
    statement->Reset();
    if (!ran) return std::nullopt;
    return db_->LastInsertRowId();
}

std::optional<LoadedNote> NoteStore::GetNoteForEditor(int64_t id) {
    Statement* statement = db_->Prepare(kGetNoteForEditorSql);
    if (statement == nullptr) return std::nullopt;
    std::optional<LoadedNote> note;
    if (statement->Reset().BindInt64(1, id).Step()) {
        note = LoadedNote{statement->ColumnInt64(0), statement->ColumnInt64(1), std::string(statement->ColumnText(2)),
                          std::string(statement->ColumnText(3)), ReadView(*statement, 4)};
    }
    statement->Reset();
    return note;
}

bool NoteStore::SaveNote(int64_t id, std::string_view content, const NoteViewState& view, int64_t now) {
    Statement* statement = db_->Prepare(kSaveNoteSql);
    if (statement == nullptr) return false;
    statement->Reset().BindText(1, content);
    const bool ran = BindView(*statement, 2, view).BindInt64(8, now).BindInt64(9, id).Execute();
    const bool oneRow = ran && db_->Changes() == 1;
    statement->Reset();
    return oneRow;
}

bool NoteStore::SaveViewState(int64_t id, const NoteViewState& view) {
    Statement* statement = db_->Prepare(kSaveViewStateSql);
    if (statement == nullptr) return false;
    statement->Reset();
    const bool ran = BindView(*statement, 1, view).BindInt64(7, id).Execute();
    statement->Reset();
    return ran;
}

}  // namespace lq
