#include "ui/search/GlobalSearchMessages.h"

#include "resources/ResourceIds.h"
#include "ui/dialogs/ResourceString.h"
#include "workspace/TextHelpers.h"

namespace lq {

std::wstring MatchCountText(HINSTANCE instance, const std::optional<ReplaceCount>& count) {
    if (!count) return {};
    if (count->occurrences <= 0) return LoadResourceString(instance, IDS_NO_MATCHES);
    return LoadResourceString(instance, IDS_MATCH_COUNT, FormatThousands(count->occurrences),
                              FormatThousands(count->noteCount));
}

std::wstring ConfirmReplaceAllText(HINSTANCE instance, const ReplaceCount& count) {
    return LoadResourceString(instance, IDS_CONFIRM_REPLACE_ALL, FormatThousands(count.occurrences),
                              FormatThousands(count.noteCount));
}

std::wstring ReplacedAllText(HINSTANCE instance, const ReplaceAllOutcome& outcome) {
    return LoadResourceString(instance, IDS_REPLACED_ALL, FormatThousands(outcome.totalReplaced),
                              FormatThousands(outcome.notesChanged));
}

}  // namespace lq
