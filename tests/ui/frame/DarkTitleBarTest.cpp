#include "ui/frame/DarkTitleBar.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace lq {
namespace {

// A stand-in for the window manager: records each attribute set and refuses those in `refused`.
struct FakeWindowManager {
    static inline std::vector<std::pair<DWORD, DWORD>> calls;  // attribute, value
    static inline std::set<DWORD> refused;

    static HRESULT WINAPI Set(HWND, DWORD attribute, LPCVOID value, DWORD size) {
        calls.emplace_back(attribute, size == sizeof(DWORD) ? *static_cast<const DWORD*>(value) : 0xFFFFFFFFu);
        return refused.count(attribute) != 0 ? E_INVALIDARG : S_OK;
    }
    static void Reset(std::set<DWORD> refusedAttributes) {
        calls.clear();
        refused = std::move(refusedAttributes);
    }
};

using Calls = std::vector<std::pair<DWORD, DWORD>>;

TEST(ApplyDarkTitleBar, CaptionColoursWhereTheSystemHasThem) {
    FakeWindowManager::Reset({});
    EXPECT_EQ(ApplyDarkTitleBar(nullptr, true, FakeWindowManager::Set), TitleBarMode::CaptionColours);
    EXPECT_EQ(FakeWindowManager::calls, (Calls{{35, 0x3C3C3C}, {36, 0xCCCCCC}, {34, 0x333333}}));

    FakeWindowManager::Reset({});
    EXPECT_EQ(ApplyDarkTitleBar(nullptr, false, FakeWindowManager::Set), TitleBarMode::CaptionColours);
    EXPECT_EQ(FakeWindowManager::calls, (Calls{{35, 0x3C3C3C}, {36, 0x939393}, {34, 0x333333}}));

    // Text and border colours that are refused do not change the answer.
    FakeWindowManager::Reset({34, 36});
    EXPECT_EQ(ApplyDarkTitleBar(nullptr, true, FakeWindowManager::Set), TitleBarMode::CaptionColours);
}

TEST(ApplyDarkTitleBar, FallsBackToTheDarkModeSwitch) {
    FakeWindowManager::Reset({35});
    EXPECT_EQ(ApplyDarkTitleBar(nullptr, true, FakeWindowManager::Set), TitleBarMode::ImmersiveDark);
    EXPECT_EQ(FakeWindowManager::calls, (Calls{{35, 0x3C3C3C}, {20, TRUE}}));

    FakeWindowManager::Reset({35, 20});
    EXPECT_EQ(ApplyDarkTitleBar(nullptr, true, FakeWindowManager::Set), TitleBarMode::ImmersiveDark);
    EXPECT_EQ(FakeWindowManager::calls, (Calls{{35, 0x3C3C3C}, {20, TRUE}, {19, TRUE}}));

    FakeWindowManager::Reset({35, 20, 19});
    EXPECT_EQ(ApplyDarkTitleBar(nullptr, true, FakeWindowManager::Set), TitleBarMode::None);
}

}  // namespace
}  // namespace lq
