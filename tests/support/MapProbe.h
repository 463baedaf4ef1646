#pragma once

#include <cstdint>
#include <vector>

struct sqlite3;

namespace lq::test {

// How far SQLite may map the connection's main file now (0: every page is read through the file API).
[[nodiscard]] int64_t MapLimit(sqlite3* connection);

// Watches a connection's reads and writes: replaces its lower() (same ASCII folding as SQLite's own,
// which every scan over note contents calls per row) and hooks its row updates, noting the map limit
// each time. Restores neither; a probe lives as long as its connection.
class MapProbe {
public:
    explicit MapProbe(sqlite3* connection);
    // The connection outlives the probe (the window saves as it closes): its hooks go with the probe.
    ~MapProbe();
    MapProbe(const MapProbe&) = delete;
    MapProbe& operator=(const MapProbe&) = delete;

    [[nodiscard]] bool installed() const noexcept { return installed_; }
    // The map limits seen while rows were read (by lower()) and updated, in order; cleared by Clear.
    std::vector<int64_t> reads;
    std::vector<int64_t> writes;
    void Clear() {
        reads.clear();
        writes.clear();
    }

private:
    sqlite3* connection_;
    bool installed_ = false;
};

}  // namespace lq::test
