#pragma once

// SQL texts the workspace runs itself, shared by its files (the statement cache is keyed by the
// text's address, so each must be this one object everywhere).

namespace lq {

// Notes ever opened, newest opening first within each project (of equal times the higher id).
inline constexpr char kLastOpenedNotesSql[] =
    "SELECT project_id, id FROM notes WHERE opened_at > 0 ORDER BY project_id, opened_at DESC, id DESC";

// ?1 the expanded flag (1 or 0), ?2 the project id.
inline constexpr char kSetProjectExpandedSql[] = "UPDATE projects SET expanded = ?1 WHERE id = ?2";

}  // namespace lq
