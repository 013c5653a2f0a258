// River sides on one map: crossing rules and bridge building.
#include "map_fixtures.hpp"

#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::testing;

namespace {

// Row 0: plain, plain, city, city; row 1: plain, water, plain, plain.
// Rivers: the east sides of fields 0, 1 and 2 of row 0, and the side between field 1 and the water below it.
Map riverMap() {
    nlohmann::json d = compactWorld(4, {"p2c2", "p1w1p2"});
    d["river_rows"] = {"b1b1b1a1", "a4"};
    d["river_edges"] = nlohmann::json::array({{{"a", {{"q", 1}, {"r", 0}}}, {"b", {{"q", 1}, {"r", 1}}}}});
    return mapFromJson(d);
}

} // namespace

TEST(RiverEdges, CrossingRules) {
    const Map map = riverMap();
    const Hex p0 = map.hexAt(0, 0), p1 = map.hexAt(1, 0), c2 = map.hexAt(2, 0), c3 = map.hexAt(3, 0);
    EXPECT_FALSE(map.riverCrossingOpen(p0, p1));
    EXPECT_FALSE(map.riverCrossingOpen(p1, p0)); // order does not matter
    EXPECT_FALSE(map.riverCrossingOpen(p1, c2)); // city on one bank only
    EXPECT_TRUE(map.riverCrossingOpen(c2, c3));  // inside a city
    EXPECT_TRUE(map.riverCrossingOpen(c3, p0));  // no edge across the seam here
    EXPECT_TRUE(map.riverCrossingOpen(p0, c2));  // not neighbours
    EXPECT_TRUE(map.riverCrossingOpen(p0, {0, 9})); // off the map
}

TEST(RiverEdges, LookupsUseStoredHexes) {
    const Map map = riverMap();
    const Hex p0 = map.hexAt(0, 0), p1 = map.hexAt(1, 0);
    ASSERT_NE(map.riverEdge(p0, p1), nullptr);
    // The same field one world width further east is not the stored hex.
    EXPECT_EQ(map.riverEdge({p0.q + 4, p0.r}, p1), nullptr);
    EXPECT_EQ(map.riverEdgeIndex(p1, p0), map.riverEdgeIndex(p0, p1));
    EXPECT_EQ(map.riverSources(0).size(), 0u); // not a derived grid
    EXPECT_EQ(map.riverSources(999).size(), 0u);
}

TEST(RiverEdges, SetBridgeRefusesAndChangesNothing) {
    Map map = riverMap();
    const Hex p0 = map.hexAt(0, 0), p1 = map.hexAt(1, 0);
    EXPECT_FALSE(map.setBridge(p0, p1, false)); // nothing to remove
    EXPECT_TRUE(map.setBridge(p0, p1, true));
    EXPECT_TRUE(map.bridgeBetween(p1, p0));
    EXPECT_TRUE(map.riverCrossingOpen(p0, p1));
    EXPECT_FALSE(map.setBridge(p0, p1, true)); // already bridged
    EXPECT_TRUE(map.setBridge(p0, p1, false));
    EXPECT_FALSE(map.riverCrossingOpen(p0, p1));
    // The edge between (1,0) and the water field (1,1) cannot carry a bridge.
    EXPECT_FALSE(map.setBridge(p1, {1, 1}, true));
    EXPECT_FALSE(map.bridgeBetween(p1, {1, 1}));
    EXPECT_FALSE(map.setBridge(p0, map.hexAt(3, 0), true)); // no river there
    EXPECT_FALSE(map.setBridge(p0, {0, 5}, true));          // off the map
}

TEST(RiverEdges, MovedFromMapAnswersWithoutEdges) {
    Map map = riverMap();
    const Map moved = std::move(map);
    EXPECT_EQ(moved.rivers().size(), 4u);
    // The moved-from map is valid but empty: look-ups must not read a table it no longer has.
    EXPECT_FALSE(map.riverEdgeIndex({0, 0}, {1, 0})); // NOLINT(bugprone-use-after-move)
    Map again = std::move(map);                        // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(again.rivers().size(), 0u);
}
