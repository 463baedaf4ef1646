#include "ui/dialogs/FileCommandTexts.h"

#include "resources/ResourceIds.h"

namespace lq {
namespace {

size_t LastSeparator(std::wstring_view path) noexcept {
    return path.find_last_of(L"\\/");
}

}  // namespace

std::wstring_view FileNameOfPath(std::wstring_view path) noexcept {
    const size_t separator = LastSeparator(path);
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

std::wstring_view FolderOfPath(std::wstring_view path) noexcept {
    const size_t separator = LastSeparator(path);
    return separator == std::wstring_view::npos ? path : path.substr(0, separator);
}

UINT ImportErrorReasonId(ImportError error) noexcept {
    switch (error) {
        case ImportError::None:
            return 0;
        case ImportError::Unreadable:
            return IDS_IMPORT_UNREADABLE;
        case ImportError::TooLarge:
            return IDS_IMPORT_TOO_LARGE;
        case ImportError::ContainsNul:
            return IDS_IMPORT_CONTAINS_NUL;
        case ImportError::UnknownEncoding:
            return IDS_IMPORT_UNKNOWN_ENCODING;
    }
    // A value from nowhere is still a refusal; say the file could not be read rather than nothing.
    return IDS_IMPORT_UNREADABLE;
}

std::wstring ImportFailureLine(std::wstring_view path, std::wstring_view reason) {
    std::wstring line(FileNameOfPath(path));
    line += L" \u2014 ";
    line += reason;
    return line;
}

std::wstring ImportFailureReport(std::wstring_view heading, const std::vector<std::wstring>& lines) {
    std::wstring report(heading);
    for (const std::wstring& line : lines) {
        report += L'\n';
        report += line;
    }
    return report;
}

std::wstring ProgramFolder() {
    // A path longer than the buffer comes back cut: grow the buffer until it fits, so the folder is
    // never a truncated one.
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    return std::wstring(FolderOfPath(path));
}

}  // namespace lq
