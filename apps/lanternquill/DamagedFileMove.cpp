#include "DamagedFileMove.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "StartupPaths.h"
#include "platform/FileHandle.h"
#include "platform/FileSearch.h"

namespace lq {
namespace {

// In the order the move takes them, after the file itself.
constexpr const wchar_t* kCompanions[] = {L"-wal", L"-shm", L"-journal"};

bool Exists(const std::wstring& path) noexcept {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// No replacing: a name already taken must not swallow what lies there.
bool Move(const std::wstring& from, const std::wstring& to) noexcept {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Puts back what a move aside took: the companions, then the file, so that the file never comes back
// without its log.
bool MoveBack(const std::wstring& path, const std::wstring& target) {
    bool back = true;
    for (auto it = std::rbegin(kCompanions); it != std::rend(kCompanions); ++it) {
        if (Exists(target + *it) && !Exists(path + *it)) back = Move(target + *it, path + *it) && back;
    }
    return back && Move(target, path);
}

// A name MakeDamagedDatabasePath gives: "memo-damaged-" + 8 digits + "-" + 6 digits + ".db".
bool IsMovedAsideName(std::wstring_view name) noexcept {
    constexpr std::wstring_view kPrefix = L"memo-damaged-";
    constexpr std::wstring_view kSuffix = L".db";
    if (name.size() != kPrefix.size() + 15 + kSuffix.size()) return false;
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
    const std::wstring_view stamp = name.substr(kPrefix.size(), 15);
    for (size_t i = 0; i < stamp.size(); ++i) {
        const bool digit = stamp[i] >= L'0' && stamp[i] <= L'9';
        if (i == 8 ? stamp[i] != L'-' : !digit) return false;
    }
    return true;
}

// A big-endian number of `size` bytes at `offset` of the file; none when it cannot be read.
std::optional<uint32_t> ReadBigEndian(const std::wstring& path, DWORD offset, DWORD size) {
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return std::nullopt;
    unsigned char bytes[4] = {};
    OVERLAPPED at{};
    at.Offset = offset;
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes, size, &read, &at) || read != size) return std::nullopt;
    uint32_t value = 0;
    for (DWORD i = 0; i < size; ++i) value = (value << 8) | bytes[i];
    return value;
}

// The page size a database file's header gives (1 stands for 65536).
std::optional<uint32_t> DatabasePageSize(const std::wstring& path) {
    const std::optional<uint32_t> size = ReadBigEndian(path, 16, 2);
    if (size && *size == 1) return 65536u;
    return size;
}

// Whether the log at `path` + "-wal" can belong to the file `candidate`: a log's header names the page
// size of its database. A log too short to say anything holds nothing to lose either way.
bool LogFits(const std::wstring& path, const std::wstring& candidate) {
    if (!Exists(path + L"-wal")) return true;
    const std::optional<uint32_t> logPageSize = ReadBigEndian(path + L"-wal", 8, 4);
    if (!logPageSize) return true;
    return DatabasePageSize(candidate) == logPageSize;
}

// The file a start-over moved `path` to, recognised by its name in the same folder and by lacking
// every companion that still lies beside `path`; the newest name (its time stamp) of those.
std::wstring MovedCopyOf(const std::wstring& path, const std::vector<const wchar_t*>& leftBehind) {
    const std::wstring folder = ParentDirectoryOf(path) + L"\\";
    WIN32_FIND_DATAW found{};
    const FileSearch search(FindFirstFileExW((folder + L"memo-damaged-*.db").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, 0));
    if (!search.valid()) return {};
    std::wstring newest;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsMovedAsideName(found.cFileName)) continue;
        const std::wstring candidate = folder + found.cFileName;
        bool lacksThem = true;
        for (const wchar_t* suffix : leftBehind) lacksThem = lacksThem && !Exists(candidate + suffix);
        if (!lacksThem || !LogFits(path, candidate)) continue;
        if (newest.empty() || candidate > newest) newest = candidate;
    } while (FindNextFileW(search.get(), &found));
    return newest;
}

}  // namespace

bool MoveDamagedDatabaseAside(const std::wstring& path, const std::wstring& target) {
    // No replacing: a name already taken (a second start-over within the same second) must not
    // swallow the earlier damaged file.
    if (!Move(path, target)) return false;

    // The log and the journal go with the file, or the moved copy lacks what they hold, and the new
    // file made in its place would have SQLite delete them. When one cannot go, everything already
    // moved comes back, so that the file keeps its log and nothing new is made beside them. Should
    // the process end between these moves, the next start finishes them (FinishInterruptedMoveAside).
    for (const wchar_t* suffix : kCompanions) {
        if (!Exists(path + suffix)) continue;
        if (Move(path + suffix, target + suffix)) continue;
        (void)MoveBack(path, target);
        return false;
    }
    return true;
}

InterruptedMove FinishInterruptedMoveAside(const std::wstring& path) {
    if (Exists(path)) return InterruptedMove::None;
    std::vector<const wchar_t*> leftBehind;
    for (const wchar_t* suffix : kCompanions) {
        if (Exists(path + suffix)) leftBehind.push_back(suffix);
    }
    if (leftBehind.empty()) return InterruptedMove::None;
    const std::wstring target = MovedCopyOf(path, leftBehind);
    if (target.empty()) return InterruptedMove::None;

    bool finished = true;
    for (const wchar_t* suffix : leftBehind) finished = finished && Move(path + suffix, target + suffix);
    if (finished) return InterruptedMove::Finished;
    // The user chose to start over, but the copy must not stay apart from its log: it all goes back,
    // and the next open asks about the file again.
    return MoveBack(path, target) ? InterruptedMove::Undone : InterruptedMove::Stuck;
}

}  // namespace lq
