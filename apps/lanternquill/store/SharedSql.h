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

}  // namespace lq
