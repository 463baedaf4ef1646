#pragma once

#include <string>
#include <string_view>

namespace lq {

// Texts of menu items as the program's menus show them. A menu text is "label", or "label<TAB>shortcut";
// the label may carry "&" marks for its access key, as "ファイル(&F)" does.

// The label as drawn: the part before the first TAB; when longer than one character, a "(&x)" group is
// cut out (from the "(" of the first "(&" through the next ")"); every remaining "&" is removed, and so
// are trailing spaces.
[[nodiscard]] std::wstring CleanMenuLabel(std::wstring_view text);

// The text after the first TAB; empty when there is none.
[[nodiscard]] std::wstring MenuAccelerator(std::wstring_view text);

// The access key of a menu text: the character after its first "&", upper-cased with towupper;
// 0 when there is no "&" or it is the last character.
[[nodiscard]] wchar_t MenuMnemonic(std::wstring_view text) noexcept;

}  // namespace lq
