#pragma once

// SQL texts run from more than one file. The statement cache is keyed by the text's address, so each
// must be this one object everywhere it is used.

namespace lq {

// The settings upsert: ?1 key, ?2 value; a second write of a key replaces its value.
inline constexpr char kSetSettingSql[] =
    "INSERT INTO settings (key, value) VALUES (?1, ?2) ON CONFLICT(key) DO UPDATE SET value = excluded.value";

// Every note whose content holds ?1, ASCII letters folded, in id order: counting and replacing in all
// notes. Only notes whose project exists, as the sidebar and the search list them: a note the user
// cannot reach is neither counted nor rewritten. The test of the project is a lookup per row, so the
// scan stays one pass over the notes in id order, handing each row on as it is read (no sorting).
inline constexpr char kNotesContainingSql[] =
    "SELECT id, content FROM notes WHERE instr(lower(content), lower(?1)) > 0 AND EXISTS (SELECT 1 FROM projects "
    "WHERE projects.id = notes.project_id) ORDER BY id";

// The search across all notes: ?1 in a title or content, ASCII letters folded, sidebar order, at most
// 500. Run by NoteStore::SearchNotes, and by the scan benchmark as the raw statement it compares with.
inline constexpr char kSearchNotesSql[] =
    "SELECT n.id, p.name, n.title, substr(n.content, max(1, instr(lower(n.content), lower(?1)) - 6), 80) AS snippet, "
    "instr(lower(n.content), lower(?1)) > 0 AS in_content FROM notes n JOIN projects p ON p.id = n.project_id WHERE "
    "instr(lower(n.title), lower(?1)) > 0 OR instr(lower(n.content), lower(?1)) > 0 ORDER BY p.sort_order, p.id, "
    "n.sort_order, n.id LIMIT 500";

}  // namespace lq
