#pragma once

// SQL texts the workspace runs itself, shared by its files (the statement cache is keyed by the
// text's address, so each must be this one object everywhere).

namespace lq {

// The note of project ?1 opened last (of equal times the higher id), if any was ever opened.
inline constexpr char kLastOpenedNoteSql[] =
    "SELECT id FROM notes WHERE project_id = ?1 AND opened_at > 0 ORDER BY opened_at DESC, id DESC LIMIT 1";

// ?1 the expanded flag (1 or 0), ?2 the project id.
inline constexpr char kSetProjectExpandedSql[] = "UPDATE projects SET expanded = ?1 WHERE id = ?2";

// ?1 title, ?2 time now, ?3 note id.
inline constexpr char kRenameNoteSql[] = "UPDATE notes SET title = ?1, updated_at = ?2 WHERE id = ?3";
// ?1 name, ?2 time now, ?3 project id.
inline constexpr char kRenameProjectSql[] = "UPDATE projects SET name = ?1, updated_at = ?2 WHERE id = ?3";
// ?1 position from 1, ?2 project id.
inline constexpr char kSetProjectOrderSql[] = "UPDATE projects SET sort_order = ?1 WHERE id = ?2";
// ?1 project id, ?2 position from 1, ?3 note id.
inline constexpr char kSetNoteOrderSql[] = "UPDATE notes SET project_id = ?1, sort_order = ?2 WHERE id = ?3";
// (id, sort_order) of every project.
inline constexpr char kProjectOrdersSql[] = "SELECT id, sort_order FROM projects";
// (id, sort_order) of the notes of project ?1, answered from the index notes_by_project alone: the
// sort order lies after the text in the row, and no row is read.
inline constexpr char kNoteOrdersSql[] = "SELECT id, sort_order FROM notes WHERE project_id = ?1";

inline constexpr char kDeleteNoteSql[] = "DELETE FROM notes WHERE id = ?1";
// The notes go with the project (ON DELETE CASCADE).
inline constexpr char kDeleteProjectSql[] = "DELETE FROM projects WHERE id = ?1";
// Every note of project ?1 as whole records, in stored order.
inline constexpr char kProjectNoteRecordsSql[] =
    "SELECT id, project_id, title, content, cursor_pos, anchor_pos, first_visible_doc_line, first_visible_sub_line, "
    "x_offset, opened_at, created_at, updated_at FROM notes WHERE project_id = ?1 ORDER BY sort_order, id";

// The stored caret and anchor of note ?1.
inline constexpr char kNoteCaretSql[] = "SELECT cursor_pos, anchor_pos FROM notes WHERE id = ?1";
// A rewritten note: ?1 content, ?2 caret, ?3 anchor, ?4 time now, ?5 note id.
inline constexpr char kReplaceNoteContentSql[] =
    "UPDATE notes SET content = ?1, cursor_pos = ?2, anchor_pos = ?3, updated_at = ?4 WHERE id = ?5";

}  // namespace lq
