// Movement: entry costs, reach with its blocks and tie-breaks, paths, and the move with its refusals.
#include "forces_fixtures.hpp"
#include "forces/movement.hpp"

#include <gtest/gtest.h>

using namespace korvan;
using forces::makeArmy;
using forces::makeMap;

namespace {

UnitType typeWith(int roadCost) {
    UnitType type;
    type.roadCost = roadCost;
    type.costs = {1, 2, 2, -1, 1, -1, 1, 3, 1, 2, 1};
    return type;
}

} // namespace

TEST(TerrainCost, RoadsBridgesAndClosedTerrain) {
    const UnitType type = typeWith(3);
    EXPECT_EQ(Army::terrainCost(type, {Terrain::Plain, false, false}), 1);
    EXPECT_EQ(Army::terrainCost(type, {Terrain::Wetland, false, false}), 3);
    // A road always costs the road cost, even where the terrain alone is cheaper.
    EXPECT_EQ(Army::terrainCost(type, {Terrain::Hills, true, false}), 3);
    EXPECT_EQ(Army::terrainCost(typeWith(1), {Terrain::Wetland, true, false}), 1);
    // A road does not open impassable terrain.
    EXPECT_EQ(Army::terrainCost(type, {Terrain::Mountain, true, false}), -1);
    // Open water needs both the road and its bridge.
    EXPECT_EQ(Army::terrainCost(type, {Terrain::Water, true, true}), 3);
    EXPECT_EQ(Army::terrainCost(type, {Terrain::Water, true, false}), -1);
    EXPECT_EQ(Army::terrainCost(type, {Terrain::Water, false, true}), -1);
    EXPECT_EQ(Army::terrainCost(type, {Terrain::Water, false, false}), -1);
}

TEST(Neighbours, MatchMapAdjacentOnEveryLayout) {
    const std::vector<Map> maps = [] {
        std::vector<Map> list;
        list.push_back(makeMap({"ppp", "ppp", "ppp"}));
        list.push_back(makeMap({"pppp", "pppp", "pppp"}, {}, true));
        list.push_back(makeMap({"p", "p", "p"}, {}, true));   // every east-west neighbour is the field itself
        list.push_back(makeMap({"pp", "pp", "pp"}, {}, true)); // east and west neighbours coincide
        return list;
    }();
    for (const Map& map : maps) {
        for (int r = 0; r < map.height(); ++r) {
            for (int c = 0; c < map.width(); ++c) {
                const Hex h = map.hexAt(c, r);
                const NeighbourList list = neighboursOf(map, h);
                EXPECT_EQ(std::vector<Hex>(list.begin(), list.end()), map.adjacent(h))
                    << map.width() << " wide, field " << h.q << "," << h.r;
            }
        }
    }
}

TEST(Reach, CostsAndTieBreaksOnOpenGround) {
    // Axial 4 x 3; the forest at (2, 1) costs the tank 2.
    const Map map = makeMap({"pppp", "ppfp", "pppp"});
    const Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}});
    const MovementRange range = army.reachable(map, 1);

    EXPECT_EQ(range.at({0, 1}), (PathNode{0, {0, 1}}));
    EXPECT_EQ(range.at({1, 1}), (PathNode{1, {0, 1}}));
    // (1, 2) costs 2 through (0, 2) or (1, 1): the smaller q wins.
    EXPECT_EQ(range.at({1, 2}), (PathNode{2, {0, 2}}));
    // (2, 0) costs 2 through (1, 0) or (1, 1): same q, the smaller r wins.
    EXPECT_EQ(range.at({2, 0}), (PathNode{2, {1, 0}}));
    EXPECT_EQ(range.at({2, 1}), (PathNode{3, {1, 1}}));
    // Leaving the forest is free: (3, 1) costs 4 through (2, 1), (2, 2) or (3, 0); (2, 1) is first in (q, r).
    EXPECT_EQ(range.at({3, 1}), (PathNode{4, {2, 1}}));
    EXPECT_EQ(range.at({3, 2}), (PathNode{4, {2, 2}}));
    EXPECT_EQ(range.size(), 12u);
    for (const auto& [h, node] : range) {
        EXPECT_LE(node.cost, 4);
    }
    EXPECT_TRUE(army.reachable(map, 99).empty());
}

TEST(Reach, RangeIsOrderedByQThenR) {
    const Map map = makeMap({"ppp", "ppp"});
    const Army army = makeArmy(map, {{1, 0, "tank", {1, 0}}});
    std::vector<Hex> order;
    for (const auto& [h, node] : army.reachable(map, 1)) {
        order.push_back(h);
    }
    EXPECT_EQ(order, (std::vector<Hex>{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}));
}

