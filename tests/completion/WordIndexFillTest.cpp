#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "completion/WordIndexFill.h"
#include "support/MapProbe.h"
#include "support/OnePassWordIndex.h"
#include "workspace/WorkspaceFixture.h"

namespace lq::test {
namespace {

// The index filled in slices while notes change, against one pass over the final state.
class WordIndexFillTest : public WorkspaceFixture {
protected:
    std::string_view UnsavedText(Workspace& ws) {
        if (ws.currentNoteId == 0 || !call().Modify()) return {};
        return std::string_view(static_cast<const char*>(call().CharacterPointer()),
                                static_cast<size_t>(call().Length()));
    }
    WordIndex SinglePass(Workspace& ws) { return OnePassWordIndex(db->handle(), UnsavedText(ws)); }
    // Past the word limit order matters: every note in id order but `last`, then those in id order,
    // then the open note's unsaved text.
    WordIndex PassWithLast(Workspace& ws, const std::vector<int64_t>& last) {
        WordIndex index;
        std::vector<std::string> later;
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(
            sqlite3_prepare_v2(db->handle(), "SELECT id, content FROM notes ORDER BY id", -1, &statement, nullptr),
            SQLITE_OK);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
            const std::string_view text(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(statement, 1)));
            if (std::find(last.begin(), last.end(), sqlite3_column_int64(statement, 0)) != last.end()) {
                later.emplace_back(text);
            } else {
                (void)index.AddWordsFromText(text);
            }
        }
        sqlite3_finalize(statement);
        for (const std::string& text : later) (void)index.AddWordsFromText(text);
        (void)index.AddWordsFromText(UnsavedText(ws));
        return index;
    }
    // No workspace, and nothing in the file: each case of a table starts from here.
    void EmptyTheFile() {
        DropWorkspace();
        Exec("DELETE FROM settings");
        Exec("DELETE FROM projects");
    }
    // A slice that ends at once: exactly one piece of work (one note, or one part of a long one).
    static FillProgress StepOnce(WordIndexFill& fill, WordIndex& index) {
        return fill.Step(index, FillDeadline::min());
    }
    static void Steps(WordIndexFill& fill, WordIndex& index, int count) {
        for (int i = 0; i < count; ++i) ASSERT_EQ(StepOnce(fill, index), FillProgress::More) << "step " << i;
    }
    static void Finish(WordIndexFill& fill, WordIndex& index) {
        for (int i = 0; i < 100000; ++i) {
            if (fill.Step(index, std::chrono::steady_clock::now() + std::chrono::milliseconds(50)) ==
                FillProgress::Done) {
                return;
            }
        }
        FAIL() << "the fill never ends";
    }
    // Two projects of ten notes each, every note with words of its own and shared ones; note 15 is
    // long enough to be taken in several parts; note 5 is open.
    void MakeNotes() {
        first = AddProject("first");
        second = AddProject("second");
        for (int i = 0; i < 20; ++i) {
            std::string text = "common 日本語 own" + std::to_string(i) + "word tag" + std::to_string(i % 4) + "tag\r\n";
            for (int r = 0; r < i % 3; ++r) text += "again" + std::to_string(i % 5) + "x ";
            if (i == 15) {
                for (int k = 0; text.size() < 3 * WordIndexFill::kSliceTextBytes; ++k) {
                    text += "long" + std::to_string(k % 5000) + "part" + (k % 7 == 0 ? "\r\n" : " ");
                }
            }
            notes.push_back(AddNote(i < 10 ? first : second, "n" + std::to_string(i), text));
        }
        Exec("INSERT INTO settings (key, value) VALUES ('last.note_id', '" + std::to_string(notes[5]) + "')");
    }
    void TypeAndSave(Workspace& ws, int64_t note, std::string_view text) {
        if (ws.currentNoteId != note) {
            ASSERT_TRUE(ws.OpenNote(note));
        }
        call().DocumentEnd();
        Type(text);
        ASSERT_EQ(ws.SaveAll(SaveReason::UserSave), SaveResult::Saved);
    }

    int64_t first = 0, second = 0;
    std::vector<int64_t> notes;
    std::vector<int64_t> ids;
};

