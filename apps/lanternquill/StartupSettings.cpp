#include "StartupSettings.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "store/SettingsStore.h"
#include "workspace/ParseOptionalInt64.h"

namespace lq {
namespace {

int64_t ReadInteger(SettingsStore& settings, const char* key, int64_t fallback) {
    return ParseOptionalInt64(settings.GetSetting(key)).value_or(fallback);
}

// A stored 4294967312 must not come back as 16 points, nor a huge width as a negative one.
int32_t ToInt32(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

StartupSettings ReadStartupSettings(SettingsStore& settings) {
    StartupSettings read;
    read.fontSize = ToInt32(ReadInteger(settings, "editor.font_size", read.fontSize));
    read.wrap = ReadInteger(settings, "editor.wrap", 1) != 0;
    read.sidebarVisible = ReadInteger(settings, "sidebar.visible", 1) != 0;
    read.sidebarWidth = ToInt32(ReadInteger(settings, "sidebar.width", read.sidebarWidth));
    return read;
}

}  // namespace lq
