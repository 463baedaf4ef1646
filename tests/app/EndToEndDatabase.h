#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
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

// None when the file cannot be opened or read (for example while another connection locks it).
[[nodiscard]] std::optional<StoredState> ReadStoredState(const std::wstring& path);

// Reads the file until `holds` accepts what is stored, or `timeoutMs` has passed; the last state read
// (none when no read succeeded).
[[nodiscard]] std::optional<StoredState> WaitForStoredState(const std::wstring& path,
                                                            const std::function<bool(const StoredState&)>& holds,
                                                            unsigned timeoutMs = 10000);

}  // namespace lq::test
