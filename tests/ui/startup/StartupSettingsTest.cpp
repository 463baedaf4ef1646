#include "StartupSettings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "store/SettingsStore.h"
#include "support/StoreDatabase.h"
#include "support/TempFolder.h"

namespace lq {
namespace {

class StartupSettingsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(db, nullptr); }

    StartupSettings ReadWith(const char* key, const char* value) {
        SettingsStore settings(*db);
        EXPECT_TRUE(settings.SetSetting(key, value));
        return ReadStartupSettings(settings);
    }

    test::TempFolder folder;
    std::unique_ptr<Database> db = test::OpenStoreDatabase(folder.File(L"memo.db"));
};

TEST_F(StartupSettingsTest, NothingStoredGivesTheDefaults) {
    SettingsStore settings(*db);
    const StartupSettings read = ReadStartupSettings(settings);
    EXPECT_EQ(read.fontSize, 16);
    EXPECT_TRUE(read.wrap);
    EXPECT_TRUE(read.sidebarVisible);
    EXPECT_EQ(read.sidebarWidth, 250);
}

TEST_F(StartupSettingsTest, FlagsAreOffOnlyForZero) {
    struct Case {
        const char* value;
        bool on;
    };
    // A value that is not a whole integer counts as absent, so the default (on) holds.
    const Case cases[] = {{"0", false}, {"-0", false}, {"1", true},  {"2", true},  {"-1", true},
                          {"", true},   {"no", true},  {" 0", true}, {"0.0", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ReadWith("editor.wrap", c.value).wrap, c.on);
        EXPECT_EQ(ReadWith("sidebar.visible", c.value).sidebarVisible, c.on);
    }
}

TEST_F(StartupSettingsTest, NumbersAreTakenWholeAndHeldWithinTheirRange) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        const char* value;
        int32_t fontSize;
        int32_t sidebarWidth;
    };
    // The editor and the window clamp to their own limits later; here only what was stored comes back.
    const Case cases[] = {
        {"200", 200, 200},
        {"-5", -5, -5},
        {"4294967312", kMax, kMax},  // must not wrap round to 16
        {"-99999999999", kMin, kMin},
        {"12px", 16, 250},
        {"+12", 16, 250},
        {"", 16, 250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ReadWith("editor.font_size", c.value).fontSize, c.fontSize);
        EXPECT_EQ(ReadWith("sidebar.width", c.value).sidebarWidth, c.sidebarWidth);
    }
}

}  // namespace
}  // namespace lq
