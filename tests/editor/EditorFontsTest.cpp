#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/EditorFonts.h"

namespace lq {
namespace {

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) {
    auto* names = reinterpret_cast<std::vector<std::wstring>*>(out);
    if (font->lfFaceName[0] != L'@') names->push_back(font->lfFaceName);  // skip vertical variants
    return 1;
}

std::vector<std::wstring> InstalledFamilies() {
    std::vector<std::wstring> names;
    HDC screen = GetDC(nullptr);
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen, &all, CollectFamily, reinterpret_cast<LPARAM>(&names), 0);
    ReleaseDC(nullptr, screen);
    return names;
}

TEST(EditorFontsTest, QueryCutsTheFaceToThirtyOneCharacters) {
    const std::wstring longName(40, L'x');
    const LOGFONTW query = MakeFontFamilyQuery(longName);
    EXPECT_EQ(std::wstring(query.lfFaceName), std::wstring(31, L'x'));
    EXPECT_EQ(query.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(query.lfHeight, 0);
    EXPECT_EQ(query.lfWeight, 0);
    EXPECT_EQ(std::wstring(MakeFontFamilyQuery(L"Meiryo").lfFaceName), L"Meiryo");
}

TEST(EditorFontsTest, InstalledFamiliesAreFoundAndOthersAreNot) {
    const std::vector<std::wstring> families = InstalledFamilies();
    ASSERT_FALSE(families.empty());
    EXPECT_TRUE(IsFontInstalled(families.front()));
    EXPECT_TRUE(IsFontInstalled(families.back()));
    EXPECT_FALSE(IsFontInstalled(L"No Such Face Lanternquill"));
    EXPECT_FALSE(IsFontInstalled(L""));
    // Only the first 31 characters take part: a real family padded past the field is not that family.
    EXPECT_FALSE(IsFontInstalled(families.front() + std::wstring(40, L'z')));
}

TEST(EditorFontsTest, PickTakesTheFirstInstalledElseTheLastFace) {
    const std::wstring_view faces[] = {L"A", L"B", L"C"};
    struct Case {
        const char* name;
        std::vector<std::wstring_view> installed;
        std::wstring expected;
    };
    const Case cases[] = {
        {"first installed", {L"A", L"B", L"C"}, L"A"},
        {"only the second", {L"B"}, L"B"},
        {"second and third", {L"C", L"B"}, L"B"},
        {"none installed", {}, L"C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto isInstalled = [&](std::wstring_view face) {
            for (auto name : c.installed) {
                if (name == face) return true;
            }
            return false;
        };
        EXPECT_EQ(PickInstalledFont(faces, isInstalled), c.expected);
    }
    EXPECT_EQ(PickInstalledFont({}, [](std::wstring_view) { return true; }), L"");
}

TEST(EditorFontsTest, PickOverTheMachinesFonts) {
    const std::vector<std::wstring> families = InstalledFamilies();
    ASSERT_FALSE(families.empty());
    const std::wstring_view withInstalled[] = {L"No Such Face Lanternquill", families.front()};
    EXPECT_EQ(PickInstalledFont(withInstalled), families.front());
    // The editor's own list: its first installed face, or "MS Gothic" when none is (as under Wine).
    std::wstring expected = L"MS Gothic";
    for (auto face : kEditorFaces) {
        if (IsFontInstalled(face)) {
            expected = face;
            break;
        }
    }
    EXPECT_EQ(PickInstalledFont(kEditorFaces), expected);
}

TEST(EditorFontsTest, UiFaceFallsBackToTheMessageFont) {
    std::wstring expected;
    for (auto face : kUiFaces) {
        if (IsFontInstalled(face)) {
            expected = face;
            break;
        }
    }
    if (expected.empty()) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
        expected = metrics.lfMessageFont.lfFaceName;
    }
    EXPECT_EQ(UiFontFace(), expected);
    EXPECT_FALSE(UiFontFace().empty());
    EXPECT_EQ(&UiFontFace(), &UiFontFace());  // computed once
}

TEST(EditorFontsTest, UiFontIsElevenPointsAtEachDpi) {
    const std::pair<int32_t, LONG> cases[] = {{96, -15}, {144, -22}, {192, -29}};
    for (const auto& [dpi, height] : cases) {
        SCOPED_TRACE(dpi);
        HFONT font = CreateUiFont(dpi);
        ASSERT_NE(font, nullptr);
        LOGFONTW described{};
        ASSERT_EQ(GetObjectW(font, sizeof(described), &described), static_cast<int>(sizeof(described)));
        EXPECT_EQ(described.lfHeight, height);
        EXPECT_EQ(described.lfWeight, FW_NORMAL);
        EXPECT_EQ(described.lfQuality, CLEARTYPE_QUALITY);
        EXPECT_EQ(std::wstring(described.lfFaceName), UiFontFace().substr(0, 31));
        DeleteObject(font);
    }
}

}  // namespace
}  // namespace lq
