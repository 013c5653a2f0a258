// The computer opponent: target choice, the capped distance field, destinations and turn ending.
#include "forces/ai.hpp"
#include "forces_fixtures.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <queue>
#include <sstream>
#include <tuple>

using namespace korvan;
using forces::makeArmy;
using forces::makeMap;

namespace {

// Hands the turn to Red and lets the computer play it.
void redTurn(const Map& map, Army& army, Battle& battle) {
    ASSERT_TRUE(battle.endTurn(army, blueSide));
    battle.playAi(map, army);
}

bool logged(const Battle& battle, const std::string& line) {
    return std::find(battle.log().begin(), battle.log().end(), line) != battle.log().end();
}

// Side river between columns 2 and 3 of an axial map three rows high, optionally bridged at row 1.
std::vector<forces::RiverSide> riverBetweenColumns2And3(bool bridged) {
    return {{{2, 0}, {3, 0}}, {{2, 1}, {3, 0}}, {{2, 1}, {3, 1}, bridged}, {{2, 2}, {3, 1}}, {{2, 2}, {3, 2}}};
}

} // namespace

TEST(DistanceSearch, CountsTheCostOfEnteringTowardsTheTarget) {
    const Map map = makeMap({"ppppp", "ppfpp", "ppppp"});
    const Army army = makeArmy(map, {});
    const UnitType& tank = army.types()[0];
    const Hex nowhere{-1, -1}; // never settled: the search runs until it is spent
    DistanceSearch search(map);
    search.start(tank, {{2, 1}});
    const DistanceSearch::View all = search.stopAt(nowhere);
    EXPECT_EQ(all({2, 1}), 0);
    EXPECT_EQ(all({1, 1}), 2); // stepping onto the forest target costs 2
    EXPECT_EQ(all({0, 1}), 3);
    EXPECT_EQ(all({4, 1}), 3);
    EXPECT_EQ(all({9, 9}), DistanceSearch::unreached);

    // One pop expands only the target; its neighbours hold values, the rest is unreached.
    DistanceSearch single(map, nullptr, 1);
    single.start(tank, {{2, 1}});
    const DistanceSearch::View one = single.stopAt(nowhere);
    EXPECT_EQ(one({1, 1}), 2);
    EXPECT_EQ(one({0, 1}), DistanceSearch::unreached);

    // Settling the unit's own field stops the search: the values behind it stay open.
    search.start(tank, {{0, 1}});
    const DistanceSearch::View stopped = search.stopAt({1, 1});
    EXPECT_EQ(stopped({1, 1}), 1);
    EXPECT_EQ(stopped({3, 1}), DistanceSearch::unreached);

    // A target the type cannot enter is not expanded.
    const Map mountain = makeMap({"pmp"});
    DistanceSearch blocked(mountain);
    blocked.start(tank, {{1, 0}});
    const DistanceSearch::View none = blocked.stopAt(nowhere);
    EXPECT_EQ(none({0, 0}), DistanceSearch::unreached);
    EXPECT_EQ(none({1, 0}), 0);
}

TEST(DistanceSearch, RiversCloseSidesUnlessBridged) {
    const std::vector<std::string> rows = {"pppppp", "pppppp", "pppppp"};
    const Map closed = makeMap(rows, riverBetweenColumns2And3(false));
    const Map bridged = makeMap(rows, riverBetweenColumns2And3(true));
    const Army army = makeArmy(closed, {});
    const RiverBarriers barriers(closed);
    for (const RiverBarriers* index : {static_cast<const RiverBarriers*>(nullptr), &barriers}) {
        DistanceSearch search(closed, index);
        search.start(army.types()[0], {{4, 1}});
        const DistanceSearch::View view = search.stopAt({-1, -1});
        EXPECT_EQ(view({3, 1}), 1);
        EXPECT_EQ(view({2, 1}), DistanceSearch::unreached);
    }
    DistanceSearch search(bridged);
    search.start(army.types()[0], {{4, 1}});
    const DistanceSearch::View view = search.stopAt({-1, -1});
    EXPECT_EQ(view({2, 1}), 2);
    EXPECT_EQ(view({2, 0}), 3); // only through the bridge
}

