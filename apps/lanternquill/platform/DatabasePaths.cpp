#include "platform/DatabasePaths.h"

#include <windows.h>

#include <climits>

#include "platform/FileHandle.h"
#include "platform/TextConversion.h"

namespace lq {

std::wstring GetFullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring buffer(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
    // A result that does not fit (the current folder changed in between) is no absolute path.
    if (written == 0 || written >= needed) return path;
    buffer.resize(written);
    return buffer;
}

std::wstring StripFinalPathPrefix(std::wstring_view finalPath) {
    constexpr std::wstring_view kUncPrefix = L"\\\\?\\UNC\\";
    constexpr std::wstring_view kLocalPrefix = L"\\\\?\\";
    if (finalPath.starts_with(kUncPrefix)) return L"\\\\" + std::wstring(finalPath.substr(kUncPrefix.size()));
    if (finalPath.starts_with(kLocalPrefix)) {
        return std::wstring(finalPath.substr(kLocalPrefix.size()));
    }
    return std::wstring(finalPath);
}

std::wstring GetFinalPath(const std::wstring& path) {
    const FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return {};
    const DWORD needed = GetFinalPathNameByHandleW(file.get(), nullptr, 0, 0);
    if (needed == 0) return {};
    std::wstring buffer(needed, L'\0');
    const DWORD written = GetFinalPathNameByHandleW(file.get(), buffer.data(), needed, 0);
    if (written == 0 || written >= needed) return {};
    buffer.resize(written);
    return StripFinalPathPrefix(buffer);
}

std::optional<ParentAndLeaf> SplitParentAndLeaf(std::wstring_view fullPath) {
    const size_t last = fullPath.rfind(L'\\');
    if (last == std::wstring_view::npos) return std::nullopt;
    const size_t parentLength = last == 2 ? 3 : last;
    return ParentAndLeaf{std::wstring(fullPath.substr(0, parentLength)), std::wstring(fullPath.substr(last + 1))};
}

std::wstring JoinResolvedParent(std::wstring_view resolvedParent, std::wstring_view leaf) {
    std::wstring joined(resolvedParent);
    if (joined.empty() || joined.back() != L'\\') joined += L'\\';
    joined += leaf;
    return joined;
}

std::wstring UpperCaseInvariant(const std::wstring& text) {
    // The system takes an int length; nothing that long is a path anyway.
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return text;
    const int length = static_cast<int>(text.size());
    const int needed = LCMapStringEx(L"", LCMAP_UPPERCASE, text.c_str(), length, nullptr, 0, nullptr, nullptr, 0);
    if (needed < 1) return text;
    std::wstring mapped(static_cast<size_t>(needed), L'\0');
    const int written =
        LCMapStringEx(L"", LCMAP_UPPERCASE, text.c_str(), length, mapped.data(), needed, nullptr, nullptr, 0);
    if (written < 1) return text;
    mapped.resize(static_cast<size_t>(written));
    return mapped;
}

std::wstring NormalizePath(const std::wstring& path) {
    const std::wstring full = GetFullPath(path);
    std::wstring resolved = GetFinalPath(full);
    if (resolved.empty()) {
        // Not there yet (a new database): resolve the folder and keep the leaf name as given.
        if (const auto split = SplitParentAndLeaf(full)) {
            const std::wstring parent = GetFinalPath(split->parent);
            if (!parent.empty()) resolved = JoinResolvedParent(parent, split->leaf);
        }
    }
    return UpperCaseInvariant(resolved.empty() ? full : resolved);
}

uint64_t HashPath(std::wstring_view normalizedPath) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const char byte : Utf16ToUtf8(normalizedPath)) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::wstring MakeInstanceMutexName(std::wstring_view normalizedPath) {
    constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
    uint64_t key = HashPath(normalizedPath);
    std::wstring name = L"Local\\Lanternquill-0000000000000000";
    for (size_t i = name.size(); key != 0; key >>= 4) name[--i] = kHexDigits[key & 0xf];
    return name;
}

}  // namespace lq
