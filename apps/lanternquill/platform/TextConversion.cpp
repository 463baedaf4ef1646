#include "platform/TextConversion.h"

#include <windows.h>

#include <climits>

namespace lq {

std::string Utf16ToUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return {};
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::wstring Utf8ToUtf16(std::string_view text) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return {};
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::wstring result(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), units);
    return result;
}

void Utf8ToUtf16Into(std::string_view text, std::wstring& out) {
    out.clear();
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return;
    // UTF-8 never takes fewer bytes than UTF-16 takes units, so the text's length is room enough.
    out.resize(text.size());
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), length);
    out.resize(units > 0 ? static_cast<size_t>(units) : 0);
}

}  // namespace lq
