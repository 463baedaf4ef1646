#include "ui/menus/MenuText.h"

#include <cwctype>

namespace lq {

std::wstring CleanMenuLabel(std::wstring_view text) {
    std::wstring label(text.substr(0, text.find(L'\t')));
    if (label.size() > 1) {
        const size_t open = label.find(L"(&");
        if (open != std::wstring::npos) {
            const size_t close = label.find(L')', open + 2);
            if (close != std::wstring::npos) label.erase(open, close - open + 1);
        }
    }
    std::erase(label, L'&');
    const size_t end = label.find_last_not_of(L' ');
    label.erase(end == std::wstring::npos ? 0 : end + 1);
    return label;
}

std::wstring MenuAccelerator(std::wstring_view text) {
    const size_t tab = text.find(L'\t');
    if (tab == std::wstring_view::npos) return {};
    return std::wstring(text.substr(tab + 1));
}

wchar_t MenuMnemonic(std::wstring_view text) noexcept {
    const size_t amp = text.find(L'&');
    if (amp == std::wstring_view::npos || amp + 1 >= text.size()) return 0;
    return static_cast<wchar_t>(std::towupper(text[amp + 1]));
}

}  // namespace lq
