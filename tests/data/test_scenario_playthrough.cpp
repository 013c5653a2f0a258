// The shipped world scenario played to the end: a scripted Blue against the computer's Red.
#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "core/camera.hpp"
#include "map/map.hpp"
#include "scripted_blue.hpp"

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
using namespace korvan::scripted;

namespace {

const std::filesystem::path dataDirectory = std::filesystem::path(KORVAN_SOURCE_DIR) / "data";

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
        playToEnd(battle, *grid, forces);
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
