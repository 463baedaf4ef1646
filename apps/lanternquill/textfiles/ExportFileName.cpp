#include "textfiles/ExportFileName.h"

#include <array>

#include "platform/TextConversion.h"

namespace lq {

namespace {

constexpr std::wstring_view kExtension = L".txt";
constexpr std::wstring_view kEmptyName = L"Untitled";

// Windows opens a device for these, also when an extension follows or spaces precede the dot.
constexpr std::array<std::wstring_view, 30> kReservedNames = {
    L"CON",       L"PRN",       L"AUX",       L"NUL",       L"COM1",   L"COM2",    L"COM3",      L"COM4",
    L"COM5",      L"COM6",      L"COM7",      L"COM8",      L"COM9",   L"LPT1",    L"LPT2",      L"LPT3",
    L"LPT4",      L"LPT5",      L"LPT6",      L"LPT7",      L"LPT8",   L"LPT9",    L"COM\u00B9", L"COM\u00B2",
    L"COM\u00B3", L"LPT\u00B9", L"LPT\u00B2", L"LPT\u00B3", L"CONIN$", L"CONOUT$",
};

constexpr bool IsForbidden(wchar_t c) noexcept {
    return c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'/' || c == L'\\' || c == L'|' ||
           c == L'?' || c == L'*';
}

constexpr bool IsHighSurrogate(wchar_t c) noexcept {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsReservedDeviceName(std::wstring_view part) {
    const size_t first = part.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return false;
    part = part.substr(first, part.find_last_not_of(L' ') - first + 1);
    for (const std::wstring_view reserved : kReservedNames) {
        if (part.size() != reserved.size()) continue;
        bool same = true;
        for (size_t i = 0; i < part.size() && same; ++i) {
            const wchar_t c = part[i];
            same = (c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - (L'a' - L'A')) : c) == reserved[i];
        }
        if (same) return true;
    }
    return false;
}

}  // namespace

std::wstring MakeExportFileName(std::string_view title) {
    std::wstring name = Utf8ToUtf16(title);
    for (wchar_t& c : name) {
        if (IsForbidden(c)) c = L'_';
    }

    // Room for the extension and for the '_' a device name may get.
    constexpr size_t kMaxBaseUnits = kMaxExportNameUnits - kExtension.size() - 1;
    if (name.size() > kMaxBaseUnits) {
        size_t cut = kMaxBaseUnits;
        if (IsHighSurrogate(name[cut - 1])) --cut;
        name.resize(cut);
    }

    if (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.back() = L'_';
    if (name.empty()) name = kEmptyName;

    // Windows judges only the part before the first dot.
    const size_t firstDot = name.find(L'.');
    const size_t partEnd = firstDot == std::wstring::npos ? name.size() : firstDot;
    if (IsReservedDeviceName(std::wstring_view(name).substr(0, partEnd))) name.insert(partEnd, 1, L'_');

    name += kExtension;
    return name;
}

}  // namespace lq
