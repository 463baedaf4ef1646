#include "workspace/Workspace.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "editor/EditorFailure.h"
#include "editor/EditorView.h"
#include "platform/Clock.h"
#include "store/Database.h"
#include "store/MappedReads.h"
#include "store/Statement.h"
#include "store/Transaction.h"
#include "workspace/BackgroundDocumentSwap.h"
#include "workspace/WorkspaceSql.h"

namespace lq {
namespace {

// The attached document's text, in place: valid until the document next changes.
std::string_view AttachedText(Scintilla::ScintillaCall& call) {
    const Scintilla::Position length = call.Length();
    const auto* text = static_cast<const char*>(call.CharacterPointer());
    return text == nullptr ? std::string_view() : std::string_view(text, static_cast<size_t>(length));
}

bool StoreExpanded(Database& db, int64_t projectId, bool expanded) {
    Statement* statement = db.Prepare(kSetProjectExpandedSql);
    if (statement == nullptr) return false;
    const bool ran = statement->Reset().BindInt64(1, expanded ? 1 : 0).BindInt64(2, projectId).Execute();
    // A project deleted meanwhile changes no row: that is a failed save, not a saved flag.
    const bool ok = ran && db.Changes() == 1;
    statement->Reset();
    return ok;
}

}  // namespace

std::unordered_map<std::string, std::string> Workspace::CollectSettings() {
    std::unordered_map<std::string, std::string> collected;
    collected["editor.font_size"] = std::to_string(editor.fontSize());
    collected["editor.wrap"] = editor.wrap() ? "1" : "0";
    collected["last.note_id"] = currentNoteId != 0 ? std::to_string(currentNoteId) : std::string();
    if (placementProvider) collected["window.placement"] = placementProvider();
    if (sidebarProvider) {
        const auto [width, visible] = sidebarProvider();
        collected["sidebar.width"] = std::to_string(width);
        collected["sidebar.visible"] = visible ? "1" : "0";
    }
    return collected;
}

void Workspace::SetProjectExpanded(int64_t projectId, bool expanded) {
    auto found = std::find_if(tree.projects.begin(), tree.projects.end(),
                              [&](const ProjectNode& node) { return node.id == projectId; });
    if (found == tree.projects.end()) return;
    found->expanded = expanded;
    if (savedExpanded.try_emplace(projectId, false).first->second == expanded) {
        pendingExpanded.erase(projectId);
    } else {
        pendingExpanded[projectId] = expanded;
    }
}

bool Workspace::HasUnsavedEditorChanges() {
    return currentNoteId != 0 && editor.call().Modify();
}

bool Workspace::HasUnsavedText() {
    return HasUnsavedEditorChanges() ||
           std::any_of(documents.begin(), documents.end(), [](const auto& cached) { return cached.second.dirty; });
}

SaveResult Workspace::SaveAll(SaveReason /*reason*/) {
    auto& call = editor.call();

    // Collect what differs from the database.
    const bool currentDirty = currentNoteId != 0 && call.Modify();
    if (currentNoteId != 0) viewStates[currentNoteId] = CaptureViewState();

    std::vector<int64_t> dirtyCached;
    for (const auto& [noteId, cached] : documents) {
        if (noteId != currentNoteId && cached.dirty && tree.FindNote(noteId) != nullptr) dirtyCached.push_back(noteId);
    }
    std::vector<int64_t> changedViews;
    for (const auto& [noteId, view] : viewStates) {
        const auto saved = savedViewStates.find(noteId);
        if (saved == savedViewStates.end() || !(saved->second == view)) changedViews.push_back(noteId);
    }
    std::vector<std::pair<std::string, std::string>> changedSettings;
    for (auto& [key, value] : CollectSettings()) {
        // An empty value is never written: with no note open the stored "last.note_id" stays.
        if (value.empty()) continue;
        if (savedSettings.try_emplace(key).first->second != value) changedSettings.emplace_back(key, std::move(value));
    }
    if (!currentDirty && dirtyCached.empty() && changedViews.empty() && changedSettings.empty() &&
        pendingExpanded.empty()) {
        return SaveResult::NothingToSave;
    }

    // Write all of it in one transaction. The guard rolls back on every way out short of a commit,
    // a component failure thrown from here included.
    const int64_t now = NowUnixMillis();
    // Until the commit below, any way out is a failed save, a component failure thrown from here
    // included, so the flag the shell reads never says a save went through that did not.
    lastSaveFailed = true;
    AllowMappedReads(false);
    Transaction transaction(db);
    bool ok = transaction.begun();
    std::unordered_set<int64_t> written;

    if (ok && currentDirty) {
        ok = notes.SaveNote(currentNoteId, AttachedText(call), viewStates[currentNoteId], now);
        written.insert(currentNoteId);
    }

    // Declared after the transaction, so the open document is back before any rollback runs.
    std::optional<BackgroundDocumentSwap> swap;
    std::vector<CachedDoc*> writtenCached;
    if (ok && !dirtyCached.empty()) {
        swap.emplace(*this);
        for (const int64_t noteId : dirtyCached) {
            CachedDoc& cached = documents.at(noteId);
            swap->Attach(cached.doc.document());
            const auto current = viewStates.find(noteId);
            const NoteViewState& view = current != viewStates.end() ? current->second : savedViewStates[noteId];
            ok = notes.SaveNote(noteId, AttachedText(call), view, now);
            written.insert(noteId);
            writtenCached.push_back(&cached);
            if (!ok) break;
        }
    }

    for (const int64_t noteId : changedViews) {
        if (!ok) break;
        if (written.contains(noteId) || tree.FindNote(noteId) == nullptr) continue;
        ok = notes.SaveViewState(noteId, viewStates[noteId]);
    }
    for (const auto& [projectId, expanded] : pendingExpanded) {
        if (!ok) break;
        if (tree.FindProject(projectId) == nullptr) continue;
        ok = StoreExpanded(db, projectId, expanded);
    }
    for (const auto& [key, value] : changedSettings) {
        if (!ok) break;
        ok = settings.SetSetting(key, value);
    }

    if (!ok || !transaction.Commit()) {
        if (swap) swap->Restore();
        return SaveResult::Failed;
    }

    // Stored is stored: memory says so before any editor call that could still throw.
    ++savesCommitted;
    for (const int64_t noteId : written) TellNoteTextChanged(noteId);
    for (CachedDoc* cached : writtenCached) cached->dirty = false;
    for (const auto& [noteId, view] : viewStates) savedViewStates[noteId] = view;
    for (const auto& [projectId, expanded] : pendingExpanded) savedExpanded[projectId] = expanded;
    pendingExpanded.clear();
    for (auto& [key, value] : changedSettings) savedSettings[key] = std::move(value);
    saveFailureReported = false;
    lastSaveFailed = false;
    AllowMappedReads(true);

    // Every written document goes to its save point, so its modified flag says again whether it
    // differs from what is stored, and undoing back past this save marks it modified.
    for (CachedDoc* cached : writtenCached) {
        swap->Attach(cached->doc.document());
        call.SetSavePoint();
    }
    if (swap) swap->Restore();
    if (currentDirty) call.SetSavePoint();
    return SaveResult::Saved;
}

SaveResult Workspace::SaveAllCatchingFailure(SaveReason reason) {
    const uint64_t committedBefore = savesCommitted;
    SaveResult result = SaveResult::Failed;
    if (RunEditorOperation(editor.call(), [&] { result = SaveAll(reason); })) return result;
    // Past the commit the data is stored and marked so; only the editor's follow-up was cut short
    // (the open document may still say modified, and the next save writes it again).
    if (savesCommitted != committedBefore) return SaveResult::Saved;
    lastSaveFailed = true;
    return SaveResult::Failed;
}

}  // namespace lq
