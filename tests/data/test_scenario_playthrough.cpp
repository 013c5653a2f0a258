// The shipped world scenario played to the end: a scripted Blue against the computer's Red.
#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "core/camera.hpp"
#include "map/map.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <queue>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

using namespace korvan;

namespace {

const std::filesystem::path dataDirectory = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";

using CostField = std::map<Hex, int, HexLess>;

// Movement cost from each field to the nearest goal for one unit type, obeying terrain and
// rivers like a move does; units do not block it. Fields beyond `limit` are left out: the
// operation area is small, and the world grid has sixteen million fields.
CostField goalCosts(const Map& map, const UnitType& type, const std::vector<Hex>& goals, int limit,
                    bool crossAnyRiver = false) {
    CostField cost;
    using Entry = std::tuple<int, int, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    for (const Hex goal : goals) {
        cost[goal] = 0;
        queue.emplace(0, goal.q, goal.r);
    }
    while (!queue.empty()) {
        const auto [c, q, r] = queue.top();
        queue.pop();
        const Hex h{q, r};
        if (cost[h] != c || c > limit) {
            continue;
        }
        // Stepping from a neighbour onto h costs entering h.
        const int step = Army::terrainCost(type, map.at(h));
        if (step < 0) {
            continue;
        }
        for (const Hex n : map.adjacent(h)) {
            if (Army::terrainCost(type, map.at(n)) < 0 || (!crossAnyRiver && !map.riverCrossingOpen(h, n))) {
                continue;
            }
            const auto known = cost.find(n);
            if (known == cost.end() || known->second > c + step) {
                cost[n] = c + step;
                queue.emplace(c + step, n.q, n.r);
            }
        }
    }
    return cost;
}

int costAt(const CostField& cost, Hex h) {
    const auto found = cost.find(h);
    return found == cost.end() ? INT_MAX : found->second;
}

// Fires at the target that loses most (a sure kill above all), less the return fire to expect.
void fireBest(Battle& battle, const Map& map, Army& army, int id) {
    const Unit* shooter = army.find(id);
    if (shooter == nullptr || battle.finished()) {
        return;
    }
    int best = INT_MIN;
    int target = 0;
    for (const Unit& enemy : army.units()) {
        if (enemy.side == shooter->side) {
            continue;
        }
        const AttackPreview p = battle.preview(map, army, id, enemy.id);
        if (!p.legal) {
            continue;
        }
        const int score = (p.defenderMin + p.defenderMax) * 5 - (p.attackerMin + p.attackerMax) * 4 +
                          (p.defenderMin >= enemy.strength ? 100 : 0);
        if (score > best) {
            best = score;
            target = enemy.id;
        }
    }
    if (target != 0) {
        battle.attack(map, army, id, target);
    }
}

// Blue's plan, the same every turn: units that fire from beyond the enemy's reach act first;
// each unit fires if it can, otherwise advances as far as it gets towards the nearest
// objective Red still holds and fires from there.
void blueTurn(Battle& battle, const Map& map, Army& army) {
    std::vector<int> ids;
    for (const Unit& unit : army.units()) {
        if (unit.side == blueSide) {
            ids.push_back(unit.id);
        }
    }
    std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) {
        return army.type(*army.find(a)).range > army.type(*army.find(b)).range;
    });
    std::vector<Hex> goals;
    for (const Objective& objective : battle.objectives()) {
        if (objective.owner != blueSide) {
            goals.push_back(objective.position);
        }
    }
    std::map<std::string, CostField> costs; // per unit type, for this turn's goals
    for (const int id : ids) {
        if (battle.finished()) {
            return;
        }
        fireBest(battle, map, army, id);
        const Unit* unit = army.find(id);
        if (unit == nullptr || unit->attacked) {
            continue;
        }
        const UnitType& type = army.type(*unit);
        auto field = costs.find(type.id);
        if (field == costs.end()) {
            field = costs.emplace(type.id, goalCosts(map, type, goals, 60)).first;
        }
        Hex best = unit->position;
        for (const auto& [hex, node] : army.reachable(map, id)) {
            if (costAt(field->second, hex) < costAt(field->second, best)) {
                best = hex;
            }
        }
        if (!(best == unit->position)) {
            battle.move(map, army, id, best);
        }
        fireBest(battle, map, army, id);
    }
}

struct Result {
    Outcome outcome = Outcome::Ongoing;
    int round = 0;
    int objectivesHeld = 0;
    int blueUnits = 0;
    int redUnits = 0;
};

