// Reads the resources of the built lanternquill.exe: the string table, the manifest, the icon and the
// version that the file's properties show.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramFile.h"
#include "resources/Version.h"

namespace lq {
namespace {

// The program file loaded as data: its resources can be read, none of its code runs.
class ProgramResources : public testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExW(test::ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "cannot load " << testing::PrintToString(test::ProgramPath());
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }

    [[nodiscard]] std::wstring String(UINT id) const {
        const wchar_t* text = nullptr;
        const int length = LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&text), 0);
        return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
    }

    [[nodiscard]] std::string_view Resource(LPCWSTR type, UINT id) const {
        HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        if (found == nullptr) return {};
        HGLOBAL loaded = LoadResource(module_, found);
        const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (data == nullptr) return {};
        return std::string_view(static_cast<const char*>(data), SizeofResource(module_, found));
    }

    HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, EveryStringInUseIsThereAndNotEmpty) {
    // Menu labels and messages that the program shows.
    const UINT ids[] = {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1101, 1102, 1103, 1104, 1107, 1109, 1110, 1111, 1112,
                        1113, 1114, 1115, 1116, 1117, 1118, 1119, 1120, 1121, 1122, 1123, 2000, 2001, 2002, 2003, 2004,
                        2005, 2006, 2007, 2008, 2009, 2010, 2011, 2012, 2013, 2015, 2016, 2018, 2019, 2020, 2021, 2022,
                        2023, 2024, 2025, 2026, 2027, 2028, 2029, 2030, 2031, 2032, 2033, 2034, 2035, 2036, 2037, 2038,
                        2039, 2040, 2041, 2042, 2051, 2053, 2054, 2055, 2056, 2057, 2058, 2059, 2060, 2061, 2062, 2070,
                        2071, 2072, 2073, 2074, 2080, 2081, 2082, 2090, 2091, 2092, 2100, 2101};
    for (const UINT id : ids) EXPECT_FALSE(String(id).empty()) << "string " << id;
    EXPECT_EQ(String(2000), L"Lanternquill");
}

TEST_F(ProgramResources, MessagesHaveThePlaceholdersTheirCallersFill) {
    // Every message about the database file names it (%1), whatever it is called.
    const std::set<UINT> withFirst = {2001, 2002, 2005, 2006, 2007, 2008, 2015, 2016, 2025, 2038,
                                      2039, 2040, 2051, 2053, 2055, 2056, 2059, 2061, 2070, 2071,
                                      2072, 2073, 2074, 2082, 2090, 2091, 2092, 2100, 2101};
    const std::set<UINT> withSecond = {2001, 2007, 2016, 2053, 2055, 2056, 2100, 2101};
    std::vector<UINT> ids;
    for (UINT id = 2000; id <= 2062; ++id) ids.push_back(id);
    for (UINT id = 2070; id <= 2074; ++id) ids.push_back(id);
    for (UINT id = 2080; id <= 2082; ++id) ids.push_back(id);
    for (UINT id = 2090; id <= 2092; ++id) ids.push_back(id);
    for (UINT id = 2100; id <= 2101; ++id) ids.push_back(id);
    for (const UINT id : ids) {
        const std::wstring text = String(id);
        EXPECT_EQ(text.find(L"memo.db"), std::wstring::npos) << "string " << id << " names memo.db whatever the file";
        EXPECT_EQ(text.find(L"%1") != std::wstring::npos, withFirst.count(id) != 0) << "string " << id;
        EXPECT_EQ(text.find(L"%2") != std::wstring::npos, withSecond.count(id) != 0) << "string " << id;
    }
}

TEST_F(ProgramResources, ManifestAsksForCommonControls6AndPerMonitorDpi) {
    const std::string manifest(Resource(RT_MANIFEST, 1));
    ASSERT_FALSE(manifest.empty()) << "no manifest resource 1";
    const size_t controls = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(controls, std::string::npos);
    const size_t identityEnd = manifest.find("/>", controls);
    const std::string identity = manifest.substr(controls, identityEnd - controls);
    EXPECT_NE(identity.find("version=\"6.0.0.0\""), std::string::npos) << identity;
    EXPECT_NE(identity.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << identity;
    EXPECT_NE(manifest.find(">PerMonitorV2</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos) << "Windows 10";
    // The program works in UTF-16 throughout; the process code page stays the system's.
    EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos);
}

TEST_F(ProgramResources, IconOneHasEverySize) {
#pragma pack(push, 2)
    struct GroupHeader {
        WORD reserved, type, count;
    };
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const std::string_view group = Resource(RT_GROUP_ICON, 1);
    ASSERT_GE(group.size(), sizeof(GroupHeader)) << "no icon resource 1";
    const auto* header = reinterpret_cast<const GroupHeader*>(group.data());
    ASSERT_EQ(group.size(), sizeof(GroupHeader) + header->count * sizeof(GroupEntry));
    const auto* entries = reinterpret_cast<const GroupEntry*>(group.data() + sizeof(GroupHeader));
    std::set<int> sizes;
    for (WORD i = 0; i < header->count; ++i) sizes.insert(entries[i].width == 0 ? 256 : entries[i].width);
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
    EXPECT_NE(LoadImageW(module_, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0), nullptr);
}

// What the file's properties show, read the way Explorer reads it.
TEST(ProgramVersion, IsJapaneseWithProductNameDescriptionAndOneVersionNumber) {
    const std::wstring path = test::ProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(LQ_VERSION_MINOR, LQ_VERSION_MAJOR);
    const DWORD low = MAKELONG(LQ_VERSION_BUILD, LQ_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0411) << "Japanese";
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 1200) << "UTF-16";

    const auto text = [&](const wchar_t* name) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
        void* found = nullptr;
        UINT count = 0;
        if (!VerQueryValueW(data.data(), key.c_str(), &found, &count) || found == nullptr || count == 0) {
            return std::wstring();
        }
        return std::wstring(static_cast<const wchar_t*>(found));
    };
    EXPECT_EQ(text(L"ProductName"), L"Lanternquill");
    EXPECT_NE(text(L"FileDescription").find(L"Lanternquill"), std::wstring::npos);
    EXPECT_EQ(text(L"FileVersion"), L"" LQ_VERSION_TEXT);
    EXPECT_EQ(text(L"ProductVersion"), L"" LQ_VERSION_TEXT);
}

}  // namespace
}  // namespace lq
