#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "WorkspaceFixture.h"
#include "editor/EditorFailure.h"
#include "editor/EditorView.h"
#include "store/SettingsStore.h"
#include "support/LockingConnection.h"

namespace lq::test {
namespace {

class WorkspaceSaveTest : public WorkspaceFixture {
protected:
    // Project p with notes a ("alpha", opened at load) and b ("beta"), and project q with note c.
    Workspace& LoadThreeNotes() {
        p = AddProject("p");
        q = AddProject("q");
        a = AddNote(p, "a", "alpha");
        b = AddNote(p, "b", "beta");
        c = AddNote(q, "c", "gamma");
        Workspace& ws = LoadWorkspace();
        EXPECT_EQ(ws.currentNoteId, a);
        EXPECT_EQ(ws.SaveAll(SaveReason::UserSave), SaveResult::Saved);  // opening time and settings
        return ws;
    }

    // Leaves a with an unsaved edit in its cached document (the save on leaving fails), and shows b.
    void LeaveAEditedAndDirty(Workspace& ws) {
        call().DocumentEnd();
        Type(" one");
        LockingConnection lock(path, false);
        ASSERT_TRUE(lock.locked());
        ASSERT_TRUE(ws.OpenNote(b));
        ASSERT_TRUE(ws.documents.at(a).dirty);
    }

    // Everything that can be dirty at once: a's cached edit, b open and edited, p collapsed, a
    // changed setting, and new views.
    void MakeEverythingDirty(Workspace& ws) {
        LeaveAEditedAndDirty(ws);
        call().DocumentEnd();
        Type(" two");
        ws.SetProjectExpanded(p, false);
        window.view().SetFontSize(20);
    }

    void ExpectEverythingStored(Workspace& ws) {
        EXPECT_EQ(Stored(a).content, "alpha one");
        EXPECT_EQ(Stored(b).content, "beta two");
        EXPECT_EQ(Stored(b).view.cursorPos, 8);
        EXPECT_EQ(StoredSetting("editor.font_size"), "20");
        EXPECT_EQ(StoredSetting("last.note_id"), std::to_string(b));
        EXPECT_FALSE(ws.projects.GetProject(p)->expanded);
        EXPECT_FALSE(call().Modify());
        EXPECT_FALSE(ws.documents.at(a).dirty);
        EXPECT_TRUE(ws.pendingExpanded.empty());
        EXPECT_EQ(ws.savedViewStates, ws.viewStates);
        EXPECT_FALSE(ws.lastSaveFailed);
        EXPECT_FALSE(ws.saveFailureReported);
    }

    void ExpectEverythingStillDirty(Workspace& ws) {
        EXPECT_EQ(ws.currentNoteId, b);
        EXPECT_EQ(Attached(), ws.documents.at(b).doc.document());
        EXPECT_EQ(window.Text(), "beta two");
        EXPECT_EQ(call().CurrentPos(), 8);
        EXPECT_TRUE(EditorRedraws());
        EXPECT_TRUE(call().Modify());
        EXPECT_TRUE(ws.documents.at(a).dirty);
        EXPECT_EQ(ws.pendingExpanded.at(p), false);
        EXPECT_NE(ws.savedViewStates, ws.viewStates);
        EXPECT_NE(ws.savedSettings.at("editor.font_size"), "20");
        EXPECT_TRUE(ws.lastSaveFailed);
    }

