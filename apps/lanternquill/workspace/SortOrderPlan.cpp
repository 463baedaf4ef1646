#include "workspace/SortOrderPlan.h"

#include <algorithm>

namespace lq {
namespace {

// The best chain so far and the slot it ends at.
struct Chain {
    int64_t weight = 0;
    size_t last = SIZE_MAX;
};

Chain Better(const Chain& a, const Chain& b) {
    return b.weight > a.weight ? b : a;
}

}  // namespace

std::vector<int64_t> PlanSortOrders(const std::vector<SortOrderSlot>& slots) {
    const size_t count = slots.size();
    // Two kept rows i < j leave room for the rows between them when stored[j] - stored[i] >= j - i,
    // that is when stored - index does not fall from i to j: the kept rows are the heaviest
    // non-falling chain of those keys. A marked row outweighs all unmarked rows together.
    std::vector<int64_t> keys;
    for (size_t i = 0; i < count; ++i) {
        if (slots[i].stored) keys.push_back(*slots[i].stored - static_cast<int64_t>(i));
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

    // A Fenwick tree over the keys' ranks keeps the heaviest chain ending at or below each rank.
    std::vector<Chain> fenwick(keys.size() + 1);
    std::vector<size_t> previous(count, SIZE_MAX);
    Chain best;
    const auto markedWeight = static_cast<int64_t>(count) + 1;
    for (size_t i = 0; i < count; ++i) {
        if (!slots[i].stored) continue;
        const int64_t key = *slots[i].stored - static_cast<int64_t>(i);
        const size_t rank = static_cast<size_t>(std::lower_bound(keys.begin(), keys.end(), key) - keys.begin()) + 1;
        Chain before;
        for (size_t r = rank; r > 0; r -= r & (~r + 1)) before = Better(before, fenwick[r]);
        previous[i] = before.last;
        const Chain here{before.weight + (slots[i].keepIfPossible ? markedWeight : 1), i};
        for (size_t r = rank; r <= keys.size(); r += r & (~r + 1)) fenwick[r] = Better(fenwick[r], here);
        best = Better(best, here);
    }

    std::vector<bool> kept(count, false);
    for (size_t i = best.last; i != SIZE_MAX; i = previous[i]) kept[i] = true;

    // Rows after a kept row count up from it; rows before the first kept row count down to it.
    std::vector<int64_t> orders(count, 0);
    std::optional<size_t> lastKept;
    for (size_t i = 0; i < count; ++i) {
        if (kept[i]) {
            orders[i] = *slots[i].stored;
            lastKept = i;
        } else if (lastKept) {
            orders[i] = orders[*lastKept] + static_cast<int64_t>(i - *lastKept);
        }
    }
    const size_t firstKept = static_cast<size_t>(std::find(kept.begin(), kept.end(), true) - kept.begin());
    for (size_t i = 0; i < std::min(firstKept, count); ++i) {
        orders[i] = firstKept == count ? static_cast<int64_t>(i) + 1
                                       : *slots[firstKept].stored - static_cast<int64_t>(firstKept - i);
    }
    return orders;
}

}  // namespace lq
