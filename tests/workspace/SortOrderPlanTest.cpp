#include "workspace/SortOrderPlan.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace lq {
namespace {

constexpr std::nullopt_t kNew = std::nullopt;

struct Case {
    const char* what;
    std::vector<std::optional<int64_t>> stored;  // in the order wanted
    std::vector<size_t> marked;                  // rows to leave alone if at all possible
    size_t writes;                               // rows that cannot keep their order
};

TEST(SortOrderPlanTest, TheOrderRisesWithTheFewestWritesAndMarkedRowsKeepTheirs) {
    const Case cases[] = {
        {"nothing", {}, {}, 0},
        {"in order already, with gaps", {{3}, {7}, {20}}, {}, 0},
        {"a note restored into the gap its deletion left", {{1}, kNew, {3}, {4}}, {}, 1},
        {"restored first, no gap", {kNew, {1}, {2}}, {}, 1},
        {"restored between neighbours that touch", {{1}, kNew, {2}, {3}}, {}, 2},
        {"the last moved to the front", {{5}, {1}, {2}, {3}, {4}}, {}, 1},
        {"the first moved to the end", {{2}, {3}, {4}, {1}}, {}, 1},
        {"the damaged one moved to the front", {{2}, {1}, {3}}, {0}, 2},
        {"another moved above the damaged one", {{1}, {3}, {2}, {4}}, {2}, 2},
        {"the damaged one kept where it blocks two", {{2}, {3}, {1}}, {2}, 2},
        {"all at the same order", {{5}, {5}, {5}}, {}, 2},
        {"all at the same order, the last marked", {{5}, {5}, {5}}, {2}, 2},
        {"all new", {kNew, kNew, kNew}, {}, 3},
        {"reversed", {{4}, {3}, {2}, {1}}, {}, 3},
        {"negative orders", {{-3}, kNew, {-1}}, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<SortOrderSlot> slots;
        for (const std::optional<int64_t>& stored : c.stored) slots.push_back(SortOrderSlot{stored});
        for (const size_t m : c.marked) slots[m].keepIfPossible = true;
        const std::vector<int64_t> orders = PlanSortOrders(slots);
        ASSERT_EQ(orders.size(), slots.size());
        for (size_t i = 1; i < orders.size(); ++i) EXPECT_LT(orders[i - 1], orders[i]) << "at " << i;
        size_t writes = 0;
        for (size_t i = 0; i < orders.size(); ++i) writes += slots[i].stored == orders[i] ? 0 : 1;
        EXPECT_EQ(writes, c.writes);
        for (const size_t m : c.marked) EXPECT_EQ(slots[m].stored, orders[m]) << "a marked row was rewritten";
    }
}

TEST(SortOrderPlanTest, ALongListWithOneMoveWritesOneRow) {
    std::vector<SortOrderSlot> slots;
    for (int64_t i = 0; i < 50000; ++i) slots.push_back(SortOrderSlot{i + 1});
    std::swap(slots[10], slots[40000]);
    const std::vector<int64_t> orders = PlanSortOrders(slots);
    size_t writes = 0;
    for (size_t i = 0; i < orders.size(); ++i) {
        if (i > 0) {
            ASSERT_LT(orders[i - 1], orders[i]);
        }
        writes += slots[i].stored == orders[i] ? 0 : 1;
    }
    EXPECT_EQ(writes, 2u);
}

}  // namespace
}  // namespace lq
