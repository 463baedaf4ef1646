#pragma once

namespace lq {

// What Workspace::Load came to. On failure `storeCode` is SQLite's result code of the listing that
// failed, so the start-up can tell a damaged file from any other failure; 0 when the failure was not
// a listing's (first-run data not stored, start-up note not opened).
struct LoadResult {
    bool loaded = false;
    int storeCode = 0;

    explicit operator bool() const noexcept { return loaded; }
};

}  // namespace lq
