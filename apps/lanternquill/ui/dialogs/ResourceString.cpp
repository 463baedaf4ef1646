#include "ui/dialogs/ResourceString.h"

namespace lq {

std::wstring FillPlaceholders(std::wstring_view text, std::wstring_view first, std::wstring_view second) {
    if (text.size() <= 1) return std::wstring(text);
    const size_t at1 = text.find(L"%1");
    const size_t at2 = text.find(L"%2");
    // The two places cannot overlap ("%1" and "%2" differ in their second character), so the text
    // is copied once with each found place swapped for its argument.
    std::wstring result;
    result.reserve(text.size() + first.size() + second.size());
    size_t pos = 0;
    while (pos < text.size()) {
        if (pos == at1) {
            result.append(first);
            pos += 2;
        } else if (pos == at2) {
            result.append(second);
            pos += 2;
        } else {
            result.push_back(text[pos++]);
        }
    }
    return result;
}

std::wstring LoadResourceString(HINSTANCE instance, UINT id, std::wstring_view first, std::wstring_view second) {
    // A buffer size of 0 yields a read-only pointer into the resource and the text's length.
    const wchar_t* resource = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr) return {};
    return FillPlaceholders(std::wstring_view(resource, static_cast<size_t>(length)), first, second);
}

}  // namespace lq