namespace {

// The search written out plainly, one per unit: ordered map, priority queue of (cost, q, r).
std::map<Hex, int, HexLess> plainSearch(const Map& map, const UnitType& type, const std::vector<Hex>& targets,
                                        Hex stop, int popLimit) {
    std::map<Hex, int, HexLess> dist;
    std::priority_queue<std::tuple<int, int, int>, std::vector<std::tuple<int, int, int>>, std::greater<>> queue;
    for (const Hex t : targets) {
        dist[t] = 0;
        queue.emplace(0, t.q, t.r);
    }
    for (int pops = 0; pops < popLimit && !queue.empty(); ++pops) {
        const auto [c, q, r] = queue.top();
        queue.pop();
        const Hex h{q, r};
        if (dist[h] != c) {
            continue;
        }
        if (h == stop) {
            break;
        }
        const int step = Army::terrainCost(type, map.at(h));
        if (step < 0) {
            continue;
        }
        for (const Hex n : map.adjacent(h)) {
            if (Army::terrainCost(type, map.at(n)) < 0 || !map.riverCrossingOpen(h, n)) {
                continue;
            }
            const auto found = dist.find(n);
            if (found != dist.end() && found->second <= c + step) {
                continue;
            }
            dist[n] = c + step;
            queue.emplace(c + step, n.q, n.r);
        }
    }
    return dist;
}

} // namespace

TEST(DistanceSearch, SharedSearchMatchesASearchPerUnit) {
    // Mixed costs make values improve after they were first written; rivers and a wrap seam add
    // closed sides and duplicate-free neighbour lists; stops come in no particular order.
    const Map map = makeMap({"ppfhpmppwp", "pfFhhpsppa", "apphmmpfpp", "ppspfppHpp", "pmppppfpph", "ffpppcpppp"},
                            {{{2, 1}, {3, 1}}, {{2, 2}, {3, 1}}, {{2, 2}, {3, 2}, true}, {{6, 3}, {7, 3}}}, true);
    const Army army = makeArmy(map, {});
    const RiverBarriers barriers(map);
    const std::vector<Hex> targets = {map.hexAt(8, 4), map.hexAt(1, 0)};
    std::vector<Hex> stops;
    for (int r = 0; r < map.height(); ++r) {
        for (int c = 0; c < map.width(); ++c) {
            stops.push_back(map.hexAt((c * 7 + r * 3) % map.width(), (r * 5 + c) % map.height()));
        }
    }
    stops.push_back({-1, -1});
    stops.push_back(stops.front()); // asked again after the search ran on
    for (const UnitType& type : army.types()) {
        for (const int limit : {1, 7, 30, 25000}) {
            DistanceSearch shared(map, &barriers, limit);
            shared.start(type, targets);
            for (const Hex stop : stops) {
                const auto expected = plainSearch(map, type, targets, stop, limit);
                const DistanceSearch::View view = shared.stopAt(stop);
                for (int r = 0; r < map.height(); ++r) {
                    for (int c = 0; c < map.width(); ++c) {
                        const Hex h = map.hexAt(c, r);
                        const auto found = expected.find(h);
                        ASSERT_EQ(view(h), found == expected.end() ? DistanceSearch::unreached : found->second)
                            << type.id << ", limit " << limit << ", stop " << stop.q << "," << stop.r << ", field "
                            << h.q << "," << h.r;
                    }
                }
            }
        }
    }
}

TEST(ComputerOpponent, FiresBeforeMovingAndThenStays) {
    const Map map = makeMap({"pppppp", "pppppp", "pppppp"});
    Army army = makeArmy(map, {{1, 0, "inf", {2, 1}}, {2, 1, "tank", {3, 1}}});
    // A Blue objective within reach would draw the tank away if it did not fire first.
    Battle battle(map, army, {{"Dorf", {5, 1}, blueSide}, {"Burg", {0, 0}, redSide}}, 5, 1);
    redTurn(map, army, battle);
    EXPECT_EQ(army.find(2)->position, (Hex{3, 1}));
    EXPECT_TRUE(army.find(2)->attacked);
    EXPECT_TRUE(logged(battle, "U2 -> U1: -4 / Gegenfeuer -3"));
    EXPECT_EQ(battle.objectives()[0].owner, blueSide);
    // The turn was ended: round 2, Blue to move.
    EXPECT_EQ(battle.activeSide(), blueSide);
    EXPECT_EQ(battle.round(), 2);
    EXPECT_EQ(battle.log().back(), "RUNDE 2/5 - BLAU");
}