TEST_F(WordIndexFillTest, FinishedIndexEqualsOnePassOverWhatTheNotesBecameMeanwhile) {
    struct Case {
        const char* name;
        std::function<void(Workspace&, WordIndexFill&, WordIndex&)> run;
        int restarts;  // -1: any
    };
    const Case cases[] = {
        {"typing and saving the open note once it was passed over",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 8);
             TypeAndSave(ws, notes[5], " typedword typedword");
             Steps(fill, index, 3);
             call().DocumentEnd();
             Type(" unsavedword");  // left unsaved: counts as one pass counts it
         },
         0},
        {"a note not reached yet, opened, changed and saved",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 3);
             TypeAndSave(ws, notes[12], " laterword");
             Steps(fill, index, 12);
             TypeAndSave(ws, notes[12], " againlater");
         },
         0},
        {"a note already read, changed and saved",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 8);
             TypeAndSave(ws, notes[2], " changedtwo");
         },
         1},
        {"a note already read, opened, then typed in and saved",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 8);
             ASSERT_TRUE(ws.OpenNote(notes[2]));
             Steps(fill, index, 1);  // takes its words back out: it is read at the end
             TypeAndSave(ws, notes[2], " typedintwo");
             Steps(fill, index, 2);
             TypeAndSave(ws, notes[2], " typedagain");
             EXPECT_EQ(fill.takenBack(), 1);
         },
         0},
        {"notes already read renamed, moved and opened without a change to their text",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 9);
             ASSERT_TRUE(ws.RenameNote(notes[1], "renamed"));
             ASSERT_TRUE(ws.MoveNote(notes[2], second, 0));
             Steps(fill, index, 1);
             ASSERT_TRUE(ws.OpenNote(notes[3]));
             ASSERT_EQ(ws.SaveAll(SaveReason::UserSave), SaveResult::Saved);  // its caret and opening time
             Steps(fill, index, 1);
             ASSERT_TRUE(ws.OpenNote(notes[5]));
         },
         0},
        {"notes created, renamed, deleted and brought back",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 10);
             const std::optional<int64_t> made = ws.CreateNote(first, "made");
             ASSERT_TRUE(made);
             TypeAndSave(ws, *made, "freshword freshword");
             Steps(fill, index, 2);
             ASSERT_TRUE(ws.RenameNote(notes[1], "renamed"));
             Steps(fill, index, 4);
             ASSERT_TRUE(ws.DeleteNote(notes[3]));
             ASSERT_TRUE(ws.DeleteNote(notes[18]));
             Steps(fill, index, 3);
             ASSERT_TRUE(ws.UndoDelete());
         },
         -1},
        {"replaced in all notes",
         [](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 12);
             ASSERT_EQ(ws.ReplaceInAllNotes("common", "replacedword").status, ReplaceAllStatus::Replaced);
         },
         1},
        {"imported",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 12);
             ASSERT_TRUE(ws.ImportNote(second, "imported", "importedword common"));
         },
         0},
        {"a project not reached yet deleted",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 4);
             ASSERT_TRUE(ws.DeleteProject(second));
         },
         0},
        {"a project already read deleted, then brought back",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 12);
             ASSERT_TRUE(ws.DeleteProject(first));  // the open note's: the next project's note opens
             Steps(fill, index, 3);
             ASSERT_TRUE(ws.UndoDelete());
         },
         -1},
        {"a project already read deleted",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 12);
             ASSERT_TRUE(ws.DeleteProject(first));
         },
         1},
        {"a note already read deleted",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 8);
             ASSERT_TRUE(ws.DeleteNote(notes[2]));
         },
         1},
        {"a note created, typed in and saved after every row was read",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 24);  // every row, the long note in parts; the open one is left
             const std::optional<int64_t> made = ws.CreateNote(second, "late");
             ASSERT_TRUE(made);
             TypeAndSave(ws, *made, "latecomer latecomer");
         },
         1},
        {"the long note open, typed in and saved while its parts are read last",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             ASSERT_TRUE(ws.OpenNote(notes[15]));
             Steps(fill, index, 23);  // every row, then the long note copied and its first part
             TypeAndSave(ws, notes[15], " longtyped");
             // Its parts taken back, it is read again whole: no later save can take it back again.
             EXPECT_EQ(StepOnce(fill, index), FillProgress::Done);
         },
         0},
        {"the long note changed while its parts are being read",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 17);  // notes 0 to 14, the open one passed over, and a part of 15
             TypeAndSave(ws, notes[15], " longchanged");
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmptyTheFile();
        notes.clear();
        MakeNotes();
        Workspace& ws = LoadWorkspace();
        ASSERT_EQ(ws.currentNoteId, notes[5]);
        WordIndexFill fill(ws);
        WordIndex index;
        c.run(ws, fill, index);
        if (HasFatalFailure()) return;
        Finish(fill, index);
        EXPECT_TRUE(SameWords(SinglePass(ws), index));
        if (c.restarts >= 0) {
            EXPECT_EQ(fill.restarts(), c.restarts);
        }
        // Done is final: later changes are the completion's own to learn.
        EXPECT_EQ(StepOnce(fill, index), FillProgress::Done);
    }
}