    int64_t p = 0, q = 0, a = 0, b = 0, c = 0;
};

TEST_F(WorkspaceSaveTest, NothingChangedIsNothingToSaveAndTouchesNothing) {
    Workspace& ws = LoadThreeNotes();
    const std::string before = Dump();
    ws.lastSaveFailed = true;  // kept as it is: there was nothing to try
    {
        // Nothing is begun, so a held write lock costs no wait and no failure.
        LockingConnection lock(path, false);
        EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::NothingToSave);
    }
    EXPECT_TRUE(ws.lastSaveFailed);
    EXPECT_EQ(Dump(), before);
}

TEST_F(WorkspaceSaveTest, AMovedCaretStoresTheViewOnly) {
    Workspace& ws = LoadThreeNotes();
    const NoteRecord before = Stored(a);
    call().SetSel(1, 3);
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    const NoteRecord after = Stored(a);
    EXPECT_EQ(after.view.anchorPos, 1);
    EXPECT_EQ(after.view.cursorPos, 3);
    EXPECT_EQ(after.content, before.content);
    EXPECT_EQ(after.updatedAt, before.updatedAt);
}

TEST_F(WorkspaceSaveTest, OpeningANoteStoresItsOpeningTime) {
    Workspace& ws = LoadThreeNotes();
    EXPECT_GT(Stored(a).view.openedAt, 0);
    EXPECT_EQ(Stored(b).view.openedAt, 0);
    ASSERT_TRUE(ws.OpenNote(b));
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    EXPECT_EQ(Stored(b).view.openedAt, ws.viewStates.at(b).openedAt);
    EXPECT_GT(Stored(b).view.openedAt, 0);
}

TEST_F(WorkspaceSaveTest, ExpandedFlagsAreStoredOnlyWhenTheyDiffer) {
    Workspace& ws = LoadThreeNotes();
    ws.SetProjectExpanded(p, false);
    ws.SetProjectExpanded(p, true);
    EXPECT_TRUE(ws.pendingExpanded.empty());
    ws.SetProjectExpanded(9999, false);
    EXPECT_TRUE(ws.pendingExpanded.empty());
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::NothingToSave);
    ws.SetProjectExpanded(q, false);
    EXPECT_FALSE(ws.tree.FindProject(q)->expanded);
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    EXPECT_FALSE(ws.projects.GetProject(q)->expanded);
    EXPECT_FALSE(ws.savedExpanded.at(q));
}

TEST_F(WorkspaceSaveTest, ProvidedSettingsAreCollectedOnlyOnceTheirProviderIsSet) {
    Workspace& ws = LoadThreeNotes();
    auto collected = ws.CollectSettings();
    EXPECT_EQ(collected.size(), 3u);
    EXPECT_EQ(collected.at("editor.font_size"), "16");
    EXPECT_EQ(collected.at("editor.wrap"), "1");
    EXPECT_EQ(collected.at("last.note_id"), std::to_string(a));
    ws.placementProvider = [] { return std::string("0,1,2"); };
    ws.sidebarProvider = [] { return std::pair<int32_t, bool>(-7, false); };
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    EXPECT_EQ(StoredSetting("window.placement"), "0,1,2");
    EXPECT_EQ(StoredSetting("sidebar.width"), "-7");
    EXPECT_EQ(StoredSetting("sidebar.visible"), "0");
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::NothingToSave);
}

TEST_F(WorkspaceSaveTest, WithNoNoteOpenTheStoredLastNoteStays) {
    const int64_t empty = AddProject("empty");
    Workspace& ws = LoadThreeNotes();
    ASSERT_TRUE(ws.OpenProject(empty));
    EXPECT_EQ(ws.CollectSettings().at("last.note_id"), "");
    window.view().SetWrap(false);
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    EXPECT_EQ(StoredSetting("editor.wrap"), "0");
    EXPECT_EQ(StoredSetting("last.note_id"), std::to_string(a));
}

TEST_F(WorkspaceSaveTest, TheOpenAndACachedNoteAreWrittenTogetherAndBothAreMarkedSaved) {
    Workspace& ws = LoadThreeNotes();
    MakeEverythingDirty(ws);
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    ExpectEverythingStored(ws);
    EXPECT_EQ(Attached(), ws.documents.at(b).doc.document());
    EXPECT_TRUE(EditorRedraws());
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::NothingToSave);
}

