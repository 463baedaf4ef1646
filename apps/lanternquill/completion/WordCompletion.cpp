#include "completion/WordCompletion.h"

#include <algorithm>

#include "editor/EditorColours.h"

namespace lq {
namespace {

using Scintilla::Element;

constexpr int kListRows = 8;
// A prefix or word is at most 64 bytes; one byte more shows whether the run goes on further back.
constexpr int64_t kLookBehind = static_cast<int64_t>(WordIndex::kMaxWordBytes) + 1;
constexpr size_t kMinPrefixBytes = 2;

constexpr uint32_t kListTextRgb = 0xCCCCCC;
constexpr uint32_t kListBackRgb = 0x252526;
constexpr uint32_t kListSelectedTextRgb = 0xFFFFFF;
constexpr uint32_t kListSelectedBackRgb = 0x04395E;

// The run of word bytes that ends at `end`, read from at most kLookBehind bytes back on its line.
std::string_view WordRunBefore(Scintilla::ScintillaCall& call, int64_t end) {
    const int64_t lineStart = call.PositionFromLine(call.LineFromPosition(end));
    const int64_t start = std::max(lineStart, end - kLookBehind);
    if (start >= end) return {};
    const auto* bytes = static_cast<const char*>(call.RangePointer(start, end - start));
    if (!bytes) return {};
    const std::string_view before(bytes, static_cast<size_t>(end - start));
    size_t runStart = before.size();
    while (runStart > 0 && WordIndex::IsWordByte(before[runStart - 1])) --runStart;
    return before.substr(runStart);
}

// The UTF-8 length of a code point (1 for anything out of range, as a lone byte).
int64_t Utf8Length(int codePoint) noexcept {
    if (codePoint < 0x80) return 1;
    if (codePoint < 0x800) return 2;
    if (codePoint < 0x10000) return 3;
    if (codePoint <= 0x10FFFF) return 4;
    return 1;
}

}  // namespace

void ConfigureAutocomplete(EditorView& view) {
    auto& call = view.call();
    call.AutoCSetOrder(Scintilla::Ordering::Custom);
    // Select-first is missing from the component; the adapter keeps it.
    view.compat().SetAutoCompleteOptions(kAutoCompleteFixedSize | kAutoCompleteSelectFirstItem);
    call.AutoCSetIgnoreCase(true);
    call.AutoCSetCaseInsensitiveBehaviour(Scintilla::CaseInsensitiveBehaviour::IgnoreCase);
    call.AutoCSetAutoHide(false);
    call.AutoCSetChooseSingle(false);
    call.AutoCSetCancelAtStart(false);
    call.AutoCSetDropRestOfWord(false);
    call.AutoCSetMaxHeight(kListRows);
    call.SetElementColour(Element::List, OpaqueComponentColour(kListTextRgb));
    call.SetElementColour(Element::ListBack, OpaqueComponentColour(kListBackRgb));
    call.SetElementColour(Element::ListSelected, OpaqueComponentColour(kListSelectedTextRgb));
    call.SetElementColour(Element::ListSelectedBack, OpaqueComponentColour(kListSelectedBackRgb));
}

void WordCompletion::SetProvider(Provider provider) {
    provider_ = std::move(provider);
    index_ = WordIndex{};
    built_ = false;
    fillStarted_ = false;
    listText_.clear();
    lastShown_.clear();
}

void WordCompletion::StartFill() noexcept {
    if (provider_ && !built_) fillStarted_ = true;
}

FillProgress WordCompletion::FillSlice(FillDeadline deadline) {
    if (!filling()) return FillProgress::Done;
    const FillProgress progress = provider_(index_, deadline);
    if (progress == FillProgress::Done) built_ = true;
    return progress;
}

void WordCompletion::OnCharAdded(EditorView& view, int character, Scintilla::CharacterSource source) {
    auto& call = view.call();
    if (source != Scintilla::CharacterSource::DirectInput) {
        call.AutoCCancel();
        return;
    }
    if (character >= 0 && character <= 127 && WordIndex::IsWordByte(static_cast<char>(character))) {
        Update(view);
        return;
    }
    call.AutoCCancel();
    if (!built_) return;
    // The finished word ends where the added character begins, whatever its length in UTF-8. A new
    // line is reported character by character after the whole line end is in, so its CR begins two
    // bytes back; the LF that follows finds no word before it and learns nothing twice.
    const int64_t caret = call.CurrentPos();
    int64_t end = caret - Utf8Length(character);
    if (character == '\r' && caret >= 2 && call.CharAt(caret - 1) == '\n') end = caret - 2;
    if (end > 0) LearnWordBefore(call, end);
}

void WordCompletion::LearnWordBefore(Scintilla::ScintillaCall& call, int64_t end) {
    const std::string_view run = WordRunBefore(call, end);
    // AddWord takes only words by the rule: a run too short, too long or not starting with a
    // letter is left out.
    if (WordIndex::IsWord(run)) index_.AddWord(run);
}

void WordCompletion::Update(EditorView& view) {
    auto& call = view.call();
    if (!provider_ || call.Selections() != 1 || !call.SelectionEmpty()) {
        call.AutoCCancel();
        return;
    }
    const int64_t caret = call.CurrentPos();
    if (caret < call.Length() && WordIndex::IsWordByte(static_cast<char>(call.CharAt(caret)))) {
        call.AutoCCancel();
        return;
    }
    std::string_view prefix = WordRunBefore(call, caret);
    if (!prefix.empty() && !WordIndex::IsAsciiLetter(prefix.front())) prefix = {};
    if (prefix.size() < kMinPrefixBytes || prefix.size() > WordIndex::kMaxWordBytes) {
        call.AutoCCancel();
        return;
    }
    const std::string typed(prefix);
    // Never waits for the fill: until it is done the index offers what it holds.
    StartFill();
    const std::vector<std::string> candidates = index_.Complete(typed);
    if (candidates.empty()) {
        call.AutoCCancel();
        return;
    }
    listText_.clear();
    for (const std::string& word : candidates) {
        if (!listText_.empty()) listText_ += ' ';
        listText_ += word;
    }
    if (!call.AutoCActive() || listText_ != lastShown_) {
        view.compat().ShowAutoComplete(static_cast<Scintilla::Position>(typed.size()), listText_.c_str());
        lastShown_ = listText_;
    }
}

void WordCompletion::LearnInsertedText(std::string_view text) {
    if (built_) (void)index_.AddWordsFromText(text);
}

}  // namespace lq
