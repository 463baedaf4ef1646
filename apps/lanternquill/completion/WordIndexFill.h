#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "completion/WordCompletion.h"
#include "completion/WordIndex.h"

namespace lq {

class Workspace;

// Fills the word index from every note in slices of a few milliseconds, resuming after the last note
// id read, so that the UI thread is never held longer than a slice. When it is done the index equals
// what one pass at that moment would give (the stored text of every note in id order, the notes
// passed over last, then the open note's text when it is modified), whatever was saved, replaced,
// imported, created or deleted meanwhile. The workspace tells it of every note whose text it wrote
// (its `noteTextChanged`, which the fill holds while it lives):
// - a note not yet reached is read as it is when reached;
// - the note open when the fill reaches it is passed over and read at the end, so that saving it
//   while the user types costs nothing, also once the index is full; a note opened after the fill
//   read it has its words taken back at the next slice and is then passed over too, whenever taking
//   them back leaves exactly what a pass without it gives (no word dropped yet, or none of its words
//   was new to the index);
// - any other change to the text of a note already read starts the fill over, with the note open
//   then passed over; a change that leaves the text as it was read does not.
// Word counts do not depend on the order notes are read in, only which new words are dropped once
// 100,000 are stored, so past the limit the words of the notes passed over are the ones that may be
// dropped.
// Reads the file mapped while nothing is unsaved, and through the file API otherwise. A note of more
// than a few hundred KB is copied once and its words taken over several slices. UI thread only.
class WordIndexFill {
public:
    explicit WordIndexFill(Workspace& workspace);
    ~WordIndexFill();
    WordIndexFill(const WordIndexFill&) = delete;
    WordIndexFill& operator=(const WordIndexFill&) = delete;

    // Fills `index` further until soon after `deadline`.
    FillProgress Step(WordIndex& index, FillDeadline deadline);

    // How often the fill started over (for tests and figures).
    [[nodiscard]] int restarts() const noexcept { return restarts_; }
    // How often a note opened after it was read had its words taken back (for tests).
    [[nodiscard]] int takenBack() const noexcept { return takenBack_; }

    // A note text longer than this is taken over several slices.
    static constexpr size_t kSliceTextBytes = 256 * 1024;

private:
    enum class Phase { Rows, PassedOver, Done };
    enum class ReadOutcome;

    void OnNoteTextChanged(int64_t noteId);
    void StartOver(WordIndex& index);
    // After the last note: adds the open note's unsaved text and finishes.
    FillProgress Complete(WordIndex& index);
    // Ends the fill with what the index holds (also after a failed read, as a single pass would).
    FillProgress Finish();
    // Reads the notes after `after_`, then those passed over, until the deadline or a long text.
    ReadOutcome ReadRows(WordIndex& index, FillDeadline deadline);
    ReadOutcome ReadPassedOver(WordIndex& index, FillDeadline deadline);
    // Takes words from the copied text until the deadline; true when it is used up.
    bool ScanPending(WordIndex& index, FillDeadline deadline);
    // Adds a note's text, or copies it to be taken over several slices when it is long; remembers
    // a hash of the text.
    void AddText(WordIndex& index, int64_t noteId, std::string_view text);
    // When the open note was read in its place, takes its words back out and passes it over, so
    // that its saves cost nothing either; only where that is exact (see above).
    void TakeBackOpenNote(WordIndex& index);
    // Takes back the parts of the note being read in parts at the end and reads it again, whole;
    // starts over where taking them back would not be exact.
    void RereadPendingNote(WordIndex& index);
    // True when every note reported changed since the last slice still holds the text it was read
    // with.
    [[nodiscard]] bool SuspectsUnchanged();

    Workspace& workspace_;
    Phase phase_ = Phase::Rows;
    int64_t after_ = 0;
    // Notes passed over while open, ascending; those before `passedOverRead_` have been read.
    std::vector<int64_t> passedOver_;
    size_t passedOverRead_ = 0;
    bool mustStartOver_ = false;
    // A hash of each note's text as read and whether the index was full before it was read (it then
    // added no word, only counts); the notes told changed since the last slice.
    struct ReadNote {
        size_t hash = 0;
        bool readWhenFull = false;
    };
    std::unordered_map<int64_t, ReadNote> readNotes_;
    std::vector<int64_t> suspects_;
    std::string pending_;
    size_t pendingAt_ = 0;
    int64_t pendingId_ = 0;  // the note passed over whose text `pending_` holds
    bool rereadPending_ = false;
    bool readWhole_ = false;  // the note read again is taken in one slice
    bool limitReached_ = false;
    int restarts_ = 0;
    int takenBack_ = 0;
};

}  // namespace lq
