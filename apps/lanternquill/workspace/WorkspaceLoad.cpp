#include "workspace/Workspace.h"

#include <array>
#include <optional>

#include "platform/Clock.h"
#include "store/Database.h"
#include "store/MappedReads.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "workspace/ParseOptionalInt64.h"
#include "workspace/WorkspaceSql.h"

namespace lq {
namespace {

// The settings Load records as stored, in the order it reads them.
constexpr std::array<const char*, 6> kLoadedSettingKeys = {
    "editor.font_size", "editor.wrap", "last.note_id", "window.placement", "sidebar.width", "sidebar.visible",
};

constexpr char kFirstProjectName[] = "Inbox";
constexpr char kFirstNoteTitle[] = "Memo";

// The stored last note when it still exists, else the first note in tree order, else the first
// project with the empty document.
bool OpenPreferredStartupNote(Workspace& workspace) {
    const std::optional<int64_t> lastNote = ParseOptionalInt64(workspace.settings.GetSetting("last.note_id"));
    if (lastNote && workspace.tree.FindNote(*lastNote) != nullptr) return workspace.OpenNote(*lastNote);
    for (const ProjectNode& project : workspace.tree.projects) {
        if (!project.notes.empty()) return workspace.OpenNote(project.notes.front().id);
    }
    return workspace.OpenProject(workspace.tree.projects.front().id);
}

// One damaged note must not keep the user from all the others: when the start-up note's text cannot
// be read, the first note in tree order that can be read opens instead, else the first project with
// the empty document. `unreadableNoteId` keeps naming the note passed over, for the start-up to tell.
bool OpenStartupNote(Workspace& workspace) {
    if (OpenPreferredStartupNote(workspace)) return true;
    const int64_t unreadable = workspace.unreadableNoteId;
    if (unreadable == 0) return false;
    for (const ProjectNode& project : workspace.tree.projects) {
        for (const NoteListRow& note : project.notes) {
            if (note.id == unreadable) continue;
            const bool opened = workspace.OpenNote(note.id);
            if (!opened && workspace.unreadableNoteId == 0) return false;
            if (opened) {
                workspace.unreadableNoteId = unreadable;
                return true;
            }
        }
    }
    workspace.ShowEmptyDocument();
    workspace.currentProjectId = workspace.tree.projects.front().id;
    workspace.unreadableNoteId = unreadable;
    return true;
}

}  // namespace

LoadResult Workspace::Load() {
    savedSettings.clear();
    for (const char* key : kLoadedSettingKeys) {
        // A setting that cannot be read counts as absent.
        savedSettings[key] = settings.GetSetting(key).value_or(std::string());
    }

    // A failed listing must not pass for an empty database: the first-run data would then be
    // inserted beside projects that exist. Its code is read at once, before any other statement.
    {
        // Nothing has been typed yet, so the listing may read the file mapped (see MappedReads):
        // under Wine that is many times faster on a large file.
        const MappedReads mapped(db);
        if (!LoadProjects()) return LoadResult{false, db.LastErrorCode()};
    }
    if (!EnsureFirstRunData()) return LoadResult{};
    return LoadResult{OpenStartupNote(*this)};
}

bool Workspace::LoadProjects() {
    std::optional<std::vector<ProjectRow>> projectRows = projects.ListProjects();
    if (!projectRows) return false;
    const std::optional<std::vector<NoteListRow>> noteRows = notes.ListNotes();
    if (!noteRows) return false;

    savedExpanded.clear();
    for (const ProjectRow& row : *projectRows) savedExpanded[row.id] = row.expanded;
    tree.Rebuild(std::move(*projectRows), *noteRows);
    lastOpenedNote.clear();
    lastOpenedLoaded.clear();
    return true;
}

void Workspace::LoadLastOpened(int64_t projectId) {
    if (!lastOpenedLoaded.insert(projectId).second) return;
    // Mapped when nothing typed is pending (a mapped page that cannot be read ends the process, see
    // MappedReads): the walk over the texts' pages then costs no round trip to the system per page.
    std::optional<MappedReads> mapped;
    if (!HasUnsavedText()) mapped.emplace(db);
    Statement* statement = db.Prepare(kLastOpenedNoteSql);
    if (statement == nullptr) return;
    const ScopedReset reset(*statement);
    // A failing read leaves the project without a stored last note: its first note opens.
    if (statement->Reset().BindInt64(1, projectId).Step())
        lastOpenedNote.try_emplace(projectId, statement->ColumnInt64(0));
}

bool Workspace::EnsureFirstRunData() {
    if (!tree.projects.empty()) return true;
    const int64_t now = NowUnixMillis();
    Transaction transaction(db);
    if (!transaction.begun()) return false;
    const std::optional<int64_t> projectId = projects.InsertProject(kFirstProjectName, now);
    if (!projectId) return false;
    const std::optional<int64_t> noteId = notes.InsertNote(*projectId, kFirstNoteTitle, now);
    if (!noteId) return false;
    if (!transaction.Commit()) return false;
    TellNoteTextChanged(*noteId);

    tree.AppendProject(ProjectRow{*projectId, kFirstProjectName, 0, true});
    tree.InsertNote(NoteListRow{*noteId, *projectId, kFirstNoteTitle, 0, 0}, 0);
    savedExpanded[*projectId] = true;
    return true;
}

}  // namespace lq
