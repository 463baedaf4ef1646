#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "store/Rows.h"

namespace lq {

class Database;
class Statement;

// The statements on table notes. Borrows the Database, which must outlive it. Every operation reports
// failure through its result (the text is Database::LastError) and leaves its statement reset.
// Matching across notes folds ASCII letters only (SQLite's lower) and counts characters; the query is
// always bound, never spliced into SQL.
class NoteStore {
public:
    explicit NoteStore(Database& db) noexcept : db_(&db) {}

    // A new empty note, last in its project; the new id, or empty on failure.
    [[nodiscard]] std::optional<int64_t> InsertNote(int64_t projectId, std::string_view title, int64_t now);

    // Every note whose project exists, in sidebar order; openedAt is 0. Empty (no list at all) when any
    // step fails, so a damaged table never passes for a short one.
    [[nodiscard]] std::optional<std::vector<NoteListRow>> ListNotes();

    // Notes whose title or content holds the query, in sidebar order, at most 500, each with 80
    // characters of content from 6 before the first match in it. An empty query gives an empty list
    // without touching the database; empty (no list) when any step fails. Given `unreadable`, notes
    // whose text cannot be read (a damaged page) are passed over and listed there, in id order.
    [[nodiscard]] std::optional<std::vector<SearchHit>> SearchNotes(std::string_view query,
                                                                    std::vector<int64_t>* unreadable = nullptr);

    // Calls `visit` with the id and content (valid during the call only) of every note whose content
    // holds the query and whose project exists (the notes the sidebar lists), in id order. True when the scan reached
    // its end (at once for an empty query). Shares its statement with the replace in all notes: neither may run inside
    // the other's callback. Given `unreadable`, passes over the notes whose text cannot be read and lists them there;
    // the notes it lists already are passed over from the start.
    [[nodiscard]] bool ForEachNoteContaining(std::string_view query,
                                             const std::function<void(int64_t id, std::string_view content)>& visit,
                                             std::vector<int64_t>* unreadable = nullptr);

    // The row the statement is on, read by column position: id, project_id, title, content, the six
    // view columns, created_at, updated_at.
    [[nodiscard]] static NoteRecord ReadNoteRecord(const Statement& statement);

    // One whole row; empty when there is no such note or reading failed.
    [[nodiscard]] std::optional<NoteRecord> GetNoteRecord(int64_t id);

    // Puts a deleted note back under its old id when that id is free, else under a fresh one, into the
    // given project at the given sort order. The id the row received, or empty on failure.
    [[nodiscard]] std::optional<int64_t> RestoreNote(const NoteRecord& record, int64_t projectId, int64_t sortOrder);

    // What the editor needs of one note; empty when there is no such note or reading failed.
    [[nodiscard]] std::optional<LoadedNote> GetNoteForEditor(int64_t id);

    // Writes content and view; true only when exactly one row changed (a deleted note fails).
    [[nodiscard]] bool SaveNote(int64_t id, std::string_view content, const NoteViewState& view, int64_t now);

    // Writes the view only; true when the statement ran, even if no such note exists.
    [[nodiscard]] bool SaveViewState(int64_t id, const NoteViewState& view);

private:
    Database* db_;
};

}  // namespace lq
