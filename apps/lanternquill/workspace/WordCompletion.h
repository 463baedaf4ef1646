#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editor/EditorView.h"
#include "workspace/WordIndex.h"

namespace lq {

// Sets the editor's autocompletion list to the program's behaviour and colours: shown in the given
// order, fixed size, first item selected, case ignored, never hidden or chosen by itself. Once,
// after the editor is created.
void ConfigureAutocomplete(EditorView& view);

// Word completion in the open note: while an ASCII word is typed, the autocompletion list offers the
// index's best completions of the prefix before the caret. The index is filled by the provider on
// first use and grows with the words finished and the text inserted afterwards. UI thread only.
class WordCompletion {
public:
    using Provider = std::function<void(WordIndex&)>;

    // Stores the provider and starts over with a fresh, unfilled index. An empty provider switches
    // completion off.
    void SetProvider(Provider provider);

    // SCN_CHARADDED: `character` (a code point) was inserted before the caret from `source`. Word
    // characters refresh the list; anything else closes it and learns the word it finished. A
    // character from an input method only closes the list.
    void OnCharAdded(EditorView& view, int character, Scintilla::CharacterSource source);

    // Opens, refreshes or closes the list for the word prefix before the caret. The first call with
    // a prefix of 2 to 64 bytes runs the provider (synchronously). The list is re-sent only when its
    // contents changed, so the highlighted row stays.
    void Update(EditorView& view);

    // Adds the words of text inserted into the open note, once the index has been filled (before
    // that the provider reads the note anyway).
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
    std::string listText_;
    std::string lastShown_;
};

}  // namespace lq