TEST(ComputerOpponent, PrefersTheSureKill) {
    // (1, 1) is forest: the strength-10 infantry there would lose at most 3 (score 30 - 3);
    // the strength-2 one on plain dies even to the worst roll (score 20 + 100 - 1).
    const Map map = makeMap({"pppp", "pfpp", "pppp"});
    Army army = makeArmy(map, {{1, 0, "inf", {1, 1}}, {2, 0, "inf", {3, 1}, 2}, {3, 1, "tank", {2, 1}}});
    Battle battle = forces::makeBattle(map, army, {{0, 2}});
    redTurn(map, army, battle);
    EXPECT_TRUE(logged(battle, "U3 -> U2: -2 / Gegenfeuer -1 - U2 VERNICHTET"));
    EXPECT_EQ(army.find(2), nullptr);
    EXPECT_EQ(army.find(1)->strength, 10);
    EXPECT_EQ(army.find(3)->position, (Hex{2, 1}));
}

TEST(ComputerOpponent, StaysBehindAnUnbridgedRiver) {
    const std::vector<std::string> rows = {"pppppp", "pppppp", "pppppp"};
    for (const bool bridged : {false, true}) {
        const Map map = makeMap(rows, riverBetweenColumns2And3(bridged));
        Army army = makeArmy(map, {{1, 0, "inf", {5, 2}}, {2, 1, "tank", {1, 1}}});
        Battle battle(map, army, {{"Dorf", {4, 1}, blueSide}, {"Burg", {0, 0}, redSide}}, 5, 1);
        redTurn(map, army, battle);
        if (bridged) {
            // Over the bridge onto the Blue objective, which changes hands.
            EXPECT_EQ(army.find(2)->position, (Hex{4, 1}));
            EXPECT_EQ(battle.objectives()[0].owner, redSide);
            EXPECT_TRUE(logged(battle, "Dorf: Rot erobert"));
        } else {
            EXPECT_EQ(army.find(2)->position, (Hex{1, 1}));
            EXPECT_FALSE(army.find(2)->moved);
        }
        EXPECT_EQ(battle.activeSide(), blueSide);
    }
}

TEST(ComputerOpponent, MarchesOnTheNearestObjectiveWhenRedHoldsThemAll) {
    const Map map = makeMap({std::string(20, 'p'), std::string(20, 'p'), std::string(20, 'p')});
    Army army = makeArmy(map, {{1, 0, "inf", {19, 2}}, {2, 1, "tank", {0, 1}}, {3, 1, "inf", {6, 1}}});
    Battle battle = forces::makeBattle(map, army, {{6, 1}, {10, 1}});
    redTurn(map, army, battle);
    // No Blue unit within 8: every objective is a goal. The tank closes in on (6, 1) as far as
    // its 4 points go; the infantry already stands on an objective and stays.
    EXPECT_EQ(army.find(2)->position, (Hex{4, 1}));
    EXPECT_EQ(army.find(3)->position, (Hex{6, 1}));
    EXPECT_FALSE(army.find(3)->moved);
}

TEST(ComputerOpponent, SkipsUnitsLostToReturnFire) {
    const Map map = makeMap({"pppppppp", "pppppppp", "pppppppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {1, 0}, 1}, {3, 1, "tank", {3, 1}}});
    Battle battle = forces::makeBattle(map, army, {{7, 2}});
    redTurn(map, army, battle);
    EXPECT_EQ(army.find(2), nullptr);
    // The tank marched on the Blue unit within 8 and fired from its new field: of the free fields
    // next to the target, (0, 1) and (1, 0) (freed by the loss), the smaller q wins.
    EXPECT_EQ(army.find(3)->position, (Hex{0, 1}));
    EXPECT_TRUE(army.find(3)->attacked);
    EXPECT_EQ(battle.activeSide(), blueSide);
}

TEST(ComputerOpponent, TellsEveryMoveShotAndLossOfItsTurn) {
    const Map map = makeMap({"pppppppp", "pppppppp", "pppppppp"});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "inf", {1, 0}, 1}, {3, 1, "tank", {3, 1}}});
    Battle battle = forces::makeBattle(map, army, {{7, 2}}, 5);
    ASSERT_TRUE(battle.endTurn(army, blueSide));
    const std::size_t before = battle.log().size();
    const TurnReport report = battle.playAi(map, army);
    // U2 fires and falls to the return fire; U3 marches next to U1 and fires from there.
    EXPECT_EQ(report.moves, 1);
    EXPECT_EQ(report.attacks, 2);
    EXPECT_EQ(report.ownDestroyed, 1);
    EXPECT_EQ(report.enemyDestroyed, 0);
    EXPECT_EQ(report.ownLoss, 1 + 10 - army.find(3)->strength);
    EXPECT_EQ(report.enemyLoss, 10 - army.find(1)->strength);
    EXPECT_EQ(report.acted, (std::vector<int>{2, 3}));
    const std::vector<std::string> told(battle.log().begin() + std::ptrdiff_t(before), battle.log().end());
    ASSERT_GE(told.size(), 4u);
    EXPECT_EQ(told[0].rfind("U2 -> U1: -", 0), 0u) << told[0];
    EXPECT_TRUE(told[0].ends_with(" - U2 VERNICHTET")) << told[0];
    EXPECT_EQ(told[1], "U3 zieht nach 0/1");
    EXPECT_EQ(told[2].rfind("U3 -> U1: -", 0), 0u) << told[2];
    EXPECT_EQ(told.back(), "RUNDE 2/5 - BLAU");
    EXPECT_EQ(battle.turnReport().moves, 0); // Blue's new turn starts a new report
}

