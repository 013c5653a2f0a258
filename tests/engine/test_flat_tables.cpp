#include "core/containers/flat_key_map.hpp"
#include "core/containers/index_lists.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

namespace korvan {
namespace {

// Slots keep a key in two halves: keys that share one half stay apart, through every growth.
TEST(FlatKeyMap, KeysSharingAHalfStayApartAcrossGrowth) {
    FlatKeyMap map(2);
    std::vector<std::uint64_t> keys;
    for (std::uint64_t k = 0; k < 3000; ++k) {
        keys.push_back(k);             // high half zero
        keys.push_back(k << 32);       // low half zero
        keys.push_back((k << 32) | k); // both halves alike
        keys.push_back(~std::uint64_t(0) - k);
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto [value, added] = map.tryEmplace(keys[i], static_cast<std::uint32_t>(i));
        // At k = 0 the first three keys are one key: the second and third find the first.
        EXPECT_EQ(added, value == i) << keys[i];
    }
    EXPECT_EQ(map.size(), keys.size() - 2);
    for (std::size_t i = 4; i < keys.size(); ++i) {
        EXPECT_EQ(map.find(keys[i]), std::optional<std::uint32_t>(static_cast<std::uint32_t>(i)));
    }
    EXPECT_FALSE(map.find(std::uint64_t(5000) << 32).has_value());
}

// The largest value marks an empty slot, so it cannot be stored; the one below it can.
TEST(FlatKeyMap, RefusesOnlyTheValueThatMarksEmptySlots) {
    FlatKeyMap map;
    constexpr std::uint32_t largest = std::numeric_limits<std::uint32_t>::max();
    EXPECT_THROW(map.tryEmplace(7, largest), std::length_error);
    EXPECT_EQ(map.size(), 0u);
    EXPECT_TRUE(map.tryEmplace(7, largest - 1).second);
    EXPECT_EQ(map.find(7), std::optional<std::uint32_t>(largest - 1));
}

// Lists gathered from two functions equal the lists built from pairs, each list in the items' order.
TEST(FlatLists, GatheredListsMatchListsFromPairs) {
    const std::vector<IndexLists::Pair> pairs{{2, 10}, {0, 11}, {2, 12}, {3, 13}, {0, 14}, {2, 15}};
    const IndexLists fromPairs(5, pairs);
    const IndexLists gathered = IndexLists::gather(
        5, pairs.size(), [&](std::size_t k) { return pairs[k].first; }, [&](std::size_t k) { return pairs[k].second; });
    EXPECT_EQ(gathered.starts(), fromPairs.starts());
    EXPECT_EQ(gathered.values(), fromPairs.values());
    EXPECT_EQ(std::vector<std::uint32_t>(gathered[2].begin(), gathered[2].end()),
              (std::vector<std::uint32_t>{10, 12, 15}));
    EXPECT_TRUE(gathered[1].empty());
    EXPECT_TRUE(gathered[4].empty());
}

} // namespace
} // namespace korvan
