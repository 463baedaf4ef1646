#include "EndToEndDatabase.h"

#include <windows.h>

#include <sqlite3.h>

#include "platform/TextConversion.h"
#include "store/Database.h"
#include "store/NoteStore.h"
#include "store/ProjectStore.h"
#include "store/SettingsStore.h"
#include "support/StoreDatabase.h"

namespace lq::test {
namespace {

constexpr const char* kSettingKeys[] = {"editor.font_size", "editor.wrap",      "sidebar.visible",
                                        "sidebar.width",    "window.placement", "last.note_id",
                                        "export.folder",    "backup.folder",    "warning.onedrive"};

std::optional<StoredState> ReadAll(Database& db) {
    StoredState state;
    std::optional<std::vector<ProjectRow>> projects = ProjectStore(db).ListProjects();
    if (!projects) return std::nullopt;
    state.projects = std::move(*projects);
    const std::optional<std::vector<NoteListRow>> rows = NoteStore(db).ListNotes();
    if (!rows) return std::nullopt;
    for (const NoteListRow& row : *rows) {
        std::optional<NoteRecord> note = NoteStore(db).GetNoteRecord(row.id);
        if (!note) return std::nullopt;
        state.notes.push_back(std::move(*note));
    }
    for (const char* key : kSettingKeys) {
        if (std::optional<std::string> value = SettingsStore(db).GetSetting(key)) state.settings[key] = *value;
    }
    return state;
}

}  // namespace

const NoteRecord* StoredState::NoteTitled(const std::string& title) const {
    for (const NoteRecord& note : notes) {
        if (note.title == title) return &note;
    }
    return nullptr;
}

std::optional<std::string> StoredState::Setting(const std::string& key) const {
    const auto found = settings.find(key);
    if (found == settings.end()) return std::nullopt;
    return found->second;
}

std::optional<StoredState> ReadStoredState(const std::wstring& path) {
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(Utf16ToUtf8(path).c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(handle);
        return std::nullopt;
    }
    // The program's own save may hold the file for a moment; a short wait rides that out.
    sqlite3_busy_timeout(handle, 500);
    Database db(handle, path);
    // One read transaction: every statement sees the same moment, and a setting that reads as
    // missing is missing, not merely locked.
    if (sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return std::nullopt;
    if (sqlite3_exec(handle, "SELECT 1 FROM sqlite_master LIMIT 1", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        return std::nullopt;
    }
    std::optional<StoredState> state = ReadAll(db);
    sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
    return state;
}

std::optional<std::string> ReadNoteContent(const std::wstring& path, int64_t noteId) {
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(Utf16ToUtf8(path).c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(handle);
        return std::nullopt;
    }
    sqlite3_busy_timeout(handle, 500);
    Database db(handle, path);
    std::optional<LoadedNote> note = NoteStore(db).GetNoteForEditor(noteId);
    if (!note) return std::nullopt;
    return std::move(note->content);
}

std::optional<StoredState> WaitForStoredState(const std::wstring& path,
                                              const std::function<bool(const StoredState&)>& holds,
                                              unsigned timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::optional<StoredState> last;
    for (;;) {
        if (std::optional<StoredState> state = ReadStoredState(path)) {
            if (holds(*state)) return state;
            last = std::move(state);
        }
        if (GetTickCount64() >= deadline) return last;
        Sleep(50);
    }
}

std::optional<int64_t> MakeDatabaseWithNote(const std::wstring& path, const std::string& title,
                                            std::string_view content, const NoteViewState& view,
                                            const std::map<std::string, std::string>& settings) {
    std::unique_ptr<Database> db = OpenStoreDatabase(path);
    if (!db) return std::nullopt;
    const std::optional<int64_t> project = ProjectStore(*db).InsertProject("Inbox", 1);
    if (!project) return std::nullopt;
    const std::optional<int64_t> note = NoteStore(*db).InsertNote(*project, title, 1);
    if (!note || !NoteStore(*db).SaveNote(*note, content, view, 1)) return std::nullopt;
    SettingsStore store(*db);
    if (!store.SetSetting("last.note_id", std::to_string(*note))) return std::nullopt;
    for (const auto& [key, value] : settings) {
        if (!store.SetSetting(key, value)) return std::nullopt;
    }
    return note;
}

}  // namespace lq::test
