#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "store/Rows.h"

namespace lq {

class Database;

// The statements on table projects. Borrows the Database, which must outlive it. Every operation
// reports failure through its result (the text is Database::LastError) and leaves its statement reset.
class ProjectStore {
public:
    explicit ProjectStore(Database& db) noexcept : db_(&db) {}

    // A new project, last in order and expanded; the new id, or empty on failure.
    [[nodiscard]] std::optional<int64_t> InsertProject(std::string_view name, int64_t now);

    // All projects by sort order, then id. Empty (no list at all) when any step fails, so a damaged
    // table never passes for a short one.
    [[nodiscard]] std::optional<std::vector<ProjectRow>> ListProjects();

    // One project; empty when there is no such row or reading failed.
    [[nodiscard]] std::optional<ProjectRecord> GetProject(int64_t id);

    // Puts a deleted project back under its old id when that id is free, else under a fresh one, with
    // sort order 0 (the caller renumbers). The id the row received, or empty on failure.
    [[nodiscard]] std::optional<int64_t> RestoreProject(const ProjectRecord& record);

private:
    Database* db_;
};

}  // namespace lq