TEST(Reach, UnitsBlockAndSpentUnitsStay) {
    // A corridor one field wide between mountains: any unit in it closes the way.
    const Map map = makeMap({"mmmmm", "ppppp", "mmmmm"});
    for (const int side : {0, 1}) {
        const Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, side, "inf", {2, 1}}});
        const MovementRange range = army.reachable(map, 1);
        EXPECT_EQ(range.size(), 2u) << "blocker of side " << side;
        EXPECT_TRUE(range.contains({1, 1}));
        EXPECT_FALSE(range.contains({2, 1}));
        EXPECT_FALSE(range.contains({3, 1}));
    }

    Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}});
    EXPECT_TRUE(army.move(map, 1, {1, 1}).success);
    EXPECT_EQ(army.reachable(map, 1), (MovementRange{{{1, 1}, {0, {1, 1}}}})); // moved: own field only
    army.refreshMovement();
    EXPECT_EQ(army.units()[0].remaining, 4);
    EXPECT_FALSE(army.units()[0].moved);
    EXPECT_EQ(army.reachable(map, 1).size(), 5u);

    // No points left: own field only.
    EXPECT_TRUE(army.move(map, 1, {4, 1}).success);
    EXPECT_EQ(army.units()[0].remaining, 1);
    army.refreshMovement();
    EXPECT_TRUE(army.move(map, 1, {0, 1}).success);
    EXPECT_EQ(army.units()[0].remaining, 0);
}

TEST(Reach, RiversCloseSidesUntilBridgedOrInsideACity) {
    const std::vector<std::string> rows = {"pppp", "pppp", "pppp"};
    const Army layout = makeArmy(makeMap(rows), {{1, 0, "tank", {0, 1}}});
    {
        // The river between (0, 1) and (1, 1) forces a detour of one extra point.
        const Map map = makeMap(rows, {{{0, 1}, {1, 1}}});
        const Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}});
        const MovementRange range = army.reachable(map, 1);
        EXPECT_EQ(range.at({1, 1}), (PathNode{2, {0, 2}}));
        EXPECT_EQ(army.reachable(map, 1).at({0, 2}).cost, 1); // the other sides stay open
    }
    {
        const Map map = makeMap(rows, {{{0, 1}, {1, 1}, true}});
        EXPECT_EQ(makeArmy(map, {{1, 0, "tank", {0, 1}}}).reachable(map, 1).at({1, 1}), (PathNode{1, {0, 1}}));
    }
    {
        // Both banks in a city: the river is crossable without a bridge.
        const Map map = makeMap({"pppp", "pcpp", "cppp"}, {{{0, 2}, {1, 1}}});
        EXPECT_EQ(makeArmy(map, {{1, 0, "tank", {0, 2}}}).reachable(map, 1).at({1, 1}), (PathNode{1, {0, 2}}));
    }
    {
        // A river all along column 0 | 1 with no crossing leaves only the own column.
        const Map map = makeMap(rows, {{{0, 0}, {1, 0}}, {{0, 1}, {1, 0}}, {{0, 1}, {1, 1}}, {{0, 2}, {1, 1}},
                                       {{0, 2}, {1, 2}}});
        const MovementRange range = makeArmy(map, {{1, 0, "tank", {0, 1}}}).reachable(map, 1);
        EXPECT_EQ(range.size(), 3u);
        EXPECT_FALSE(range.contains({1, 1}));
    }
    EXPECT_EQ(layout.reachable(makeMap(rows), 1).at({1, 1}).cost, 1);
}

TEST(Reach, CrossesTheWrapSeamAndRoadBridges) {
    // Odd-r wrapping map 6 wide: (0, 0) borders (5, 0) across the seam; (4, 0) is a road bridge over water.
    const Map map = makeMap({"pmmm=p", "mmmmmm", "mmmmmm"}, {}, true);
    const Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}});
    const MovementRange range = army.reachable(map, 1);
    EXPECT_EQ(range, (MovementRange{{{0, 0}, {0, {0, 0}}}, {{4, 0}, {2, {5, 0}}}, {{5, 0}, {1, {0, 0}}}}));
    EXPECT_EQ(movementPath(range, {0, 0}, {4, 0}), (std::vector<Hex>{{0, 0}, {5, 0}, {4, 0}}));
}

