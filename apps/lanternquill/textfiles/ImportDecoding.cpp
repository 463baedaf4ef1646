#include "textfiles/ImportDecoding.h"

#include <windows.h>

#include <climits>
#include <optional>
#include <utility>

#include "platform/TextConversion.h"

namespace lq {

namespace {

// Strict conversion through a Windows code page, measured first and converted once into a buffer of
// the right size: none when any byte sequence is invalid there.
std::optional<std::wstring> DecodeStrict(UINT codePage, std::string_view bytes) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return std::nullopt;
    const int length = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (units <= 0) return std::nullopt;
    std::wstring text(static_cast<size_t>(units), L'\0');
    const int written = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), units);
    if (written != units) return std::nullopt;
    return text;
}

// Strictly valid UTF-8 converts to UTF-16 and back unchanged, so it is checked and kept as it is
// rather than converted twice; the result is the same as MakeImportedText's.
std::optional<ImportedText> DecodeUtf8(std::string_view bytes, TextEncoding encoding) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) return std::nullopt;
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) <=
        0) {
        return std::nullopt;
    }
    if (bytes.find('\0') != std::string_view::npos) return ImportedText{{}, encoding, ImportError::ContainsNul};
    return ImportedText{NormalizeLineEndingsCrlf(bytes), encoding, ImportError::None};
}

ImportedText Refused(TextEncoding encoding, ImportError error) {
    return ImportedText{{}, encoding, error};
}

ImportedText DecodeUtf16(std::string_view bytes, TextEncoding encoding) {
    if (bytes.size() % 2 != 0) return Refused(encoding, ImportError::UnknownEncoding);
    const bool lowByteFirst = encoding == TextEncoding::Utf16Le;
    std::wstring units((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 + 2 * i]);
        const auto second = static_cast<unsigned char>(bytes[3 + 2 * i]);
        units[i] = static_cast<wchar_t>(lowByteFirst ? (second << 8) | first : (first << 8) | second);
    }
    return MakeImportedText(units, encoding);
}

}  // namespace

ImportedText DecodeTextBytes(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        const std::string_view rest = bytes.substr(3);
        if (rest.empty()) return MakeImportedText({}, TextEncoding::Utf8Bom);
        auto decoded = DecodeUtf8(rest, TextEncoding::Utf8Bom);
        if (!decoded) return Refused(TextEncoding::Utf8Bom, ImportError::UnknownEncoding);
        return std::move(*decoded);
    }
    if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes, TextEncoding::Utf16Le);
    if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes, TextEncoding::Utf16Be);
    if (bytes.empty()) return MakeImportedText({}, TextEncoding::Utf8);
    if (auto decoded = DecodeUtf8(bytes, TextEncoding::Utf8)) return std::move(*decoded);
    if (const auto text = DecodeStrict(932, bytes)) return MakeImportedText(*text, TextEncoding::Cp932);
    return Refused(TextEncoding::Utf8, ImportError::UnknownEncoding);
}

ImportedText MakeImportedText(std::wstring_view units, TextEncoding encoding) {
    if (units.find(L'\0') != std::wstring_view::npos) return Refused(encoding, ImportError::ContainsNul);
    return ImportedText{NormalizeLineEndingsCrlf(Utf16ToUtf8(units)), encoding, ImportError::None};
}

std::string NormalizeLineEndingsCrlf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    size_t runStart = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        out.append(bytes.data() + runStart, i - runStart);
        out += "\r\n";
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        runStart = i + 1;
    }
    out.append(bytes.data() + runStart, bytes.size() - runStart);
    return out;
}

std::string TitleFromPath(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\/");
    std::wstring_view name = separator == std::wstring_view::npos ? path : path.substr(separator + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) name = name.substr(0, dot);
    return Utf16ToUtf8(name);
}

}  // namespace lq