class ScenarioPlaythrough : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        world = new Map(Map::load(dataDirectory / "world.json"));
        grid = new Map(Map::regularWorld(*world, playGridRatio(world->width(), world->height())));
        army = new Army(Army::load(*grid, dataDirectory / "units.json"));
        scenario = new Battle(Battle::load(*grid, *army, dataDirectory / "battles.json"));
    }
    static void TearDownTestSuite() {
        delete scenario;
        delete army;
        delete grid;
        delete world;
    }

    static Result play(std::uint32_t seed) {
        Army forces = *army;
        Battle battle(*grid, forces, scenario->objectives(), scenario->roundLimit(), seed);
        // Two turns a round; the limit only guards against a turn that never ends.
        for (int turn = 0; !battle.finished() && turn < 2 * scenario->roundLimit() + 2; ++turn) {
            if (battle.activeSide() == blueSide) {
                blueTurn(battle, *grid, forces);
                if (!battle.finished()) {
                    battle.endTurn(forces, blueSide);
                }
            } else {
                battle.playAi(*grid, forces);
            }
        }
        Result result{battle.outcome(), battle.round(), 0, 0, 0};
        for (const Objective& objective : battle.objectives()) {
            result.objectivesHeld += objective.owner == blueSide;
        }
        for (const Unit& unit : forces.units()) {
            (unit.side == blueSide ? result.blueUnits : result.redUnits) += 1;
        }
        return result;
    }

    static const Unit& unitNamed(const std::string& name) {
        for (const Unit& unit : army->units()) {
            if (unit.name == name) {
                return unit;
            }
        }
        throw std::runtime_error("no unit " + name);
    }

    static Map* world;
    static Map* grid;
    static Army* army;
    static Battle* scenario;
};

Map* ScenarioPlaythrough::world = nullptr;
Map* ScenarioPlaythrough::grid = nullptr;
Army* ScenarioPlaythrough::army = nullptr;
Battle* ScenarioPlaythrough::scenario = nullptr;

Hex objectiveNamed(const Battle& battle, const std::string& name) {
    for (const Objective& objective : battle.objectives()) {
        if (objective.name == name) {
            return objective.position;
        }
    }
    throw std::runtime_error("no objective " + name);
}

} // namespace

TEST_F(ScenarioPlaythrough, RedHoldsWienAndBlueComesFromTheWest) {
    const Hex wien = objectiveNamed(*scenario, "Wien");
    EXPECT_EQ(wien, grid->hexAtGeography({16.3738, 48.2082}));
    EXPECT_EQ(grid->at(wien).terrain, Terrain::City);
    ASSERT_GE(scenario->objectives().size(), 3u);
    ASSERT_LE(scenario->objectives().size(), 8u);
    int blue = 0;
    int red = 0;
    for (const Unit& unit : army->units()) {
        if (unit.side == blueSide) {
            ++blue;
            EXPECT_LT(hexCenter(unit.position).x, hexCenter(wien).x) << unit.name;
        } else {
            ++red;
            EXPECT_LE(hexDistance(unit.position, wien), 12) << unit.name;
        }
    }
    EXPECT_GE(blue, 10);
    EXPECT_LE(blue, 30);
    EXPECT_GE(red, 10);
    EXPECT_LE(red, 30);
}

TEST_F(ScenarioPlaythrough, TheDonauAndTheHillsShapeTheWays) {
    // The northern group has no bridge between Krems and Wien: to reach Tulln on the south bank
    // its tanks must go round by the city crossings of Wien.
    const Unit& north = unitNamed("Panzerbataillon 6");
    const UnitType& tank = army->type(north);
    const Hex tulln = objectiveNamed(*scenario, "Tulln an der Donau");
    const int withRivers = costAt(goalCosts(*grid, tank, {tulln}, 200), north.position);
    const int overAnyRiver = costAt(goalCosts(*grid, tank, {tulln}, 200, true), north.position);
    EXPECT_GE(withRivers, overAnyRiver + 6);
    // The main body's tanks pay for the Mostviertel hills and the Wienerwald.
    const Unit& south = unitNamed("Panzerbataillon 14");
    const Hex wien = objectiveNamed(*scenario, "Wien");
    const int toWien = costAt(goalCosts(*grid, tank, {wien}, 200), south.position);
    EXPECT_GE(toWien, hexDistance(south.position, wien) * 3 / 2);
    EXPECT_GT(toWien, 2 * tank.movement); // more than two turns of driving
}

TEST_F(ScenarioPlaythrough, ScriptedBlueWinsSomeAndLosesSomeAgainstTheComputer) {
    int blueWins = 0;
    int redWins = 0;
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        const Result r = play(seed);
        ASSERT_NE(r.outcome, Outcome::Ongoing) << "seed " << seed;
        EXPECT_LE(r.round, scenario->roundLimit());
        if (r.outcome == Outcome::BlueVictory) {
            ++blueWins;
            // Taking every objective, not merely outlasting Red, is how Blue wins here.
            EXPECT_TRUE(r.objectivesHeld == int(scenario->objectives().size()) || r.redUnits == 0);
        } else if (r.outcome == Outcome::RedVictory) {
            ++redWins;
        }
        std::cout << "[ seed " << seed << " ] " << (r.outcome == Outcome::BlueVictory ? "Blau" : "Rot")
                  << " in Runde " << r.round << ", Ziele " << r.objectivesHeld << "/" << scenario->objectives().size()
                  << ", Einheiten Blau " << r.blueUnits << " Rot " << r.redUnits << "\n";
    }
    RecordProperty("blue_wins", blueWins);
    RecordProperty("red_wins", redWins);
    // Blue can win with a sound plan; the computer's defence is not helpless either.
    EXPECT_GE(blueWins, 2);
    EXPECT_GE(redWins, 2);
}

TEST_F(ScenarioPlaythrough, SameSeedSameGame) {
    const Result first = play(7);
    const Result second = play(7);
    EXPECT_EQ(first.outcome, second.outcome);
    EXPECT_EQ(first.round, second.round);
    EXPECT_EQ(first.blueUnits, second.blueUnits);
    EXPECT_EQ(first.redUnits, second.redUnits);
}