TEST(ComputerOpponent, StopsWhenTheGameIsDecided) {
    const Map map = makeMap({"ppppp", "ppppp", "ppppp"});
    Army army = makeArmy(map, {{1, 0, "inf", {0, 0}, 1}, {2, 1, "tank", {1, 0}}, {3, 1, "tank", {4, 2}}});
    Battle battle = forces::makeBattle(map, army, {{2, 2}});
    redTurn(map, army, battle);
    EXPECT_EQ(battle.outcome(), Outcome::RedVictory);
    EXPECT_EQ(battle.log().back(), "SIEG ROT");
    EXPECT_EQ(army.find(3)->position, (Hex{4, 2})); // did nothing
    EXPECT_EQ(battle.activeSide(), redSide);       // the turn was not ended
    EXPECT_EQ(battle.round(), 1);

    const std::size_t lines = battle.log().size();
    battle.playAi(map, army); // a decided game is left alone
    EXPECT_EQ(battle.log().size(), lines);
}

TEST(ComputerOpponent, EndsTheTurnAndTheGameAtTheLimit) {
    const Map map = makeMap({std::string(20, 'p'), std::string(20, 'p')});
    Army army = makeArmy(map, {{1, 0, "tank", {0, 0}}, {2, 1, "tank", {19, 1}}});
    Battle battle = forces::makeBattle(map, army, {{15, 1}}, 2);
    ASSERT_TRUE(battle.move(map, army, 1, {1, 0}).success);
    redTurn(map, army, battle);
    EXPECT_EQ(battle.round(), 2);
    EXPECT_EQ(battle.activeSide(), blueSide);
    EXPECT_FALSE(army.find(1)->moved); // Blue refreshed for its new turn
    EXPECT_EQ(army.find(1)->remaining, 4);
    redTurn(map, army, battle);
    EXPECT_EQ(battle.outcome(), Outcome::RedVictory);
    EXPECT_EQ(battle.log().back(), "Zeitlimit: Rot haelt mindestens ein Ziel.");
}

TEST(ComputerOpponent, OnlyFieldsTheCappedSearchReachedCount) {
    // Plain world 400 x 200: 25000 pops cover about 90 fields around the objective.
    const Map world = forces::makeWorld(400, 200);
    const auto unit = [&](int id, int side, int column, int row) {
        const Point p = world.geography(world.hexAt(column, row));
        std::ostringstream out;
        out << R"({"id": )" << id << R"(, "side": )" << side << R"(, "name": "U)" << id
            << R"(", "type": "tank", "longitude": )" << p.x << R"(, "latitude": )" << p.y << "}";
        return out.str();
    };
    std::istringstream in(R"({"schema_version": 1, "types": )" + forces::defaultTypes + R"(, "world_units": [)" +
                          unit(1, 0, 300, 20) + "," + unit(2, 1, 200, 100) + "," + unit(3, 1, 60, 100) + "]}");
    Army army = Army::load(world, in);
    const Hex far = army.find(2)->position;
    const Hex near = army.find(3)->position;
    ASSERT_EQ(far, world.hexAt(200, 100));
    Battle battle(world, army, {{"Ziel", world.hexAt(10, 100), redSide}}, 5, 1);
    redTurn(world, army, battle);
    EXPECT_EQ(army.find(2)->position, far);                // 190 fields away: beyond the search
    EXPECT_EQ(army.find(3)->position, world.hexAt(56, 100)); // 50 away: 4 fields closer
    EXPECT_EQ(army.find(3)->position.r, near.r);
}
