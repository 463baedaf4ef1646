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
    WordIndex SinglePass(Workspace& ws) {
        std::string_view unsaved;
        if (ws.currentNoteId != 0 && call().Modify()) {
            unsaved = std::string_view(static_cast<const char*>(call().CharacterPointer()),
                                       static_cast<size_t>(call().Length()));
        }
        return OnePassWordIndex(db->handle(), unsaved);
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
        {"a project deleted",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 4);
             ASSERT_TRUE(ws.DeleteProject(second));
         },
         1},
        {"the long note changed while its parts are being read",
         [this](Workspace& ws, WordIndexFill& fill, WordIndex& index) {
             Steps(fill, index, 17);  // notes 0 to 14, the open one passed over, and a part of 15
             TypeAndSave(ws, notes[15], " longchanged");
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DropWorkspace();
        Exec("DELETE FROM settings");
        Exec("DELETE FROM projects");
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

// Past 100,000 words order decides which new words are dropped: a note passed over while open
// must not lose its words to notes read after it.
TEST_F(WordIndexFillTest, AtTheWordLimitTheFillReadsInIdOrderAsOnePassDoes) {
    const int64_t p = AddProject("p");
    std::vector<int64_t> ids;
    for (int n = 0; n < 12; ++n) {
        std::string text;
        for (int k = 0; k < 10000; ++k) text += "w" + std::to_string(n) + "x" + std::to_string(k) + " ";
        ids.push_back(AddNote(p, "n" + std::to_string(n), text));
    }
    Exec("INSERT INTO settings (key, value) VALUES ('last.note_id', '" + std::to_string(ids[1]) + "')");
    Workspace& ws = LoadWorkspace();
    WordIndexFill fill(ws);
    WordIndex index;
    Finish(fill, index);
    ASSERT_EQ(index.size(), WordIndex::kMaxWords);
    EXPECT_EQ(index.CountOf("w1x5"), 1);
    EXPECT_EQ(index.CountOf("w11x5"), 0);
    EXPECT_TRUE(SameWords(SinglePass(ws), index));
    EXPECT_EQ(fill.restarts(), 1);
}

}  // namespace
}  // namespace lq::test
