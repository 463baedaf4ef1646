#include "ui/status/StatusInfo.h"

#include <tuple>

#include "ui/status/StatusCharCount.h"
#include "ui/status/StatusTexts.h"

namespace lq {
namespace {

// The bit 16 that only the program's own refresh sets, beside the editor's selection bit.
constexpr int kUpdateProgramRefresh = 16;

// Counts [start, end) of the document, read in place without copying.
int64_t CountRange(Scintilla::ScintillaCall& editor, Scintilla::Position start, Scintilla::Position end) {
    if (end <= start) return 0;
    const auto* bytes = static_cast<const char*>(editor.RangePointer(start, end - start));
    if (!bytes) return 0;
    return CountStatusCharacters(std::string_view(bytes, static_cast<size_t>(end - start)));
}

}  // namespace

void StatusInfo::RecountTotal(Scintilla::ScintillaCall& editor) {
    totalChars_ = CountRange(editor, 0, editor.Length());
    recountNeeded_ = false;
    cachedCaretPos_ = -1;
}

bool StatusInfo::Update(Scintilla::ScintillaCall& editor, int updateFlags) {
    // Typing and deleting move the caret without the editor flagging a selection change, so content
    // updates are read as well; only scrolling is skipped. A pending recount is settled either way.
    constexpr int kReadFlags = SC_UPDATE_CONTENT | kUpdateSelection | kUpdateProgramRefresh;
    if ((updateFlags & kReadFlags) == 0 && !recountNeeded_) return false;

    const auto shown = [this] {
        return std::make_tuple(line_, column_, hasSelection_, selectedChars_, overtype_, totalChars_, saveFailed_,
                               notFound_);
    };
    const auto before = shown();

    if (recountNeeded_) RecountTotal(editor);

    const Scintilla::Position caret = editor.CurrentPos();
    const Scintilla::Line caretLine = editor.LineFromPosition(caret);
    line_ = caretLine + 1;
    UpdateColumn(editor, caret, editor.PositionFromLine(caretLine));

    hasSelection_ = !editor.SelectionEmpty();
    selectedChars_ = hasSelection_ ? CountSelectedChars(editor) : 0;
    overtype_ = editor.Overtype();
    return shown() != before;
}

void StatusInfo::UpdateColumn(Scintilla::ScintillaCall& editor, int64_t caret, int64_t lineStart) {
    // Only the characters between the last caret place and the new one are counted while the caret
    // stays on its line, so moving along a very long line costs the distance moved.
    if (cachedCaretPos_ < lineStart || lineStart != cachedLineStart_) {
        column_ = editor.CountCharacters(lineStart, caret) + 1;
    } else if (caret < cachedCaretPos_) {
        column_ -= editor.CountCharacters(caret, cachedCaretPos_);
    } else {
        column_ += editor.CountCharacters(cachedCaretPos_, caret);
    }
    cachedCaretPos_ = caret;
    cachedLineStart_ = lineStart;
}

int64_t StatusInfo::CountSelectedChars(Scintilla::ScintillaCall& editor) const {
    int64_t count = 0;
    const int ranges = editor.Selections();
    for (int i = 0; i < ranges; ++i) {
        count += CountRange(editor, editor.SelectionNStart(i), editor.SelectionNEnd(i));
    }
    return count;
}

bool StatusInfo::ApplyModification(const Scintilla::NotificationData& notification) noexcept {
    const auto type = static_cast<int>(notification.modificationType);
    const bool inserted = (type & SC_MOD_INSERTTEXT) != 0;
    if (!inserted && (type & SC_MOD_DELETETEXT) == 0) return false;

    // Text changed before the cached caret place shifts what the cached column was counted from.
    if (notification.position < cachedCaretPos_) cachedCaretPos_ = -1;

    if (!notification.text) {
        // The next Update counts the document again, whatever its flags.
        recountNeeded_ = true;
        return false;
    }
    if (notification.length <= 0) return false;
    const int64_t counted =
        CountStatusCharacters(std::string_view(notification.text, static_cast<size_t>(notification.length)));
    totalChars_ += inserted ? counted : -counted;
    return counted != 0;
}

bool StatusInfo::SetSaveFailed(bool failed) noexcept {
    if (saveFailed_ == failed) return false;
    saveFailed_ = failed;
    return true;
}

bool StatusInfo::SetNotFound(bool notFound) noexcept {
    if (notFound_ == notFound) return false;
    notFound_ = notFound;
    return true;
}

bool StatusInfo::SetNotice(std::wstring_view notice) {
    if (notice_ == notice) return false;
    notice_.assign(notice);
    return true;
}

bool StatusInfo::ClearTransient() noexcept {
    const bool changed = notFound_ || !notice_.empty();
    notFound_ = false;
    notice_.clear();
    return changed;
}

std::wstring StatusInfo::PositionText() const {
    return StatusPositionText(line_, column_);
}

std::wstring StatusInfo::SelectionText() const {
    return StatusSelectionText(hasSelection_, selectedChars_);
}

std::wstring StatusInfo::TotalText() const {
    return StatusTotalText(totalChars_);
}

}  // namespace lq
