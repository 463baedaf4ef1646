#include "textfiles/TextFileReader.h"

#include <windows.h>

#include <new>
#include <string_view>

#include "platform/FileHandle.h"
#include "platform/LongPath.h"

namespace lq {

namespace {

ImportedText Unreadable() {
    return ImportedText{{}, TextEncoding::Utf8, ImportError::Unreadable};
}

ImportedText ReadAndDecode(const std::wstring& path) {
    const ImportedText unreadable = Unreadable();
    FileHandle file(CreateFileW(UsableFilePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return unreadable;
    // Devices ("NUL", "\\.\NUL", "nul.txt" on some systems), pipes and consoles open like files but
    // read as empty or never end: only files on a disk become notes.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return unreadable;

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return unreadable;
    if (static_cast<uint64_t>(size.QuadPart) > kMaxImportBytes) {
        return ImportedText{{}, TextEncoding::Utf8, ImportError::TooLarge};
    }

    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    if (!bytes.empty()) {
        DWORD read = 0;
        const auto wanted = static_cast<DWORD>(bytes.size());
        if (!ReadFile(file.get(), bytes.data(), wanted, &read, nullptr) || read != wanted) return unreadable;
    }
    file.Close();
    return DecodeTextBytes(bytes);
}

}  // namespace

ImportedText ReadTextFile(const std::wstring& path) noexcept {
    // A file near the limit needs a few hundred megabytes of buffers on its way to UTF-8; when they
    // cannot be had, this one file is refused and the rest of an import goes on.
    try {
        return ReadAndDecode(path);
    } catch (const std::bad_alloc&) {
        return Unreadable();
    }
}

}  // namespace lq
