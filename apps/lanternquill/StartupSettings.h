#pragma once

#include <cstdint>

namespace lq {

class SettingsStore;

// The stored settings the start-up applies before the notes are loaded. A value that is absent or not
// a whole decimal integer gives the default.
struct StartupSettings {
    int32_t fontSize = 16;       // "editor.font_size"; the editor clamps it
    bool wrap = true;            // "editor.wrap": any value but 0 wraps
    bool sidebarVisible = true;  // "sidebar.visible": any value but 0 shows it
    int32_t sidebarWidth = 250;  // "sidebar.width" in DIP; the window raises it to its minimum
};

// Reads the four settings; numbers beyond the 32-bit range are held at its ends rather than wrapped.
[[nodiscard]] StartupSettings ReadStartupSettings(SettingsStore& settings);

}  // namespace lq
