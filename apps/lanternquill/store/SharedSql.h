#pragma once

// SQL texts run from more than one file. The statement cache is keyed by the text's address, so each
// must be this one object everywhere it is used.

namespace lq {

// The settings upsert: ?1 key, ?2 value; a second write of a key replaces its value.
inline constexpr char kSetSettingSql[] =
    "INSERT INTO settings (key, value) VALUES (?1, ?2) ON CONFLICT(key) DO UPDATE SET value = excluded.value";

// Every note whose content holds ?1, ASCII letters folded, in id order: searching and replacing in all notes.
inline constexpr char kNotesContainingSql[] =
    "SELECT id, content FROM notes WHERE instr(lower(content), lower(?1)) > 0 ORDER BY id";

// The search across all notes: ?1 in a title or content, ASCII letters folded, sidebar order, at most
// 500. Run by NoteStore::SearchNotes, and by the scan benchmark as the raw statement it compares with.
inline constexpr char kSearchNotesSql[] =
    "SELECT n.id, p.name, n.title, substr(n.content, max(1, instr(lower(n.content), lower(?1)) - 6), 80) AS snippet, "
    "instr(lower(n.content), lower(?1)) > 0 AS in_content FROM notes n JOIN projects p ON p.id = n.project_id WHERE "
    "instr(lower(n.title), lower(?1)) > 0 OR instr(lower(n.content), lower(?1)) > 0 ORDER BY p.sort_order, p.id, "
    "n.sort_order, n.id LIMIT 500";

}  // namespace lq