// A page that cannot be read through a mapping ends the process: the fill maps the file only while
// no typed text waits to be saved, and reads through the file API otherwise.
TEST_F(WordIndexFillTest, ReadsMappedOnlyWhileNothingIsUnsaved) {
    MakeNotes();
    Workspace& ws = LoadWorkspace();
    WordIndexFill fill(ws);
    WordIndex index;
    std::vector<int64_t> limits;  // the map limit seen while the fill's statements ran
    std::pair<std::vector<int64_t>*, sqlite3*> seen{&limits, db->handle()};
    sqlite3_progress_handler(
        db->handle(), 1,
        [](void* data) {
            auto* self = static_cast<std::pair<std::vector<int64_t>*, sqlite3*>*>(data);
            self->first->push_back(MapLimit(self->second));
            return 0;
        },
        &seen);
    const auto limitsDuringStep = [&] {
        limits.clear();
        EXPECT_EQ(StepOnce(fill, index), FillProgress::More);
        return limits;
    };
    const std::vector<int64_t> saved = limitsDuringStep();
    ASSERT_FALSE(saved.empty());
    // The switching statements themselves run before the mapping starts and after it ends.
    EXPECT_GT(*std::max_element(saved.begin(), saved.end()), 0);

    Type(" unsaved");
    const std::vector<int64_t> unsaved = limitsDuringStep();
    ASSERT_FALSE(unsaved.empty());
    EXPECT_TRUE(std::all_of(unsaved.begin(), unsaved.end(), [](int64_t limit) { return limit == 0; }));
    sqlite3_progress_handler(db->handle(), 0, nullptr, nullptr);
    EXPECT_EQ(MapLimit(db->handle()), 0) << "no mapping outlives a slice";
}

// Past 100,000 words the order notes are read in decides which new words are dropped. The note
// open while the fill runs is read last, so that saving it costs nothing there too: the fill ends
// once however often the user types and saves, with what one pass in that order gives.
TEST_F(WordIndexFillTest, PastTheWordLimitSavesOfTheOpenNoteNeverStartTheFillOver) {
    struct Case {
        const char* name;
        std::function<void(Workspace&, WordIndexFill&, WordIndex&)> run;
        std::vector<int> last;  // the notes a pass reads last
        int restarts;
    };
    const auto typeAndSaveWhileFilling = [this](Workspace& ws, WordIndexFill& fill, WordIndex& index, int note) {
        for (int round = 0; round < 13; ++round) {  // the thirteenth slice finds the last row
            Steps(fill, index, 1);
            TypeAndSave(ws, ids[note], " typed" + std::to_string(round) + "word");
            TypeAndSave(ws, ids[note], " 新しい" + std::to_string(round) + "x" + std::to_string(note));
        }
    };
    const Case cases[] = {
        {"the open note typed in and saved before, at and after the limit",
         [&](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             typeAndSaveWhileFilling(ws, fill, index, 1);
             call().DocumentEnd();
             Type(" unsavedword");
         },
         {1},
         0},
        {"a note read after the index was full, opened, typed in and saved",
         [&](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 12);  // every row: the index is full from note 10 on
             ASSERT_TRUE(ws.OpenNote(ids[11]));
             Steps(fill, index, 1);  // its words taken back: it added only counts
             EXPECT_EQ(fill.takenBack(), 1);
             TypeAndSave(ws, ids[11], " elevenword");
             TypeAndSave(ws, ids[11], " elevenagain");
         },
         {1, 11},
         0},
        {"a note read before the index was full, opened, typed in and saved",
         [&](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 11);
             ASSERT_TRUE(ws.OpenNote(ids[3]));
             Steps(fill, index, 1);  // cannot be taken back: it brought words of its own
             EXPECT_EQ(fill.takenBack(), 0);
             TypeAndSave(ws, ids[3], " threeword");  // starts over once, with note 3 passed over
             typeAndSaveWhileFilling(ws, fill, index, 3);
         },
         {3},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmptyTheFile();
        ids.clear();
        const int64_t p = AddProject("p");
        for (int n = 0; n < 12; ++n) {
            std::string text;
            for (int k = 0; k < 10000; ++k) text += "w" + std::to_string(n) + "x" + std::to_string(k) + " ";
            ids.push_back(AddNote(p, "n" + std::to_string(n), text));
        }
        Exec("INSERT INTO settings (key, value) VALUES ('last.note_id', '" + std::to_string(ids[1]) + "')");
        Workspace& ws = LoadWorkspace();
        WordIndexFill fill(ws);
        WordIndex index;
        c.run(ws, fill, index);
        if (HasFatalFailure()) return;
        Finish(fill, index);
        ASSERT_EQ(index.size(), WordIndex::kMaxWords);
        std::vector<int64_t> last;
        for (const int note : c.last) last.push_back(ids[static_cast<size_t>(note)]);
        EXPECT_TRUE(SameWords(PassWithLast(ws, last), index));
        EXPECT_EQ(fill.restarts(), c.restarts);
    }
}

}  // namespace
}  // namespace lq::test
