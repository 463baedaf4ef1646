#pragma once

#include <cstdint>
#include <string>

namespace lq {

// The fixed texts of the status bar.
inline constexpr wchar_t kStatusOvertypeText[] = L"上書き";
inline constexpr wchar_t kStatusEncodingText[] = L"UTF-8";

// "行 12,345、列 7": the caret's 1-based line and column.
[[nodiscard]] std::wstring StatusPositionText(int64_t line, int64_t column);
// "選択 6", or empty without a selection. A selection of line ends only shows "選択 0".
[[nodiscard]] std::wstring StatusSelectionText(bool hasSelection, int64_t selectedChars);
// "1,024 文字": the characters of the whole note.
[[nodiscard]] std::wstring StatusTotalText(int64_t totalChars);

}  // namespace lq
