#include "DarkMode.h"

#include <windows.h>

namespace lq {
namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
// uxtheme's unnamed exports: 135 sets the process's preferred mode (2: dark), 136 refreshes the
// menu themes so the new mode reaches them.
using SetPreferredAppModeFunction = int(WINAPI*)(int);
using FlushMenuThemesFunction = void(WINAPI*)();
constexpr WORD kSetPreferredAppModeOrdinal = 135;
constexpr WORD kFlushMenuThemesOrdinal = 136;
constexpr int kPreferDark = 2;

// FARPROC to the function's real type, by way of an object pointer so the compiler does not flag
// the differing signature.
template <typename Function>
Function FunctionFrom(FARPROC address) noexcept {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

uint32_t WindowsBuildNumber() noexcept {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) return 0;
    const auto getVersion = FunctionFrom<RtlGetVersionFunction>(GetProcAddress(ntdll, "RtlGetVersion"));
    if (getVersion == nullptr) return 0;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (getVersion(&version) != 0) return 0;
    return version.dwBuildNumber;
}

bool EnableProcessDarkMode() noexcept {
    if (WindowsBuildNumber() < kFirstDarkModeBuild) return false;
    // Kept loaded for the rest of the run: the switches live in it.
    const HMODULE uxtheme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (uxtheme == nullptr) return false;
    const auto setPreferredAppMode = FunctionFrom<SetPreferredAppModeFunction>(
        GetProcAddress(uxtheme, MAKEINTRESOURCEA(kSetPreferredAppModeOrdinal)));
    const auto flushMenuThemes =
        FunctionFrom<FlushMenuThemesFunction>(GetProcAddress(uxtheme, MAKEINTRESOURCEA(kFlushMenuThemesOrdinal)));
    // Wine reports a recent build yet has neither export; both must be there before either is called.
    if (setPreferredAppMode == nullptr || flushMenuThemes == nullptr) return false;
    setPreferredAppMode(kPreferDark);
    flushMenuThemes();
    return true;
}

}  // namespace lq