TEST(Path, FollowsPredecessorsAndSurvivesBrokenChains) {
    const Map map = makeMap({"pppp", "ppfp", "pppp"});
    const MovementRange range = makeArmy(map, {{1, 0, "tank", {0, 1}}}).reachable(map, 1);
    EXPECT_EQ(movementPath(range, {0, 1}, {3, 1}), (std::vector<Hex>{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
    EXPECT_EQ(movementPath(range, {0, 1}, {0, 1}), (std::vector<Hex>{{0, 1}}));
    EXPECT_TRUE(movementPath(range, {0, 1}, {9, 9}).empty());

    // A predecessor missing from the range, and a cycle that never reaches the start.
    const MovementRange missing{{{1, 0}, {1, {5, 5}}}};
    EXPECT_TRUE(movementPath(missing, {0, 0}, {1, 0}).empty());
    const MovementRange cycle{{{1, 0}, {1, {2, 0}}}, {{2, 0}, {1, {1, 0}}}};
    EXPECT_TRUE(movementPath(cycle, {0, 0}, {1, 0}).empty());
}

TEST(Move, SucceedsAlongTheRecordedWay) {
    const Map map = makeMap({"pppp", "ppfp", "pppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}});
    const MoveResult result = army.move(map, 1, {3, 1});
    EXPECT_TRUE(result.success);
    EXPECT_EQ(result.message, "Bewegung ausgefuehrt");
    EXPECT_EQ(result.path, (std::vector<Hex>{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
    EXPECT_EQ(result.cost, 4);
    const Unit& unit = army.units()[0];
    EXPECT_EQ(unit.position, (Hex{3, 1}));
    EXPECT_EQ(unit.remaining, 0);
    EXPECT_TRUE(unit.moved);
}

TEST(Move, RefusesInOrderAndChangesNothing) {
    const Map map = makeMap({"ppppp", "ppppp", "ppppp"});
    const auto refused = [&](Army& army, int id, Hex target) {
        const std::vector<Unit> before = army.units();
        const MoveResult result = army.move(map, id, target);
        EXPECT_FALSE(result.success);
        EXPECT_TRUE(result.path.empty());
        EXPECT_EQ(result.cost, 0);
        EXPECT_EQ(army.units().size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(army.units()[i].position, before[i].position);
            EXPECT_EQ(army.units()[i].remaining, before[i].remaining);
            EXPECT_EQ(army.units()[i].moved, before[i].moved);
        }
        return result.message;
    };
    Army army = makeArmy(map, {{1, 0, "tank", {0, 1}}, {2, 0, "inf", {1, 1}}, {3, 1, "inf", {4, 0}}});
    EXPECT_EQ(refused(army, 7, {0, 0}), "Einheit nicht gefunden");
    EXPECT_EQ(refused(army, 1, {5, 1}), "Ziel ausserhalb der Karte");
    EXPECT_EQ(refused(army, 1, {0, 1}), "Einheit steht bereits hier");
    EXPECT_EQ(refused(army, 1, {1, 1}), "Zielfeld ist belegt");  // a friend
    EXPECT_EQ(refused(army, 1, {4, 0}), "Zielfeld ist belegt");  // an enemy
    EXPECT_EQ(refused(army, 1, {4, 2}), "Ziel nicht erreichbar"); // five points away

    ASSERT_TRUE(army.move(map, 1, {0, 0}).success);
    EXPECT_EQ(refused(army, 1, {9, 9}), "Ziel ausserhalb der Karte"); // the map check comes first
    EXPECT_EQ(refused(army, 1, {0, 0}), "Einheit wurde bereits bewegt");
    EXPECT_EQ(refused(army, 1, {1, 0}), "Einheit wurde bereits bewegt");
}

TEST(SearchQueues, BucketQueuePopsInTheHeapOrder) {
    // Pushes as a search makes them: never below the cost just popped, free steps included.
    std::uint32_t seed = 12345;
    const auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % std::uint32_t(n));
    };
    for (const int maxStep : {0, 1, 3, 20}) {
        SearchQueue heap;
        BucketQueue buckets;
        buckets.reset(maxStep);
        for (int i = 0; i < 5; ++i) {
            const SearchEntry entry{0, {next(7) - 3, next(7)}};
            heap.push(entry);
            buckets.push(entry);
        }
        for (int pops = 0; pops < 2000 && !heap.empty(); ++pops) {
            ASSERT_FALSE(buckets.empty());
            const SearchEntry expected = heap.pop();
            const SearchEntry got = buckets.pop();
            ASSERT_EQ(got.cost, expected.cost) << "pop " << pops << ", steps up to " << maxStep;
            ASSERT_EQ(got.hex, expected.hex) << "pop " << pops << ", steps up to " << maxStep;
            for (int k = next(pops < 1000 ? 4 : 2); k > 0; --k) {
                const SearchEntry entry{expected.cost + next(maxStep + 1), {next(9) - 4, next(9)}};
                heap.push(entry);
                buckets.push(entry);
            }
        }
        EXPECT_EQ(buckets.empty(), heap.empty());
    }
}
