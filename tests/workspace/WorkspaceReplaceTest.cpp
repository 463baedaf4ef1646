#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WorkspaceFixture.h"
#include "store/MappedReads.h"
#include "support/LockingConnection.h"
#include "support/MapProbe.h"
#include "support/StatementTrace.h"

namespace lq::test {
namespace {

class WorkspaceReplaceTest : public WorkspaceFixture {
protected:
    // Nothing left to save, so that a test sees only what the replace writes.
    void SaveEverything(Workspace& ws) { ASSERT_NE(ws.SaveAll(SaveReason::UserSave), SaveResult::Failed); }

    static NoteViewState Caret(int64_t caret, int64_t anchor) {
        NoteViewState view;
        view.cursorPos = caret;
        view.anchorPos = anchor;
        return view;
    }
};

// The open note keeps its caret's line and column, a cached note's document is released and opens
// with the new text, a note never opened gets its stored caret carried, and neither titles nor
// full-width letters match. The count shown beforehand is the number of replacements made.
TEST_F(WorkspaceReplaceTest, RewritesEveryMatchingNoteAndKeepsTheOpenNotesCaretOnACharacter) {
    const int64_t p = AddProject("p");
    const int64_t a = AddNote(p, "a", "abcdef\r\nxyz ab");
    const int64_t b = AddNote(p, "b", "AB here");
    const int64_t c = AddNote(p, "c", "xxab\r\nmore", Caret(4, 4));
    const int64_t titled = AddNote(p, "ab ab", "nothing");
    const int64_t wide = AddNote(p, "w", "ＡＢ ａｂ");
    Workspace& ws = LoadWorkspace();
    ASSERT_TRUE(ws.OpenNote(b));
    ASSERT_TRUE(ws.OpenNote(a));
    call().SetSel(1, 4);  // anchor in column 1, caret in column 4 of "abcdef"
    SaveEverything(ws);
    const int64_t updatedBefore = Stored(titled).updatedAt;

    EXPECT_EQ(ws.CountInAllNotes("aB"), (ReplaceCount{4, 3}));
    const ReplaceAllOutcome outcome = ws.ReplaceInAllNotes("aB", "日本");
    EXPECT_EQ(outcome.status, ReplaceAllStatus::Replaced);
    EXPECT_EQ(outcome.totalReplaced, 4);
    EXPECT_EQ(outcome.notesChanged, 3);
    EXPECT_EQ(outcome.changedNoteIds, (std::vector<int64_t>{a, b, c}));

    // The open note: new text, no unsaved change. The selection overlapped the match, so it covers the
    // whole replacement with the rest of what it held ("cd"), not a part of the replacement.
    EXPECT_EQ(ws.currentNoteId, a);
    EXPECT_EQ(window.Text(), "日本cdef\r\nxyz 日本");
    EXPECT_FALSE(call().Modify());
    EXPECT_EQ(call().CurrentPos(), 8);
    EXPECT_EQ(call().Anchor(), 0);
    EXPECT_EQ(ws.documents.at(a).lengthBytes, static_cast<int64_t>(window.Text().size()));
    EXPECT_EQ(Stored(a).content, "日本cdef\r\nxyz 日本");
    EXPECT_EQ(Stored(a).view.cursorPos, 8);
    EXPECT_EQ(Stored(a).view.anchorPos, 0);
    EXPECT_EQ(ws.SaveAll(SaveReason::UserSave), SaveResult::NothingToSave);

    // The never-opened note: its stored caret, column 4, falls inside 日 (bytes 2 to 4) of "xx日本".
    EXPECT_EQ(Stored(c).content, "xx日本\r\nmore");
    EXPECT_EQ(Stored(c).view.cursorPos, 2);
    EXPECT_EQ(Stored(c).view.anchorPos, 2);
    EXPECT_EQ(Stored(titled).content, "nothing");
    EXPECT_EQ(Stored(titled).updatedAt, updatedBefore);
    EXPECT_EQ(Stored(wide).content, "ＡＢ ａｂ");

    // The cached note's old document is gone: opening it shows the stored new text.
    EXPECT_FALSE(ws.documents.contains(b));
    ASSERT_TRUE(ws.OpenNote(b));
    EXPECT_EQ(window.Text(), "日本 here");
    EXPECT_EQ(ws.CountInAllNotes("ab"), (ReplaceCount{0, 0}));
}

// After the commit the open note's document cannot be given the new text: the component fails before
// it is touched (its status set while the row was updated, so the old text stays, at its save point)
// or as the new text reaches its save point. The document must never pass for stored text it does not
// hold: the user's next edit would store it over the replacement.
TEST_F(WorkspaceReplaceTest, AComponentFailureWhileShowingTheNewTextReloadsTheOpenNoteFromTheDatabase) {
    for (const bool beforeTheText : {true, false}) {
        SCOPED_TRACE(beforeTheText ? "before the text" : "at the save point");
        const int64_t p = AddProject("p");
        const int64_t a = AddNote(p, "a", "one fish\r\ntwo fish");
        Workspace& ws = LoadWorkspace();
        call().GotoPos(12);  // line 1, column 2
        SaveEverything(ws);
        bool failed = false;
        if (beforeTheText) {
            FailEditorWhenNoteUpdated(*db, window.editor(), {a});
        } else {
            window.onNotify = [&](const Scintilla::NotificationData& n) {
                if (!failed && n.nmhdr.code == Scintilla::Notification::SavePointReached) {
                    failed = true;
                    SendMessageW(window.editor(), SCI_SETSTATUS, SC_STATUS_FAILURE, 0);
                }
            };
        }
        ReplaceAllOutcome outcome;
        EXPECT_NO_THROW(outcome = ws.ReplaceInAllNotes("fish", "cat"));
        window.onNotify = nullptr;
        if (beforeTheText) Exec("DROP TRIGGER temp.fail_editor_on_update;");
        EXPECT_TRUE(beforeTheText || failed);

        EXPECT_EQ(outcome.status, ReplaceAllStatus::Replaced);
        EXPECT_EQ(outcome.totalReplaced, 2);
        EXPECT_EQ(ws.currentNoteId, a);
        ASSERT_TRUE(ws.documents.contains(a));
        EXPECT_EQ(Attached(), ws.documents.at(a).doc.document());
        EXPECT_EQ(window.Text(), "one cat\r\ntwo cat");
        EXPECT_FALSE(call().Modify());
        EXPECT_EQ(call().CurrentPos(), 11);
        EXPECT_NE(ws.SaveAll(SaveReason::Timer), SaveResult::Failed);
        EXPECT_EQ(Stored(a).content, "one cat\r\ntwo cat");
        // The user's next edit lands in the new text.
        call().DocumentEnd();
        Type("!");
        EXPECT_EQ(ws.SaveAll(SaveReason::Timer), SaveResult::Saved);
        EXPECT_EQ(Stored(a).content, "one cat\r\ntwo cat!");
        DropWorkspace();
        Exec("DELETE FROM projects");
    }
}

TEST_F(WorkspaceReplaceTest, JapaneseTextAndAReplacementHoldingTheQueryAreReplacedOnce) {
    const int64_t p = AddProject("p");
    const int64_t a = AddNote(p, "a", "会議のメモ\r\n次のメモとメモ");
    const int64_t b = AddNote(p, "b", "メモ");
    Workspace& ws = LoadWorkspace();
    // Caret on line 1 after "次のメモ" (column 12).
    call().GotoPos(static_cast<Scintilla::Position>(std::string("会議のメモ\r\n次のメモ").size()));
    SaveEverything(ws);

    EXPECT_EQ(ws.CountInAllNotes("メモ"), (ReplaceCount{4, 2}));
    const ReplaceAllOutcome outcome = ws.ReplaceInAllNotes("メモ", "メモ帳");
    ASSERT_EQ(outcome.status, ReplaceAllStatus::Replaced);
    EXPECT_EQ(outcome.totalReplaced, 4);
    EXPECT_EQ(Stored(a).content, "会議のメモ帳\r\n次のメモ帳とメモ帳");
    EXPECT_EQ(Stored(b).content, "メモ帳");
    // Same line, same byte column: the caret now stands right after "次のメモ", before 帳.
    EXPECT_EQ(call().CurrentPos(), static_cast<Scintilla::Position>(std::string("会議のメモ帳\r\n次のメモ").size()));
    // Counting again finds each replacement once, not the text inside it twice.
    EXPECT_EQ(ws.CountInAllNotes("メモ"), (ReplaceCount{4, 2}));
}

TEST_F(WorkspaceReplaceTest, AnEmptyResultPutsTheCaretAtTheStartAndCaretsNeverLandInsideALineBreak) {
    const int64_t p = AddProject("p");
    const int64_t a = AddNote(p, "a", "delete me");
    const int64_t c = AddNote(p, "c", "abcd\r\nx delete me", Caret(3, 8));
    Workspace& ws = LoadWorkspace();
    call().DocumentEnd();
    SaveEverything(ws);

    const ReplaceAllOutcome outcome = ws.ReplaceInAllNotes("DELETE ME", "");
    ASSERT_EQ(outcome.status, ReplaceAllStatus::Replaced);
    EXPECT_EQ(window.Text(), "");
    EXPECT_EQ(call().CurrentPos(), 0);
    EXPECT_EQ(Stored(a).content, "");
    EXPECT_EQ(ws.ReplaceInAllNotes("ab", "").status, ReplaceAllStatus::Replaced);
    // "abcd" became "cd": column 3 is past its end, so the caret goes before the CR, not between
    // CR and LF where the old byte offset would put it. The anchor (line 1, column 2) is the end.
    EXPECT_EQ(Stored(c).content, "cd\r\nx ");
    EXPECT_EQ(Stored(c).view.cursorPos, 2);
    EXPECT_EQ(Stored(c).view.anchorPos, 6);
    ASSERT_TRUE(ws.OpenNote(c));
    EXPECT_EQ(call().CurrentPos(), 2);
}

TEST_F(WorkspaceReplaceTest, NothingToDoTouchesNothing) {
    const int64_t p = AddProject("p");
    const int64_t a = AddNote(p, "match in title", "text");
    Workspace& ws = LoadWorkspace();
    Type("unsaved ");
    const std::string before = Dump();
    {
        StatementTrace trace(db->handle());
        EXPECT_EQ(ws.CountInAllNotes(""), (ReplaceCount{0, 0}));
        EXPECT_EQ(ws.ReplaceInAllNotes("", "x").status, ReplaceAllStatus::NothingToDo);
        EXPECT_TRUE(trace.texts.empty());  // an empty query does not even save
    }
    EXPECT_TRUE(call().Modify());
    EXPECT_EQ(Dump(), before);

    const ReplaceAllOutcome none = ws.ReplaceInAllNotes("title", "x");  // saves first, finds nothing
    EXPECT_EQ(none.status, ReplaceAllStatus::NothingToDo);
    EXPECT_EQ(none.totalReplaced, 0);
    EXPECT_TRUE(none.changedNoteIds.empty());
    EXPECT_EQ(Stored(a).content, "unsaved text");
    EXPECT_EQ(Stored(a).title, "match in title");
}

// The open note's unsaved text cannot be stored first (another connection holds the write lock, or
// the database refuses the row): nothing is replaced anywhere and the edit is still in the editor.
TEST_F(WorkspaceReplaceTest, WhenTheOpenNoteCannotBeSavedFirstNothingChanges) {
    for (const bool byTrigger : {false, true}) {
        SCOPED_TRACE(byTrigger ? "trigger" : "lock");
        const int64_t p = AddProject("p");
        const int64_t a = AddNote(p, "a", "word");
        const int64_t b = AddNote(p, "b", "word word");
        Workspace& ws = LoadWorkspace();
        ASSERT_EQ(ws.currentNoteId, a);
        SaveEverything(ws);
        call().DocumentEnd();
        Type(" word");
        const std::string before = Dump();
        ReplaceAllOutcome outcome;
        if (byTrigger) {
            Exec("CREATE TEMP TRIGGER refuse BEFORE UPDATE OF content ON notes WHEN old.id = " + std::to_string(a) +
                 " BEGIN SELECT RAISE(ABORT, 'refused'); END;");
            outcome = ws.ReplaceInAllNotes("word", "x");
            Exec("DROP TRIGGER refuse");
        } else {
            LockingConnection lock(path, false);
            ASSERT_TRUE(lock.locked());
            outcome = ws.ReplaceInAllNotes("word", "x");
        }
        EXPECT_EQ(outcome.status, ReplaceAllStatus::OpenNoteNotSaved);
        EXPECT_EQ(outcome.totalReplaced, 0);
        EXPECT_EQ(Dump(), before);
        EXPECT_EQ(window.Text(), "word word");
        EXPECT_TRUE(call().Modify());
        EXPECT_EQ(Stored(b).content, "word word");
        DropWorkspace();
        Exec("DELETE FROM projects");
    }
}

TEST_F(WorkspaceReplaceTest, AFailingTransactionLeavesTheDatabaseAndEveryDocumentAsTheyWere) {
    const int64_t p = AddProject("p");
    const int64_t a = AddNote(p, "a", "one fish\r\ntwo fish");
    const int64_t b = AddNote(p, "b", "red fish");
    const int64_t c = AddNote(p, "c", "blue fish");
    Workspace& ws = LoadWorkspace();
    ASSERT_TRUE(ws.OpenNote(b));
    ASSERT_TRUE(ws.OpenNote(a));
    call().GotoPos(12);
    SaveEverything(ws);
    void* shown = Attached();
    void* cached = ws.documents.at(b).doc.document();
    const std::string before = Dump();

    const auto expectUnchanged = [&](const ReplaceAllOutcome& outcome, ReplaceAllStatus status) {
        EXPECT_EQ(outcome.status, status);
        EXPECT_EQ(outcome.totalReplaced, 0);
        EXPECT_EQ(outcome.notesChanged, 0);
        EXPECT_TRUE(outcome.changedNoteIds.empty());
        EXPECT_EQ(Dump(), before);
        EXPECT_EQ(Attached(), shown);
        EXPECT_EQ(window.Text(), "one fish\r\ntwo fish");
        EXPECT_EQ(call().CurrentPos(), 12);
        EXPECT_FALSE(call().Modify());
        ASSERT_TRUE(ws.documents.contains(b));
        EXPECT_EQ(ws.documents.at(b).doc.document(), cached);
    };

    // The last update is refused after the others ran.
    Exec("CREATE TEMP TRIGGER refuse BEFORE UPDATE OF content ON notes WHEN old.id = " + std::to_string(c) +
         " BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    expectUnchanged(ws.ReplaceInAllNotes("fish", "cat"), ReplaceAllStatus::DatabaseFailed);
    Exec("DROP TRIGGER refuse");

    // The note vanished meanwhile: its update changes no row.
    Exec("CREATE TEMP TRIGGER vanish BEFORE UPDATE OF content ON notes WHEN old.id = " + std::to_string(c) +
         " BEGIN SELECT RAISE(IGNORE); END;");
    expectUnchanged(ws.ReplaceInAllNotes("fish", "cat"), ReplaceAllStatus::DatabaseFailed);
    Exec("DROP TRIGGER vanish");

    {
        // Nothing to save, but the transaction cannot begin.
        LockingConnection lock(path, false);
        ASSERT_TRUE(lock.locked());
        expectUnchanged(ws.ReplaceInAllNotes("fish", "cat"), ReplaceAllStatus::DatabaseFailed);
    }
    {
        // The scan fails midway: never taken for "no match".
        StatementInterrupter interrupt(*db, "SELECT id, content FROM notes");
        expectUnchanged(ws.ReplaceInAllNotes("fish", "cat"), ReplaceAllStatus::DatabaseFailed);
        EXPECT_FALSE(ws.CountInAllNotes("fish").has_value());
        EXPECT_GT(interrupt.interruptions(), 0);
    }
    EXPECT_EQ(ws.ReplaceInAllNotes("fish", "cat").totalReplaced, 4);
}

// The replace reads every note mapped, right after its save, and writes the save and its updates
// through the file. Once a save has failed (typed text is pending) no scan maps, until a save goes
// through again.
TEST_F(WorkspaceReplaceTest, ReadsMappedOnlyAfterASaveThatWentThroughAndWritesUnmapped) {
    const int64_t p = AddProject("p");
    const int64_t a = AddNote(p, "a", "word");
    AddNote(p, "b", "word word");
    Workspace& ws = LoadWorkspace();
    ASSERT_EQ(ws.currentNoteId, a);
    MapProbe probe(db->handle());
    ASSERT_TRUE(probe.installed());
    const auto all = [](const std::vector<int64_t>& limits, int64_t expected) {
        return !limits.empty() && std::all_of(limits.begin(), limits.end(), [&](int64_t l) { return l == expected; });
    };

    call().DocumentEnd();
    Type(" word");
    EXPECT_EQ(ws.ReplaceInAllNotes("word", "x").totalReplaced, 4);
    EXPECT_TRUE(all(probe.reads, kMappedReadBytes)) << testing::PrintToString(probe.reads);
    // The typed text's save, then the two rewritten notes.
    EXPECT_TRUE(all(probe.writes, 0)) << testing::PrintToString(probe.writes);
    EXPECT_GE(probe.writes.size(), 3u);
    EXPECT_EQ(MapLimit(db->handle()), 0);

    Type(" x");
    {
        LockingConnection lock(path, false);
        ASSERT_TRUE(lock.locked());
        EXPECT_EQ(ws.ReplaceInAllNotes("x", "y").status, ReplaceAllStatus::OpenNoteNotSaved);
    }
    probe.Clear();
    {
        const MappedReads scan(*db);
        EXPECT_FALSE(scan.mapped());
        EXPECT_EQ(ws.CountInAllNotes("x"), (ReplaceCount{4, 2})) << "the stored texts only";
    }
    EXPECT_TRUE(all(probe.reads, 0)) << testing::PrintToString(probe.reads);

    ASSERT_EQ(ws.SaveAll(SaveReason::UserSave), SaveResult::Saved);
    probe.Clear();
    EXPECT_EQ(ws.ReplaceInAllNotes("x", "y").totalReplaced, 5);
    EXPECT_TRUE(all(probe.reads, kMappedReadBytes)) << testing::PrintToString(probe.reads);
}

// The count gives the same figures read mapped as through the file API, over notes with one match,
// many, Japanese text, matches long enough to leave a note's page, and text that runs on only across
// two notes (which is no match).
TEST_F(WorkspaceReplaceTest, CountsTheSameMappedAsThroughTheFile) {
    const int64_t p = AddProject("p");
    AddNote(p, "one", "日本語のメモ end");
    AddNote(p, "many", "日本日本日本 AbAbab\r\n日本");
    AddNote(p, "long", std::string(20000, 'x') + "日本" + std::string(9000, 'a') + "tail");
    AddNote(p, "start", "start 語");
    AddNote(p, "none", "nothing");
    Workspace& ws = LoadWorkspace();
    SaveEverything(ws);
    const std::vector<std::pair<std::string, ReplaceCount>> cases = {
        {"日本", {6, 3}},     {"ab", {3, 1}},      {"AB", {3, 1}},   {"aa", {4500, 1}}, {"xxx", {6666, 1}},
        {"endstart", {0, 0}}, {"語start", {0, 0}}, {"tail", {1, 1}}, {"ＡＢ", {0, 0}},
    };
    for (const auto& [query, expected] : cases) {
        SCOPED_TRACE(query);
        std::optional<ReplaceCount> unmapped;
        {
            AllowMappedReads(false);
            const MappedReads scan(*db);
            EXPECT_FALSE(scan.mapped());
            unmapped = ws.CountInAllNotes(query);
            AllowMappedReads(true);
        }
        std::optional<ReplaceCount> mapped;
        {
            const MappedReads scan(*db);
            EXPECT_TRUE(scan.mapped());
            mapped = ws.CountInAllNotes(query);
        }
        EXPECT_EQ(unmapped, std::optional<ReplaceCount>(expected));
        EXPECT_EQ(mapped, unmapped);
    }
}

}  // namespace
}  // namespace lq::test
