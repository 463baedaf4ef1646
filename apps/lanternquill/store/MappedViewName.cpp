#include "store/MappedViewName.h"

#include <winternl.h>

#include <vector>

#include "platform/FileHandle.h"

namespace lq {
namespace {

// NtQueryVirtualMemory's class for the name of a view's file (MemoryMappedFilenameInformation). It
// takes a buffer of any size, where GetMappedFileNameW stops at MAX_PATH on some systems.
constexpr int kMappedFileNameClass = 2;
using QueryVirtualMemory = LONG(NTAPI*)(HANDLE, PVOID, int, PVOID, SIZE_T, PSIZE_T);

QueryVirtualMemory QueryFunction() noexcept {
    // Looked up on first use, which the scans make long before any fault.
    static const QueryVirtualMemory query = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        if (ntdll == nullptr) return QueryVirtualMemory{nullptr};
        return reinterpret_cast<QueryVirtualMemory>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryVirtualMemory")));
    }();
    return query;
}

}  // namespace

std::wstring_view MappedViewName(const void* address, void* buffer, size_t bufferBytes) noexcept {
    const QueryVirtualMemory query = QueryFunction();
    if (query == nullptr || buffer == nullptr || bufferBytes < sizeof(UNICODE_STRING)) return {};
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(address, &region, sizeof(region)) != sizeof(region) || region.Type != MEM_MAPPED) return {};
    SIZE_T written = 0;
    if (query(GetCurrentProcess(), const_cast<void*>(address), kMappedFileNameClass, buffer, bufferBytes, &written) <
        0) {
        return {};
    }
    const auto* name = static_cast<const UNICODE_STRING*>(buffer);
    if (name->Buffer == nullptr) return {};
    return {name->Buffer, name->Length / sizeof(wchar_t)};
}

std::optional<std::wstring> ViewNameOfFile(HANDLE file) {
    if (file == nullptr || file == INVALID_HANDLE_VALUE) return std::nullopt;
    const FileHandle mapping(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping.valid()) return std::nullopt;
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 1);
    if (view == nullptr) return std::nullopt;
    std::vector<unsigned char> buffer(sizeof(UNICODE_STRING) + 65536 * sizeof(wchar_t));
    const std::wstring_view name = MappedViewName(view, buffer.data(), buffer.size());
    std::optional<std::wstring> result;
    if (!name.empty()) result.emplace(name);
    UnmapViewOfFile(view);
    return result;
}

}  // namespace lq
