#include "editor/EditorFonts.h"

#include <algorithm>

#include "editor/EditorMetrics.h"

namespace lq {
namespace {

int CALLBACK StopAtFirstFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

std::wstring MessageFontFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return {};
    return metrics.lfMessageFont.lfFaceName;
}

}  // namespace

LOGFONTW MakeFontFamilyQuery(std::wstring_view face) noexcept {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::copy_n(face.data(), length, query.lfFaceName);
    query.lfFaceName[length] = L'\0';
    return query;
}

bool IsFontInstalled(std::wstring_view face) noexcept {
    if (face.empty()) return false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    LOGFONTW query = MakeFontFamilyQuery(face);
    bool found = false;
    EnumFontFamiliesExW(screen, &query, StopAtFirstFamily, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring PickInstalledFont(std::span<const std::wstring_view> faces,
                               const std::function<bool(std::wstring_view)>& isInstalled) {
    if (faces.empty()) return {};
    for (const std::wstring_view face : faces) {
        if (isInstalled(face)) return std::wstring(face);
    }
    return std::wstring(faces.back());
}

std::wstring PickInstalledFont(std::span<const std::wstring_view> faces) {
    return PickInstalledFont(faces, [](std::wstring_view face) { return IsFontInstalled(face); });
}

const std::wstring& UiFontFace() {
    // A function-local static is initialised once, thread-safely, by the language itself.
    static const std::wstring face = [] {
        for (const std::wstring_view candidate : kUiFaces) {
            if (IsFontInstalled(candidate)) return std::wstring(candidate);
        }
        return MessageFontFace();
    }();
    return face;
}

HFONT CreateUiFont(int32_t dpi) noexcept {
    LOGFONTW font{};
    font.lfHeight = UiFontHeightForDpi(dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    try {
        const std::wstring& face = UiFontFace();
        const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
        std::copy_n(face.data(), length, font.lfFaceName);
    } catch (...) {
        // Out of memory while choosing the face: the system's default face will do.
    }
    return CreateFontIndirectW(&font);
}

}  // namespace lq
