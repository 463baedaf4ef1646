#include "ui/status/StatusTexts.h"

#include "workspace/TextHelpers.h"

namespace lq {

std::wstring StatusPositionText(int64_t line, int64_t column) {
    return L"行 " + FormatThousands(line) + L"、列 " + FormatThousands(column);
}

std::wstring StatusSelectionText(bool hasSelection, int64_t selectedChars) {
    if (!hasSelection) return {};
    return L"選択 " + FormatThousands(selectedChars);
}

std::wstring StatusTotalText(int64_t totalChars) {
    return FormatThousands(totalChars) + L" 文字";
}

}  // namespace lq
