#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileHandle.h"
#include "platform/FileSearch.h"
#include "platform/LongPath.h"
#include "platform/ProgramProcessMark.h"
#include "store/DatabaseFiles.h"

namespace lq {
namespace {

constexpr std::wstring_view kJournalSuffix = L"-journal";
constexpr std::wstring_view kSetAsideJournalSuffix = L"-old-journal";

// A decimal process id as the temporary names write it (no leading zeros, within 32 bits).
std::optional<uint32_t> ParseProcessId(std::wstring_view digits) {
    if (digits.empty() || digits.size() > 10 || digits[0] == L'0') return std::nullopt;
    uint64_t id = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        id = id * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (id > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(id);
}

// The process id in the name of a judging copy, "lnq-judge-<id>-<tick count>.db", or of what SQLite
// made beside it ("-wal", "-shm", "-journal"); none for any other name.
std::optional<uint32_t> JudgingProcessIdIn(std::wstring_view name) {
    constexpr std::wstring_view kPrefix = L"lnq-judge-";
    for (const std::wstring_view suffix : {std::wstring_view(L"-wal"), std::wstring_view(L"-shm"), kJournalSuffix}) {
        if (name.ends_with(suffix)) {
            name.remove_suffix(suffix.size());
            break;
        }
    }
    if (!name.starts_with(kPrefix) || !name.ends_with(L".db")) return std::nullopt;
    name.remove_prefix(kPrefix.size());
    name.remove_suffix(3);
    const size_t dash = name.find(L'-');
    if (dash == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view tick = name.substr(dash + 1);
    if (tick.empty() || tick.find_first_not_of(L"0123456789") != std::wstring_view::npos) return std::nullopt;
    return ParseProcessId(name.substr(0, dash));
}

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
    return ParseProcessId(name.substr(mark + kMark.size()));
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

// Whether the process of that id runs this program (any copy of its file, under any name), and so may
// still be writing its temporary file. A running process of the program holds its mark; one without
// it (a program older than the mark) is still known by its program file's name. A process that exists
// but cannot be asked counts as an owner: nothing is deleted on a guess.
bool RunsThisProgram(uint32_t processId) {
    if (IsMarkedAsProgram(processId)) return true;
    const FileHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    if (!process.valid()) return GetLastError() != ERROR_INVALID_PARAMETER;   // no such process
    if (WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return false;  // it has ended
    const std::wstring image = ImagePathOf(process.get());
    static const std::wstring own = OwnImagePath();
    return image.empty() || own.empty() || EqualIgnoringCase(FileNamePart(image), FileNamePart(own));
}

}  // namespace

void RemoveLeftoverTemporaryFiles(const std::wstring& target) {
    const size_t nameStart = target.find_last_of(L"\\/") + 1;
    const std::wstring folder = target.substr(0, nameStart);
    std::vector<std::wstring> names;
    {
        WIN32_FIND_DATAW found{};
        const FileSearch search(FindFirstFileExW(UsableFilePath(folder + L"*.lnq-*").c_str(), FindExInfoBasic, &found,
                                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!search.valid()) return;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
        } while (FindNextFileW(search.get(), &found));
    }
    // Exactly the name a process of that id gives this target's temporary file (long or short form),
    // of a process that no longer runs this program.
    const auto leftover = [&](std::wstring_view name) {
        const std::optional<uint32_t> processId = ProcessIdIn(name);
        return processId && EqualIgnoringCase(FileNamePart(BackupTemporaryPath(target, *processId)), name) &&
               !RunsThisProgram(*processId);
    };

    // The old target's journal, set aside by a backup that ended before its copy replaced the target,
    // goes back to the old target first, while its copy still shows that the target is the old file;
    // with the copy gone the target is the new file, which must never get the old file's journal.
    const std::wstring targetJournal = UsableFilePath(target + std::wstring(kJournalSuffix));
    for (const std::wstring& file : names) {
        std::wstring_view name = file;
        if (!name.ends_with(kSetAsideJournalSuffix)) continue;
        name.remove_suffix(kSetAsideJournalSuffix.size());
        if (!leftover(name)) continue;
        const std::wstring setAside = UsableFilePath(folder + file);
        const bool copyThere =
            GetFileAttributesW(UsableFilePath(folder + std::wstring(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
        const bool journalThere = GetFileAttributesW(targetJournal.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (copyThere && !journalThere && MoveFileExW(setAside.c_str(), targetJournal.c_str(), 0)) continue;
        if (!copyThere) DeleteFileW(setAside.c_str());
    }
    for (const std::wstring& file : names) {
        std::wstring_view name = file;
        // A journal is looked at for the temporary file it belongs to, which may be gone already.
        if (name.ends_with(kJournalSuffix) && !name.ends_with(kSetAsideJournalSuffix)) {
            name.remove_suffix(kJournalSuffix.size());
        }
        if (!leftover(name)) continue;
        DeleteFileW(UsableFilePath(folder + file).c_str());
    }
}

void RemoveLeftoverJudgingCopies() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return;
    const std::wstring folder(buffer, length);
    WIN32_FIND_DATAW found{};
    const FileSearch search(FindFirstFileExW((folder + L"lnq-judge-*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search.valid()) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        const std::optional<uint32_t> processId = JudgingProcessIdIn(found.cFileName);
        if (!processId || RunsThisProgram(*processId)) continue;
        DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace lq
