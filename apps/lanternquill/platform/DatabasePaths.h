#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lq {

// One database file, however its path is written (relative, short names, letter case, a mapped drive,
// a link), reduces to one normalised path; the instance key and the mutex name come from that.

// The absolute form of `path`; the input unchanged when the system cannot make one.
[[nodiscard]] std::wstring GetFullPath(const std::wstring& path);

// The file system's final path of an existing file or folder, without the "\\?\" prefix (a UNC path
// becomes "\\server\share\..."); empty when it cannot be opened.
[[nodiscard]] std::wstring GetFinalPath(const std::wstring& path);

// Pure part of GetFinalPath: "\\?\UNC\x" becomes "\\x", "\\?\x" becomes "x", anything else stays.
[[nodiscard]] std::wstring StripFinalPathPrefix(std::wstring_view finalPath);

// For a path whose file does not exist yet: the folder to resolve and the leaf name after it. A drive
// root keeps its backslash ("X:\"). Empty when the path has no backslash.
struct ParentAndLeaf {
    std::wstring parent;
    std::wstring leaf;
};
[[nodiscard]] std::optional<ParentAndLeaf> SplitParentAndLeaf(std::wstring_view fullPath);

// The resolved folder joined with the leaf name by exactly one backslash.
[[nodiscard]] std::wstring JoinResolvedParent(std::wstring_view resolvedParent, std::wstring_view leaf);

// Upper-casing by the invariant locale; the text un-mapped when the system cannot map it.
[[nodiscard]] std::wstring UpperCaseInvariant(const std::wstring& text);

// Absolute, links and short names resolved where the file or its folder exists, upper-cased.
[[nodiscard]] std::wstring NormalizePath(const std::wstring& path);

// FNV-1a 64 over the UTF-8 bytes of an already normalised path: the instance key.
[[nodiscard]] uint64_t HashPath(std::wstring_view normalizedPath);

// "Local\Lanternquill-" and the key of the normalised path as 16 upper-case hex digits.
[[nodiscard]] std::wstring MakeInstanceMutexName(std::wstring_view normalizedPath);

}  // namespace lq
