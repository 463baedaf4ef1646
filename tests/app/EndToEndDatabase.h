#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Rows.h"

namespace lq::test {

// What the program left in its database file, read through a second, read-only connection that is
// opened for the one look and closed again, so it never holds a lock the program has to wait for.
struct StoredState {
    std::vector<ProjectRow> projects;
    std::vector<NoteRecord> notes;                // in list order
    std::map<std::string, std::string> settings;  // the program's settings keys that are present

    // The note with this title, or null.
    [[nodiscard]] const NoteRecord* NoteTitled(const std::string& title) const;
    // The setting's value, or none when the row is missing.
    [[nodiscard]] std::optional<std::string> Setting(const std::string& key) const;
};

// Makes a new database file the program's way holding project "Inbox" with one note, `title` with
// `content` and `view`, which the program opens at start ("last.note_id"), and the given settings.
// The note's id; none when any of it could not be stored.
[[nodiscard]] std::optional<int64_t> MakeDatabaseWithNote(const std::wstring& path, const std::string& title,
                                                          std::string_view content, const NoteViewState& view,
                                                          const std::map<std::string, std::string>& settings = {});

// None when the file cannot be opened or read (for example while another connection locks it).
[[nodiscard]] std::optional<StoredState> ReadStoredState(const std::wstring& path);

// The stored content of one note, read by itself, so another note that cannot be read does not hide
// it; none when the file or that row cannot be read.
[[nodiscard]] std::optional<std::string> ReadNoteContent(const std::wstring& path, int64_t noteId);

// Reads the file until `holds` accepts what is stored, or `timeoutMs` has passed; the last state read
// (none when no read succeeded).
[[nodiscard]] std::optional<StoredState> WaitForStoredState(const std::wstring& path,
                                                            const std::function<bool(const StoredState&)>& holds,
                                                            unsigned timeoutMs = 10000);

}  // namespace lq::test
