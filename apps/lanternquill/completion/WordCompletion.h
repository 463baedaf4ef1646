#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "completion/WordIndex.h"
#include "editor/EditorView.h"

namespace lq {

// Sets the editor's autocompletion list to the program's behaviour and colours: shown in the given
// order, fixed size, first item selected, case ignored, never hidden or chosen by itself. Once,
// after the editor is created.
void ConfigureAutocomplete(EditorView& view);

// How far the index's fill has come after one slice: More (call again when idle), Waiting (nothing
// can be done until something else happens, such as a save), Done (the index holds every note).
enum class FillProgress { More, Waiting, Done };
using FillDeadline = std::chrono::steady_clock::time_point;

// Word completion in the open note: while an ASCII word is typed, the autocompletion list offers the
// index's best completions of the prefix before the caret. The provider fills the index in slices the
// idle message loop runs, from the first use or the first paint on; until it is done the list offers
// what the index holds so far. Once filled, the index grows with the words finished and the text
// inserted afterwards. UI thread only.
class WordCompletion {
public:
    // Fills the index further, stopping soon after the deadline. It may empty the index and start
    // over; Done is final for this index.
    using Provider = std::function<FillProgress(WordIndex&, FillDeadline)>;

    // Stores the provider and starts over with a fresh, unfilled index. An empty provider switches
    // completion off.
    void SetProvider(Provider provider);

    // Asks for the index to be filled from now on (idempotent; nothing without a provider).
    void StartFill() noexcept;
    // True while a fill was asked for and is not done.
    [[nodiscard]] bool filling() const noexcept { return fillStarted_ && !built_ && provider_; }
    // One slice of the fill, when filling; Done when there is nothing (more) to fill.
    FillProgress FillSlice(FillDeadline deadline);

    // SCN_CHARADDED: `character` (a code point) was inserted before the caret from `source`. Word
    // characters refresh the list; anything else closes it and learns the word it finished. A
    // character from an input method only closes the list.
    void OnCharAdded(EditorView& view, int character, Scintilla::CharacterSource source);

    // Opens, refreshes or closes the list for the word prefix before the caret. The first call with
    // a prefix of 2 to 64 bytes starts the fill, and never waits on it. The list is re-sent only when
    // its contents changed, so the highlighted row stays.
    void Update(EditorView& view);

    // Adds the words of text inserted into the open note, once the index has been filled (before
    // that the fill reads the note anyway).
    void LearnInsertedText(std::string_view text);

    [[nodiscard]] WordIndex& index() noexcept { return index_; }
    [[nodiscard]] bool built() const noexcept { return built_; }
    // The list offered last (words separated by single spaces) and the one last given to the editor.
    [[nodiscard]] const std::string& listText() const noexcept { return listText_; }
    [[nodiscard]] const std::string& lastShown() const noexcept { return lastShown_; }

private:
    void LearnWordBefore(Scintilla::ScintillaCall& call, int64_t end);

    Provider provider_;
    WordIndex index_;
    bool built_ = false;
    bool fillStarted_ = false;
    std::string listText_;
    std::string lastShown_;
};

}  // namespace lq
