#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lq {

// The largest file accepted for import: 100 MiB (exactly this many bytes is accepted).
inline constexpr uint64_t kMaxImportBytes = 104857600;

enum class TextEncoding : int32_t {
    Utf8Bom = 0,  // EF BB BF at the start
    Utf16Le = 1,  // FF FE at the start
    Utf16Be = 2,  // FE FF at the start
    Utf8 = 3,     // no mark and valid UTF-8 (also an empty file)
    Cp932 = 4,    // no mark, not UTF-8, but valid in code page 932
};

// Why a file was refused. The import command lists the file under the message of each reason.
enum class ImportError : int32_t {
    None = 0,
    Unreadable = 1,       // cannot be opened, sized or read completely
    TooLarge = 2,         // more than kMaxImportBytes
    ContainsNul = 3,      // the decoded text holds U+0000
    UnknownEncoding = 4,  // no encoding fits
};

// A text file decoded for import. `text` is UTF-8 with CRLF line ends, and empty whenever `error` is
// not None; `encoding` is the one recognised, or the last one tried.
struct ImportedText {
    std::string text;
    TextEncoding encoding = TextEncoding::Utf8;
    ImportError error = ImportError::None;
};

// Decodes a file's bytes: a byte-order mark decides (UTF-8, UTF-16 LE or BE); without one, strict
// UTF-8 is tried, then strict code page 932. Never fails other than through `error`.
[[nodiscard]] ImportedText DecodeTextBytes(std::string_view bytes);

// The note text for decoded UTF-16 units: refused with ContainsNul when any unit is 0, otherwise
// converted to UTF-8 with CRLF line ends. Unpaired surrogates become U+FFFD.
[[nodiscard]] ImportedText MakeImportedText(std::wstring_view units, TextEncoding encoding);

// Makes every line end CRLF: CR LF stays, a lone CR or a lone LF becomes CR LF.
[[nodiscard]] std::string NormalizeLineEndingsCrlf(std::string_view bytes);

// The note title a file's path suggests: its last component (after the last '\' or '/'), without
// the part from its last '.' unless that dot is the name's first character. Empty when the path ends
// in a separator. Further clean-up is NormalizeTitle's.
[[nodiscard]] std::string TitleFromPath(std::wstring_view path);

}  // namespace lq
