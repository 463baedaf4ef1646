#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace lq {

// One row of a list that is to be stored in a given order.
struct SortOrderSlot {
    std::optional<int64_t> stored;  // the row's sort order now; none for a row that has to be written anyway
    bool keepIfPossible = false;    // a row that must not be rewritten where that can be avoided
};

// Sort orders, one per slot, that rise strictly along the slots (so "ORDER BY sort_order, id" gives the
// slots' order whatever the ids) while as many rows as possible keep the order they have: rows marked
// keepIfPossible first, then the most of the others. A row whose result equals its stored order needs
// no write. Rewriting a row rewrites its whole record, text and all, so a long list where one row
// moved costs one write instead of one per row, and a row whose text cannot be read is not touched.
[[nodiscard]] std::vector<int64_t> PlanSortOrders(const std::vector<SortOrderSlot>& slots);

}  // namespace lq
