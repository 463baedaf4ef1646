#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace lq {

// Japanese-capable faces for the editor and for every other window, in order of preference.
inline constexpr std::wstring_view kEditorFaces[] = {L"Meiryo", L"BIZ UDGothic", L"MS Gothic"};
inline constexpr std::wstring_view kUiFaces[] = {L"Meiryo UI", L"Yu Gothic UI"};

// The LOGFONTW that asks the font enumeration for a family: everything 0 but DEFAULT_CHARSET and the
// face, cut to the 31 characters the field holds.
[[nodiscard]] LOGFONTW MakeFontFamilyQuery(std::wstring_view face) noexcept;

// True when a font family of that name is installed (compared in its first 31 characters).
[[nodiscard]] bool IsFontInstalled(std::wstring_view face) noexcept;

// The first face of the list that `isInstalled` accepts; the last face when it accepts none (the
// system then substitutes); empty for an empty list.
[[nodiscard]] std::wstring PickInstalledFont(std::span<const std::wstring_view> faces,
                                             const std::function<bool(std::wstring_view)>& isInstalled);
// The same over the fonts installed on this machine.
[[nodiscard]] std::wstring PickInstalledFont(std::span<const std::wstring_view> faces);

// The user-interface face of this process: the first installed of kUiFaces, else the system's
// message font. Computed on first use, thread-safely, and kept until exit.
[[nodiscard]] const std::wstring& UiFontFace();

// The 11-point user-interface font at `dpi`; the caller owns and deletes it. Null when creation fails
// (callers then draw with the stock GUI font).
[[nodiscard]] HFONT CreateUiFont(int32_t dpi) noexcept;

}  // namespace lq
