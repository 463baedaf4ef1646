#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileHandle.h"
#include "platform/LongPath.h"
#include "store/DatabaseFiles.h"

namespace lq {
namespace {

constexpr std::wstring_view kJournalSuffix = L"-journal";

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
    return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring_view FileNamePart(std::wstring_view path) noexcept {
    return path.substr(path.find_last_of(L"\\/") + 1);  // npos + 1 is 0: the whole text
}

// The process id in a name of the form "<anything>.lnq-<decimal id>.tmp", written as the temporary
// names write it (no leading zeros, within 32 bits); none for any other name.
std::optional<uint32_t> ProcessIdIn(std::wstring_view name) {
    constexpr std::wstring_view kTail = L".tmp";
    constexpr std::wstring_view kMark = L".lnq-";
    if (!name.ends_with(kTail)) return std::nullopt;
    name.remove_suffix(kTail.size());
    const size_t mark = name.rfind(kMark);
    if (mark == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view digits = name.substr(mark + kMark.size());
    if (digits.empty() || digits.size() > 10 || digits[0] == L'0') return std::nullopt;
    uint64_t id = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        id = id * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (id > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(id);
}

std::wstring ImagePathOf(HANDLE process) {
    std::wstring image(32768, L'\0');
    DWORD size = static_cast<DWORD>(image.size());
    if (!QueryFullProcessImageNameW(process, 0, image.data(), &size)) return {};
    image.resize(size);
    return image;
}

std::wstring OwnImagePath() {
    std::wstring image(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, image.data(), static_cast<DWORD>(image.size()));
        if (length == 0) return {};
        if (length < image.size()) {
            image.resize(length);
            return image;
        }
        image.resize(image.size() * 2);
    }
}

// Whether the process of that id runs this program (any copy of its file), and so may still be
// writing its temporary file. A process that exists but cannot be asked counts as an owner: nothing
// is deleted on a guess.
bool RunsThisProgram(uint32_t processId) {
    const FileHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    if (!process.valid()) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
    if (WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return false;  // it has ended
    const std::wstring image = ImagePathOf(process.get());
    static const std::wstring own = OwnImagePath();
    return image.empty() || own.empty() || EqualIgnoringCase(FileNamePart(image), FileNamePart(own));
}

// Owns a search handle from FindFirstFileExW.
class FileSearch {
public:
    explicit FileSearch(HANDLE handle) noexcept : handle_(handle) {}
    ~FileSearch() {
        if (valid()) FindClose(handle_);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    [[nodiscard]] bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE get() const noexcept { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

void RemoveLeftoverTemporaryFiles(const std::wstring& target) {
    const size_t nameStart = target.find_last_of(L"\\/") + 1;
    const std::wstring folder = target.substr(0, nameStart);
    WIN32_FIND_DATAW found{};
    const FileSearch search(FindFirstFileExW(UsableFilePath(folder + L"*.lnq-*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search.valid()) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        std::wstring_view name = found.cFileName;
        // A journal is looked at for the temporary file it belongs to, which may be gone already.
        if (name.ends_with(kJournalSuffix)) name.remove_suffix(kJournalSuffix.size());
        const std::optional<uint32_t> processId = ProcessIdIn(name);
        if (!processId) continue;
        // Exactly the name a process of that id gives this target's temporary file, long or short form.
        if (!EqualIgnoringCase(FileNamePart(BackupTemporaryPath(target, *processId)), name)) continue;
        if (RunsThisProgram(*processId)) continue;
        DeleteFileW(UsableFilePath(folder + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace lq
