#include "store/ProjectStore.h"

#include "store/Database.h"

namespace lq {
namespace {

constexpr char kInsertProjectSql[] =
    "INSERT INTO projects (name, sort_order, expanded, created_at, updated_at) VALUES (?1, (SELECT "
    "coalesce(max(sort_order), 0) + 1 FROM projects), 1, ?2, ?2)";
constexpr char kListProjectsSql[] = "SELECT id, name, sort_order, expanded FROM projects ORDER BY sort_order, id";
constexpr char kGetProjectSql[] = "SELECT id, name, expanded, created_at, updated_at FROM projects WHERE id = ?1";
constexpr char kRestoreProjectSql[] =
    "INSERT INTO projects (id, name, sort_order, expanded, created_at, updated_at) VALUES ((SELECT CASE WHEN "
    "count(*) = 0 THEN ?1 END FROM projects WHERE id = ?1), ?2, ?3, ?4, ?5, ?6)";

}  // namespace

std::optional<int64_t> ProjectStore::InsertProject(std::string_view name, int64_t now) {
    Statement* statement = db_->Prepare(kInsertProjectSql);
    if (statement == nullptr) return std::nullopt;
    const bool ran = statement->Reset().BindText(1, name).BindInt64(2, now).Execute();
    statement->Reset();
    if (!ran) return std::nullopt;
    return db_->LastInsertRowId();
}

std::optional<std::vector<ProjectRow>> ProjectStore::ListProjects() {
    Statement* statement = db_->Prepare(kListProjectsSql);
    if (statement == nullptr) return std::nullopt;
    statement->Reset();
    std::vector<ProjectRow> rows;
    while (statement->Step()) {
        rows.push_back(ProjectRow{statement->ColumnInt64(0), std::string(statement->ColumnText(1)),
                                  statement->ColumnInt64(2), statement->ColumnInt64(3) != 0});
    }
    const bool complete = statement->ok();
    statement->Reset();
    if (!complete) return std::nullopt;
    return rows;
}

std::optional<ProjectRecord> ProjectStore::GetProject(int64_t id) {
    Statement* statement = db_->Prepare(kGetProjectSql);
    if (statement == nullptr) return std::nullopt;
    std::optional<ProjectRecord> record;
    if (statement->Reset().BindInt64(1, id).Step()) {
        record = ProjectRecord{statement->ColumnInt64(0), std::string(statement->ColumnText(1)),
                               statement->ColumnInt64(2) != 0, statement->ColumnInt64(3), statement->ColumnInt64(4)};
    }
    statement->Reset();
    return record;
}

std::optional<int64_t> ProjectStore::RestoreProject(const ProjectRecord& record) {
    Statement* statement = db_->Prepare(kRestoreProjectSql);
    if (statement == nullptr) return std::nullopt;
    const bool ran = statement->Reset()
                         .BindInt64(1, record.id)
                         .BindText(2, record.name)
                         .BindInt64(3, 0)
                         .BindInt64(4, record.expanded ? 1 : 0)
                         .BindInt64(5, record.createdAt)
                         .BindInt64(6, record.updatedAt)
                         .Execute();
    statement->Reset();
    if (!ran) return std::nullopt;
    return db_->LastInsertRowId();
}

}  // namespace lq
