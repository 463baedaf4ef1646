#include "completion/WordIndexFill.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>

#include "editor/EditorView.h"
#include "store/Database.h"
#include "store/MappedReads.h"
#include "store/Statement.h"
#include "workspace/Workspace.h"

namespace lq {
namespace {

using Clock = std::chrono::steady_clock;

// The fill's keyset: each query resumes after the last id read, so a slice costs the same at the
// start and at the end of the table.
constexpr char kNotesAfterSql[] = "SELECT id, content FROM notes WHERE id > ?1 ORDER BY id LIMIT ?2";
constexpr char kNoteContentSql[] = "SELECT content FROM notes WHERE id = ?1";
constexpr int64_t kRowsPerQuery = 64;
constexpr int64_t kPastEveryNote = std::numeric_limits<int64_t>::max();

size_t TextHash(std::string_view text) noexcept {
    return std::hash<std::string_view>{}(text);
}

}  // namespace

enum class WordIndexFill::ReadOutcome { Stopped, End, Failed };

// Told from before the first row is read: a change to a note read later needs nothing.
WordIndexFill::WordIndexFill(Workspace& workspace) : workspace_(workspace) {
    workspace_.noteTextChanged = [this](int64_t noteId) { OnNoteTextChanged(noteId); };
}

WordIndexFill::~WordIndexFill() {
    if (phase_ != Phase::Done) workspace_.noteTextChanged = nullptr;
}

FillProgress WordIndexFill::Step(WordIndex& index, FillDeadline deadline) {
    if (phase_ == Phase::Done) return FillProgress::Done;
    // A mapped page that cannot be read ends the process: only while nothing typed is pending.
    std::optional<MappedReads> mapping;
    if (!workspace_.HasUnsavedText()) mapping.emplace(workspace_.db);

    if (rereadPending_) RereadPendingNote(index);
    if (!mustStartOver_ && !suspects_.empty() && !SuspectsUnchanged()) mustStartOver_ = true;
    suspects_.clear();
    if (mustStartOver_) StartOver(index);
    TakeBackOpenNote(index);

    // Each turn does one piece of work before looking at the clock, so every slice gets somewhere.
    for (;;) {
        if (!pending_.empty()) {
            if (!ScanPending(index, deadline)) return FillProgress::More;
            // The last note is in: finish in this slice, so that no save comes between.
            if (phase_ == Phase::PassedOver && passedOverRead_ == passedOver_.size()) return Complete(index);
        } else if (phase_ == Phase::Rows) {
            const ReadOutcome outcome = ReadRows(index, deadline);
            if (outcome == ReadOutcome::Failed) return Finish();
            if (outcome == ReadOutcome::End) {
                phase_ = Phase::PassedOver;
                // From here any change to a note, even a new one, matters.
                after_ = kPastEveryNote;
            }
        } else {
            const ReadOutcome outcome = ReadPassedOver(index, deadline);
            if (outcome == ReadOutcome::Failed) return Finish();
            if (outcome == ReadOutcome::End && pending_.empty()) return Complete(index);
        }
        if (Clock::now() >= deadline) return FillProgress::More;
    }
}

FillProgress WordIndexFill::Complete(WordIndex& index) {
    auto& call = workspace_.editor.call();
    if (workspace_.currentNoteId != 0 && call.Modify()) {
        const auto* text = static_cast<const char*>(call.CharacterPointer());
        if (text) (void)index.AddWordsFromText(std::string_view(text, static_cast<size_t>(call.Length())));
    }
    return Finish();
}

FillProgress WordIndexFill::Finish() {
    phase_ = Phase::Done;
    workspace_.noteTextChanged = nullptr;
    pending_.clear();
    pending_.shrink_to_fit();
    passedOver_ = {};
    readNotes_ = {};
    suspects_ = {};
    return FillProgress::Done;
}

void WordIndexFill::StartOver(WordIndex& index) {
    index = WordIndex{};
    phase_ = Phase::Rows;
    after_ = 0;
    passedOver_.clear();
    passedOverRead_ = 0;
    limitReached_ = false;
    readNotes_.clear();
    suspects_.clear();
    pending_.clear();
    pending_.shrink_to_fit();
    pendingAt_ = 0;
    mustStartOver_ = false;
    rereadPending_ = false;
    ++restarts_;
}

void WordIndexFill::OnNoteTextChanged(int64_t noteId) {
    if (phase_ == Phase::Done || mustStartOver_ || noteId > after_) return;  // not reached: read as it is then
    const auto unread = passedOver_.begin() + static_cast<std::ptrdiff_t>(passedOverRead_);
    if (std::binary_search(unread, passedOver_.end(), noteId)) return;  // read at the end as it is then
    // The open note, long and read last in parts, saved while they are taken: read again rather than
    // starting everything over.
    if (phase_ == Phase::PassedOver && !pending_.empty() && noteId == pendingId_) {
        rereadPending_ = true;
        return;
    }
    // A save of a note whose text came back to what was read changes nothing: looked at before the
    // next slice rather than starting over for nothing. A note gone, new or different starts over.
    if (readNotes_.count(noteId) == 0) {
        mustStartOver_ = true;
        return;
    }
    suspects_.push_back(noteId);
}

WordIndexFill::ReadOutcome WordIndexFill::ReadRows(WordIndex& index, FillDeadline deadline) {
    Statement* statement = workspace_.db.Prepare(kNotesAfterSql);
    if (!statement) return ReadOutcome::Failed;
    for (;;) {
        statement->Reset();
        ScopedReset resetAfter(*statement);
        statement->BindInt64(1, after_).BindInt64(2, kRowsPerQuery);
        int64_t rows = 0;
        while (statement->Step()) {
            ++rows;
            after_ = statement->ColumnInt64(0);
            if (after_ == workspace_.currentNoteId) {
                passedOver_.push_back(after_);
            } else {
                AddText(index, after_, statement->ColumnText(1));
            }
            if (!pending_.empty() || Clock::now() >= deadline) return ReadOutcome::Stopped;
        }
        if (!statement->ok()) return ReadOutcome::Failed;
        if (rows < kRowsPerQuery) return ReadOutcome::End;
    }
}

WordIndexFill::ReadOutcome WordIndexFill::ReadPassedOver(WordIndex& index, FillDeadline deadline) {
    while (passedOverRead_ < passedOver_.size()) {
        Statement* statement = workspace_.db.Prepare(kNoteContentSql);
        if (!statement) return ReadOutcome::Failed;
        statement->Reset();
        ScopedReset resetAfter(*statement);
        const int64_t id = passedOver_[passedOverRead_++];
        statement->BindInt64(1, id);
        // A note deleted meanwhile has no row and adds nothing.
        if (statement->Step()) {
            pendingId_ = id;
            AddText(index, id, statement->ColumnText(0));
        }
        if (!statement->ok()) return ReadOutcome::Failed;
        if (!pending_.empty()) return ReadOutcome::Stopped;
        // After the last one the fill finishes in this slice, so that no save comes between.
        if (passedOverRead_ < passedOver_.size() && Clock::now() >= deadline) return ReadOutcome::Stopped;
    }
    return ReadOutcome::End;
}

void WordIndexFill::TakeBackOpenNote(WordIndex& index) {
    const int64_t open = workspace_.currentNoteId;
    // Only while reading rows (notes passed over are read after them) and between notes.
    if (open == 0 || phase_ != Phase::Rows || !pending_.empty()) return;
    const auto known = readNotes_.find(open);
    if (known == readNotes_.end()) return;
    // Taking words back gives what a pass without the note gives while no word was dropped, or when
    // the index was already full before the note: it added no word then, and every word it counted
    // was there before it.
    if (limitReached_ && !known->second.readWhenFull) return;
    Statement* statement = workspace_.db.Prepare(kNoteContentSql);
    if (!statement) return;
    statement->Reset();
    ScopedReset resetAfter(*statement);
    statement->BindInt64(1, open);
    if (!statement->Step()) return;
    const std::string_view text = statement->ColumnText(0);
    if (TextHash(text) != known->second.hash) {
        mustStartOver_ = true;  // not what was read: the next slice starts over
        return;
    }
    index.RemoveWordsFromText(text);
    readNotes_.erase(known);
    passedOver_.insert(std::lower_bound(passedOver_.begin(), passedOver_.end(), open), open);
    ++takenBack_;
}

void WordIndexFill::RereadPendingNote(WordIndex& index) {
    rereadPending_ = false;
    if (pending_.empty()) return;
    const auto known = readNotes_.find(pendingId_);
    // The parts taken come back out exactly only where no word was dropped, or none was new.
    if (known == readNotes_.end() || (limitReached_ && !known->second.readWhenFull)) {
        mustStartOver_ = true;
        return;
    }
    index.RemoveWordsFromText(std::string_view(pending_).substr(0, pendingAt_));
    readNotes_.erase(known);
    pending_.clear();
    pending_.shrink_to_fit();
    pendingAt_ = 0;
    --passedOverRead_;  // it is the last one read
    // Once in one slice this time: in parts, every save while typing could take it back again.
    readWhole_ = true;
}

bool WordIndexFill::SuspectsUnchanged() {
    Statement* statement = workspace_.db.Prepare(kNoteContentSql);
    if (!statement) return false;
    for (const int64_t id : suspects_) {
        statement->Reset();
        ScopedReset resetAfter(*statement);
        statement->BindInt64(1, id);
        if (!statement->Step()) return false;  // gone, or not readable: start over to be sure
        const auto known = readNotes_.find(id);
        if (known == readNotes_.end() || known->second.hash != TextHash(statement->ColumnText(0))) return false;
    }
    return true;
}

void WordIndexFill::AddText(WordIndex& index, int64_t noteId, std::string_view text) {
    // Checked before the words go in as well: a long text is added part by part later.
    const bool full = index.size() >= WordIndex::kMaxWords;
    if (full) limitReached_ = true;
    readNotes_[noteId] = ReadNote{TextHash(text), full};
    if (text.size() <= kSliceTextBytes || readWhole_) {
        (void)index.AddWordsFromText(text);
        if (index.size() >= WordIndex::kMaxWords) limitReached_ = true;
        return;
    }
    // The view lasts only until the next step; a long text is copied and taken a part per slice.
    pending_.assign(text);
    pendingAt_ = 0;
}

bool WordIndexFill::ScanPending(WordIndex& index, FillDeadline deadline) {
    const std::string_view text(pending_);
    while (pendingAt_ < text.size()) {
        // Parts end before a byte that is no word byte, so no word is ever cut in two.
        size_t end = std::min(text.size(), pendingAt_ + kSliceTextBytes);
        while (end < text.size() && WordIndex::IsWordByte(text[end])) ++end;
        (void)index.AddWordsFromText(text.substr(pendingAt_, end - pendingAt_));
        if (index.size() >= WordIndex::kMaxWords) limitReached_ = true;
        pendingAt_ = end;
        if (pendingAt_ < text.size() && Clock::now() >= deadline) return false;
    }
    pending_.clear();
    pending_.shrink_to_fit();
    pendingAt_ = 0;
    return true;
}

}  // namespace lq