// A cached document written in the background gets its save point too: its modified flag must say
// whether it differs from the database, also after undoing back past the write.
TEST_F(WorkspaceSaveTest, ABackgroundWrittenDocumentIsAtItsSavePoint) {
    Workspace& ws = LoadThreeNotes();
    LeaveAEditedAndDirty(ws);
    ASSERT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    ASSERT_EQ(Stored(a).content, "alpha one");
    ASSERT_TRUE(ws.OpenNote(a));
    EXPECT_FALSE(call().Modify());
    call().Undo();  // back to "alpha", which is no longer what is stored
    EXPECT_EQ(window.Text(), "alpha");
    EXPECT_TRUE(call().Modify());
    EXPECT_TRUE(ws.HasUnsavedEditorChanges());
    ASSERT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    EXPECT_EQ(Stored(a).content, "alpha");
}

// What makes a save fail: another connection holding the write lock, or one statement refused inside
// the transaction (the open note's update, the cached note's, a setting's).
struct FailureCause {
    const char* name;
    bool lockDatabase;
    const char* refusingTriggers;  // %a and %b stand for the notes' ids
};

class WorkspaceSaveFailureTest : public WorkspaceSaveTest, public ::testing::WithParamInterface<FailureCause> {};

std::string WithIds(std::string sql, int64_t a, int64_t b) {
    for (size_t at; (at = sql.find("%a")) != std::string::npos;) sql.replace(at, 2, std::to_string(a));
    for (size_t at; (at = sql.find("%b")) != std::string::npos;) sql.replace(at, 2, std::to_string(b));
    return sql;
}

// A failed save stores nothing at all, leaves everything dirty with the open note showing, and the
// next save stores it all.
TEST_P(WorkspaceSaveFailureTest, StoresNothingLeavesEverythingDirtyAndTheNextSaveStoresAll) {
    const FailureCause& cause = GetParam();
    Workspace& ws = LoadThreeNotes();
    MakeEverythingDirty(ws);
    const std::string before = Dump();
    if (cause.refusingTriggers) Exec(WithIds(cause.refusingTriggers, a, b));
    {
        std::optional<LockingConnection> lock;
        if (cause.lockDatabase) {
            lock.emplace(path, false);
            ASSERT_TRUE(lock->locked());
        }
        EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Failed);
    }
    ExpectEverythingStillDirty(ws);
    if (cause.refusingTriggers) Exec("DROP TRIGGER refuse; DROP TRIGGER IF EXISTS refuse_insert;");
    EXPECT_EQ(Dump(), before);

    ws.saveFailureReported = true;
    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    ExpectEverythingStored(ws);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, WorkspaceSaveFailureTest,
    ::testing::Values(
        FailureCause{"WriteLockHeld", true, nullptr},
        FailureCause{
            "CachedNoteRefused", false,
            "CREATE TRIGGER refuse BEFORE UPDATE ON notes WHEN old.id = %a BEGIN SELECT RAISE(ABORT, 'no'); END;"},
        FailureCause{
            "OpenNoteRefused", false,
            "CREATE TRIGGER refuse BEFORE UPDATE ON notes WHEN old.id = %b BEGIN SELECT RAISE(ABORT, 'no'); END;"},
        FailureCause{"SettingRefused", false,
                     "CREATE TRIGGER refuse BEFORE UPDATE ON settings BEGIN SELECT RAISE(ABORT, 'no'); END;"
                     "CREATE TRIGGER refuse_insert BEFORE INSERT ON settings BEGIN SELECT RAISE(ABORT, 'no'); END;"}),
    [](const ::testing::TestParamInfo<FailureCause>& param) { return std::string(param.param.name); });

