#pragma once

#include <cstdint>

#include "workspace/ScintillaDocRef.h"

namespace lq {

// One opened note's editor document in the workspace's cache.
struct CachedDoc {
    ScintillaDocRef doc;
    int64_t lengthBytes = 0;  // SCI_GETLENGTH when made or last left
    uint64_t lastUse = 0;     // use stamp; larger is more recent, every stamp is unique
    bool dirty = false;       // held unsaved edits when last left; cleared by a successful save
};

}  // namespace lq