// A component failure in the middle of writing cached documents must not leave one of them attached
// (the next save would write its text into the open note's row) nor drawing switched off.
TEST_F(WorkspaceSaveTest, AComponentFailureDuringTheSwapPutsTheOpenNoteBack) {
    Workspace& ws = LoadThreeNotes();
    LeaveAEditedAndDirty(ws);
    ASSERT_TRUE(ws.OpenNote(c));
    call().DocumentEnd();
    Type(" three");
    {
        LockingConnection lock(path, false);
        ASSERT_TRUE(ws.OpenNote(b));
    }
    ASSERT_TRUE(ws.documents.at(c).dirty);
    call().DocumentEnd();
    Type(" two");
    const std::string before = Dump();
    // Whichever cached note is written first fails the component; the next call throws.
    FailEditorWhenNoteUpdated(*db, window.editor(), {a, c});
    EXPECT_THROW((void)ws.SaveAll(SaveReason::Timer), Scintilla::Failure);
    window.view().RecoverFromFailure();
    Exec("DROP TRIGGER temp.fail_editor_on_update;");
    EXPECT_EQ(Dump(), before);  // rolled back
    EXPECT_EQ(Attached(), ws.documents.at(b).doc.document());
    EXPECT_EQ(window.Text(), "beta two");
    EXPECT_EQ(call().CurrentPos(), 8);
    EXPECT_TRUE(EditorRedraws());
    EXPECT_TRUE(call().Modify());
    EXPECT_TRUE(ws.documents.at(a).dirty);
    EXPECT_TRUE(ws.documents.at(c).dirty);

    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    EXPECT_EQ(Stored(a).content, "alpha one");
    EXPECT_EQ(Stored(b).content, "beta two");
    EXPECT_EQ(Stored(c).content, "gamma three");
    EXPECT_EQ(Attached(), ws.documents.at(b).doc.document());
}

// The component fails as a cached note's update is refused, so the failure meets the way back to the
// open note: the open note's document and view must still come back, and the save counts as failed.
TEST_F(WorkspaceSaveTest, AComponentFailureOnTheWayBackFromAFailedSaveStillPutsTheOpenNoteBack) {
    Workspace& ws = LoadThreeNotes();
    LeaveAEditedAndDirty(ws);
    call().DocumentEnd();
    Type(" two");
    const std::string before = Dump();
    FailEditorWhenNoteUpdated(*db, window.editor(), {-1});  // only to define fail_editor()
    Exec("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON notes WHEN old.id = " + std::to_string(a) +
         " BEGIN SELECT fail_editor(); SELECT RAISE(ABORT, 'no'); END;");
    ws.lastSaveFailed = false;
    EXPECT_THROW((void)ws.SaveAll(SaveReason::Timer), Scintilla::Failure);
    window.view().RecoverFromFailure();
    Exec("DROP TRIGGER temp.refuse;");

    EXPECT_EQ(Dump(), before);
    EXPECT_TRUE(ws.lastSaveFailed);
    EXPECT_EQ(Attached(), ws.documents.at(b).doc.document());
    EXPECT_EQ(window.Text(), "beta two");
    EXPECT_EQ(call().CurrentPos(), 8);
    EXPECT_TRUE(EditorRedraws());
    EXPECT_TRUE(call().Modify());
    EXPECT_TRUE(ws.documents.at(a).dirty);

    EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
    EXPECT_EQ(Stored(a).content, "alpha one");
    EXPECT_EQ(Stored(b).content, "beta two");
    // Opening a again shows its own text: its document survived the swap with its reference intact.
    ASSERT_TRUE(ws.OpenNote(a));
    EXPECT_EQ(window.Text(), "alpha one");
    ASSERT_TRUE(ws.OpenNote(b));
    EXPECT_EQ(window.Text(), "beta two");
}

TEST_F(WorkspaceSaveTest, AFailedSaveOnLeavingStillSwitchesAndKeepsTheEdits) {
    Workspace& ws = LoadThreeNotes();
    LeaveAEditedAndDirty(ws);
    EXPECT_EQ(ws.currentNoteId, b);
    EXPECT_EQ(window.Text(), "beta");
    EXPECT_TRUE(ws.lastSaveFailed);
    EXPECT_EQ(Stored(a).content, "alpha");
    ASSERT_TRUE(ws.OpenNote(a));
    EXPECT_EQ(window.Text(), "alpha one");
    EXPECT_TRUE(call().Modify());
}

}  // namespace
}  // namespace lq::test
